#!/usr/bin/env python3
"""A TLS front for the tests' plain servers: it takes TLS connections on 127.0.0.1 with a given
certificate and passes the bytes inside them on to a plain server on 127.0.0.1, and the answer
back, so that any of the tests' servers (the board server, a scripted one) can be reached over
https://.

Command line:
  tls_front.py --cert FILE --key FILE --backend PORT [--port 0] [--log FILE] [--no-close-notify]

  On start it prints "PORT <n>" on its standard output. --log appends one line per connection:
  "sni <name>" (or "sni -" when the client named no host) once the client's hello arrived, then
  "handshake ok" or "handshake failed <reason>". When the backend has answered and closed, the
  front ends the TLS stream with a closing TLS message, or, with --no-close-notify, closes the
  connection without one, as many servers do. It runs until SIGTERM or SIGINT.
"""

import argparse
import select
import signal
import socket
import socketserver
import ssl
import sys
import threading


class Front(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 128

    def __init__(self, address, context, backend_port, log_path, close_notify):
        self.context = context
        self.backend_port = backend_port
        self.close_notify = close_notify
        self.log_file = open(log_path, "a", encoding="utf-8") if log_path else None
        self.log_lock = threading.Lock()
        super().__init__(address, Handler)

    def log(self, line):
        if not self.log_file:
            return
        with self.log_lock:
            self.log_file.write(line + "\n")
            self.log_file.flush()


def send_blocking(sock, data):
    sock.setblocking(True)
    sock.settimeout(30)
    try:
        sock.sendall(data)
    finally:
        sock.setblocking(False)


def receive(sock):
    """Bytes, b"" at the end of the stream, or None when nothing is there yet."""
    try:
        return sock.recv(65536)
    except (ssl.SSLWantReadError, ssl.SSLWantWriteError, BlockingIOError):
        return None
    except (ssl.SSLError, OSError):
        return b""


def pump(tls, backend):
    """Passes bytes both ways in one thread (an SSL socket must not be read and written from two
    threads at once) until the backend has answered and closed."""
    tls.setblocking(False)
    backend.setblocking(False)
    client_open = True
    while True:
        if client_open and tls.pending():
            ready = [tls]
        else:
            readers = [backend] + ([tls] if client_open else [])
            ready, _, _ = select.select(readers, [], [], 30)
            if not ready:
                return
        if tls in ready:
            data = receive(tls)
            if data:
                send_blocking(backend, data)
            elif data == b"":
                client_open = False
                try:
                    backend.shutdown(socket.SHUT_WR)
                except OSError:
                    pass
        if backend in ready:
            data = receive(backend)
            if data:
                send_blocking(tls, data)
            elif data == b"":
                return


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        server = self.server
        raw = self.request
        raw.settimeout(30)
        try:
            tls = server.context.wrap_socket(raw, server_side=True)
        except (ssl.SSLError, OSError) as error:
            server.log(f"handshake failed {error}")
            return
        server.log("handshake ok")
        try:
            backend = socket.create_connection(("127.0.0.1", server.backend_port), timeout=30)
        except OSError:
            tls.close()
            return
        try:
            pump(tls, backend)
            if server.close_notify:
                tls.setblocking(True)
                tls.settimeout(5)
                try:
                    tls.unwrap()
                except (ssl.SSLError, OSError):
                    pass
        finally:
            backend.close()
            tls.close()


def main():
    parser = argparse.ArgumentParser(description="TLS front for the tests' servers")
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--backend", type=int, required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log")
    parser.add_argument("--no-close-notify", action="store_true")
    args = parser.parse_args()

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server = None

    def note_name(_sock, name, _context):
        server.log(f"sni {name or '-'}")

    context.sni_callback = note_name
    server = Front(("127.0.0.1", args.port), context, args.backend, args.log,
                   not args.no_close_notify)
    print(f"PORT {server.server_address[1]}", flush=True)

    def stop(*_):
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    server.serve_forever(poll_interval=0.05)
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
