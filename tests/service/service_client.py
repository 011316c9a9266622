"""Raw clients of the local service, and the service itself under Wine.

Python standard library only: an HTTP request is written byte by byte and a
WebSocket (RFC 6455) is spoken by hand, so that the tests can send exactly
what a hostile page or a broken client would.
"""
import base64
import json
import os
import signal
import socket
import struct
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class WineSession:
    """One Xvfb display and wineserver for every Wine program of a test, so
    the service and the program that answers its window meet. Inside
    scripts/test the session already exists (PAGEWELL_XVFB)."""

    def __init__(self, emulator):
        self.emulator = emulator  # e.g. [".../wine-run", "--arch=win64"]
        self.xvfb = None

    def __enter__(self):
        if not os.environ.get("PAGEWELL_XVFB"):
            read_end, write_end = os.pipe()
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            with os.fdopen(read_end) as display:
                number = display.readline().strip()
            os.environ["PAGEWELL_XVFB"] = ":" + number
            os.environ["PAGEWELL_XVFB_PID"] = str(self.xvfb.pid)
        return self

    def __exit__(self, *exc):
        if self.xvfb:
            # Our own display's server goes with it.
            subprocess.run(["wineserver", "-k"], env=self.wine_env(), check=False)
            self.xvfb.terminate()
            self.xvfb.wait()
            del os.environ["PAGEWELL_XVFB"], os.environ["PAGEWELL_XVFB_PID"]

    def wine_env(self):
        env = dict(os.environ)
        arch = next((a.split("=", 1)[1] for a in self.emulator if a.startswith("--arch=")), "win32")
        env["WINEPREFIX"] = os.path.join(ROOT, "build", "wine64" if arch == "win64" else "wine")
        return env

    def run(self, program, *args, timeout=60):
        return subprocess.run(self.emulator + [program, *args], capture_output=True, text=True, timeout=timeout)

    def start(self, program, *args, log=subprocess.DEVNULL):
        # A process group of its own: the Windows program is a child of the
        # emulator's script, and ending the group ends both.
        return subprocess.Popen(self.emulator + [program, *args], stdout=log, stderr=subprocess.STDOUT,
                                start_new_session=True)


class Service:
    """pagewell-service.exe on a port of its own, until the block ends."""

    def __init__(self, session, exe, *options, port=None):
        self.session, self.exe, self.options = session, exe, options
        self.port = port or free_port()

    def __enter__(self):
        # Its output (and Wine's) goes to a file: a pipe nobody reads would
        # fill up and stop it.
        self.log = tempfile.TemporaryFile()
        self.process = self.session.start(self.exe, "--port", str(self.port), *self.options, log=self.log)
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                self.log.seek(0)
                raise RuntimeError("the service ended: " + self.log.read().decode(errors="replace"))
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return self
            except OSError:
                time.sleep(0.2)
        raise RuntimeError("the service did not start listening")

    def __exit__(self, *exc):
        stop_group(self.process)
        self.log.close()


def stop_group(process):
    try:
        os.killpg(process.pid, signal.SIGTERM)
        process.wait(timeout=10)
    except ProcessLookupError:
        pass
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()


def http_exchange(port, request_bytes, host="127.0.0.1", timeout=30):
    """Sends raw bytes and reads until the service closes: (status, head, body)."""
    with socket.create_connection((host, port), timeout=timeout) as connection:
        connection.sendall(request_bytes)
        data = b""
        while True:
            chunk = connection.recv(65536)
            if not chunk:
                break
            data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    status = int(lines[0].split(" ")[1]) if lines and lines[0].startswith("HTTP/1.1 ") else 0
    fields = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        fields.setdefault(name.strip().lower(), []).append(value.strip())
    return status, fields, body


def request(method, path, fields, body=b""):
    text = "%s %s HTTP/1.1\r\n" % (method, path)
    for name, value in fields:
        text += "%s: %s\r\n" % (name, value)
    return text.encode("latin-1") + b"\r\n" + body


class WebSocket:
    """A client of /control; frames are masked as a browser masks them."""

    def __init__(self, port, origin, host=None, timeout=60):
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        key = base64.b64encode(os.urandom(16)).decode()
        fields = [("Host", host or "127.0.0.1:%d" % port), ("Upgrade", "websocket"), ("Connection", "Upgrade"),
                  ("Sec-WebSocket-Version", "13"), ("Sec-WebSocket-Key", key)]
        if origin is not None:
            fields.append(("Origin", origin))
        self.socket.sendall(request("GET", "/control", fields))
        self.buffer = b""
        head = self._read_until(b"\r\n\r\n")
        self.status = int(head.split(b" ")[1]) if head.startswith(b"HTTP/1.1 ") else 0
        self.head = head.decode("latin-1")
        self.next_id = 1

    def _read_until(self, marker):
        while marker not in self.buffer:
            chunk = self.socket.recv(65536)
            if not chunk:
                data, self.buffer = self.buffer, b""
                return data
            self.buffer += chunk
        head, _, self.buffer = self.buffer.partition(marker)
        return head

    def _read_exactly(self, size):
        while len(self.buffer) < size:
            chunk = self.socket.recv(max(65536, size - len(self.buffer)))
            if not chunk:
                raise ConnectionError("closed by the service")
            self.buffer += chunk
        data, self.buffer = self.buffer[:size], self.buffer[size:]
        return data

    def send_frame(self, opcode, payload, fin=True):
        mask = os.urandom(4)
        header = bytes([(0x80 if fin else 0) | opcode])
        size = len(payload)
        if size < 126:
            header += bytes([0x80 | size])
        elif size < 65536:
            header += bytes([0x80 | 126]) + struct.pack(">H", size)
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", size)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.socket.sendall(header + mask + masked)

    def send_json(self, message):
        self.send_frame(1, json.dumps(message).encode())

    def receive(self):
        """(opcode, payload) of the next frame; (None, b"") once the peer closed."""
        try:
            first, second = self._read_exactly(2)
        except (ConnectionError, OSError):
            return None, b""
        size = second & 0x7F
        if size == 126:
            size = struct.unpack(">H", self._read_exactly(2))[0]
        elif size == 127:
            size = struct.unpack(">Q", self._read_exactly(8))[0]
        return first & 0x0F, self._read_exactly(size)

    def receive_json(self):
        """The next text message, skipping events unless asked for."""
        opcode, payload = self.receive()
        if opcode != 1:
            raise AssertionError("expected a text message, got opcode %r %r" % (opcode, payload[:40]))
        return json.loads(payload)

    def ask(self, op, **fields):
        """Sends a request and returns its answer; events before it are kept in self.events."""
        message = dict(id=self.next_id, op=op, **fields)
        self.next_id += 1
        self.send_json(message)
        self.events = []
        while True:
            answer = self.receive_json()
            if "event" in answer:
                self.events.append(answer)
                continue
            return answer

    def close_code(self):
        """Reads until the Close frame: its code, or None if the socket just ended."""
        while True:
            opcode, payload = self.receive()
            if opcode is None:
                return None
            if opcode == 8:
                return struct.unpack(">H", payload[:2])[0] if len(payload) >= 2 else 1005

    def close(self):
        try:
            self.send_frame(8, struct.pack(">H", 1000))
            self.close_code()
        except OSError:
            pass
        self.socket.close()
