#!/usr/bin/python3
"""A loopback SMTP server for Quenzo's mail tests: every message received is
written whole to OUTDIR/<n>.eml, with the envelope in OUTDIR/<n>.env.

    smtp-sink.py PORT OUTDIR [USER:PASSWORD]

With USER:PASSWORD the server requires that login (AUTH PLAIN/LOGIN, without
TLS since it only listens on loopback)."""
import asyncio
import os
import sys
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Sink:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.outdir, str(self.count))
        with open(base + ".env", "w") as f:
            f.write("FROM " + envelope.mail_from + "\n")
            for rcpt in envelope.rcpt_tos:
                f.write("TO " + rcpt + "\n")
            f.write("AUTH " + str(session.authenticated) + "\n")
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        return "250 OK"


def main():
    port = int(sys.argv[1])
    outdir = sys.argv[2]
    credentials = sys.argv[3] if len(sys.argv) > 3 else None
    kwargs = {}
    if credentials:
        user, password = credentials.split(":", 1)

        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user \
                and auth_data.password.decode() == password
            # handled=False: the server itself answers 535 to a refused login.
            return AuthResult(success=True) if ok else AuthResult(success=False, handled=False)

        kwargs = dict(authenticator=authenticator, auth_required=True, auth_require_tls=False)
    controller = Controller(Sink(outdir), hostname="127.0.0.1", port=port, **kwargs)
    controller.start()
    open(os.path.join(outdir, "ready"), "w").close()
    try:
        while True:
            time.sleep(1)
    except KeyboardInterrupt:
        pass
    finally:
        controller.stop()


if __name__ == "__main__":
    main()
