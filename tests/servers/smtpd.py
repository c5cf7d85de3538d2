#!/usr/bin/python3
# SMTP receivers of the e-mail alarm tests (aiosmtpd), all on 127.0.0.1:
#   plain     AUTH LOGIN (user "alarm", password "secret") without TLS, no STARTTLS
#   starttls  offers STARTTLS; AUTH only after it
#   smtps     implicit TLS from the first byte
#   legacy    answers EHLO with 502, so clients must fall back to HELO
# A recipient whose address starts with "refused" is rejected with 550. Every accepted
# message is appended to LOG as one JSON line. The ports go to PORTS_FILE as KEY=VALUE lines.
import asyncio, json, os, ssl, sys
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

ports_file, log_path, cert, key = sys.argv[1:5]


class Handler:
    def __init__(self, name):
        self.name = name

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("refused"):
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        rec = {
            "server": self.name,
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "tls": session.ssl is not None,
            "authenticated": bool(session.authenticated),
            "login": session.auth_data.login.decode() if isinstance(session.auth_data, LoginPassword) else "",
            "content": envelope.original_content.decode("utf-8", "replace"),
        }
        with open(log_path, "a") as f:
            f.write(json.dumps(rec) + "\n")
        return "250 2.0.0 Message accepted"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == b"alarm" and auth_data.password == b"secret"
    return AuthResult(success=ok, handled=False, auth_data=auth_data)


class LegacySMTP(SMTP):
    async def smtp_EHLO(self, hostname):
        await self.push("502 5.5.2 Command not recognized")


async def main():
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(cert, key)
    common = dict(authenticator=authenticator, hostname="testmx.local")
    servers = {
        "PORT": (lambda: SMTP(Handler("plain"), auth_require_tls=False, **common), None),
        "STARTTLS_PORT": (lambda: SMTP(Handler("starttls"), tls_context=ctx, auth_require_tls=True, **common), None),
        "SMTPS_PORT": (lambda: SMTP(Handler("smtps"), auth_require_tls=False, **common), ctx),
        "LEGACY_PORT": (lambda: LegacySMTP(Handler("legacy"), auth_require_tls=False, **common), None),
    }
    lines = []
    running = []
    for key_name, (factory, tls) in servers.items():
        srv = await asyncio.get_running_loop().create_server(factory, "127.0.0.1", 0, ssl=tls)
        running.append(srv)
        lines.append("%s=%d" % (key_name, srv.sockets[0].getsockname()[1]))
    with open(ports_file + ".tmp", "w") as f:
        f.write("\n".join(lines) + "\n")
    os.rename(ports_file + ".tmp", ports_file)
    await asyncio.Event().wait()


asyncio.run(main())
