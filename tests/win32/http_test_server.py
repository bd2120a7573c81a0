"""Serves FOLDER on a free port of 127.0.0.1, written to PORT_FILE. Below
/trickle/: half the file, then a byte a second for a minute at most."""
import functools
import http.server
import os
import pathlib
import sys
import time

TRICKLE_PREFIX = "/trickle/"


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
        super().do_GET()


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    # Whole or not at all: the test script waits for the file to appear.
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
