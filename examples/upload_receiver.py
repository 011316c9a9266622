#!/usr/bin/env python3
"""A small upload receiver for trying Pagewell's upload on one's own machine.

    upload_receiver.py [--host 127.0.0.1] [--port 0] [--port-file FILE] FOLDER

Accepts POST requests with a multipart/form-data body, stores every file
part in FOLDER under the file name the client gave (reduced to its last path
component) and answers with a short text listing what it stored and the
form variables it received, which the control keeps as UploadReturnString.
Port 0 takes any free port; the port chosen is printed and, with
--port-file, written to that file once the server accepts connections.

Standard library only. The multipart body is parsed here rather than with
the cgi module, which is deprecated and gone from newer Pythons.
"""

import argparse
import http.server
import os
import re
import sys


def parse_header_params(value):
    """Splits 'form-data; name="a"; filename="b.pdf"' into its main value
    and a dict of its parameters (quoted strings unquoted)."""
    parts = value.split(";")
    params = {}
    for part in parts[1:]:
        if "=" not in part:
            continue
        key, _, raw = part.strip().partition("=")
        raw = raw.strip()
        if len(raw) >= 2 and raw[0] == raw[-1] == '"':
            raw = raw[1:-1].replace('\\"', '"')
        params[key.strip().lower()] = raw
    return parts[0].strip().lower(), params


def parse_multipart(body, boundary):
    """Yields (headers, content) for each part of a multipart body."""
    delimiter = b"--" + boundary
    pieces = body.split(delimiter)
    # pieces[0] is the preamble; the last one starts with "--" (the close
    # delimiter) and is followed by the epilogue.
    for piece in pieces[1:]:
        if piece.startswith(b"--"):
            break
        # Each part starts after the CRLF that ends the delimiter line and
        # ends before the CRLF that precedes the next delimiter.
        if piece.startswith(b"\r\n"):
            piece = piece[2:]
        if piece.endswith(b"\r\n"):
            piece = piece[:-2]
        head, sep, content = piece.partition(b"\r\n\r\n")
        if not sep:
            raise ValueError("a part without a blank line after its headers")
        headers = {}
        for line in head.split(b"\r\n"):
            name, colon, value = line.decode("latin-1").partition(":")
            if colon:
                headers[name.strip().lower()] = value.strip()
        yield headers, content


def safe_name(name):
    # Browsers of old sent the whole client path; keep the last component.
    name = re.split(r"[\\/]", name)[-1].strip()
    name = re.sub(r"[^A-Za-z0-9._ -]", "_", name).lstrip(".")
    return name or "upload.bin"


class Receiver(http.server.BaseHTTPRequestHandler):
    folder = "."
    server_version = "PagewellUploadReceiver/1.0"

    def log_message(self, fmt, *args):
        sys.stderr.write("receiver: " + (fmt % args) + "\n")

    def answer(self, status, text):
        data = text.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        self.answer(200, "Pagewell upload receiver: POST multipart/form-data here\n")

    def do_POST(self):
        kind, params = parse_header_params(self.headers.get("Content-Type", ""))
        if kind != "multipart/form-data" or not params.get("boundary"):
            self.answer(415, "expected multipart/form-data\n")
            return
        try:
            length = int(self.headers.get("Content-Length", ""))
        except ValueError:
            self.answer(411, "Content-Length required\n")
            return
        body = self.rfile.read(length)
        stored, fields = [], []
        try:
            for headers, content in parse_multipart(body, params["boundary"].encode("latin-1")):
                _, disposition = parse_header_params(headers.get("content-disposition", ""))
                field = disposition.get("name", "")
                if "filename" in disposition:
                    name = safe_name(disposition["filename"])
                    with open(os.path.join(self.folder, name), "wb") as out:
                        out.write(content)
                    stored.append("%s=%s (%d bytes)" % (field, name, len(content)))
                else:
                    fields.append("%s=%s" % (field, content.decode("utf-8", "replace")))
        except (ValueError, OSError) as error:
            self.answer(400, "bad upload: %s\n" % error)
            return
        if not stored:
            self.answer(400, "no file in the upload\n")
            return
        self.answer(200, "OK stored " + ", ".join(stored) +
                    ("; fields " + ", ".join(fields) if fields else "") + "\n")


def main():
    parser = argparse.ArgumentParser(description="Stores files posted as multipart/form-data.")
    parser.add_argument("folder", help="where received files are stored")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0, help="0 picks a free port")
    parser.add_argument("--port-file", help="write the chosen port here once listening")
    args = parser.parse_args()

    os.makedirs(args.folder, exist_ok=True)
    Receiver.folder = args.folder
    server = http.server.ThreadingHTTPServer((args.host, args.port), Receiver)
    port = server.server_address[1]
    print("receiver: listening on http://%s:%d/ storing into %s" % (args.host, port, args.folder), flush=True)
    if args.port_file:
        temporary = args.port_file + ".tmp"
        with open(temporary, "w") as out:
            out.write("%d\n" % port)
        os.replace(temporary, args.port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
