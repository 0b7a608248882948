#!/usr/bin/python3
"""A small update server for the tests: serves a folder over HTTP on
127.0.0.1 and prints its port on the first line. Names that start with
"cut-" are announced whole but cut off halfway, names under "err-" answer
500, names that start with "slow-" trickle out slowly."""
import http.server
import os
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        name = os.path.basename(self.path)
        if "/err-" in self.path:
            self.send_error(500, "Interner Fehler")
            return
        if name.startswith("cut-") or name.startswith("slow-"):
            path = self.translate_path(self.path)
            try:
                data = open(path, "rb").read()
            except OSError:
                self.send_error(404)
                return
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            if name.startswith("cut-"):
                self.wfile.write(data[: len(data) // 2])
                self.wfile.flush()
                self.close_connection = True
                return
            for i in range(0, len(data), 1024):
                self.wfile.write(data[i : i + 1024])
                self.wfile.flush()
                time.sleep(0.05)
            return
        super().do_GET()


def main():
    os.chdir(sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
