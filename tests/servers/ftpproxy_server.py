"""A fixture FTP proxy for the FTP check tests, run by ftpproxy.sh with /usr/bin/python3.

No packaged FTP proxy speaks every login convention the FTP check offers, so this one
checks the login sequence itself and then stands in for the FTP server behind it.

  ftpproxy_server.py STATE_DIR HOST USER PASSWORD PROXY_USER PROXY_PASSWORD PORT1 .. PORT5

One listener per proxy type on 127.0.0.1:
  1 "User Site"   [USER proxy user, PASS proxy password]; SITE host; USER user; PASS password
  2 "Site"        [proxy login]; OPEN host; USER user; PASS password
  3 "Open"        USER user@proxy user@host; PASS password or password@proxy password
  4 "User / Pass" [proxy login]; USER user@host; PASS password
  5 "Transparent" [proxy login]; USER user; PASS password
The user "nopass" is logged in by its USER alone (230), wherever a user is expected.
A command out of sequence is answered "530 Unexpected command in login sequence."; a wrong
password "530 Login incorrect.". After the login: TYPE 200, SYST 215, CWD 250, QUIT 221.
The commands of the latest session on each listener are written, one a line, to
STATE_DIR/session.<type>.log as they arrive.
"""
import signal
import socketserver
import sys
import threading


class Proxy(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def make_handler(ptype, cfg, state):
    host, user, password, puser, ppass = cfg

    class Handler(socketserver.StreamRequestHandler):
        timeout = 30

        def send(self, line):
            self.wfile.write((line + "\r\n").encode())
            self.wfile.flush()

        def lines(self):
            log = open(f"{state}/session.{ptype}.log", "w")
            try:
                while True:
                    raw = self.rfile.readline(4096)
                    if not raw:
                        return
                    line = raw.decode("utf-8", "replace").rstrip("\r\n")
                    log.write(line + "\n")
                    log.flush()
                    yield line
            finally:
                log.close()

        def handle(self):
            self.send("220 Velmora test FTP proxy ready.")
            # The login runs through stages (see step); the proxy login comes first when
            # the client starts with the proxy user.
            stage = "start"
            logged_in = False
            final_user = None
            for line in self.lines():
                verb, _, arg = line.partition(" ")
                verb = verb.upper()
                if verb == "QUIT":
                    self.send("221 Goodbye.")
                    return
                if logged_in:
                    if verb == "TYPE":
                        self.send("200 Switching to Binary mode.")
                    elif verb == "SYST":
                        self.send("215 UNIX Type: L8")
                    elif verb == "CWD":
                        self.send("250 Directory successfully changed.")
                    else:
                        self.send("500 Unknown command.")
                    continue
                reply, stage, final_user, logged_in = self.step(stage, verb, arg, final_user)
                self.send(reply)

        def user_reply(self, name, expected_name):
            if name != expected_name and name.startswith("nopass"):
                return "230 Login successful.", True
            return "331 Please specify the password.", False

        def step(self, stage, verb, arg, final_user):
            bad = ("530 Unexpected command in login sequence.", stage, final_user, False)
            if ptype == 3:
                expected = f"{user}@{puser}@{host}"
                if stage == "start" and verb == "USER":
                    if arg != expected and arg != expected.replace(user, "nopass", 1):
                        return bad
                    reply, ok = self.user_reply(arg, expected)
                    return reply, "pass", arg, ok
                if stage == "pass" and verb == "PASS":
                    if arg in (password, f"{password}@{ppass}"):
                        return "230 Login successful.", "done", final_user, True
                    return "530 Login incorrect.", "start", None, False
                return bad
            # Types 1, 2, 4, 5: optional proxy login, then the type's own steps.
            if stage == "start" and verb == "USER" and arg == puser and puser:
                return "331 Proxy password required.", "proxypass", None, False
            if stage == "proxypass":
                if verb == "PASS" and arg == ppass:
                    return "230 Proxy login accepted.", "afterproxy", None, False
                if verb == "PASS":
                    return "530 Proxy login incorrect.", "start", None, False
                return bad
            if stage in ("start", "afterproxy"):
                if ptype in (1, 2):
                    want = "SITE" if ptype == 1 else "OPEN"
                    if verb == want and arg == host:
                        return f"200 Connected to {host}.", "user", None, False
                    return bad
                stage = "user"
            if stage == "user" and verb == "USER":
                expected = f"{user}@{host}" if ptype == 4 else user
                if arg != expected and arg != expected.replace(user, "nopass", 1):
                    return bad
                reply, ok = self.user_reply(arg, expected)
                return reply, "pass", arg, ok
            if stage == "pass" and verb == "PASS":
                if arg == password:
                    return "230 Login successful.", "done", final_user, True
                return "530 Login incorrect.", "user", None, False
            return bad

    return Handler


def main():
    state, host, user, password, puser, ppass = sys.argv[1:7]
    ports = [int(p) for p in sys.argv[7:12]]
    servers = []
    for ptype, port in enumerate(ports, start=1):
        srv = Proxy(("127.0.0.1", port), make_handler(ptype, (host, user, password, puser, ppass), state))
        threading.Thread(target=srv.serve_forever, daemon=True).start()
        servers.append(srv)
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    signal.signal(signal.SIGINT, lambda *_: done.set())
    with open(state + "/ready", "w") as f:
        f.write("ready\n")
    done.wait()
    for srv in servers:
        srv.shutdown()
        srv.server_close()


if __name__ == "__main__":
    main()
