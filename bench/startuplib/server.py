"""The loopback sites the start-up benchmark serves, and the parallel client that sets the bound.

N small HTTP servers, one per loopback host 127.0.0.1 .. 127.0.0.N, all on one port; every
response waits a fixed latency.  Each site is a page that links one stylesheet and one
image from its own host or, given real content, one page of a documentation with its own
resources (content.py).
"""

import asyncio
import http.server
import re
import struct
import threading
import time
import urllib.parse
import zlib

from . import now
from .content import static_refs

RESOURCES = ("/", "/style.css", "/image.png")


# ---------------------------------------------------------------- site server

def make_png(width, height):
    raw = b"".join(b"\x00" + b"".join(bytes(((x * 255) // width, (y * 255) // height, 160))
                                      for x in range(width)) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 6))
            + chunk(b"IEND", b""))


IMAGE = make_png(96, 64)
STYLE = (b"body { font-family: sans-serif; margin: 2em; background: #f4f1ea; }\n"
         b"h1 { color: #30406a; } p { max-width: 40em; line-height: 1.4; }\n")


def site_title(index):
    return "Bench site %02d" % index


def site_page(index):
    paragraph = ("Site %d of the start-up benchmark. " % index) * 12
    return ("<!doctype html>\n<html><head><meta charset=\"utf-8\">\n"
            "<title>%s</title>\n<link rel=\"stylesheet\" href=\"/style.css\">\n"
            "</head><body>\n<h1>%s</h1>\n<p>%s</p>\n"
            "<img src=\"/image.png\" width=\"96\" height=\"64\" alt=\"\">\n"
            "</body></html>\n" % (site_title(index), site_title(index), paragraph)).encode()


class SiteHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        server = self.server
        arrived = now()
        index, path = server.index, self.path.split("?", 1)[0]
        named = re.match(r"http://site(\d+)\.bench\.test(?::\d+)?(/.*)", path)
        if named:  # asked as a proxy for a named site
            index, path = int(named.group(1)), named.group(2)
        status = 200
        if server.content:
            answer = server.content.respond(index, path)
            body, kind = answer or (b"not here\n", "text/plain")
            status = 200 if answer else 404
        elif path in ("/", "/index.html"):
            path, body, kind = "/", site_page(index), "text/html; charset=utf-8"
        elif path == "/style.css":
            body, kind = STYLE, "text/css"
        elif path == "/image.png":
            body, kind = IMAGE, "image/png"
        else:
            body, kind, status = b"not here\n", "text/plain", 404
        time.sleep(server.latency)
        try:
            self.send_response(status)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)
            self.wfile.flush()
        except OSError:
            return
        server.log(index, path, arrived, now())


class _Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # a browser ended mid-connection: nothing to report


class SiteServer:
    """N small HTTP servers, one per loopback host, all on one port."""

    def __init__(self, count, latency, content=None):
        self.count = count
        self.latency = latency
        self.content = content
        self.lock = threading.Lock()
        self.entries = []
        self.servers = []
        for attempt in range(20):
            try:
                self._bind_all()
                break
            except OSError:
                self._close_all()
        else:
            raise SystemExit("could not bind the loopback sites")
        for srv in self.servers:
            threading.Thread(target=srv.serve_forever, kwargs={"poll_interval": 0.2},
                             daemon=True).start()

    def _bind_all(self):
        port = 0
        for i in range(1, max(self.count, 1) + 1):
            srv = _Server(("127.0.0.%d" % i, port), SiteHandler,
                          bind_and_activate=False)
            srv.daemon_threads = True
            srv.request_queue_size = 64
            self.servers.append(srv)
            srv.server_bind()
            srv.server_activate()
            port = srv.server_address[1]
            srv.index, srv.latency, srv.content = i, self.latency, self.content
            srv.log = self._log
        self.port = port

    def _close_all(self):
        for srv in self.servers:
            srv.server_close()
        self.servers = []

    def _log(self, index, path, arrived, done):
        with self.lock:
            self.entries.append((index, path, arrived, done))

    def url(self, index, named=False):
        host = ("site%d.bench.test" if named else "127.0.0.%d") % index
        return "http://%s:%d/" % (host, self.port)


    def wanted(self, count):
        """(site, path) of every resource the first `count` sites' pages load statically."""
        if self.content:
            return {(i, p) for i in range(1, count + 1) for p in self.content.resources(i)}
        return {(i, p) for i in range(1, count + 1) for p in RESOURCES}

    def reset(self):
        with self.lock:
            self.entries = []

    def snapshot(self):
        with self.lock:
            return list(self.entries)

    def close(self):
        for srv in self.servers:
            srv.shutdown()
        self._close_all()


def name_proxy(server):
    """Named sites go through the first site's server acting as a proxy: no DNS, loopback only."""
    return "--proxy-server=http://127.0.0.1:%d" % server.port


def served(entries, wanted):
    """(first arrival, last completion, resources served) over the wanted (site, path) pairs.

    A resource counts as loaded the first time it is served: a later fetch of the same
    path (a page's icon that is also one of its images) does not move the end.
    """
    first, done = None, {}
    for index, path, arrived, finished in entries:
        first = arrived if first is None else min(first, arrived)
        if (index, path) in wanted:
            done[(index, path)] = min(finished, done.get((index, path), finished))
    return first, max(done.values(), default=None), len(done)


# ------------------------------------------------------------- parallel client

async def _get(reader, writer, host, path):
    """One request on a kept-alive connection; the server always sends a length."""
    writer.write(b"GET %s HTTP/1.1\r\nHost: %s\r\n\r\n" % (path.encode(), host.encode()))
    head = await reader.readuntil(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value)
    return await reader.readexactly(length)


async def _site(url, per_host, refs):
    parts = urllib.parse.urlsplit(url)
    host, port = parts.hostname, parts.port

    async def connection():
        return await asyncio.open_connection(host, port)

    first = await connection()
    page = await _get(*first, parts.netloc, parts.path or "/")
    if refs is None:
        refs = static_refs(page.decode("utf-8", "replace"))
    todo = list(refs)

    async def worker(conn):
        conn = conn or await connection()
        try:
            while todo:
                await _get(*conn, parts.netloc, todo.pop(0))
        finally:
            conn[1].close()

    # Unlimited: a connection per resource; else per_host, the page's own among them.
    count = len(refs) if per_host is None else min(per_host, len(refs))
    await asyncio.gather(worker(first), *(worker(None) for _ in range(count - 1)))


def parallel_fetch(urls, per_host=None, refs=None):
    """Seconds a parallel client needs for every site's page, then its resources at once:
    over a connection each, or over `per_host` kept-alive connections, as HTTP/1.1 browsers
    are limited to.  `refs` (url -> paths) spares the client parsing the pages."""
    async def everything():
        began = now()
        await asyncio.gather(*(_site(u, per_host, (refs or {}).get(u)) for u in urls))
        return now() - began

    return asyncio.run(everything())
