#!/usr/bin/env python3
"""Checks the files of tests/pages/page_store.js with real decoders.

    page_store_check.py REQUESTS_FOLDER

The saved files are in the folder named by PAGEWELL_TEST_SAVED; the
uploads are in what the receiver recorded. Every page of every file must
decode to the page it was, in its pixel type, its place and its size, and
the uploaded files must be the saved ones byte for byte (the PDF's creation
date aside).
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


def run(*command):
    return subprocess.run(command, capture_output=True, check=False)


def saved(name):
    with open(os.path.join(os.environ["PAGEWELL_TEST_SAVED"], name), "rb") as f:
        return f.read()


def uploaded_file(folder, tag):
    """The file part of the first request tagged `tag`."""
    path = os.path.join(folder, "%s-1.raw" % tag)
    if not os.path.exists(path):
        fail("no upload tagged " + tag)
        return b""
    with open(path, "rb") as f:
        body = f.read().partition(b"\r\n\r\n")[2]
    for part in body.split(b"--" + BOUNDARY):
        head, _, content = part.partition(b"\r\n\r\n")
        if b"filename=" in head:
            return content[:-2]  # the line end before the next delimiter
    fail("the upload tagged %s holds no file" % tag)
    return b""


def with_file(data, suffix, check):
    with tempfile.NamedTemporaryFile(suffix=suffix) as f:
        f.write(data)
        f.flush()
        return check(f.name)


def tiff_pages(path):
    """(width, height, samples per pixel, bits per sample, pixel signature) of each page."""
    info = run("tiffinfo", path).stdout.decode("latin-1")
    pages = []
    for directory in info.split("TIFF Directory")[1:]:
        size = re.search(r"Image Width: (\d+) Image Length: (\d+)", directory)
        samples = re.search(r"Samples/Pixel: (\d+)", directory)
        bits = re.search(r"Bits/Sample: (\d+)", directory)
        pages.append((int(size.group(1)), int(size.group(2)), int(samples.group(1)) if samples else 1,
                      int(bits.group(1)) if bits else 1))
    signatures = run("identify", "-format", "%#\n", path).stdout.decode().split()
    if len(signatures) != len(pages):
        fail("%s: ImageMagick reads %d pages, libtiff %d" % (path, len(signatures), len(pages)))
        return pages
    return [p + (s,) for p, s in zip(pages, signatures)]


COLOUR, GRAY, BILEVEL = (3, 8), (1, 8), (1, 1)


def check_tiff(name, expected_kinds, width, height):
    path = os.path.join(os.environ["PAGEWELL_TEST_SAVED"], name)
    if run("tiffcp", path, path + ".copy.tif").returncode != 0:
        fail(name + ": tiffcp cannot read it")
    pages = tiff_pages(path)
    kinds = [(p[2], p[3]) for p in pages]
    if kinds != expected_kinds:
        fail("%s: pages %s, expected %s" % (name, kinds, expected_kinds))
    for number, page in enumerate(pages, 1):
        if page[:2] != (width, height):
            fail("%s: page %d is %dx%d, not %dx%d" % (name, number, page[0], page[1], width, height))
    return pages


def main():
    requests = sys.argv[1]
    # Scanned 4 x 3 inches at 100 dpi, then all turned a quarter clockwise.
    scanned = [COLOUR, COLOUR, GRAY, GRAY, BILEVEL, BILEVEL]
    every = check_tiff("all.tif", scanned, 300, 400)
    arranged = check_tiff("arranged.tif", [COLOUR, GRAY, GRAY, BILEVEL, BILEVEL], 300, 400)
    check_tiff("again.tif", [COLOUR, COLOUR], 400, 300)
    # Page 2 deleted, then the last page moved up: 1 3 4 6 5.
    if len(every) == 6 and len(arranged) == 5:
        if [p[4] for p in arranged] != [every[i][4] for i in (0, 2, 3, 5, 4)]:
            fail("arranged.tif does not hold pages 1 3 4 6 5 of all.tif")

    # The first page as scanned, turned by ImageMagick, is page 1 of the TIFF.
    first = os.path.join(os.environ["PAGEWELL_TEST_SAVED"], "first.png")
    if run("pngcheck", "-q", first).returncode != 0:
        fail("first.png: pngcheck refuses it")
    turned = run("convert", first, "-rotate", "90", "-format", "%#", "info:").stdout.decode().strip()
    if every and turned != every[0][4]:
        fail("page 1 of all.tif is not first.png turned a quarter clockwise")

    pdf = os.path.join(os.environ["PAGEWELL_TEST_SAVED"], "all.pdf")
    if run("qpdf", "--check", pdf).returncode != 0:
        fail("all.pdf: qpdf --check fails")
    pages = re.search(rb"Pages:\s+(\d+)", run("pdfinfo", pdf).stdout)
    if not pages or int(pages.group(1)) != 6:
        fail("all.pdf: not 6 pages")
    images = run("pdfimages", "-list", pdf).stdout.decode().splitlines()[2:]
    kinds = [(line.split()[3], line.split()[4], line.split()[5], line.split()[8]) for line in images]
    expected = [("300", "400", colour, encoding) for colour, encoding in
                [("rgb", "jpeg")] * 2 + [("gray", "jpeg")] * 2 + [("gray", "ccitt")] * 2]
    if kinds != expected:
        fail("all.pdf images %s, expected %s" % (kinds, expected))

    if uploaded_file(requests, "tif") != saved("all.tif"):
        fail("the uploaded TIFF is not the saved one")
    undated = lambda data: re.sub(rb"/CreationDate \(D:\d+Z\)", b"", data)
    if undated(uploaded_file(requests, "pdf")) != undated(saved("all.pdf")):
        fail("the uploaded PDF is not the saved one")

    print("page store files: %d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
