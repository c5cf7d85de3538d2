#!/usr/bin/python3
# A small SNPP (RFC 1861, level 1) server for the pager alarm tests; no packaged one exists.
# Every line received is appended to LOG as "<connection> <line>".
#   PORT:      greets 220; PAGE of a pager id starting with "refuse" gets 550, "silent" gets
#              no answer; MESS containing "badmess" gets 554; everything else 250; QUIT 221.
#   BUSY_PORT: greets 421 and closes.
import itertools, os, socketserver, sys, threading

ports_file, log_path = sys.argv[1:3]
lock = threading.Lock()
counter = itertools.count(1)


def record(conn, line):
    with lock, open(log_path, "a") as f:
        f.write("%d %s\n" % (conn, line))


class Pager(socketserver.StreamRequestHandler):
    def handle(self):
        conn = next(counter)
        self.wfile.write(b"220 SNPP test gateway ready\r\n")
        for raw in self.rfile:
            line = raw.decode("utf-8", "replace").rstrip("\r\n")
            record(conn, line)
            cmd = line.split(" ", 1)[0].upper()
            arg = line[len(cmd) + 1:]
            if cmd == "PAGE" and arg.startswith("refuse"):
                reply = "550 Error, Invalid Pager ID"
            elif cmd == "PAGE" and arg.startswith("silent"):
                continue
            elif cmd == "MESS" and "badmess" in arg:
                reply = "554 Error, failed"
            elif cmd == "QUIT":
                self.wfile.write(b"221 OK, Goodbye\r\n")
                return
            else:
                reply = "250 OK"
            self.wfile.write((reply + "\r\n").encode())


class Busy(socketserver.StreamRequestHandler):
    def handle(self):
        self.wfile.write(b"421 Too busy, try later\r\n")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


main = Server(("127.0.0.1", 0), Pager)
busy = Server(("127.0.0.1", 0), Busy)
threading.Thread(target=busy.serve_forever, daemon=True).start()
with open(ports_file + ".tmp", "w") as f:
    f.write("PORT=%d\nBUSY_PORT=%d\n" % (main.server_address[1], busy.server_address[1]))
os.rename(ports_file + ".tmp", ports_file)
main.serve_forever()
