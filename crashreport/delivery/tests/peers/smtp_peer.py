"""An SMTP peer on loopback for the delivery tests.

--mode aiosmtpd: a real SMTP server (aiosmtpd); every message is stored as DIR/NNNN.eml and
its decoded text part as DIR/NNNN.txt.
The other modes are a raw socket server that misbehaves on purpose:
  silent   accepts and never says a word
  trickle  greets with continuation lines, one byte every 0.3 s, without end
  pause    greets "220-" and only 3 s later the final "220 " line; a command sent before it is
           refused with 503; then a plain conversation, the message stored as DIR/NNNN.eml
  huge     greets with one line of 10 MB
Prints "PORT <port>" once it listens.
"""
import argparse
import email
import email.policy
import itertools
import os
import socket
import threading
import time

counter = itertools.count()


def store(directory, raw):
    number = next(counter)
    with open(os.path.join(directory, "%04d.eml" % number), "wb") as out:
        out.write(raw)
    message = email.message_from_bytes(raw, policy=email.policy.compat32)
    for part in message.walk():
        if part.get_content_type() == "text/plain":
            with open(os.path.join(directory, "%04d.txt" % number), "wb") as out:
                out.write(part.get_payload(decode=True))
            break


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def run_aiosmtpd(directory):
    from aiosmtpd.controller import Controller

    class Handler:
        async def handle_DATA(self, server, session, envelope):
            store(directory, envelope.original_content)
            return "250 OK stored"

    port = free_port()
    controller = Controller(Handler(), hostname="127.0.0.1", port=port)
    controller.start()
    print("PORT %d" % port, flush=True)
    while True:
        time.sleep(3600)


def converse(client, mode, directory):
    stream = client.makefile("rb")
    if mode == "silent":
        time.sleep(3600)
    if mode == "huge":
        client.sendall(b"220-" + b"x" * (10 * 1024 * 1024) + b"\r\n220 ready\r\n")
        time.sleep(3600)
    if mode == "trickle":
        while True:
            for byte in b"220-still greeting\r\n":
                client.sendall(bytes([byte]))
                time.sleep(0.3)
    client.sendall(b"220-first line of a slow greeting\r\n")
    client.settimeout(3)
    try:
        early = client.recv(1024)
    except socket.timeout:
        early = b""
    client.settimeout(None)
    if early:
        client.sendall(b"503 command before the greeting ended\r\n")
        return
    client.sendall(b"220 ready\r\n")
    while True:
        line = stream.readline()
        if not line:
            return
        command = line.strip().upper()
        if command == b"DATA":
            client.sendall(b"354 go on\r\n")
            raw = b""
            while True:
                line = stream.readline()
                if not line or line == b".\r\n":
                    break
                raw += line[1:] if line.startswith(b"..") else line
            store(directory, raw)
            client.sendall(b"250 stored\r\n")
        else:
            client.sendall(b"250 fine\r\n")


def run_raw(mode, directory):
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print("PORT %d" % listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=converse, args=(client, mode, directory), daemon=True).start()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--record", required=True)
    parser.add_argument("--mode", default="aiosmtpd",
                        choices=["aiosmtpd", "silent", "trickle", "pause", "huge"])
    args = parser.parse_args()
    if args.mode == "aiosmtpd":
        run_aiosmtpd(args.record)
    else:
        run_raw(args.mode, args.record)


main()
