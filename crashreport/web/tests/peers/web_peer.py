"""A web server (or forwarding proxy) on loopback for the web delivery tests.

It records every request it receives, byte for byte, as DIR/NNNN.bin and answers by path:
  /upload/ok        200 OK
  /upload/fail      500 Internal Server Error
  /auth/...         401 unless the basic authorization of --auth is sent, then 200
  /redirect/forever 302 to itself, without end
  /redirect/page    302 to /pages/landing.php
  /redirect/to?ADDR 302 to ADDR
  /refresh          200 with a refresh header to /pages/landing.php
  /moved            301 to /pages/moved-here.php
  /cookie/set       200 setting the cookie "session=abc123"
  /endless          200 with a body that never ends
  /stall            never answers
  /trickle...       headers that never end, one byte every 0.3 s
  /huge-header      a header line of 10 MB
  anything else     200, a page naming the path and the cookie it got (with control bytes)
With --proxy it forwards every request to the server its address names instead (a CONNECT
opens a tunnel), after checking the proxy authorization of --proxy-auth. Prints "PORT <port>" once it listens.
"""
import argparse
import base64
import itertools
import os
import socket
import ssl
import threading
import time

counter = itertools.count()
counter_lock = threading.Lock()


def read_request(stream):
    head = b""
    while b"\r\n\r\n" not in head:
        piece = stream.recv(65536)
        if not piece:
            return None
        head += piece
    header_end = head.index(b"\r\n\r\n") + 4
    length = 0
    for line in head[:header_end].split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    body = head[header_end:]
    while len(body) < length:
        piece = stream.recv(65536)
        if not piece:
            return None
        body += piece
    return head[:header_end] + body


def record(directory, raw):
    with counter_lock:
        number = next(counter)
    with open(os.path.join(directory, "%04d.bin" % number), "wb") as out:
        out.write(raw)


def header(raw, wanted):
    for line in raw.split(b"\r\n\r\n", 1)[0].split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == wanted:
            return value.strip()
    return b""


def answer(stream, status, headers=(), body=b""):
    lines = ["HTTP/1.1 %s" % status, "Content-Length: %d" % len(body)] + list(headers)
    stream.sendall(("\r\n".join(lines) + "\r\n\r\n").encode() + body)


def serve_request(stream, raw, args):
    target = raw.split(b" ", 2)[1].decode()
    path = target.split("?", 1)[0]
    if path == "/upload/ok":
        answer(stream, "200 OK", body=b"stored")
    elif path == "/upload/fail":
        answer(stream, "500 Internal Server Error", body=b"broken")
    elif path.startswith("/auth/"):
        expected = b"Basic " + base64.b64encode(args.auth.encode())
        if header(raw, b"authorization") == expected:
            answer(stream, "200 OK", body=b"welcome")
        else:
            answer(stream, "401 Unauthorized", ['WWW-Authenticate: Basic realm="test"'])
    elif path == "/redirect/forever":
        step = int(target.split("=", 1)[1]) + 1 if "=" in target else 1
        answer(stream, "302 Found", ["Location: /redirect/forever?n=%d" % step])
    elif path == "/redirect/page":
        answer(stream, "302 Found", ["Location: /pages/landing.php"])
    elif path == "/redirect/to":
        answer(stream, "302 Found", ["Location: " + target.split("?", 1)[1]])
    elif path == "/refresh":
        answer(stream, "200 OK", ["Refresh: 0; url=/pages/landing.php"], b"wait")
    elif path == "/moved":
        answer(stream, "301 Moved Permanently", ["Location: /pages/moved-here.php"])
    elif path == "/cookie/set":
        answer(stream, "200 OK", ["Set-Cookie: session=abc123; Path=/"], b"set")
    elif path == "/endless":
        stream.sendall(b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")
        while True:
            stream.sendall(b"x" * 65536)
    elif path == "/stall" or path.startswith("/stall/"):
        time.sleep(3600)
    elif path.startswith("/trickle"):
        # Headers that never end, a byte every 0.3 s: never quiet long enough to stall.
        stream.sendall(b"HTTP/1.1 200 OK\r\nX-Slow: ")
        while True:
            stream.sendall(b"a")
            time.sleep(0.3)
    elif path == "/huge-header":
        stream.sendall(b"HTTP/1.1 200 OK\r\nX-Big: " + b"a" * (10 * 1024 * 1024) + b"\r\n\r\n")
    else:
        body = b"page:" + path.encode() + b"\x01\x1f\r\ncookie:" + header(raw, b"cookie")
        answer(stream, "200 OK", ["Content-Type: text/html"], body)


def forward(stream, raw, args):
    if args.proxy_auth:
        expected = b"Basic " + base64.b64encode(args.proxy_auth.encode())
        if header(raw, b"proxy-authorization") != expected:
            answer(stream, "407 Proxy Authentication Required",
                   ['Proxy-Authenticate: Basic realm="proxy"'])
            return
    head, body = raw.split(b"\r\n\r\n", 1)
    lines = head.split(b"\r\n")
    method, address, version = lines[0].split(b" ")
    if method == b"CONNECT":
        tunnel(stream, address)
    rest = address.split(b"://", 1)[1]
    host, _, path = rest.partition(b"/")
    name, _, port = host.partition(b":")
    kept = [line for line in lines[1:]
            if not line.lower().startswith((b"proxy-", b"connection:"))]
    request = b"\r\n".join([b" ".join([method, b"/" + path, version])] + kept +
                           [b"Connection: close"]) + b"\r\n\r\n" + body
    with socket.create_connection((name.decode(), int(port or b"80"))) as upstream:
        upstream.sendall(request)
        while True:
            piece = upstream.recv(65536)
            if not piece:
                break
            stream.sendall(piece)
    raise ConnectionResetError  # the answer ended with the upstream connection


def tunnel(stream, address):
    name, _, port = address.partition(b":")
    upstream = socket.create_connection((name.decode(), int(port)))
    stream.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")

    def pump(source, target):
        try:
            while True:
                piece = source.recv(65536)
                if not piece:
                    break
                target.sendall(piece)
        except OSError:
            pass
        finally:
            target.close()
            source.close()

    threading.Thread(target=pump, args=(upstream, stream), daemon=True).start()
    pump(stream, upstream)
    raise ConnectionResetError  # the tunnel ended


def serve_client(stream, args):
    try:
        while True:
            raw = read_request(stream)
            if raw is None:
                return
            record(args.record, raw)
            if args.proxy:
                forward(stream, raw, args)
            else:
                serve_request(stream, raw, args)
    except (OSError, ssl.SSLError):
        pass
    finally:
        stream.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--record", required=True)
    parser.add_argument("--auth", default="user:secret")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--proxy", action="store_true")
    parser.add_argument("--proxy-auth", default="")
    args = parser.parse_args()

    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    context = None
    if args.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(*args.tls)
    print("PORT %d" % listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()

        def start(client=client):
            stream = client
            if context is not None:
                try:
                    stream = context.wrap_socket(client, server_side=True)
                except (OSError, ssl.SSLError):
                    client.close()
                    return
            serve_client(stream, args)

        threading.Thread(target=start, daemon=True).start()


if __name__ == "__main__":
    main()
