#!/usr/bin/env python3
"""Upload throughput: the control's upload procedure over WinInet (under
Wine) against curl posting the same multipart body, to one loopback sink in
one session.

The sink reads each request whole and answers 200; it keeps nothing. The
control's side is bench_upload_throughput from the win64 build, which times
its own uploads (Wine's start-up is not counted) with the progress bar and
label on a shown window, set after every piece as the control does. curl's
time is its own time_total. Best of RUNS for each. The control's memory is
its peak during the first upload above what the process held before it read
the file, set against the budget of the two copies its upload holds: the
encoded file and the request body.

Where the time goes. The upload writes the body in 4096-byte pieces, one
InternetWriteFile each, serving messages between them (that keeps the
progress display and the Abort button live). Under Wine 8 each of those
calls costs 0.1-0.25 ms whatever its size: Wine's send() makes two requests
to wineserver per call (send_socket, set_async_direct_result; seen with
WINEDEBUG=+server). Measured on a 2-core machine, 50 MB to this sink:
  InternetWriteFile, 12800 pieces of 4096 bytes    1.8-3.2 s   16-28 MB/s
  InternetWriteFile, one write of 50 MB            0.13-0.17 s 290-390 MB/s
  pieces of 16384 / 65536 bytes                    90 / 190 MB/s
  Winsock send() of 4096 bytes, no WinInet         0.1-0.2 ms a call
    the same with TCP_NODELAY and a 4 MB SO_SNDBUF no better
  native 4096-byte sends into the same sink        0.01 ms a call, 410 MB/s
So neither the sink nor the socket options hold the upload back: with
4096-byte calls its ceiling under Wine is some 30 MB/s, under a tenth of
curl's, and half of curl would need a piece to cost no more than 0.02 ms.
Serving messages adds about 0.04 ms a piece (an empty PeekMessage also
polls the X connection). Setting the bar and the label costs 0.3 ms, more
than the piece itself, so the control sets them only when they would
change: a hundred times an upload instead of 12800 (8.9 s before, 2.2 s
after).

Usage: bench/upload_vs_curl.py [--build build/win64] [--megabytes 50] [--runs 5]
"""
import argparse
import os
import random
import socket
import socketserver
import subprocess
import sys
import tempfile
import threading

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BOUNDARY = "-" * 27 + "a27dd43b872682"


class Sink(socketserver.BaseRequestHandler):
    def handle(self):
        self.request.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
        pending = b""
        while True:
            while b"\r\n\r\n" not in pending:
                chunk = self.request.recv(1 << 20)
                if not chunk:
                    return
                pending += chunk
            head, _, pending = pending.partition(b"\r\n\r\n")
            length = 0
            expect = False
            for line in head.split(b"\r\n")[1:]:
                name, _, value = line.partition(b":")
                if name.strip().lower() == b"content-length":
                    length = int(value)
                if name.strip().lower() == b"expect":
                    expect = True
            if expect:
                self.request.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
            received = len(pending)
            pending = b""
            while received < length:
                chunk = self.request.recv(min(1 << 20, length - received))
                if not chunk:
                    return
                received += len(chunk)
            self.request.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def body_of(data):
    """The same body the control builds around one file and one variable."""
    head = ("--%s\r\nContent-Disposition: form-data; name=\"source\"\r\n\r\nbenchmark\r\n"
            "--%s\r\nContent-Disposition: form-data; name=\"Pagewell\"; filename=\"bench.tif\"\r\n"
            "Content-Type: image/tiff\r\n\r\n" % (BOUNDARY, BOUNDARY)).encode()
    return head + data + ("\r\n--%s--\r\n" % BOUNDARY).encode()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "win64"))
    parser.add_argument("--megabytes", type=int, default=50)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    program = os.path.join(args.build, "bench", "upload", "bench_upload_throughput.exe")
    arch = "win32" if os.path.basename(os.path.normpath(args.build)) == "win32" else "win64"

    server = Server(("127.0.0.1", 0), Sink)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = "http://127.0.0.1:%d/upload" % server.server_address[1]

    with tempfile.TemporaryDirectory() as folder:
        data = random.Random(1).randbytes(args.megabytes << 20)
        data_path = os.path.join(folder, "file.bin")
        body_path = os.path.join(folder, "body.bin")
        with open(data_path, "wb") as f:
            f.write(data)
        body = body_of(data)
        with open(body_path, "wb") as f:
            f.write(body)

        curl_best = None
        for _ in range(args.runs):
            out = subprocess.run(["curl", "-s", "-o", "/dev/null", "-w", "%{http_code} %{time_total}",
                                  "-H", "Content-type: multipart/form-data; boundary=" + BOUNDARY,
                                  "-H", "Expect:", "--data-binary", "@" + body_path, url],
                                 check=True, stdout=subprocess.PIPE, text=True).stdout.split()
            if out[0] != "200":
                sys.exit("curl: status " + out[0])
            curl_best = min(curl_best or 1e30, float(out[1]))

        ours = subprocess.run([os.path.join(ROOT, "scripts", "wine-run"), "--arch=" + arch, program, url,
                               "Z:" + data_path.replace("/", "\\"), str(args.runs)],
                              stdout=subprocess.PIPE, text=True)
        fields = ours.stdout.split()
        if ours.returncode != 0 or len(fields) < 8 or fields[7] != "200":
            sys.exit("bench_upload_throughput failed: " + ours.stdout)
        seconds, body_size, peak = float(fields[1]), int(fields[3]), int(fields[5])
        if body_size != len(body):
            sys.exit("the bodies differ in size: %d against curl's %d" % (body_size, len(body)))

    megabytes = len(body) / (1 << 20)
    ours_rate, curl_rate = megabytes / seconds, megabytes / curl_best
    print("body: %.1f MB, best of %d runs each" % (megabytes, args.runs))
    print("pagewell (WinInet under Wine): %.3f s, %.0f MB/s" % (seconds, ours_rate))
    print("curl:                          %.3f s, %.0f MB/s" % (curl_best, curl_rate))
    print("throughput ratio pagewell / curl: %.2f" % (ours_rate / curl_rate))
    print("pagewell peak memory: %.1f MB; file + body: %.1f MB" % (peak / (1 << 20), (len(data) + len(body)) / (1 << 20)))


if __name__ == "__main__":
    main()
