#!/usr/bin/env python3
"""Local web server for running the tool on the simulated host.

Serves the files of one folder (the boot image) on 127.0.0.1, streamed in
chunks, and answers proxy requests for any other site with a small page, so
that the tool's connectivity probe, sent through the simulated host's proxy,
finds "the internet" without leaving the machine.

Usage: demo_server.py <folder> <port file> [bytes per second [cert key]]
The chosen port is written to <port file> once the server listens. With a
rate, files are sent no faster than that, so that a download takes as long
as it would over a real line and the window's building state can be seen
(0: as fast as it can). With a certificate and its key (PEM files) it speaks
https, as the publisher's server does.

For the Windows layer's download tests, /trickle/NAME sends half of NAME and
then a byte a second, and /redirect?to=URL sends the client to URL; HEAD is
answered as GET is, without the body.
"""
import email.utils
import http.server
import os
import ssl
import sys
import time
from urllib.parse import parse_qs, urlsplit

CHUNK = 1 << 20


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    folder = "."
    rate = 0  # bytes per second; 0 sends as fast as possible

    def log_message(self, fmt, *args):
        sys.stderr.write("demo-server: " + (fmt % args) + "\n")

    def do_HEAD(self):
        self.do_GET(body=False)

    def do_GET(self, body=True):
        target = urlsplit(self.path)
        if target.scheme and target.hostname not in ("127.0.0.1", "localhost"):
            # A proxied request for a public site: the probe only needs data.
            page = b"<html><body>reachable</body></html>\n"
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(page)))
            self.end_headers()
            if body:
                self.wfile.write(page)
            return
        if target.path == "/redirect":
            self.send_response(302)
            self.send_header("Location", parse_qs(target.query).get("to", ["/"])[0])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        name = os.path.basename(target.path)
        path = os.path.join(self.folder, name)
        if not name or not os.path.isfile(path):
            self.send_error(404)
            return
        size = os.path.getsize(path)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size))
        self.send_header("Last-Modified", email.utils.formatdate(os.path.getmtime(path), usegmt=True))
        self.end_headers()
        if not body:
            return
        if target.path.startswith("/trickle/"):
            self.trickle(path, size)
            return
        started = time.monotonic()
        sent = 0
        with open(path, "rb") as f:
            while True:
                chunk = f.read(CHUNK)
                if not chunk:
                    break
                try:
                    self.wfile.write(chunk)
                except (BrokenPipeError, ConnectionResetError):
                    return
                sent += len(chunk)
                if self.rate:
                    ahead = sent / self.rate - (time.monotonic() - started)
                    if ahead > 0:
                        time.sleep(ahead)

    def trickle(self, path, size):
        # Never done, never silent for long: a download must be stopped.
        self.close_connection = True
        with open(path, "rb") as f:
            data = f.read()
        try:
            self.wfile.write(data[: size // 2])
            for byte in data[size // 2 : -1]:
                time.sleep(1)
                self.wfile.write(bytes([byte]))
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    Handler.folder = folder
    if len(sys.argv) > 3:
        Handler.rate = int(sys.argv[3])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    if len(sys.argv) > 5:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[4], sys.argv[5])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
