"""http_test_server.py FOLDER PORT_FILE [CERT KEY]: serves FOLDER on 127.0.0.1.
/trickle/NAME: half, then a byte a second; /redirect?to=URL: a redirect."""
import contextlib, functools, http.server, os, pathlib, ssl, sys, time
from urllib.parse import parse_qs, urlsplit


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        target = urlsplit(self.path)
        if target.path == "/redirect":
            self.send_response(302)
            self.send_header("Location", parse_qs(target.query)["to"][0])
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif target.path.startswith("/trickle/"):
            data = pathlib.Path(self.directory, target.path[len("/trickle/"):]).read_bytes()
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.close_connection = True
            half = len(data) // 2
            with contextlib.suppress(OSError):  # the client gave up
                self.wfile.write(data[:half])
                for byte in data[half:-1]:
                    time.sleep(1)
                    self.wfile.write(bytes([byte]))
        else:
            super().do_GET()

    def do_HEAD(self):
        if urlsplit(self.path).path == "/redirect":
            self.do_GET()
        else:
            super().do_HEAD()


server = http.server.ThreadingHTTPServer(
    ("127.0.0.1", 0), functools.partial(Handler, directory=sys.argv[1]))
if len(sys.argv) > 4:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[3], sys.argv[4])
    server.socket = context.wrap_socket(server.socket, server_side=True)
# Whole or not at all: the test scripts wait for the file to appear.
pathlib.Path(sys.argv[2] + ".tmp").write_text(str(server.server_address[1]))
os.replace(sys.argv[2] + ".tmp", sys.argv[2])
server.serve_forever()
