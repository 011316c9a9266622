#!/usr/bin/env python3
"""The local service under attack and under load, with raw clients on
loopback: it must go on serving the page that uses it whatever other
programs on the machine do to its port.

abuse_test.py --emulator "wine-run|--arch=win32" --service pagewell-service.exe [CHECK...]

One service runs for all the checks, in the order below, and the last one
scans a page through it: whatever came before must have left it whole.
Every loop is bounded in count and time. The figures (cycle rate, how long
slow clients were kept, /status latency meanwhile, memory growth over the
reads) are printed as "abuse: NAME VALUE" lines.
"""
import argparse
import os
import socket
import struct
import sys
import threading
import time
import unittest

from service_client import Service, WebSocket, WineSession, http_exchange, request

ARGS = None
SESSION = None
SERVICE = None
ALLOWED = "http://shop.test:8000"
IDLE_SECONDS = 3
REQUEST_SECONDS = 10  # the service's limit for a request head
MAX_CONNECTIONS = 16
# What a drop may take beyond its limit: the worker looks at its clients at
# least once a second, and Wine adds its own delays.
DROP_MARGIN = 3


def report(name, value):
    print("abuse: %s %s" % (name, value), flush=True)


def status_request(port):
    return request("GET", "/status", [("Host", "127.0.0.1:%d" % port), ("Origin", ALLOWED)])


def read_answer(connection):
    """Everything the service wrote before it closed; a reset after the
    answer (the service closed with our bytes unread) ends it as well."""
    data = b""
    while True:
        try:
            chunk = connection.recv(65536)
        except ConnectionResetError:
            return data
        if not chunk:
            return data
        data += chunk


def status_code(answer):
    first = answer.split(b"\r\n", 1)[0]
    return int(first.split(b" ")[1]) if first.startswith(b"HTTP/1.1 ") else 0


def timed_status(port):
    """(status, seconds) of one GET /status on a new connection."""
    started = time.monotonic()
    status = http_exchange(port, status_request(port), timeout=30)[0]
    return status, time.monotonic() - started


def service_memory_kb():
    """VmRSS and RssAnon (kB) of the Wine process that runs the service:
    Linux sees it as a process of the session the service was started in
    (WineSession.start) whose first word is the exe: the emulator's shell
    script names it only among its arguments."""
    session = SERVICE.process.pid
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % pid) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            with open("/proc/%s/cmdline" % pid, "rb") as cmdline:
                words = cmdline.read().split(b"\0")
            with open("/proc/%s/status" % pid) as status:
                lines = dict(line.split(":", 1) for line in status if ":" in line)
        except OSError:
            continue
        if int(fields[3]) != session or not words[0].lower().endswith(b"pagewell-service.exe"):
            continue
        return int(lines["VmRSS"].split()[0]), int(lines["RssAnon"].split()[0])
    raise AssertionError("the service's Wine process was not found")


def serves_a_session(test):
    ws = WebSocket(SERVICE.port, ALLOWED)
    test.assertEqual(ws.status, 101)
    test.assertEqual(ws.ask("get", name="ImageCount")["result"], 0)
    ws.close()


def frame(first_byte, length_bytes, payload=b""):
    """A masked client frame with its length field written by hand."""
    mask = os.urandom(4)
    return bytes([first_byte]) + length_bytes + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(payload))


def masked_length(size):
    if size < 126:
        return bytes([0x80 | size])
    if size < 65536:
        return bytes([0x80 | 126]) + struct.pack(">H", size)
    return bytes([0x80 | 127]) + struct.pack(">Q", size)


def close_frame(payload):
    return frame(0x88, masked_length(len(payload)), payload)


# What the page sends, and the close code it must get back.
BROKEN_FRAMES = [
    ("64-bit length over the cap", frame(0x81, bytes([0x80 | 127]) + struct.pack(">Q", 1 << 40)), 1009),
    ("64-bit length with its top bit set", frame(0x81, bytes([0x80 | 127]) + struct.pack(">Q", 1 << 63)), 1009),
    ("fragments adding up over the cap",
     frame(0x01, masked_length(40000), b" " * 40000) + frame(0x80, masked_length(40000), b" " * 40000), 1009),
    ("continuation without a start", frame(0x80, masked_length(2), b"{}"), 1002),
    ("a new message inside a fragmented one",
     frame(0x01, masked_length(1), b"{") + frame(0x81, masked_length(2), b"{}"), 1002),
    ("ping over 125 bytes", frame(0x89, masked_length(126), b"p" * 126), 1002),
    ("close over 125 bytes", close_frame(struct.pack(">H", 1000) + b"r" * 124), 1002),
    ("fragmented ping", frame(0x09, masked_length(1), b"p"), 1002),
    ("reserved bits", frame(0xC1, masked_length(2), b"{}"), 1002),
    ("reserved opcode", frame(0x83, masked_length(2), b"{}"), 1002),
    ("close with code 999", close_frame(struct.pack(">H", 999)), 1002),
    ("close with code 1005 (never sent)", close_frame(struct.pack(">H", 1005)), 1002),
    ("close with code 5000", close_frame(struct.pack(">H", 5000)), 1002),
    ("close with a one-byte code", close_frame(b"\x03"), 1002),
    ("close with a reason not UTF-8", close_frame(struct.pack(">H", 1000) + b"\xff"), 1002),
]


class UnderAttack(unittest.TestCase):
    """Checks in the order they run (see main): each leaves the service as
    it found it, so that the next one starts from a served state."""

    def tearDown(self):
        # The service's memory after each check, for the record: the limit
        # is asserted only over the reads of one session.
        report("vmrss_after_" + self._testMethodName[len("test_"):] + "_kb", service_memory_kb()[0])

    def test_connect_and_close_cycles(self):
        port = SERVICE.port
        # Three kinds of peers that go away: at once, half-way through the
        # request head, and with a reset instead of a FIN.
        head = status_request(port)
        kinds = {"at once": b"", "half a head": head[:len(head) // 2], "reset": head[:5]}
        cycles, started = 0, time.monotonic()
        for cycle in range(1000):
            kind = list(kinds)[cycle % len(kinds)]
            connection = socket.create_connection(("127.0.0.1", port), timeout=10)
            if kinds[kind]:
                connection.sendall(kinds[kind])
            if kind == "reset":
                connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            connection.close()
            cycles += 1
        # The kernel completes the handshakes before the service accepts
        # them: the /status behind them in the queue is answered once the
        # service has been through every one.
        self.assertEqual(timed_status(port)[0], 200)
        seconds = time.monotonic() - started
        report("connect_close_cycles", cycles)
        report("connect_close_cycles_through_status_s", "%.2f" % seconds)
        serves_a_session(self)
        # None of them still holds a place: a full set of connections is
        # taken after them.
        held = [socket.create_connection(("127.0.0.1", port), timeout=10) for _ in range(MAX_CONNECTIONS - 1)]
        try:
            self.assertEqual(timed_status(port)[0], 200)
        finally:
            for connection in held:
                connection.close()

    def test_connections_beyond_the_limit_are_refused_with_503(self):
        port = SERVICE.port
        head = status_request(port)
        # Sixteen connections each half-way through a request, in the order
        # the service accepts them.
        held = []
        try:
            for _ in range(MAX_CONNECTIONS):
                connection = socket.create_connection(("127.0.0.1", port), timeout=10)
                connection.sendall(head[:10])
                held.append(connection)
            for what in ("without a request", "with a request"):
                with self.subTest(seventeenth=what):
                    extra = socket.create_connection(("127.0.0.1", port), timeout=10)
                    if what == "with a request":
                        extra.sendall(head)
                    answer = read_answer(extra)
                    extra.close()
                    self.assertEqual(status_code(answer), 503, answer)
                    self.assertIn(b"\r\nRetry-After: 1\r\n", answer)
            # One of the sixteen completes its request; once its answer has
            # ended (the service closed it) a new connection is served.
            first = held.pop(0)
            first.sendall(head[10:])
            self.assertEqual(status_code(read_answer(first)), 200)
            first.close()
            self.assertEqual(timed_status(port)[0], 200)
        finally:
            for connection in held:
                connection.close()

    def test_slow_and_silent_clients_are_dropped_while_others_are_served(self):
        port = SERVICE.port
        drops = {}

        def trickle():
            # One byte a second: the head would take longer than the limit.
            connection = socket.create_connection(("127.0.0.1", port), timeout=REQUEST_SECONDS + DROP_MARGIN + 5)
            started = time.monotonic()
            try:
                for byte in status_request(port)[:REQUEST_SECONDS + DROP_MARGIN + 2]:
                    connection.sendall(bytes([byte]))
                    time.sleep(1)
                    # Dropped: the service closed (a FIN, or a reset for a
                    # byte it will not read).
                    connection.setblocking(False)
                    try:
                        if connection.recv(4096) == b"":
                            break
                    except BlockingIOError:
                        pass
                    finally:
                        connection.setblocking(True)
            except OSError:
                pass
            drops["trickle"] = time.monotonic() - started
            connection.close()

        def silent_session():
            ws = WebSocket(port, ALLOWED, timeout=IDLE_SECONDS + DROP_MARGIN + 10)
            started = time.monotonic()
            drops["silent_code"] = ws.close_code()
            drops["silent"] = time.monotonic() - started
            ws.socket.close()

        threads = [threading.Thread(target=trickle), threading.Thread(target=silent_session)]
        for thread in threads:
            thread.start()
        # Meanwhile other clients are served: a /status every half second
        # for as long as the trickling client is held.
        latencies = []
        deadline = time.monotonic() + REQUEST_SECONDS + DROP_MARGIN + 5
        while threads[0].is_alive() and time.monotonic() < deadline:
            latencies.append(timed_status(port))
            time.sleep(0.5)
        for thread in threads:
            thread.join(REQUEST_SECONDS + DROP_MARGIN + 10)
        seconds = sorted(latency for _, latency in latencies)
        report("trickling_head_dropped_after_s", "%.1f" % drops.get("trickle", -1))
        report("silent_session_closed_after_s", "%.1f" % drops.get("silent", -1))
        report("status_meanwhile_count", len(seconds))
        report("status_meanwhile_p50_ms", "%.1f" % (1000 * seconds[len(seconds) // 2]))
        report("status_meanwhile_max_ms", "%.1f" % (1000 * seconds[-1]))
        with self.subTest(client="silent session"):
            self.assertEqual(drops.get("silent_code"), 1001)
            self.assertLess(drops["silent"], IDLE_SECONDS + DROP_MARGIN)
        with self.subTest(client="trickling head"):
            self.assertGreater(drops["trickle"], REQUEST_SECONDS - 1)
            self.assertLess(drops["trickle"], REQUEST_SECONDS + DROP_MARGIN)
        with self.subTest(client="/status meanwhile"):
            self.assertEqual({status for status, _ in latencies}, {200})
            # Answered at once, not after a slow client's limit ran out.
            self.assertLess(seconds[-1], 2, seconds)

    def test_broken_frames_end_only_their_own_connection(self):
        port = SERVICE.port
        head = status_request(port)
        for what, data, code in BROKEN_FRAMES:
            with self.subTest(what=what):
                # Another client is in the middle of its request meanwhile.
                bystander = socket.create_connection(("127.0.0.1", port), timeout=30)
                bystander.sendall(head[:20])
                ws = WebSocket(port, ALLOWED)
                self.assertEqual(ws.status, 101)
                ws.socket.sendall(data)
                self.assertEqual(ws.close_code(), code)
                ws.socket.close()
                bystander.sendall(head[20:])
                self.assertEqual(status_code(read_answer(bystander)), 200)
                bystander.close()
                serves_a_session(self)

    def test_many_reads_keep_memory_flat(self):
        ws = WebSocket(SERVICE.port, ALLOWED)
        memory, times = {}, []
        for read in range(1, 10001):
            started = time.perf_counter()
            answer = ws.ask("get", name="ImageCount")
            times.append(time.perf_counter() - started)
            self.assertEqual(answer, {"id": read, "result": 0})
            if read in (1000, 10000):
                memory[read] = service_memory_kb()
        ws.close()
        times.sort()
        growth_rss = memory[10000][0] - memory[1000][0]
        growth_anon = memory[10000][1] - memory[1000][1]
        report("reads", 10000)
        report("read_p50_ms", "%.3f" % (1000 * times[len(times) // 2]))
        report("read_p99_ms", "%.3f" % (1000 * times[len(times) * 99 // 100]))
        report("vmrss_at_read_1000_kb", memory[1000][0])
        report("vmrss_growth_1000_to_10000_kb", growth_rss)
        report("rssanon_growth_1000_to_10000_kb", growth_anon)
        self.assertLessEqual(growth_rss, 5 * 1024)

    def test_a_page_still_scans(self):
        ws = WebSocket(SERVICE.port, ALLOWED)
        ws.ask("put", name="DeviceName", value="Pagewell Virtual Feeder")
        ws.ask("put", name="UseInterface", value=False)
        answer = ws.ask("acquire")
        self.assertEqual(answer.get("result"), True, answer)
        self.assertEqual([event["event"] for event in ws.events].count("OnAcquire"), 3)
        self.assertEqual(ws.ask("get", name="ImageCount")["result"], 3)
        ws.close()


ORDER = [
    "test_connect_and_close_cycles",
    "test_connections_beyond_the_limit_are_refused_with_503",
    "test_slow_and_silent_clients_are_dropped_while_others_are_served",
    "test_broken_frames_end_only_their_own_connection",
    "test_many_reads_keep_memory_flat",
    "test_a_page_still_scans",
]


def main():
    global ARGS, SESSION, SERVICE
    parser = argparse.ArgumentParser()
    parser.add_argument("--emulator", required=True, help="the cross-compiling emulator, words joined by |")
    parser.add_argument("--service", required=True)
    parser.add_argument("checks", nargs="*", help="some of the checks, by the names in ORDER (all by default)")
    ARGS = parser.parse_args()
    suite = unittest.TestSuite(UnderAttack(name) for name in ORDER if not ARGS.checks or name in ARGS.checks)
    with WineSession(ARGS.emulator.split("|")) as SESSION:
        with Service(SESSION, ARGS.service, "--no-prompt", "--allow-origin", ALLOWED,
                     "--idle-seconds", str(IDLE_SECONDS)) as SERVICE:
            result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
