"""Real pages for the start-up benchmark: one page of a packaged HTML documentation per site.

Site N answers `/` with its page and any other path from the page's own folder or, failing
that, from the documentation's top folder, so that relative references resolve as they do
where the page lives.  A page's static references (stylesheets, scripts, images that are
not lazy) are what "all loaded" waits for.
"""

import html.parser
import mimetypes
import os
import urllib.parse

# Types a browser needs right; mimetypes may not know them everywhere.
TYPES = {".js": "text/javascript", ".css": "text/css", ".svg": "image/svg+xml",
         ".html": "text/html; charset=utf-8", ".png": "image/png"}


HERE = "http://page.invalid"


class _References(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.found = []

    def handle_starttag(self, tag, attrs):
        a = {k: (v or "") for k, v in attrs}
        if tag == "link" and "stylesheet" in a.get("rel", "").lower().split():
            self.found.append(a.get("href", ""))
        elif tag == "script":
            self.found.append(a.get("src", ""))
        elif tag == "img" and a.get("loading", "").lower() != "lazy":
            self.found.append(a.get("src", ""))

    handle_startendtag = handle_starttag


def static_refs(text, base="/"):
    """Same-origin paths a page at `base` loads at once, in order, each once, queries dropped."""
    parser = _References()
    parser.feed(text)
    parser.close()
    out = []
    for ref in parser.found:
        ref = ref.strip()
        if not ref:
            continue
        # Joined under a stand-in origin: a bare path base would keep a leading "..".
        parts = urllib.parse.urlsplit(urllib.parse.urljoin(HERE + base, ref))
        if (parts.scheme, parts.netloc) != ("http", HERE[7:]):  # another origin, data: ...
            continue
        if parts.path not in out:
            out.append(parts.path)
    return out


def content_type(path):
    ext = os.path.splitext(path)[1].lower()
    return TYPES.get(ext) or mimetypes.guess_type(path)[0] or "application/octet-stream"


class Page:
    def __init__(self, root, rel):
        self.rel = rel  # path inside the documentation
        with open(os.path.join(root, rel), "rb") as f:
            self.body = f.read()
        self.refs = static_refs(self.body.decode("utf-8", "replace"))


class Content:
    """`count` pages of the documentation at `root`, spread evenly over its pages in name order.

    A page qualifies when it runs scripts, references at least `min_refs` resources
    statically and every one of them is there to be served.
    """

    def __init__(self, root, count, min_refs=8):
        self.root = os.path.realpath(root)
        candidates = []
        for folder, dirs, files in os.walk(self.root):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(".html"):
                    candidates.append(os.path.relpath(os.path.join(folder, name), self.root))
        candidates.sort()
        pages = []
        for rel in candidates:
            try:
                page = Page(self.root, rel)
            except OSError:
                continue
            scripts = b"<script" in page.body
            if scripts and len(page.refs) >= min_refs and all(
                    self._file(page, path) for path in page.refs):
                pages.append(page)
        if len(pages) < count:
            raise SystemExit("%s has %d pages with scripts and %d or more resources, %d wanted"
                             % (root, len(pages), min_refs, count))
        step = len(pages) / max(count, 1)
        self.pages = [pages[int(i * step)] for i in range(count)]

    def page(self, index):
        return self.pages[index - 1]

    def _file(self, page, path):
        """The file that answers `path` for a page: from its folder first, then the top one."""
        rel = path.lstrip("/")
        for folder in (os.path.dirname(page.rel), ""):
            candidate = os.path.normpath(os.path.join(self.root, folder, rel))
            # Never outside the documentation, though symbolic links in it may lead out.
            if candidate != self.root and not candidate.startswith(self.root + os.sep):
                continue
            if os.path.isfile(candidate):
                return candidate
        return None

    def respond(self, index, path):
        """(body, type) for a request to site `index`, or None."""
        if not 1 <= index <= len(self.pages):
            return None
        page = self.page(index)
        if path == "/":
            return page.body, TYPES[".html"]
        found = self._file(page, urllib.parse.unquote(path))
        if not found:
            return None
        with open(found, "rb") as f:
            return f.read(), content_type(found)

    def resources(self, index):
        return ["/"] + self.page(index).refs
