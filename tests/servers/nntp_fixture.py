#!/usr/bin/python3
"""A small news server for the NNTP check tests (RFC 977 / RFC 4643 dialogue only).

Port PORT greets with 200, answers MODE READER with 200 and asks for AUTHINFO (480) on
GROUP until the client has logged in with USER/PASS; group "velmora.test" holds 42
articles (1..42), other groups are unknown (411). Port REFUSE_PORT greets with 502 and
closes. TLS_PORT (when a certificate and key are given) speaks the dialogue of PORT over
TLS from the first byte. Every connection is served on its own thread.
"""
import socketserver
import ssl
import sys
import threading

USER, PASSWORD = "newsreader", "newspass"
GROUPS = {"velmora.test": (42, 1, 42)}


class Reader(socketserver.StreamRequestHandler):
    def send(self, line):
        self.wfile.write((line + "\r\n").encode())
        self.wfile.flush()

    def handle(self):
        if self.server.refuse:
            self.send("502 You have no permission to talk.  Goodbye.")
            return
        self.send("200 velmora fixture news server ready (posting ok)")
        authed = False
        user = None
        while True:
            raw = self.rfile.readline(4096)
            if not raw:
                return
            line = raw.decode(errors="replace").rstrip("\r\n")
            word, _, arg = line.partition(" ")
            word = word.upper()
            if word == "QUIT":
                self.send("205 closing connection")
                return
            if word == "MODE":
                self.send("200 reader mode, posting permitted")
            elif word == "AUTHINFO":
                kind, _, value = arg.partition(" ")
                kind = kind.upper()
                if kind == "USER":
                    user = value
                    self.send("381 password required")
                elif kind == "PASS":
                    if user == USER and value == PASSWORD:
                        authed = True
                        self.send("281 authentication accepted")
                    else:
                        self.send("481 authentication failed")
                else:
                    self.send("501 unknown AUTHINFO form")
            elif word == "GROUP":
                if not authed:
                    self.send("480 authentication required")
                elif arg in GROUPS:
                    n, lo, hi = GROUPS[arg]
                    self.send(f"211 {n} {lo} {hi} {arg}")
                else:
                    self.send("411 no such newsgroup")
            else:
                self.send("500 command not recognized")


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


class TlsServer(Server):
    def get_request(self):
        sock, addr = super().get_request()
        sock.settimeout(10)
        # The handshake runs on the connection's own thread, at its first read or write.
        return self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), addr

    def handle_error(self, request, client_address):
        pass  # a client that fails the handshake is not the server's problem


def main():
    port, refuse_port = int(sys.argv[1]), int(sys.argv[2])
    normal = Server(("127.0.0.1", port), Reader)
    normal.refuse = False
    refusing = Server(("127.0.0.1", refuse_port), Reader)
    refusing.refuse = True
    threading.Thread(target=refusing.serve_forever, daemon=True).start()
    if len(sys.argv) > 5:
        ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        ctx.load_cert_chain(sys.argv[4], sys.argv[5])
        secure = TlsServer(("127.0.0.1", int(sys.argv[3])), Reader)
        secure.refuse = False
        secure.context = ctx
        threading.Thread(target=secure.serve_forever, daemon=True).start()
    normal.serve_forever()


if __name__ == "__main__":
    main()
