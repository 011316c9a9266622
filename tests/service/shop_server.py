"""The shop's web server for browser runs: the page and pagewell.js from the
repository (GET /examples/..., /web/...) and the upload receiver of the
examples at POST /upload, all on one origin (http://shop.test:PORT, which
Chromium maps to 127.0.0.1)."""
import http.server
import mimetypes
import os
import sys
import threading

from service_client import ROOT

sys.path.insert(0, os.path.join(ROOT, "examples"))
from upload_receiver import Receiver  # noqa: E402

SERVED_FOLDERS = ("examples", "web")


class ShopHandler(Receiver):
    def do_GET(self):
        path = self.path.split("?", 1)[0].lstrip("/")
        parts = path.split("/")
        if len(parts) != 2 or parts[0] not in SERVED_FOLDERS or parts[1].startswith("."):
            self.answer(404, "not found\n")
            return
        file = os.path.join(ROOT, *parts)
        if not os.path.isfile(file):
            self.answer(404, "not found\n")
            return
        with open(file, "rb") as content:
            data = content.read()
        kind = "text/javascript" if file.endswith((".js", ".mjs")) else mimetypes.guess_type(file)[0]
        self.send_response(200)
        self.send_header("Content-Type", kind or "application/octet-stream")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_POST(self):
        if self.path != "/upload":
            self.answer(404, "not found\n")
            return
        super().do_POST()

    def log_message(self, fmt, *args):
        pass


def start_shop(upload_folder):
    """The server on a free port, serving in a thread: (server, port)."""
    os.makedirs(upload_folder, exist_ok=True)
    handler = type("Handler", (ShopHandler,), {"folder": upload_folder})
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, server.server_address[1]
