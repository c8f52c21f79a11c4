"""A real SMTP server for the mail tests, on 127.0.0.1 only.

Prints "READY <port>" once it listens, then serves until it is terminated or
its standard input ends: the test program holds that pipe open, so a test
that crashes or is killed does not leave its server behind.
Every accepted message is stored as <maildir>/<n>.json: the envelope, the
login used, the raw message and its MIME tree parsed back with the email
module, so the C++ tests can check headers and parts without a MIME parser
of their own.
"""

import argparse
import asyncio
import email
import email.policy
import json
import logging
import os
import signal
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--maildir", required=True)
    p.add_argument("--security", choices=["plain", "starttls", "tls"], default="plain")
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--user", help="user:password that the server accepts")
    p.add_argument("--mechanisms", default="LOGIN,PLAIN", help="AUTH mechanisms offered")
    p.add_argument("--reject-rcpt", action="append", default=[], help="answered with 550")
    return p.parse_args()


def describe(part):
    """The MIME tree as nested dictionaries."""
    node = {
        "type": part.get_content_type(),
        "charset": part.get_content_charset(),
        "encoding": part.get("Content-Transfer-Encoding"),
        "content_id": part.get("Content-ID"),
        "disposition": part.get_content_disposition(),
        "filename": part.get_filename(),
    }
    if part.is_multipart():
        node["parts"] = [describe(p) for p in part.iter_parts()]
    elif part.get_content_maintype() == "text":
        node["text"] = part.get_content()
    else:
        node["size"] = len(part.get_payload(decode=True) or b"")
    return node


def structure(node):
    """A compact form of the tree: multipart/mixed(text/plain,image/png)."""
    if "parts" in node:
        return node["type"] + "(" + ",".join(structure(p) for p in node["parts"]) + ")"
    return node["type"]


class Handler:
    def __init__(self, args):
        self.args = args
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.args.reject_rcpt:
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        raw = envelope.original_content or envelope.content
        message = email.message_from_bytes(raw, policy=email.policy.default)
        tree = describe(message)
        login = session.auth_data
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "login": login.login.decode() if isinstance(login, LoginPassword) else None,
            "mechanism": getattr(session, "fixture_mechanism", None),
            "tls": session.ssl is not None or self.args.security == "tls",
            "headers": {k: str(v) for k, v in message.items()},
            "raw": raw.decode("latin-1"),
            "tree": tree,
            "structure": structure(tree),
        }
        self.count += 1
        path = os.path.join(self.args.maildir, "%d.json" % self.count)
        with open(path + ".part", "w", encoding="utf-8") as f:
            json.dump(record, f)
        os.replace(path + ".part", path)
        return "250 Message accepted"


def make_authenticator(user):
    login, _, password = user.partition(":")

    def authenticate(server, session, envelope, mechanism, auth_data):
        session.fixture_mechanism = mechanism
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == login
              and auth_data.password.decode() == password)
        return AuthResult(success=ok, handled=False, auth_data=auth_data if ok else None)

    return authenticate


def stop_at_end_of_input(loop):
    def readable():
        if not os.read(sys.stdin.fileno(), 4096):
            loop.stop()

    try:
        loop.add_reader(sys.stdin.fileno(), readable)
    except (OSError, ValueError):
        pass  # run by hand with no pipe as input: only a signal stops it


def main():
    args = parse_args()
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    context = None
    if args.security != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    offered = set(args.mechanisms.split(","))
    smtp_kwargs = {
        "hostname": "fixture.test",  # never a name lookup
        "ident": "Fixture SMTP",
        "data_size_limit": 4 * 1024 * 1024,
        "auth_exclude_mechanism": [m for m in ("LOGIN", "PLAIN") if m not in offered],
    }
    if args.user:
        smtp_kwargs["authenticator"] = make_authenticator(args.user)
        # The server cannot see a TLS transport it did not start itself.
        smtp_kwargs["auth_require_tls"] = args.security == "starttls"
    if args.security == "starttls":
        smtp_kwargs["tls_context"] = context
        smtp_kwargs["require_starttls"] = True

    handler = Handler(args)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        lambda: SMTP(handler, loop=loop, **smtp_kwargs),
        host="127.0.0.1", port=0,
        ssl=context if args.security == "tls" else None))
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    stop_at_end_of_input(loop)
    print("READY %d" % server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()
    server.close()


if __name__ == "__main__":
    main()
