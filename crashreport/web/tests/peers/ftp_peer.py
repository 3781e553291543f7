"""An FTP server on loopback for the web delivery tests: user "ftpuser", password "ftppass",
writable root ROOT. Prints "PORT <port>" once it listens."""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    authorizer = DummyAuthorizer()
    authorizer.add_user("ftpuser", "ftppass", sys.argv[1], perm="elradfmw")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
