#!/usr/bin/env python3
"""Checks what the receiver recorded during tests/pages/upload.js.

    upload_check.py REQUESTS_FOLDER

Every posted body is parsed as the multipart/form-data it claims to be; the
files in it are checked with real decoders (tiffinfo, pdfinfo and qpdf,
djpeg), and the requests that must never have been made are absent.
"""

import os
import re
import subprocess
import sys
import tempfile

BOUNDARY = b"-" * 27 + b"a27dd43b872682"
failures = []


def fail(message):
    failures.append(message)
    print("FAIL " + message)


def requests(folder, tag):
    found = []
    n = 1
    while os.path.exists(os.path.join(folder, "%s-%d.raw" % (tag, n))):
        with open(os.path.join(folder, "%s-%d.raw" % (tag, n)), "rb") as f:
            found.append(f.read())
        n += 1
    return found


def split_request(raw):
    head, _, body = raw.partition(b"\r\n\r\n")
    headers = {}
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.decode("latin-1").partition(":")
        headers[name.strip().lower()] = value.strip()
    return headers, body


def parts(body):
    """(disposition, content type, content) of each part, in order."""
    delimiter = b"--" + BOUNDARY
    if not body.endswith(delimiter + b"--\r\n"):
        fail("the body does not end with the closing delimiter")
        return []
    found = []
    for piece in body.split(delimiter)[1:-1]:
        if not piece.startswith(b"\r\n") or not piece.endswith(b"\r\n"):
            fail("a part not framed by line ends")
            continue
        head, _, content = piece[2:-2].partition(b"\r\n\r\n")
        lines = head.decode("latin-1").split("\r\n")
        disposition = lines[0]
        content_type = lines[1] if len(lines) > 1 else ""
        found.append((disposition, content_type, content))
    return found


def decoded(tool_args, content, suffix):
    with tempfile.NamedTemporaryFile(suffix=suffix, delete=False) as f:
        f.write(content)
        path = f.name
    try:
        result = subprocess.run(tool_args + [path], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        return result.returncode, result.stdout.decode("latin-1", "replace")
    finally:
        os.unlink(path)


def check_file_upload(folder, tag, field, filename, content_type, variables):
    posted = requests(folder, tag)
    if len(posted) != 1:
        fail("%s: %d requests, expected one" % (tag, len(posted)))
        return None
    headers, body = split_request(posted[0])
    if headers.get("content-type") != "multipart/form-data; boundary=" + BOUNDARY.decode():
        fail("%s: Content-Type %r" % (tag, headers.get("content-type")))
    if headers.get("content-length") != str(len(body)):
        fail("%s: Content-Length %s for %d bytes" % (tag, headers.get("content-length"), len(body)))
    found = parts(body)
    expected_vars = ['Content-Disposition: form-data; name="%s"' % name for name, _ in variables]
    if [p[0] for p in found[:-1]] != expected_vars or [p[2].decode("latin-1") for p in found[:-1]] != [v for _, v in variables]:
        fail("%s: form variables %r" % (tag, [(p[0], p[2]) for p in found[:-1]]))
    disposition, ctype, content = found[-1]
    if disposition != 'Content-Disposition: form-data; name="%s"; filename="%s"' % (field, filename):
        fail("%s: file part %r" % (tag, disposition))
    if ctype != "Content-Type: " + content_type:
        fail("%s: %r" % (tag, ctype))
    return content


def main():
    folder = sys.argv[1]
    tiff = check_file_upload(folder, "page-tiff", "Pagewell", "scan.tif", "image/tiff",
                             [("user", "ann"), ("note", 'say "hi"'), ("a", "b=c")])
    if tiff is not None:
        code, out = decoded(["tiffinfo"], tiff, ".tif")
        if code != 0 or out.count("TIFF Directory") != 2:
            fail("page-tiff: tiffinfo did not read two pages:\n" + out)
    pdf = check_file_upload(folder, "page-pdf", "Pagewell", "scan.pdf", "application/pdf", [("probe", "0")])
    if pdf is not None:
        code, out = decoded(["pdfinfo"], pdf, ".pdf")
        if code != 0 or not re.search(r"^Pages:\s+2$", out, re.M):
            fail("page-pdf: pdfinfo did not read two pages:\n" + out)
        code, out = decoded(["qpdf", "--check"], pdf, ".pdf")
        if code != 0:
            fail("page-pdf: qpdf --check:\n" + out)
    jpeg = check_file_upload(folder, "page-jpeg", "FieldName", "page.jpg", "image/jpeg", [("probe", "2")])
    if jpeg is not None:
        code, out = decoded(["djpeg", "-outfile", os.devnull], jpeg, ".jpg")
        if code != 0:
            fail("page-jpeg: djpeg failed")
    for tag in ("page-toolarge", "page-upfront-cancel", "page-abort-start"):
        if requests(folder, tag):
            fail("%s: a request was made" % tag)
    for tag, count in (("page-dialog", 2), ("page-cancel", 1), ("page-error", 1)):
        if len(requests(folder, tag)) != count:
            fail("%s: %d requests, expected %d" % (tag, len(requests(folder, tag)), count))
    for tag in ("page-dialog", "page-kept", "page-inurl", "page-upfront-typed", "page-upfront-known"):
        posted = requests(folder, tag)
        if not posted or split_request(posted[-1])[0].get("authorization") != "Basic YW5uOnMzY3JldA==":
            fail("%s: the last request did not carry ann's credentials" % tag)
    print("%d upload checks failed" % len(failures) if failures else "the recorded uploads are sound")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
