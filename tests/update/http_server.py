# Serves a folder over HTTP on loopback for the update tests and prints its port and process id;
# with a certificate and key file after the folder, over HTTPS.
# Paths below /stall/ answer 200, send a few bytes and then nothing more; /moved/PATH answers
# with a redirect to /PATH.
import functools
import http.server
import os
import ssl
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        with open(self.directory + "/requests.log", "a") as log:
            log.write("%s %s\n" % (self.path, self.headers.get("User-Agent")))
        if self.path.startswith("/moved/"):
            self.send_response(302)
            self.send_header("Location", self.path[len("/moved"):])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
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
if len(sys.argv) > 3:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2], sys.argv[3])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], os.getpid(), flush=True)
server.serve_forever()
