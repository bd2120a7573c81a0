"""HTTP server for the Windows layer's download tests, on a free port of
127.0.0.1. Serves the files of a folder; a request below /hold/ is answered
only once a file named "release" exists in that folder (at most a minute), and
announces itself by writing "holding" there first, so a test can look at the
client while the request is under way.

Usage: http_test_server.py FOLDER PORT_FILE  (writes the port to PORT_FILE)
"""
import functools
import http.server
import os
import sys
import time

HOLD_PREFIX = "/hold/"
HOLD_LIMIT_SECONDS = 60


def write_atomically(path, text):
    with open(path + ".tmp", "w") as f:
        f.write(text)
    os.replace(path + ".tmp", path)


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith(HOLD_PREFIX):
            write_atomically(os.path.join(self.directory, "holding"), self.path)
            release = os.path.join(self.directory, "release")
            deadline = time.monotonic() + HOLD_LIMIT_SECONDS
            while not os.path.exists(release) and time.monotonic() < deadline:
                time.sleep(0.05)
            self.path = self.path[len(HOLD_PREFIX) - 1:]
        super().do_GET()


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    write_atomically(port_file, str(server.server_address[1]))
    server.serve_forever()


if __name__ == "__main__":
    main()
