#!/usr/bin/env python3
"""Loopback servers for the upload tests, and a runner that starts them.

    upload_servers.py [--lifetime SECONDS] [--verify SCRIPT] -- COMMAND...

Starts, on 127.0.0.1 and ports of their own:
  * the receiver over plain HTTP;
  * the receiver over HTTPS with a certificate for "localhost" issued by a
    test certificate authority made here with openssl;
  * the receiver over HTTPS with a certificate of the same authority for
    another name ("elsewhere.example");
  * the receiver over HTTPS with certificates of the same authority for
    "localhost" that expired in 2020 and that become valid only in 2099;
  * PHP's built-in server running a script that reports $_POST and $_FILES.
Then runs COMMAND with their ports in the environment (PAGEWELL_TEST_HTTP_PORT,
PAGEWELL_TEST_HTTPS_PORT, PAGEWELL_TEST_HTTPS_WRONG_NAME_PORT,
PAGEWELL_TEST_HTTPS_EXPIRED_PORT, PAGEWELL_TEST_HTTPS_NOT_YET_VALID_PORT,
PAGEWELL_TEST_PHP_PORT), the folder where the receiver records every raw
request (PAGEWELL_TEST_REQUESTS) and the authority's certificate in DER form
(PAGEWELL_TEST_CA_DER), stops everything and exits with COMMAND's code.
Where the machine allows it, COMMAND alone trusts the authority and
PAGEWELL_TEST_CA_TRUSTED is 1 (see trusting_test_authority).

In COMMAND's words, {HTTP}, {PHP} and {HTTPS} stand for the servers'
addresses ("http://127.0.0.1:PORT"). With --verify, SCRIPT then runs with
the requests folder as its argument (a Python script, run by this Python),
and both must succeed; a COMMAND that exits with 77 (skipped) is not
verified.
Nothing outlives the run: the servers are threads of this process, PHP is
its child, and the whole run ends after --lifetime seconds at the latest.

The receiver answers by the request's path; the query's "t" parameter tags
the request, which is recorded as REQUESTS/<tag>-<n>.raw (n counts from 1):
  /ok           200, "received <body length> bytes"
  /big          200, 60000 bytes "0123456789..." with a Content-Length
  /nolength     200, 5000 bytes without a Content-Length (connection closed)
  /zero         200, "before" 0x00 "after" with a Content-Length
  /error        500, an HTML error page
  /auth-once    401 with a Basic challenge unless the request carries
                Authorization: Basic for user "ann", password "s3cret"
  /auth-always  401 with a Basic challenge, always
  /silent       reads the request and never answers (until the client leaves)
  /reset        reads 10000 bytes of the body, then resets the connection
  /early        answers 200 "early" as soon as the head is in, without
                reading the body, and closes the connection
  /partial      sends half a status line ("HTTP/1.1 2") and closes
  /cap          200, exactly 51200 bytes "0123456789..." with a Content-Length
  /found        302, /temporary 307, /permanent 308: to the plain HTTP
                receiver's /ok?t=<tag>-followed (its address, whichever
                receiver answered)
  /cookie       200, the request's Cookie header (or nothing) as the reply
  /ca.crl       the test authority's revocation list (empty)
"""

import argparse
import os
import re
import shutil
import socket
import socketserver
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import base64

EXPECTED_AUTHORIZATION = "Basic " + base64.b64encode(b"ann:s3cret").decode()
BIG_REPLY = (b"0123456789" * 6000)


class Recorder:
    def __init__(self, folder):
        self.folder = folder
        self.lock = threading.Lock()
        self.counts = {}

    def record(self, tag, raw):
        tag = re.sub(r"[^A-Za-z0-9_.-]", "_", tag) or "untagged"
        with self.lock:
            n = self.counts.get(tag, 0) + 1
            self.counts[tag] = n
            path = os.path.join(self.folder, "%s-%d.raw" % (tag, n))
            with open(path + ".part", "wb") as f:
                f.write(raw)
            os.replace(path + ".part", path)


def reply(status, reason, body, headers=(), length=True, close=False):
    head = ["HTTP/1.1 %d %s" % (status, reason)]
    head += list(headers)
    if length:
        head.append("Content-Length: %d" % len(body))
    if close or not length:
        head.append("Connection: close")
    return ("\r\n".join(head) + "\r\n\r\n").encode("latin-1") + body


class ReceiverHandler(socketserver.BaseRequestHandler):
    """One connection; requests in turn while the client keeps it alive."""

    def handle(self):
        self.request.settimeout(120)
        # A bytearray grows in place: adding each piece to bytes would copy
        # everything received so far, which for a body of hundreds of
        # megabytes takes the receiver longer than the upload itself.
        pending = bytearray()
        while True:
            while b"\r\n\r\n" not in pending:
                chunk = self._receive()
                if not chunk:
                    return
                pending += chunk
            head, _, pending = pending.partition(b"\r\n\r\n")
            lines = head.decode("latin-1").split("\r\n")
            method, target = (lines[0].split(" ") + ["", ""])[:2]
            headers = {}
            for line in lines[1:]:
                name, _, value = line.partition(":")
                headers[name.strip().lower()] = value.strip()
            path, _, query = target.partition("?")
            tag = dict(p.partition("=")[::2] for p in query.split("&") if p).get("t", "")
            length = int(headers.get("content-length", "0") or 0)
            if path in ("/early", "/partial"):
                Recorder_.record(tag, head + b"\r\n\r\n" + pending)
                if path == "/early":
                    self.request.sendall(reply(200, "OK", b"early", close=True))
                else:
                    self.request.sendall(b"HTTP/1.1 2")
                self.request.close()
                return
            if path == "/reset":
                while len(pending) < min(length, 10000):
                    chunk = self._receive()
                    if not chunk:
                        break
                    pending += chunk
                Recorder_.record(tag, head + b"\r\n\r\n" + pending)
                self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
                self.request.close()
                return
            while len(pending) < length:
                chunk = self._receive()
                if not chunk:
                    return
                pending += chunk
            body, pending = bytes(pending[:length]), pending[length:]
            Recorder_.record(tag, head + b"\r\n\r\n" + body)
            answer, close = self._answer(path, headers, body, tag)
            if answer is None:  # /silent
                while self._receive():
                    pass
                return
            self.request.sendall(answer)
            if close:
                return

    def _receive(self):
        try:
            return self.request.recv(65536)
        except (ConnectionError, socket.timeout, ssl.SSLError, OSError):
            return b""

    def _answer(self, path, headers, body, tag=""):
        challenge = ['WWW-Authenticate: Basic realm="uploads"']
        page = b"<html><body>unauthorised</body></html>"
        if path == "/ca.crl":
            return reply(200, "OK", CRL, ["Content-Type: application/pkix-crl"]), False
        if path == "/ok":
            return reply(200, "OK", b"received %d bytes" % len(body)), False
        if path == "/big":
            return reply(200, "OK", BIG_REPLY), False
        if path == "/cap":
            return reply(200, "OK", BIG_REPLY[:51200]), False
        if path == "/nolength":
            return reply(200, "OK", b"n" * 5000, length=False), True
        if path == "/zero":
            return reply(200, "OK", b"before\x00after"), False
        if path == "/error":
            return reply(500, "Internal Server Error", b"<html><body>the script failed</body></html>"), False
        if path == "/auth-once":
            if headers.get("authorization") == EXPECTED_AUTHORIZATION:
                return reply(200, "OK", b"welcome ann, %d bytes" % len(body)), False
            return reply(401, "Unauthorized", page, challenge), False
        if path == "/auth-always":
            return reply(401, "Unauthorized", page, challenge), False
        if path == "/silent":
            return None, True
        if path in REDIRECTS:
            status, reason = REDIRECTS[path]
            location = "Location: %s/ok?t=%s-followed" % (PLAIN_HTTP, tag)
            return reply(status, reason, b"moved", [location]), False
        if path == "/cookie":
            return reply(200, "OK", headers.get("cookie", "").encode("latin-1")), False
        return reply(404, "Not Found", b"no such place"), False


Recorder_ = None
CRL = b""
PLAIN_HTTP = ""  # the plain HTTP receiver's address, where redirects point
REDIRECTS = {"/found": (302, "Found"), "/temporary": (307, "Temporary Redirect"),
             "/permanent": (308, "Permanent Redirect")}
SKIPPED = 77  # a command's exit code for "skipped", passed on unverified


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, context=None):
        super().__init__(("127.0.0.1", 0), ReceiverHandler)
        self.context = context

    def get_request(self):
        connection, address = super().get_request()
        if self.context:
            # The handshake happens on the handler's first read, in its own
            # thread; a client that refuses the certificate ends it there.
            connection = self.context.wrap_socket(connection, server_side=True, do_handshake_on_connect=False)
        return connection, address

    def port(self):
        return self.server_address[1]


def openssl(*arguments, cwd):
    subprocess.run(["openssl", *arguments], cwd=cwd, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


CA_CONFIG = """[ca]
default_ca = test
[test]
database = index.txt
crlnumber = crlnumber
default_md = sha256
default_crl_days = 2
new_certs_dir = .
unique_subject = no
serial = serial
policy = anything
[anything]
commonName = supplied
"""

# Certificates of the authority for "localhost" outside their dates, by
# name: (notBefore, notAfter) as openssl ca takes them.
OUT_OF_DATES = {"expired": ("20200101000000Z", "20200201000000Z"),
                "notyet": ("20990101000000Z", "20990201000000Z")}


def make_certificates(folder, crl_url):
    """A test authority, two server certificates it issued and its (empty)
    revocation list, which the certificates point to at `crl_url`: a TLS
    client that checks revocation finds them not revoked."""
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Pagewell Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign",
            "-keyout", "ca.key", "-out", "ca.pem", cwd=folder)
    openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der", cwd=folder)
    for name, san in (("localhost", "DNS:localhost"), ("elsewhere", "DNS:elsewhere.example")):
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=" + san[4:], "-keyout", name + ".key",
                "-out", name + ".csr", cwd=folder)
        with open(os.path.join(folder, name + ".ext"), "w") as f:
            f.write("subjectAltName=%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n"
                    "crlDistributionPoints=URI:%s\n" % (san, crl_url))
        openssl("x509", "-req", "-in", name + ".csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                "-days", "2", "-extfile", name + ".ext", "-out", name + ".pem", cwd=folder)
    with open(os.path.join(folder, "ca.cnf"), "w") as f:
        f.write(CA_CONFIG)
    open(os.path.join(folder, "index.txt"), "w").close()
    with open(os.path.join(folder, "crlnumber"), "w") as f:
        f.write("01\n")
    with open(os.path.join(folder, "serial"), "w") as f:
        f.write("1000\n")
    for name, (start, end) in OUT_OF_DATES.items():
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost", "-keyout", name + ".key",
                "-out", name + ".csr", cwd=folder)
        openssl("ca", "-batch", "-config", "ca.cnf", "-notext", "-keyfile", "ca.key", "-cert", "ca.pem",
                "-startdate", start, "-enddate", end, "-extfile", "localhost.ext", "-in", name + ".csr",
                "-out", name + ".pem", cwd=folder)
    openssl("ca", "-config", "ca.cnf", "-gencrl", "-keyfile", "ca.key", "-cert", "ca.pem", "-out", "ca.crl.pem",
            cwd=folder)
    openssl("crl", "-in", "ca.crl.pem", "-outform", "DER", "-out", "ca.crl", cwd=folder)
    with open(os.path.join(folder, "ca.crl"), "rb") as f:
        return f.read()


def tls_context(folder, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(folder, name + ".pem"), os.path.join(folder, name + ".key"))
    return context


PHP_SCRIPT = r"""<?php
// Reports what PHP made of the request: every form variable and file.
header('Content-Type: text/plain');
foreach ($_POST as $name => $value) {
  echo "post ", $name, "=", bin2hex($value), "\n";
}
foreach ($_FILES as $field => $file) {
  $bytes = $file['error'] === 0 ? file_get_contents($file['tmp_name']) : '';
  echo "file ", $field, " name=", bin2hex($file['name']), " type=", $file['type'], " error=", $file['error'],
       " size=", $file['size'], " md5=", md5($bytes), "\n";
}
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_php(folder):
    root = os.path.join(folder, "php")
    os.makedirs(root)
    with open(os.path.join(root, "report.php"), "w") as f:
        f.write(PHP_SCRIPT)
    port = free_port()
    process = subprocess.Popen(["php", "-S", "127.0.0.1:%d" % port, "-t", root,
                                "-d", "upload_max_filesize=64M", "-d", "post_max_size=64M"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
            return process, port
        except OSError:
            time.sleep(0.05)
    process.kill()
    raise RuntimeError("PHP's server did not start")


HOST_BUNDLE = "/etc/ssl/certs/ca-certificates.crt"


def trusting_test_authority(folder, command):
    """COMMAND run so that it alone trusts the test authority: in a mount
    namespace of its own, where the host's CA bundle (which Wine reads for
    its root store) is replaced by a copy with the authority added. Nothing
    outside that process tree sees the change. None when this machine does
    not allow it (no root, no unshare)."""
    if os.geteuid() != 0 or not shutil.which("unshare") or not os.path.isfile(HOST_BUNDLE):
        return None
    bundle = os.path.join(folder, "bundle.crt")
    with open(bundle, "wb") as out:
        for part in (HOST_BUNDLE, os.path.join(folder, "ca.pem")):
            with open(part, "rb") as f:
                out.write(f.read() + b"\n")
    probe = subprocess.run(["unshare", "--mount", "--propagation", "private", "true"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if probe.returncode != 0:
        return None
    return ["unshare", "--mount", "--propagation", "private", "sh", "-c",
            'mount --bind "$0" ' + HOST_BUNDLE + ' && exec "$@"', bundle] + command


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lifetime", type=float, default=600)
    parser.add_argument("--verify")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    global Recorder_, CRL, PLAIN_HTTP
    folder = tempfile.mkdtemp(prefix="pagewell-upload-")
    php = None
    try:
        requests = os.path.join(folder, "requests")
        os.makedirs(requests)
        Recorder_ = Recorder(requests)
        servers = [Server(), Server(), Server(), Server(), Server()]
        PLAIN_HTTP = "http://127.0.0.1:%d" % servers[0].port()
        CRL = make_certificates(folder, "http://127.0.0.1:%d/ca.crl" % servers[0].port())
        servers[1].context = tls_context(folder, "localhost")
        servers[2].context = tls_context(folder, "elsewhere")
        servers[3].context = tls_context(folder, "expired")
        servers[4].context = tls_context(folder, "notyet")
        for server in servers:
            threading.Thread(target=server.serve_forever, daemon=True).start()
        php, php_port = start_php(folder)
        environment = dict(os.environ,
                           PAGEWELL_TEST_HTTP_PORT=str(servers[0].port()),
                           PAGEWELL_TEST_HTTPS_PORT=str(servers[1].port()),
                           PAGEWELL_TEST_HTTPS_WRONG_NAME_PORT=str(servers[2].port()),
                           PAGEWELL_TEST_HTTPS_EXPIRED_PORT=str(servers[3].port()),
                           PAGEWELL_TEST_HTTPS_NOT_YET_VALID_PORT=str(servers[4].port()),
                           PAGEWELL_TEST_PHP_PORT=str(php_port),
                           PAGEWELL_TEST_REQUESTS=windows_path(requests),
                           PAGEWELL_TEST_CA_DER=windows_path(os.path.join(folder, "ca.der")))
        addresses = {"{HTTP}": "http://127.0.0.1:%d" % servers[0].port(),
                     "{HTTPS}": "https://localhost:%d" % servers[1].port(),
                     "{PHP}": "http://127.0.0.1:%d" % php_port}
        for placeholder, address in addresses.items():
            command = [word.replace(placeholder, address) for word in command]
        trusting = trusting_test_authority(folder, command)
        if trusting:
            command = trusting
            environment["PAGEWELL_TEST_CA_TRUSTED"] = "1"
        try:
            code = subprocess.run(command, env=environment, timeout=args.lifetime).returncode
        except subprocess.TimeoutExpired:
            print("upload_servers: the command ran past %g seconds" % args.lifetime, file=sys.stderr)
            return 124
        if args.verify and code != SKIPPED:
            verified = subprocess.run([sys.executable, args.verify, requests], timeout=args.lifetime).returncode
            code = code or verified
        return code
    finally:
        if php:
            php.kill()
            php.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
