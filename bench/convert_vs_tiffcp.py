#!/usr/bin/env python3
"""Whole-process comparison: pagewell-convert against libtiff's tiffcp.

Both turn the same 20-page uncompressed black-and-white TIFF (300 dpi letter
text pages) into a Group 4 TIFF, run after run in one session, and the
medians of wall time, CPU time and peak resident memory are reported with
the ratios pagewell / tiffcp. Peak memory is also set against the budget of
the input file plus the output file plus one decoded page, over the memory
the program occupies before it does anything (its --help run).

Both outputs are checked with libtiff before any figure is printed: twenty
Group 4 pages whose pixels equal those of the input.

Usage: bench/convert_vs_tiffcp.py [--convert PATH] [--runs N] [--pages N]
"""
import argparse
import os
import random
import statistics
import struct
import subprocess
import sys
import tempfile

WIDTH, HEIGHT, DPI = 2550, 3300, 300
ROW_BYTES = (WIDTH + 7) // 8
ROW_BITS = ROW_BYTES * 8


def span(x, width):
    """Mask of pixels x .. x + width - 1 of a row, most significant bit first."""
    return ((1 << width) - 1) << (ROW_BITS - x - width)


def text_page(seed):
    """One page of glyph-like strokes in lines of text, with specks; 1 = black."""
    rnd = random.Random(seed)
    rows = [0] * HEIGHT
    for baseline in range(240, HEIGHT - 200, 56):
        top = baseline - 28
        x = 200
        while x < WIDTH - 260:
            for _ in range(rnd.randint(2, 9)):
                code = rnd.getrandbits(5)
                strokes = [(x, 3, top + (0 if code & 1 else 10), baseline)]
                if code & 2:
                    strokes.append((x, 18, baseline - 3, baseline))
                if code & 4:
                    strokes.append((x, 18, top + 10, top + 13))
                if code & 8:
                    strokes.append((x + 15, 3, top + 10, baseline))
                if code & 16:
                    strokes.append((x, 18, top + 19, top + 22))
                for left, width, first, last in strokes:
                    mask = span(left, width)
                    for y in range(first, last):
                        rows[y] |= mask
                x += 22
            x += 20
    for _ in range(3000):
        x, y = rnd.randrange(2, WIDTH - 4), rnd.randrange(2, HEIGHT - 4)
        rows[y] |= span(x, rnd.randint(1, 2))
    return b"".join(r.to_bytes(ROW_BYTES, "big") for r in rows)


def write_uncompressed_tiff(path, pages):
    """A little-endian TIFF, one uncompressed WhiteIsZero strip a page."""
    entries_per_page = 14
    ifd_size = 2 + entries_per_page * 12 + 4
    with open(path, "wb") as f:
        f.write(b"II" + struct.pack("<HI", 42, 8))
        offset = 8
        for index, data in enumerate(pages):
            resolution = offset + ifd_size
            strip = resolution + 8
            following = strip + len(data)
            following += following % 2
            last = index == len(pages) - 1
            entries = [
                (256, 4, 1, WIDTH), (257, 4, 1, HEIGHT), (258, 3, 1, 1), (259, 3, 1, 1),
                (262, 3, 1, 0), (266, 3, 1, 1), (273, 4, 1, strip), (274, 3, 1, 1), (277, 3, 1, 1),
                (278, 4, 1, HEIGHT), (279, 4, 1, len(data)), (282, 5, 1, resolution), (283, 5, 1, resolution),
                (296, 3, 1, 2),
            ]
            f.write(struct.pack("<H", len(entries)))
            for tag, kind, count, value in entries:
                packed = struct.pack("<HI", value, 0)[:4] if kind == 3 else struct.pack("<I", value)
                f.write(struct.pack("<HHI", tag, kind, count) + packed)
            f.write(struct.pack("<I", 0 if last else following))
            f.write(struct.pack("<II", DPI, 1))
            f.write(data)
            if len(data) % 2:
                f.write(b"\0")
            offset = following


def run(command):
    """Wall seconds, CPU seconds and peak resident kilobytes of one process.

    GNU time starts it: the peak of a process forked straight from this
    script would begin at the script's own size, which Linux carries
    across exec."""
    with tempfile.NamedTemporaryFile(mode="r") as report:
        status = subprocess.run(["/usr/bin/time", "-o", report.name, "-f", "%e %U %S %M"] + command,
                                stdout=subprocess.DEVNULL).returncode
        if status != 0:
            sys.exit("failed: " + " ".join(command))
        wall, user, system, peak = report.read().split()
    return float(wall), float(user) + float(system), int(peak)


def check_output(path, reference, pages):
    """Twenty Group 4 pages, pixel for pixel the input (libtiff decodes both)."""
    info = subprocess.run(["tiffinfo", path], capture_output=True, text=True, check=True).stdout
    if info.count("CCITT Group 4") != pages:
        sys.exit(f"{path}: expected {pages} Group 4 pages")
    with tempfile.TemporaryDirectory() as scratch:
        plain = os.path.join(scratch, "plain.tif")
        subprocess.run(["tiffcp", "-c", "none", path, plain], check=True)
        differences = subprocess.run(["tiffcmp", "-t", reference, plain], capture_output=True, text=True)
        # tiffcmp heads each directory with a line of its own; any other line is a difference.
        found = [line for line in differences.stdout.splitlines() if not line.startswith("Directory ")]
        if differences.returncode != 0 or found:
            sys.exit(f"{path}: pixels differ from the input:\n{differences.stdout[:2000]}")


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--convert", default=os.path.join(root, "build/native/tools/pagewell-convert/pagewell-convert"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--pages", type=int, default=20)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "pages.tif")
        write_uncompressed_tiff(source, [text_page(seed) for seed in range(args.pages)])
        ours, theirs = os.path.join(work, "pagewell.tif"), os.path.join(work, "tiffcp.tif")
        commands = {
            "tiffcp": ["tiffcp", "-c", "g4", source, theirs],
            "pagewell": [args.convert, source, ours],
        }
        figures = {name: [] for name in commands}
        for _ in range(args.runs):
            for name, command in commands.items():
                if os.path.exists(command[-1]):
                    os.remove(command[-1])
                figures[name].append(run(command))
        for path in (ours, theirs):
            check_output(path, source, args.pages)
        baseline = statistics.median(run([args.convert, "--help"])[2] for _ in range(3))
        input_size, output_size = os.path.getsize(source), os.path.getsize(ours)
        budget = (input_size + output_size + ROW_BYTES * HEIGHT) / 1024

    def median(name, field):
        return statistics.median(f[field] for f in figures[name])

    print(f"{args.pages} pages of {WIDTH} x {HEIGHT}, medians of {args.runs} runs")
    print(f"{'':10}{'wall s':>9}{'cpu s':>9}{'peak MB':>9}")
    for name in commands:
        print(f"{name:10}{median(name, 0):9.3f}{median(name, 1):9.3f}{median(name, 2) / 1024:9.1f}")
    print(f"ratio pagewell / tiffcp: wall {median('pagewell', 0) / median('tiffcp', 0):.2f}, "
          f"cpu {median('pagewell', 1) / median('tiffcp', 1):.2f}, "
          f"peak memory {median('pagewell', 2) / median('tiffcp', 2):.2f}")
    print(f"pagewell peak over its --help run: {(median('pagewell', 2) - baseline) / 1024:.1f} MB; budget "
          f"(input {input_size / 2**20:.1f} + output {output_size / 2**20:.1f} + one page "
          f"{ROW_BYTES * HEIGHT / 2**20:.1f}): {budget / 1024:.1f} MB")


if __name__ == "__main__":
    main()
