"""SMTP servers for the SMTP check tests, run by smtpcheck.sh with /usr/bin/python3.

  smtpcheck_server.py STATE_DIR PLAIN_PORT AUTH_PORT HELO_PORT TLS_PORT USER PASSWORD CERT KEY

PLAIN_PORT: no authentication offered or needed.
AUTH_PORT:  AUTH LOGIN/PLAIN offered and required before MAIL, over plain TCP.
HELO_PORT:  rejects EHLO with 502 and accepts HELO (an old-style server).
TLS_PORT:   implicit TLS from the first byte, AUTH required as on AUTH_PORT.
Every listener is on 127.0.0.1. The process runs until it receives SIGTERM.
"""
import signal
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Sink:
    async def handle_DATA(self, server, session, envelope):
        return "250 OK"


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login == user.encode()
              and auth_data.password == password.encode())
        return AuthResult(success=ok, handled=False)
    return authenticate


class NoEhloSMTP(SMTP):
    async def smtp_EHLO(self, hostname):
        await self.push("502 5.5.1 EHLO not accepted here, use HELO")


class NoEhloController(Controller):
    def factory(self):
        return NoEhloSMTP(self.handler, **self.SMTP_kwargs)


def main():
    state, plain, auth, helo, tls, user, password, cert, key = sys.argv[1:10]
    authenticator = make_authenticator(user, password)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    controllers = [
        Controller(Sink(), hostname="127.0.0.1", port=int(plain), server_hostname="plain.test"),
        Controller(Sink(), hostname="127.0.0.1", port=int(auth), server_hostname="auth.test",
                   auth_required=True, auth_require_tls=False, authenticator=authenticator),
        NoEhloController(Sink(), hostname="127.0.0.1", port=int(helo), server_hostname="helo.test"),
        Controller(Sink(), hostname="127.0.0.1", port=int(tls), server_hostname="tls.test",
                   ssl_context=context, auth_required=True, auth_require_tls=False,
                   authenticator=authenticator),
    ]
    for c in controllers:
        c.start()
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    signal.signal(signal.SIGINT, lambda *_: done.set())
    with open(state + "/ready", "w") as f:
        f.write("ready\n")
    done.wait()
    for c in controllers:
        try:
            c.stop()
        except Exception:
            pass


if __name__ == "__main__":
    main()
