#!/usr/bin/env python3
"""One property read through the whole path a page uses: `await
pw.ImageCount` in headless Chromium through pagewell.js, the service's
WebSocket under Wine, the control's thread and back. Prints p50, p99 and
the largest of 1000 reads, one at a time, after 100 that warm the path up,
and the machine's load average, which the tails follow.

read_latency.py [--arch win32|win64] [--reads N] [--service EXE]   (after the build of that preset)

Chromium rounds performance.now() to 0.1 ms on a page that is not
cross-origin isolated, so p50 reads in steps of 0.1 ms.

Figures (win32 under Wine 8.0, Debian's Chromium, 2 cores shared with a
fuzzer and another build, load average 2 to 5; five runs each):

    p50_ms   0.3 to 1.2 (0.4 in three runs of five)
    p99_ms   4.3 to 13.3 (median 5.1)
    max_ms   6.9 to 59.3

Tried and left out: the control's thread writing its answer to the socket
itself under a lock the worker holds outside select(), which saves the
worker's wake-up per read. p50 0.3 in every run, p99 5.6 to 10.5 (median
9.4): no better in the tail, which belongs to the scheduler of a loaded
machine (the browser's processes, the wineserver, the service's two
threads and the fuzzer share two cores), and not worth a second thread on
the sockets.
"""
import argparse
import os

from connected_page import ROOT, connected_page

READS = """
var reads = arguments[0], done = arguments[arguments.length - 1];
(async function () {
  for (var w = 0; w < 100; w++) await pw.ImageCount;
  var times = [];
  for (var i = 0; i < reads; i++) {
    var start = performance.now();
    await pw.ImageCount;
    times.push(performance.now() - start);
  }
  times.sort(function (a, b) { return a - b; });
  done({ p50: times[Math.floor(reads * 0.5)], p99: times[Math.floor(reads * 0.99)], max: times[reads - 1] });
})().catch(function (e) { done({ error: e.message }); });
"""


def measure(arch, reads, service_exe):
    with connected_page(arch, service_exe, 300) as browser:
        return browser.execute_async_script(READS, reads)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--arch", default="win32")
    parser.add_argument("--reads", type=int, default=1000)
    parser.add_argument("--service", help="another build of pagewell-service.exe, beside its Pagewell.dll")
    args = parser.parse_args()
    service_exe = args.service or os.path.join(ROOT, "build", args.arch, "src", "service", "pagewell-service.exe")
    figures = measure(args.arch, args.reads, service_exe)
    if "error" in figures:
        sys.exit("read_latency: " + figures["error"])
    print("read_ImageCount_reads %d" % args.reads)
    print("read_ImageCount_p50_ms %.3f" % figures["p50"])
    print("read_ImageCount_p99_ms %.3f" % figures["p99"])
    print("read_ImageCount_max_ms %.3f" % figures["max"])
    print("load_average %.2f" % os.getloadavg()[0])


if __name__ == "__main__":
    main()
