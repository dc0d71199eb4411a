# Serves a folder over HTTP on loopback for the update tests and prints its port and process id.
# Paths below /stall/ answer 200, send a few bytes and then nothing more.
import functools
import http.server
import os
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        with open(self.directory + "/requests.log", "a") as log:
            log.write("%s %s\n" % (self.path, self.headers.get("User-Agent")))
        if self.path.startswith("/stall/"):
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"<VostrelUpd")
            self.wfile.flush()
            time.sleep(60)
            return
        super().do_GET()

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=sys.argv[1]))
server.daemon_threads = True
print(server.server_address[1], os.getpid(), flush=True)
server.serve_forever()
