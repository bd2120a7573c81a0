"""Serves FOLDER on a free port of 127.0.0.1, written to PORT_FILE; over
https with CERT and KEY when given. Below /trickle/: half the file, then a
byte a second for a minute at most. /redirect?to=URL: a redirect to URL.

Usage: http_test_server.py FOLDER PORT_FILE [CERT KEY]"""
import functools
import http.server
import os
import pathlib
import ssl
import sys
import time
from urllib.parse import parse_qs, urlsplit

TRICKLE_PREFIX = "/trickle/"
REDIRECT_PATH = "/redirect"


class Handler(http.server.SimpleHTTPRequestHandler):
    def trickle(self):
        path = os.path.join(self.directory, self.path[len(TRICKLE_PREFIX):])
        data = pathlib.Path(path).read_bytes()
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        half = len(data) // 2
        try:
            self.wfile.write(data[:half])
            self.wfile.flush()
            for byte in data[half:half + 60]:
                time.sleep(1)
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
        except OSError:
            pass  # the client gave up
        self.close_connection = True

    def do_GET(self):
        if self.path.startswith(TRICKLE_PREFIX):
            return self.trickle()
        target = urlsplit(self.path)
        if target.path == REDIRECT_PATH:
            self.send_response(302)
            self.send_header("Location", parse_qs(target.query)["to"][0])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        super().do_GET()


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    if len(sys.argv) > 4:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[3], sys.argv[4])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    # Whole or not at all: the test script waits for the file to appear.
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
