"""HTTP server for the Windows layer's download tests, on a free port of
127.0.0.1. Serves the files of a folder. A request below /trickle/ gets the
whole file announced, half of it sent, and then a byte a second until the
client goes away (at most a minute): a server that never quite stops.

Usage: http_test_server.py FOLDER PORT_FILE  (writes the port to PORT_FILE)
"""
import functools
import http.server
import os
import sys
import time

TRICKLE_LIMIT_SECONDS = 60
TRICKLE_PREFIX = "/trickle/"


def write_atomically(path, text):
    with open(path + ".tmp", "w") as f:
        f.write(text)
    os.replace(path + ".tmp", path)


class Handler(http.server.SimpleHTTPRequestHandler):
    def trickle(self):
        path = os.path.join(self.directory, self.path[len(TRICKLE_PREFIX):])
        with open(path, "rb") as f:
            data = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        half = len(data) // 2
        try:
            self.wfile.write(data[:half])
            self.wfile.flush()
            deadline = time.monotonic() + TRICKLE_LIMIT_SECONDS
            for byte in data[half:]:
                if time.monotonic() > deadline:
                    break
                time.sleep(1)
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
        except OSError:
            pass  # the client gave up
        self.close_connection = True

    def do_GET(self):
        if self.path.startswith(TRICKLE_PREFIX):
            return self.trickle()
        super().do_GET()


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    write_atomically(port_file, str(server.server_address[1]))
    server.serve_forever()


if __name__ == "__main__":
    main()
