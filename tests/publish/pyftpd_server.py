#!/usr/bin/python3
"""Runs pyftpdlib on 127.0.0.1 for the tests and the benchmark.

Usage: pyftpd_server.py ROOT USER PASSWORD
Prints "PORT <n>" once listening, serves until its standard input closes.
"""
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password = sys.argv[1:4]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.banner = "220 pyftpdlib ready"
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.address[1], flush=True)

    # The parent closes our standard input (or dies): stop then, never linger.
    def watch_stdin():
        sys.stdin.read()
        server.close_all()

    threading.Thread(target=watch_stdin, daemon=True).start()
    server.serve_forever(timeout=0.2, blocking=True, handle_exit=True)


if __name__ == "__main__":
    main()
