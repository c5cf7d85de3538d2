#!/usr/bin/python3
# A small HTTP(S) SMS gateway for the alarm tests. Every request is appended to LOG as one
# JSON line: request line, the headers the tests look at, and the body.
#   /loop          302 to itself (query kept), forever
#   /redirect/N    302 to /redirect/N-1 (query kept), /redirect/0 answers 200
#   /nolocation    302 without Location
#   /notmodified   304
#   /status/CODE   that status
#   /auth          401 unless basic credentials user:pass
#   /slow          answers after 3 s
#   anything else  200
import base64, http.server, json, ssl, sys, threading, time

port_file, tls_port_file, log_path, cert, key = sys.argv[1:6]
lock = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def handle_any(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length).decode("latin-1") if length else ""
        rec = {"request": self.requestline, "body": body, "tls": isinstance(self.connection, ssl.SSLSocket)}
        for h in ("Authorization", "Proxy-Authorization", "Content-Type", "User-Agent", "Accept", "Referer"):
            if self.headers.get(h) is not None:
                rec[h] = self.headers.get(h)
        with lock, open(log_path, "a") as f:
            f.write(json.dumps(rec) + "\n")
        path = self.path.split("?")[0]
        status, headers = 200, {}
        if path == "/loop":
            status, headers = 302, {"Location": self.path}
        elif path.startswith("/redirect/"):
            n = int(path.rsplit("/", 1)[1] or 0)
            if n > 0:
                query = self.path[len(path):]
                status, headers = 302, {"Location": "/redirect/%d%s" % (n - 1, query)}
        elif path == "/nolocation":
            status = 302
        elif path == "/notmodified":
            status = 304
        elif path.startswith("/status/"):
            status = int(path.rsplit("/", 1)[1])
        elif path == "/auth":
            good = "Basic " + base64.b64encode(b"user:pass").decode()
            if self.headers.get("Authorization") != good:
                status, headers = 401, {"WWW-Authenticate": 'Basic realm="gw"'}
        elif path == "/slow":
            time.sleep(3)
        payload = b"" if status == 304 else b"OK\n"
        self.send_response(status)
        for k, v in headers.items():
            self.send_header(k, v)
        if status != 304:
            self.send_header("Content-Length", str(len(payload)))
        self.end_headers()
        if payload and self.command != "HEAD":
            self.wfile.write(payload)

    do_GET = do_POST = do_HEAD = do_PUT = handle_any


def serve(tls, port_path):
    srv = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    srv.daemon_threads = True
    if tls:
        ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        ctx.load_cert_chain(cert, key)
        srv.socket = ctx.wrap_socket(srv.socket, server_side=True)
    with open(port_path + ".tmp", "w") as f:
        f.write(str(srv.server_address[1]))
    import os
    os.rename(port_path + ".tmp", port_path)
    srv.serve_forever()


threading.Thread(target=serve, args=(True, tls_port_file), daemon=True).start()
serve(False, port_file)
