#!/usr/bin/env python3
"""The uploaded PDF of bench/big_batch is the saved one, byte for byte but
for its creation date. Argument: the receiver's requests folder."""
import os, re, subprocess, sys

BOUNDARY = b"-" * 27 + b"a27dd43b872682"
with open(os.path.join(sys.argv[1], "batch-1.raw"), "rb") as f:
    body = f.read().partition(b"\r\n\r\n")[2]
upload = next(p.partition(b"\r\n\r\n")[2][:-2] for p in body.split(b"--" + BOUNDARY) if b"filename=" in p)
documents = os.environ["PAGEWELL_BENCH_DOCUMENTS"]
with open(os.path.join(documents, "PagewellBigBatch", "batch.pdf"), "rb") as f:
    saved = f.read()
undated = lambda data: re.sub(rb"/CreationDate \(D:\d+Z\)", b"", data)
same = undated(upload) == undated(saved)
print("upload_identical_to_saved %s (%d bytes)" % (same, len(upload)))
sys.exit(0 if same else 1)
