#!/usr/bin/python3
"""FTP server for the upload tests: pyftpdlib on 127.0.0.1, one
anonymous-writable area, one user with a password, and a command log of its
own ("<connection number> <command line>", passwords masked).

Layout under ROOT, made by the caller:
  anon/           home of "anonymous", writable
  anon/readonly/  read-only for "anonymous", below it too
  anon/norename/  writable for "anonymous", but files may not be renamed
  user/           home of the named user
Folders of some names misbehave on purpose, for uploads anywhere below them:
  drop/    the server takes the first chunk of an upload, then drops the connection
  dropN/   the same at the Nth upload of the connection below it (drop3/: the third)
  hangup/  making or entering it is answered, then the server closes the connection
  stall/   the server takes the first chunk of an upload, then neither reads nor answers
The port (PORT, or one the system picks) is written to PORT_FILE once the
server listens.

With --tls the server speaks FTPS with CERTIFICATE and KEY and refuses logins
and transfers without TLS: "explicit" waits for AUTH TLS on the control
connection, "implicit" starts TLS with the first byte.
"""
import argparse
import itertools
import logging
import os
import re
import sys
import warnings

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer

_ids = itertools.count(1)


def folders_above(path):
    return os.path.dirname(path).split(os.sep)


def drop_number(folders):
    """N of the innermost "dropN" folder ("drop" is 1), or None."""
    for folder in reversed(folders):
        match = re.fullmatch(r"drop(\d*)", folder)
        if match:
            return int(match.group(1) or 1)
    return None


class MisbehavingDTPHandler(DTPHandler):
    counted = False

    def handle_read(self):
        super().handle_read()
        if not self.receive or self.tot_bytes_received == 0 or self.file_obj is None:
            return
        folders = folders_above(self.file_obj.name)
        drop_at = drop_number(folders)
        if drop_at is not None and not self.counted:
            self.counted = True
            self.cmd_channel.uploads_to_drop += 1
        if drop_at is not None and self.cmd_channel.uploads_to_drop == drop_at:
            self.cmd_channel.close()
        elif "stall" in folders:
            # Off the loop: the socket stays open and is never read again.
            self.receive = False
            self.del_channel()

    # The base class binds its own method to this name.
    handle_read_event = handle_read


class LoggingHandler(FTPHandler):
    dtp_handler = MisbehavingDTPHandler
    auth_failed_timeout = 0.1
    command_log = None

    def on_connect(self):
        self.connection_id = next(_ids)
        self.uploads_to_drop = 0

    def pre_process_command(self, line, cmd, arg):
        shown = "PASS ******" if cmd == "PASS" else line
        with open(self.command_log, "a", encoding="utf-8") as log:
            log.write("%d %s\n" % (self.connection_id, shown))
        return super().pre_process_command(line, cmd, arg)

    def ftp_CWD(self, path):
        entered = super().ftp_CWD(path)
        if entered is not None and os.path.basename(self.fs.cwd) == "hangup":
            self.close_when_done()
        return entered

    def ftp_MKD(self, path):
        made = super().ftp_MKD(path)
        if os.path.basename(path) == "hangup":
            self.close_when_done()
        return made


class TlsDTPHandler(TLS_DTPHandler, MisbehavingDTPHandler):
    # pyftpdlib 1.5.7 leaves a data connection that only sends out of the
    # read set, so its handshake never ends (upstream bug 604).
    def readable(self):
        return self._ssl_accepting or super().readable()


class ExplicitTlsHandler(TLS_FTPHandler, LoggingHandler):
    dtp_handler = TlsDTPHandler
    tls_control_required = True
    tls_data_required = True


class ImplicitTlsHandler(ExplicitTlsHandler):
    def handle(self):
        # The greeting waits in the buffer until the handshake is done.
        self.secure_connection(self.ssl_context)
        super().handle()


def handler_class(args):
    if args.tls is None:
        return LoggingHandler
    handler = ExplicitTlsHandler if args.tls == "explicit" else ImplicitTlsHandler
    handler.certfile = args.certificate
    handler.keyfile = args.key
    return handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--tls", choices=["explicit", "implicit"])
    parser.add_argument("--certificate")
    parser.add_argument("--key")
    args = parser.parse_args()

    logging.basicConfig(level=logging.WARNING)
    # Writable anonymous access is what these tests want.
    warnings.filterwarnings("ignore", "write permissions assigned to anonymous user")
    anon = os.path.join(args.root, "anon")
    readonly = os.path.join(anon, "readonly")
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(anon, perm="elradfmw")
    authorizer.override_perm("anonymous", readonly, "elr", recursive=True)
    authorizer.override_perm("anonymous", os.path.join(anon, "norename"), "elradmw",
                             recursive=True)
    authorizer.add_user(args.user, args.password, os.path.join(args.root, "user"),
                        perm="elradfmw")

    handler = handler_class(args)
    handler.authorizer = authorizer
    handler.command_log = args.log
    server = FTPServer(("127.0.0.1", args.port), handler)
    port = server.socket.getsockname()[1]
    partial = args.port_file + ".part"
    with open(partial, "w") as out:
        out.write("%d\n" % port)
    os.rename(partial, args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
