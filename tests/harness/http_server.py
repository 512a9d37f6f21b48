"""A loopback HTTP server for the tests, usable directly and as a proxy.

Every reply is scripted per path with a `Reply`: status, body (bytes or a
file), announced length or chunked or close-delimited, a slow trickle, a body
cut short, a close before the headers, a proxy or a server that asks for a
login, and the hostile servers a download must survive (`Hostile`): one that
stalls after its headers, one that never answers, a login reply that never
ends, a body that trickles in a byte at a time (after a fast start, if the
route asks for one). Each of those keeps it up
for `hold_seconds` at most, and less when the server stops. As a proxy (the `http_proxy` of a Wine process) it receives absolute
addresses, so programs keep their real host names and still reach this
server. Every request is recorded.

    with HttpServer() as server:
        server.route("/google/setup.exe", Reply(body=b"MZ..."))
        server.route("/big.bin", Reply(body_file=path, chunked=True))
        env = {"http_proxy": server.proxy_url}
        ...
        server.requests_for("/google/setup.exe")
"""

import base64
import socket
import threading
import time
from dataclasses import dataclass, field
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from typing import Dict, List, Optional
from urllib.parse import urlsplit

STATUS_TEXTS = {200: "OK", 401: "Unauthorized", 404: "Not Found", 407: "Proxy Authentication Required",
                500: "Internal Server Error"}

# Blocks in which a body leaves the server unless a route asks otherwise.
DEFAULT_CHUNK_BYTES = 64 * 1024

# How long a hostile server keeps a connection unless its route says.
DEFAULT_HOLD_SECONDS = 60.0
# A trickle's pace, and the endless login reply's.
TRICKLE_INTERVAL_SECONDS = 0.05
ENDLESS_BLOCK = b"<p>Bitte melden Sie sich an.</p>\n" * 32


class Hostile:
    """What a hostile server does after reading the request."""
    STALL_AFTER_HEADERS = "stall after headers"   # headers and a first block, then silence
    NEVER_ANSWER = "never answer"                 # no status line at all
    ENDLESS_LOGIN = "endless login reply"         # 401 whose body never ends
    TRICKLE = "trickle"                           # the body a byte (or trickle_bytes) at a time,
                                                  # after fast_bytes sent at once


@dataclass
class Reply:
    """How the server answers one path.

    body / body_file: the body (a file is streamed, not read whole).
    announce_length: send Content-Length (ignored when chunked).
    chunked: Transfer-Encoding: chunked, no length.
    chunk_bytes, chunk_delay: the body leaves in blocks of chunk_bytes with
        chunk_delay seconds before each one (a slow server).
    header_delay: seconds to wait before the status line.
    truncate_after: send only this many body bytes (the full length is still
        announced), then close the connection.
    close_before_headers: read the request, then close without a reply.
    proxy_login: "user:password" a proxy expects in Proxy-Authorization;
        without it the reply is 407 with a short body.
    login: "user:password" the server expects in Authorization; without it
        the reply is 401 with a short body.
    hostile: one of the `Hostile` behaviours, kept up for hold_seconds.
    fast_bytes, trickle_bytes: a trickle first sends fast_bytes at once, then
        trickle_bytes every TRICKLE_INTERVAL_SECONDS.
    """
    status: int = 200
    body: bytes = b""
    body_file: Optional[Path] = None
    announce_length: bool = True
    chunked: bool = False
    chunk_bytes: int = DEFAULT_CHUNK_BYTES
    chunk_delay: float = 0.0
    header_delay: float = 0.0
    truncate_after: Optional[int] = None
    close_before_headers: bool = False
    proxy_login: Optional[str] = None
    login: Optional[str] = None
    headers: Dict[str, str] = field(default_factory=dict)
    hostile: Optional[str] = None
    hold_seconds: float = DEFAULT_HOLD_SECONDS
    fast_bytes: int = 0
    trickle_bytes: int = 1

    def body_length(self):
        return self.body_file.stat().st_size if self.body_file else len(self.body)

    def body_blocks(self):
        if self.body_file:
            with open(self.body_file, "rb") as stream:
                while True:
                    block = stream.read(self.chunk_bytes)
                    if not block:
                        return
                    yield block
        else:
            for start in range(0, len(self.body), self.chunk_bytes):
                yield self.body[start:start + self.chunk_bytes]


@dataclass
class Request:
    method: str
    target: str          # as on the request line: a path, or an absolute address via a proxy
    host: str            # the Host header
    path: str            # path and query
    headers: Dict[str, str]
    via_proxy: bool


class _Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.server.owner._handle(self)

    do_HEAD = do_GET


class HttpServer:
    """A threaded server on 127.0.0.1 (a free port unless one is given)."""

    def __init__(self, port=0):
        self._server = ThreadingHTTPServer(("127.0.0.1", port), _Handler)
        self._server.daemon_threads = True
        self._server.owner = self
        self._routes: Dict[str, Reply] = {}
        self._lock = threading.Lock()
        # Set when the server stops: every hostile connection ends then.
        self._stopping = threading.Event()
        self.requests: List[Request] = []
        self._thread = None

    @property
    def port(self):
        return self._server.server_address[1]

    @property
    def proxy_url(self):
        """The value for http_proxy."""
        return f"http://127.0.0.1:{self.port}"

    def url(self, path):
        """An address of this server itself (no proxy needed)."""
        return f"http://127.0.0.1:{self.port}{path}"

    def route(self, path, reply):
        """Answers requests for `path` (path and query, host ignored)."""
        with self._lock:
            self._routes[path] = reply

    def requests_for(self, path):
        with self._lock:
            return [r for r in self.requests if r.path == path]

    def start(self):
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()
        return self

    def stop(self):
        self._stopping.set()
        self._server.shutdown()
        self._server.server_close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    # -- serving ------------------------------------------------------------

    def _handle(self, handler):
        target = handler.path
        via_proxy = target.lower().startswith("http://")
        path = target
        if via_proxy:
            parts = urlsplit(target)
            path = (parts.path or "/") + (f"?{parts.query}" if parts.query else "")
        headers = {k: v for k, v in handler.headers.items()}
        request = Request(handler.command, target, handler.headers.get("Host", ""), path,
                          headers, via_proxy)
        with self._lock:
            self.requests.append(request)
            reply = self._routes.get(path)
        handler.close_connection = True
        if reply is None:
            reply = Reply(status=404, body=b"not found")
        try:
            if reply.hostile:
                self._send_hostile(handler, reply)
            else:
                self._send(handler, reply)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client stopped reading (a cancelled download)

    @staticmethod
    def _login_given(handler, header, expected):
        value = handler.headers.get(header, "")
        scheme, _, token = value.partition(" ")
        if scheme.lower() != "basic":
            return False
        try:
            return base64.b64decode(token).decode("latin-1") == expected
        except ValueError:
            return False

    def _send(self, handler, reply):
        if reply.close_before_headers:
            handler.connection.shutdown(socket.SHUT_RDWR)
            return
        if reply.header_delay:
            time.sleep(reply.header_delay)
        if reply.proxy_login and not self._login_given(handler, "Proxy-Authorization", reply.proxy_login):
            reply = Reply(status=407, body=b"proxy login required",
                          headers={"Proxy-Authenticate": 'Basic realm="loopback"'})
        elif reply.login and not self._login_given(handler, "Authorization", reply.login):
            reply = Reply(status=401, body=b"login required",
                          headers={"WWW-Authenticate": 'Basic realm="loopback"'})

        out = handler.wfile
        length = reply.body_length()
        head = [f"HTTP/1.1 {reply.status} {STATUS_TEXTS.get(reply.status, 'Status')}",
                "Content-Type: application/octet-stream", "Connection: close"]
        if reply.chunked:
            head.append("Transfer-Encoding: chunked")
        elif reply.announce_length:
            head.append(f"Content-Length: {length}")
        head += [f"{k}: {v}" for k, v in reply.headers.items()]
        out.write(("\r\n".join(head) + "\r\n\r\n").encode("latin-1"))
        out.flush()
        if handler.command == "HEAD":
            return

        remaining = reply.truncate_after if reply.truncate_after is not None else length
        for block in reply.body_blocks():
            if remaining <= 0:
                break
            block = block[:remaining]
            remaining -= len(block)
            if reply.chunk_delay:
                time.sleep(reply.chunk_delay)
            if reply.chunked:
                out.write(f"{len(block):x}\r\n".encode() + block + b"\r\n")
            else:
                out.write(block)
            out.flush()
        if reply.truncate_after is not None:
            # Cut short: end the connection without the rest (or the last chunk).
            handler.connection.shutdown(socket.SHUT_RDWR)
            return
        if reply.chunked:
            out.write(b"0\r\n\r\n")
            out.flush()

    def _send_hostile(self, handler, reply):
        out = handler.wfile
        until = time.monotonic() + reply.hold_seconds

        def holding(pause=0.0):
            """Waits `pause`; False once the hold is over or the server stops."""
            left = until - time.monotonic()
            return left > 0 and not self._stopping.wait(min(pause, left))

        def head(status, *lines):
            text = [f"HTTP/1.1 {status} {STATUS_TEXTS[status]}",
                    "Content-Type: application/octet-stream", "Connection: close", *lines]
            out.write(("\r\n".join(text) + "\r\n\r\n").encode("latin-1"))
            out.flush()

        body = reply.body
        if reply.hostile == Hostile.STALL_AFTER_HEADERS:
            head(200, f"Content-Length: {len(body)}")
            out.write(body[:len(body) // 2])
            out.flush()
            holding(reply.hold_seconds)
        elif reply.hostile == Hostile.NEVER_ANSWER:
            holding(reply.hold_seconds)
        elif reply.hostile == Hostile.ENDLESS_LOGIN:
            head(401, 'WWW-Authenticate: Basic realm="loopback"')
            while holding(TRICKLE_INTERVAL_SECONDS):
                out.write(ENDLESS_BLOCK)
                out.flush()
        elif reply.hostile == Hostile.TRICKLE:
            head(200, f"Content-Length: {len(body)}")
            out.write(body[:reply.fast_bytes])
            out.flush()
            for offset in range(reply.fast_bytes, len(body), reply.trickle_bytes):
                if not holding(TRICKLE_INTERVAL_SECONDS):
                    break
                out.write(body[offset:offset + reply.trickle_bytes])
                out.flush()
        handler.connection.shutdown(socket.SHUT_RDWR)
