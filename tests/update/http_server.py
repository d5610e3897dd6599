#!/usr/bin/env python3
"""A small web server on loopback for the version-check tests.

Usage: http_server.py FOLDER. Listens on 127.0.0.1 on a free port and prints the port on
the first line of its output. Each request for /MODE/BODY/... is answered in the way MODE
names with the bytes of FOLDER/BODY (empty when that file is absent); the raw bytes of the
request are saved to FOLDER/last_request.bin before the answer starts.

Modes:
  len      200, Content-Length (header names in mixed case)
  slow     200, Content-Length, the answer sent one byte at a time
  chunked  200, chunked transfer in 7-byte chunks, with a chunk extension
  close    200, no length: the body ends when the server closes
  stall    200, Content-Length twice the body, half of it sent, then silence
  trickle  200, Content-Length far beyond the body, the body, then one byte every 50 ms
  drip     200, Content-Length far beyond the body, then one byte a second for 2 minutes
  mute     the request is read and never answered
  404      404 with a body
  302      302 with a Location and a body
"""
import os
import socket
import socketserver
import sys
import time

FOLDER = sys.argv[1]


def read_request(sock):
    data = b""
    sock.settimeout(10)
    while b"\r\n\r\n" not in data:
        part = sock.recv(4096)
        if not part:
            break
        data += part
    return data


def hold_until_closed(sock, limit=30):
    sock.settimeout(limit)
    try:
        while sock.recv(4096):
            pass
    except OSError:
        pass


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        request = read_request(sock)
        temp = os.path.join(FOLDER, "last_request.tmp")
        with open(temp, "wb") as f:
            f.write(request)
        os.replace(temp, os.path.join(FOLDER, "last_request.bin"))

        target = request.split(b" ")[1].decode("latin-1") if b" " in request else "/"
        parts = target.lstrip("/").split("/")
        mode = parts[0]
        body = b""
        if len(parts) > 1:
            path = os.path.join(FOLDER, parts[1])
            if parts[1] and os.path.isfile(path):
                with open(path, "rb") as f:
                    body = f.read()

        if mode == "len":
            sock.sendall(b"HTTP/1.1 200 OK\r\nServer: test\r\ncontent-LENGTH: %d\r\n\r\n"
                         % len(body) + body)
        elif mode == "slow":
            answer = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body
            for i in range(len(answer)):
                sock.sendall(answer[i:i + 1])
                time.sleep(0.002)
        elif mode == "chunked":
            sock.sendall(b"HTTP/1.1 200 OK\r\nTRANSFER-ENCODING: chunked\r\n\r\n")
            for i in range(0, len(body), 7):
                piece = body[i:i + 7]
                extension = b";part=1" if i == 0 else b""
                sock.sendall(b"%x%s\r\n" % (len(piece), extension) + piece + b"\r\n")
                time.sleep(0.005)
            sock.sendall(b"0\r\n\r\n")
            hold_until_closed(sock, 5)
        elif mode == "close":
            sock.sendall(b"HTTP/1.0 200 OK\r\n\r\n")
            time.sleep(0.05)
            sock.sendall(body)
        elif mode == "stall":
            sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % (2 * len(body)) +
                         body)
            hold_until_closed(sock)
        elif mode == "trickle":
            sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n" + body)
            try:
                for _ in range(600):
                    time.sleep(0.05)
                    sock.sendall(b"\n")
            except OSError:
                pass
        elif mode == "drip":
            sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n")
            try:
                for _ in range(120):
                    time.sleep(1)
                    sock.sendall(b"\n")
            except OSError:
                pass
        elif mode == "mute":
            hold_until_closed(sock)
        elif mode == "404":
            sock.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: %d\r\n\r\n" % len(body) +
                         body)
        elif mode == "302":
            sock.sendall(b"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/elsewhere\r\n"
                         b"Content-Length: %d\r\n\r\n" % len(body) + body)
        else:
            sock.sendall(b"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    with Server(("127.0.0.1", 0), Handler) as server:
        print(server.server_address[1], flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
