#!/usr/bin/python3
"""SMTP server for the mail tests, on 127.0.0.1 only.

usage: /usr/bin/python3 smtp_server.py PORT OUTDIR MODE [CERT KEY]
  PORT   0 lets the system choose; the port in use is written to OUTDIR/port once the server listens
  MODE   accept       every message is written to OUTDIR/<n>.eml, the envelope in two added header
                      lines, whether the session ran over TLS in a third (X-Tls: yes|no) and the
                      number of the connection it came on in a fourth (X-Connection: <n>); a
                      recipient whose address begins with "refused" is answered 550
         reject-mail  MAIL FROM is answered 550
         reject-rcpt  RCPT TO is answered 550
         reject-data  the message after DATA is answered 554
         silent       connections are accepted and never answered (no greeting, no reply)
  CERT KEY  PEM certificate chain and key: the server offers STARTTLS with them
Stops on SIGTERM.
"""
import asyncio
import itertools
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP
from serving import serve_until_stopped

port, out, mode = int(sys.argv[1]), sys.argv[2], sys.argv[3]
os.makedirs(out, exist_ok=True)
counter = itertools.count(1)
connections = itertools.count(1)
tls = None
if len(sys.argv) >= 6:
    tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls.load_cert_chain(sys.argv[4], sys.argv[5])


def connection_of(session):
    """The number of the connection a session runs on, counted from 1 as connections come."""
    if not hasattr(session, "connection_number"):
        session.connection_number = next(connections)
    return session.connection_number


class Handler:
    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        connection_of(session)
        if mode == "reject-mail":
            return "550 5.1.8 Sender address rejected"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if mode == "reject-rcpt" or address.startswith("refused"):
            return "550 5.1.1 Recipient address rejected: unknown user"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if mode == "reject-data":
            return "554 5.6.0 Message content rejected"
        path = os.path.join(out, f"{next(counter):04d}.eml")
        with open(path + ".part", "wb") as f:
            f.write(f"X-MailFrom: {envelope.mail_from}\r\n"
                    f"X-RcptTo: {', '.join(envelope.rcpt_tos)}\r\n"
                    f"X-Tls: {'yes' if session.ssl is not None else 'no'}\r\n"
                    f"X-Connection: {connection_of(session)}\r\n".encode())
            f.write(envelope.original_content)
        os.rename(path + ".part", path)
        return "250 Message accepted"


class Silent(asyncio.Protocol):
    def data_received(self, data):
        pass


async def main():
    loop = asyncio.get_running_loop()
    if mode == "silent":
        factory = Silent
    else:
        def factory():
            return SMTP(Handler(), tls_context=tls, require_starttls=False)
    server = await loop.create_server(factory, "127.0.0.1", port)
    await serve_until_stopped(server, out)


asyncio.run(main())
