#!/usr/bin/python3
"""Checks for the parts of bench/startup:  python3 bench/test_startup.py

The display and one-run cases need Xvfb and are skipped without it.
"""

import argparse
import configparser
import http.client
import os
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib
from unittest import mock

sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))

from startuplib import SCRIPT, content, display, probe, runner, server  # noqa: E402

HAVE_XVFB = shutil.which("Xvfb") is not None


def get(host, port, target):
    conn = http.client.HTTPConnection(host, port, timeout=10)
    try:
        conn.request("GET", target)
        response = conn.getresponse()
        return response.status, response.getheader("Content-Type"), response.read()
    finally:
        conn.close()


def logged(sites, count):
    """The server's log once it holds `count` entries: a response is logged after it is sent."""
    deadline = time.monotonic() + 10
    while len(sites.snapshot()) < count and time.monotonic() < deadline:
        time.sleep(0.01)
    return sites.snapshot()


class SiteServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sites = server.SiteServer(3, 0.0)

    @classmethod
    def tearDownClass(cls):
        cls.sites.close()

    def setUp(self):
        self.sites.reset()

    def test_every_host_serves_its_own_site_on_one_port(self):
        for i in (1, 2, 3):
            host = "127.0.0.%d" % i
            status, kind, body = get(host, self.sites.port, "/")
            self.assertEqual((status, kind), (200, "text/html; charset=utf-8"))
            self.assertIn(b"<title>Bench site %02d</title>" % i, body)
            self.assertEqual(get(host, self.sites.port, "/style.css")[:2], (200, "text/css"))
            self.assertEqual(get(host, self.sites.port, "/image.png")[:2], (200, "image/png"))
        self.assertEqual(get("127.0.0.1", self.sites.port, "/missing")[0], 404)
        self.assertEqual(server.served(logged(self.sites, 10), self.sites.wanted(3))[2], 9)

    def test_named_site_through_the_proxy(self):
        target = "http://site3.bench.test:%d/" % self.sites.port
        status, _, body = get("127.0.0.1", self.sites.port, target)
        self.assertEqual(status, 200)
        self.assertIn(b"Bench site 03", body)
        self.assertEqual([e[:2] for e in logged(self.sites, 1)], [(3, "/")])
        self.assertEqual(self.sites.url(3, named=True), target)

    def test_parallel_fetch_asks_for_each_resource_once(self):
        server.parallel_fetch([self.sites.url(i) for i in (1, 2, 3)])
        entries = logged(self.sites, 9)
        self.assertEqual(sorted(e[:2] for e in entries),
                         sorted((i, p) for i in (1, 2, 3) for p in server.RESOURCES))

    def test_parallel_fetch_takes_two_round_trips(self):
        slow = server.SiteServer(2, 0.2)
        try:
            took = server.parallel_fetch([slow.url(1), slow.url(2)])
        finally:
            slow.close()
        self.assertGreaterEqual(took, 0.4)
        self.assertLess(took, 0.6 * 2)


class ServedTest(unittest.TestCase):
    def test_only_the_sites_own_resources_count(self):
        entries = [(1, "/", 1.0, 1.5), (1, "/style.css", 1.2, 2.0), (1, "/style.css", 1.3, 2.5),
                   (2, "/favicon.ico", 0.5, 3.0), (4, "/", 0.8, 4.0)]
        wanted = server.SiteServer.wanted(mock.Mock(content=None), 2)
        self.assertEqual(len(wanted), 6)
        # Any request marks the first arrival; only wanted ones the end, each at its
        # first completion (a second fetch of the style sheet does not count).
        self.assertEqual(server.served(entries, wanted), (0.5, 2.0, 2))
        self.assertEqual(server.served([], wanted), (None, None, 0))


def most_at_once(entries, index):
    """The most resources of one site's page being answered at the same moment."""
    spans = [(a, d) for i, path, a, d in entries if i == index and path != "/"]
    return max(sum(a <= t < d for a, d in spans) for t, _ in spans)


PAGE = """<!doctype html><html><head>
<link rel="stylesheet" href="../_static/theme.css?v=2"><link rel="icon" href="../_static/icon.png">
<link rel="alternate stylesheet" href="local.css"><link rel="next" href="other.html">
<script src="../_static/a.js"></script><script>inline()</script><script src="../_static/a.js"></script>
<script src="https://elsewhere.example/x.js"></script><script src="//elsewhere.example/y.js"></script>
</head><body><img src="pics/figure.png"><img src="data:image/png;base64,AA=="/>
<img loading="lazy" src="pics/later.png"><img src="../_static/%s.png">
</body></html>"""


class ContentTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.root)
        files = {"_static/theme.css": "b{}", "_static/a.js": "1", "_static/icon.png": "i",
                 "_static/logo.png": "l", "lib/local.css": "l{}", "lib/pics/figure.png": "f",
                 "lib/pics/later.png": "p", "lib/one.html": PAGE % "logo",
                 "lib/two.html": PAGE % "logo", "lib/broken.html": PAGE % "missing",
                 "lib/plain.html": "<link rel=stylesheet href=local.css><img src=pics/figure.png>",
                 "secret.txt": "s"}
        for rel, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(self.root, rel)), exist_ok=True)
            with open(os.path.join(self.root, rel), "w") as f:
                f.write(text)

    def test_static_references_of_a_page(self):
        self.assertEqual(content.static_refs(PAGE % "logo"), [
            "/_static/theme.css", "/local.css", "/_static/a.js", "/pics/figure.png",
            "/_static/logo.png"])
        # Against the page's own place its references keep their folders.
        self.assertEqual(content.static_refs(PAGE % "logo", "/lib/one.html")[:2],
                         ["/_static/theme.css", "/lib/local.css"])
        self.assertEqual(content.static_refs("<p>no resources"), [])

    def test_pages_that_qualify_and_what_each_site_serves(self):
        pages = content.Content(self.root, 2, min_refs=5)
        # Not the page with a missing resource, nor the one without scripts.
        self.assertEqual([p.rel for p in pages.pages], ["lib/one.html", "lib/two.html"])
        self.assertEqual(pages.resources(2)[0], "/")
        self.assertEqual(pages.respond(1, "/"), (pages.page(1).body, "text/html; charset=utf-8"))
        self.assertEqual(pages.respond(1, "/_static/theme.css"), (b"b{}", "text/css"))
        self.assertEqual(pages.respond(2, "/pics/figure.png"), (b"f", "image/png"))  # its folder
        self.assertEqual(pages.respond(2, "/_static/a.js")[1], "text/javascript")
        self.assertEqual(pages.respond(1, "/secret.txt")[0], b"s")  # the top folder
        for outside in ("/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/nothing.css"):
            self.assertIsNone(pages.respond(1, outside), outside)
        self.assertIsNone(pages.respond(3, "/"))
        with self.assertRaises(SystemExit):
            content.Content(self.root, 3, min_refs=5)
        self.assertEqual(len(content.Content(self.root, 1, min_refs=5).pages), 1)

    def test_sites_serve_the_pages_and_the_bounds_fetch_what_they_load(self):
        pages = content.Content(self.root, 2, min_refs=5)
        sites = server.SiteServer(2, 0.05, pages)
        self.addCleanup(sites.close)
        status, kind, body = get("127.0.0.2", sites.port, "/")
        self.assertEqual((status, body), (200, pages.page(2).body))
        self.assertEqual(get("127.0.0.2", sites.port, "/_static/theme.css?v=2")[:2],
                         (200, "text/css"))
        self.assertEqual(get("127.0.0.2", sites.port, "/pics/later.png")[0], 200)
        self.assertEqual(get("127.0.0.1", sites.port, "/missing.txt")[0], 404)
        wanted = sites.wanted(2)
        self.assertEqual(len(wanted), 12)
        logged(sites, 4)
        for per_host, at_once in ((None, 5), (2, 2)):
            sites.reset()
            server.parallel_fetch([sites.url(1), sites.url(2)], per_host)
            entries = logged(sites, 12)
            # Each resource once, and no more at once than the client's connections allow.
            self.assertEqual(sorted(e[:2] for e in entries), sorted(wanted))
            self.assertEqual(server.served(entries, wanted)[2], 12)
            self.assertEqual(most_at_once(entries, 1), at_once, per_host)
        # Told a page's resources, the client fetches those without reading the page.
        sites.reset()
        self.assertGreater(runner.bound([sites.url(1)], 6, {sites.url(1): ["/_static/a.js"]}), 0.1)
        self.assertEqual(sorted(e[1] for e in logged(sites, 2)), ["/", "/_static/a.js"])


class PngTest(unittest.TestCase):
    def test_chunks_are_well_formed(self):
        data = server.make_png(5, 3)
        self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n")
        pos, chunks = 8, {}
        while pos < len(data):
            length, = struct.unpack(">I", data[pos:pos + 4])
            body = data[pos + 4:pos + 8 + length]
            crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
            self.assertEqual(crc, zlib.crc32(body))
            chunks[body[:4]] = body[4:]
            pos += 12 + length
        self.assertEqual(list(chunks), [b"IHDR", b"IDAT", b"IEND"])
        self.assertEqual(struct.unpack(">II", chunks[b"IHDR"][:8]), (5, 3))
        self.assertEqual(len(zlib.decompress(chunks[b"IDAT"])), 3 * (1 + 3 * 5))


class ProbeTest(unittest.TestCase):
    def spawn(self, argv):
        proc = subprocess.Popen(argv)
        self.addCleanup(lambda: (proc.poll() is None and proc.kill(), proc.wait()))
        return proc

    def spawn_tree(self):
        root = subprocess.Popen(["bash", "-c", "sleep 30 & sleep 30 & wait"])
        self.addCleanup(lambda: (probe.kill_tree(root.pid), root.wait()))
        return root

    def wait_for_tree(self, pid, size):
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            tree, info = probe.TreeProbe(pid)._tree()
            if len(tree) >= size:
                return tree, info
            time.sleep(0.02)
        self.fail("tree of %d never reached %d processes" % (pid, size))

    def test_stat_and_alive(self):
        child = self.spawn(["sleep", "30"])
        ppid, _, start = probe.read_stat(child.pid)
        self.assertEqual(ppid, os.getpid())
        self.assertTrue(probe.alive(child.pid, start))
        self.assertFalse(probe.alive(child.pid, start + 1))  # a reused pid is not ours
        child.kill()
        time.sleep(0.1)
        self.assertFalse(probe.alive(child.pid, start))  # a zombie is gone
        child.wait()
        self.assertFalse(probe.alive(child.pid, start))

    def test_process_kinds(self):
        code = "import time; time.sleep(30)"
        renderer = self.spawn([sys.executable, "-c", code, "--type=renderer"])
        network = self.spawn([sys.executable, "-c", code, "--type=utility",
                              "--utility-sub-type=network.mojom.NetworkService"])
        # A helper that renamed itself: one string, arguments split by spaces.
        renamed = self.spawn(["bash", "-c", 'exec -a "helper --type=gpu-process" sleep 30'])
        time.sleep(0.2)
        self.assertEqual(probe.process_kind(renderer.pid), "renderer")
        self.assertEqual(probe.process_kind(network.pid), "utility:NetworkService")
        self.assertEqual(probe.process_kind(renamed.pid), "gpu-process")
        self.assertEqual(probe.process_kind(os.getpid()), "main")
        renderer.kill()
        renderer.wait()
        self.assertEqual(probe.process_kind(renderer.pid), "gone")

    def test_sample_covers_the_tree_and_nothing_else(self):
        root = self.spawn_tree()
        self.wait_for_tree(root.pid, 3)
        tree_probe = probe.TreeProbe(root.pid)
        total = tree_probe.sample(full=True)
        stamp, pss, count, own, ticks, by_kind = tree_probe.samples[-1]
        self.assertEqual(count, 3)
        self.assertGreater(pss, 0)
        self.assertEqual(pss, int(total))
        self.assertLessEqual(own, pss)
        self.assertEqual(ticks, sum(tree_probe.cpu.values()))
        self.assertEqual(sum(by_kind.values()), ticks)
        self.assertNotIn(os.getpid(), {pid for pid, _ in tree_probe.kinds})
        self.assertEqual(tree_probe.kinds[(root.pid, probe.read_stat(root.pid)[2])], "main")

    def test_kill_tree_ends_children_too(self):
        root = self.spawn_tree()
        tree, info = self.wait_for_tree(root.pid, 3)
        members = [(pid, info[pid][1]) for pid in tree]
        probe.kill_tree(root.pid)
        root.wait()
        time.sleep(0.1)
        self.assertFalse(any(probe.alive(pid, start) for pid, start in members))

    def test_probe_process_reports_its_samples(self):
        child = self.spawn(["sleep", "30"])
        reader = probe.start_probe()
        self.addCleanup(lambda: (reader.poll() is None and reader.kill(), reader.wait()))
        probe.aim_probe(reader, child.pid)
        time.sleep(0.4)
        result = probe.finish_probe(reader)
        self.assertEqual(reader.returncode, 0)
        self.assertGreaterEqual(len(result.samples), 2)
        self.assertEqual([p[:3] for p in result.procs],
                         [[child.pid, probe.read_stat(child.pid)[2], "main"]])
        self.assertEqual(len(result.cost), len(result.samples))
        self.assertGreaterEqual(result.cpu_seconds(), 0)
        # The end sweep names each live process with every part of its PSS.
        [(pid, kind, parts)] = result.end_procs
        self.assertEqual((pid, kind), (child.pid, "main"))
        self.assertGreater(parts["Pss"], 0)
        self.assertLessEqual(parts["Pss_Anon"] + parts["Pss_File"] + parts["Pss_Shmem"], parts["Pss"] + 1)

    def test_probe_result_figures(self):
        result = probe.ProbeResult({
            "samples": [[t, 0, 0, 0, 0] for t in (1.0, 2.0, 3.0, 4.0)],
            "cpu": [[1, 10, probe.CLK_TCK], [2, 20, probe.CLK_TCK // 2]],
            "procs": [[1, 10, "main", 0.5, 4.0], [2, 20, "renderer", 1.5, 3.5],
                      [3, 30, "renderer", 2.5, 4.0], [4, 40, "renderer", 3.6, 4.0],
                      [5, 50, "zygote", 1.2, 4.0]],
            "cost": []})
        self.assertEqual(result.renderers(), 2)  # never all three at once
        tck = probe.CLK_TCK
        ticking = probe.ProbeResult({"samples": [[1.0, 0, 0, 0, 0, {}],
                                                 [2.0, 0, 0, 0, tck, {"main": tck}],
                                                 [3.0, 0, 0, 0, 3 * tck, {"main": tck, "renderer": 2 * tck}]],
                                     "cpu": [], "procs": [], "cost": []})
        # CPU until a moment: between the samples around it, else the nearest one; by kind too.
        for moment, seconds, renderers in ((1.5, 0.5, 0.0), (2.5, 2.0, 1.0), (0.5, 0.0, 0.0), (9.0, 3.0, 2.0)):
            self.assertAlmostEqual(ticking.cpu_seconds_at(moment), seconds)
            self.assertAlmostEqual(ticking.cpu_seconds_at(moment, "renderer"), renderers)
        self.assertEqual(ticking.cpu_kinds(), ["main", "renderer"])
        self.assertIsNone(result.__class__({"samples": [], "cpu": [], "procs": [],
                                            "cost": []}).cpu_seconds_at(1.0))
        self.assertAlmostEqual(result.cpu_seconds(), 1.5, places=1)
        self.assertEqual(result.starts(1.0), {"main": [-0.5], "renderer": [0.5, 1.5, 2.6],
                                              "zygote": [0.2]})


class FrameTimesTest(unittest.TestCase):
    ROOT = 1
    TITLE = display.FRAME_TITLE

    def test_frame_shown_then_hidden(self):
        events = [(1.0, "create", 10, "", self.ROOT),
                  (1.1, "map", 11, "Other", self.ROOT),
                  (1.2, "map", 10, self.TITLE + " - [Bench site 01]", self.ROOT),
                  (1.5, "unmap", 11, "Other", self.ROOT),
                  (1.8, "unmap", 10, self.TITLE, self.ROOT),
                  (1.9, "reparent", 12, "", self.ROOT),     # to the root: not docked
                  (2.0, "reparent", 13, "", 99),
                  (2.5, "reparent", 14, "", 98)]
        self.assertEqual(display.frame_times(events, self.ROOT), (1.2, 1.8, 2.0, 1.8))

    def test_frame_never_shown_is_hidden_when_the_icon_docks(self):
        events = [(2.0, "reparent", 13, "", 99),
                  (2.2, "map", 10, self.TITLE, self.ROOT),
                  (2.4, "unmap", 10, self.TITLE, self.ROOT)]
        self.assertEqual(display.frame_times(events, self.ROOT), (None, None, 2.0, 2.0))
        self.assertEqual(display.frame_times([], self.ROOT), (None, None, None, None))


@unittest.skipUnless(HAVE_XVFB, "needs Xvfb")
class DisplayTest(unittest.TestCase):
    def test_watches_its_own_display_and_ends_it(self):
        screen = display.Display(tray=False)
        try:
            self.assertRegex(screen.name, r"^:\d+$")
            self.assertEqual(screen.events(), [])
        finally:
            screen.close()
        self.assertIsNotNone(screen.xvfb.poll())

    def test_failed_start_leaves_no_server(self):
        started, popen = [], subprocess.Popen

        def record(*args, **kwargs):
            started.append(popen(*args, **kwargs))
            return started[-1]

        with mock.patch.object(subprocess, "Popen", record), \
                mock.patch.object(display, "XEvents", side_effect=RuntimeError("no display")):
            with self.assertRaises(RuntimeError):
                display.Display(tray=False)
        self.assertEqual(len(started), 1)
        self.assertIsNotNone(started[0].poll())


class StoreTest(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.home)

    def store(self, urls):
        runner.write_store(self.home, urls)
        path = os.path.join(self.home, "Quillon", "PellQLN21.ini")
        self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0o600)
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(path)
        return parser

    def enabled(self, parser):
        """The addresses of the enabled slots, in slot order."""
        out = []
        for section, flags, addrs in (("Startup", runner.DEFAULT_FLAGS, runner.DEFAULT_ADDRS),
                                      ("Startup1", runner.EXTRA_FLAGS, runner.EXTRA_ADDRS)):
            for flag, addr in zip(flags, addrs):
                if parser[section][flag] == "1":
                    out.append(parser[section][addr].strip('"'))
                else:
                    self.assertEqual(parser[section][flag], "0")
                    self.assertEqual(parser[section][addr], '""')
        return out

    def test_slots_fill_in_order_and_the_rest_are_off(self):
        for count in (0, 1, 8, 9, 32):
            urls = ["http://127.0.0.%d:80/" % i for i in range(1, count + 1)]
            parser = self.store(urls)
            self.assertEqual(self.enabled(parser), urls)
            self.assertEqual(parser["Startup"]["Show%20Tips%20at%20Startup"], "0")

    def test_clean_env(self):
        outside = {"http_proxy": "http://proxy:3128", "HTTPS_PROXY": "x", "XDG_CONFIG_HOME": "/x",
                   "WAYLAND_DISPLAY": "wayland-0", "QT_QPA_PLATFORM": "wayland", "KEEP": "1"}
        with mock.patch.dict(os.environ, outside):
            env = runner.clean_env(self.home, ":7")
        self.assertEqual(env["DISPLAY"], ":7")
        self.assertEqual(env["HOME"], self.home)
        self.assertEqual(env["KEEP"], "1")
        for gone in ("http_proxy", "HTTPS_PROXY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            self.assertNotIn(gone, env)
        for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
            self.assertTrue(env[name].startswith(self.home + os.sep))
            self.assertTrue(os.path.isdir(env[name]))

    def test_quillon_command_environment(self):
        env = runner.clean_env(self.home, ":7")
        args = argparse.Namespace(quillon="/bin/q", env=["EXTRA=a=b"], hostnames=True,
                                  server=mock.Mock(port=4321))
        self.assertEqual(runner.quillon_command(args, ["http://a/"], self.home, env,
                                                "--x-flag"), ["/bin/q"])
        self.assertEqual(env["EXTRA"], "a=b")
        self.assertEqual(env["QTWEBENGINE_CHROMIUM_FLAGS"],
                         "--disable-gpu --x-flag --proxy-server=http://127.0.0.1:4321")
        self.assertEqual(env["QUILLON_TRACE_LOG"], os.path.join(self.home, "trace.log"))
        self.assertEqual(runner.quillon_command(args, ["http://a/"], self.home, env,
                                                "--x QUILLON_Y=1 --z=A=B QUILLON_BINARY=/b/q"),
                         ["/b/q"])
        self.assertNotIn("QUILLON_BINARY", env)
        self.assertEqual((env["QUILLON_Y"], env["QTWEBENGINE_CHROMIUM_FLAGS"]),
                         ("1", "--disable-gpu --x --z=A=B --proxy-server=http://127.0.0.1:4321"))
        self.assertEqual(self.enabled(self.store(["http://a/"])), ["http://a/"])


class TimelineTest(unittest.TestCase):
    def test_marks_and_steps(self):
        with tempfile.NamedTemporaryFile("w", suffix=".log") as f:
            f.write("10.5 application\n10.9 engine\n11.0 navigate 1\n11.25 navigate 2\n\n"
                    "11.3 loaded\n12.0 complete 1\n11.8 complete 2\n")
            f.flush()
            marks = runner.read_marks(f.name, 10.0)
        self.assertEqual(marks[2], (1.0, "navigate", 1))
        self.assertEqual(marks[0], (0.5, "application", None))
        self.assertEqual(runner.step_times(marks), {
            "application": 0.5, "engine_ready": 0.9, "window_first": 1.0, "window_last": 1.25,
            "handler_end": 1.3, "complete_last": 2.0})
        self.assertEqual(runner.read_marks("/nonexistent/trace.log", 0), [])
        self.assertEqual(runner.step_times([]), {})


class SummaryTest(unittest.TestCase):
    def test_summarise_skips_missing_figures(self):
        runs = [{"ratio": 2.0, "hidden": None}, {"ratio": 1.0}, {"ratio": 4.0}]
        summary = runner.summarise(runs)
        self.assertEqual(summary, {"ratio": {"median": 2.0, "min": 1.0, "max": 4.0, "n": 3}})
        self.assertEqual(runner.show("quillon 8", summary, [("ratio", "r", 2), ("hidden", "h", 1)]),
                         "| quillon 8 | 2.00 [1.00-4.00] | - |")


class EntryPointTest(unittest.TestCase):
    def test_bad_site_counts_are_refused(self):
        for sites in ("x", "33", "-1", ","):
            done = subprocess.run([sys.executable, SCRIPT, "--sites", sites],
                                  capture_output=True, text=True)
            self.assertEqual(done.returncode, 2, sites)
            self.assertIn("--sites takes counts from 0 to 32", done.stderr)

    def test_fetch_client_mode(self):
        sites = server.SiteServer(2, 0.0)
        try:
            command = runner.fetcher_command(None, [sites.url(1), sites.url(2)], None, None, "")
            self.assertEqual(subprocess.run(command, timeout=30).returncode, 0)
            self.assertEqual(server.served(logged(sites, 6), sites.wanted(2))[2], 6)
        finally:
            sites.close()


@unittest.skipUnless(HAVE_XVFB, "needs Xvfb")
class OneRunTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sites = server.SiteServer(2, 0.05)
        cls.args = argparse.Namespace(hostnames=False, timeout=30.0, settle=0.2,
                                      keep_trace=True, server=cls.sites)

    @classmethod
    def tearDownClass(cls):
        cls.sites.close()

    def test_fetch_run(self):
        result = runner.one_run(self.args, self.sites, "fetch", 2)
        self.assertFalse(result["timed_out"])
        self.assertEqual(result["resources"], 6)
        self.assertGreater(result["bound"], 0.1)
        self.assertLess(result["first_request"], result["last_resource"])
        self.assertEqual(len(result["requests"]), 6)
        self.assertIn("probe_period_ms", result)

    def test_probe_without_samples_still_gives_a_result(self):
        empty = probe.ProbeResult({"samples": [], "cpu": [], "procs": [], "cost": [0.002]})
        with mock.patch.object(runner, "finish_probe", return_value=empty):
            result = runner.one_run(self.args, self.sites, "fetch", 1)
        self.assertEqual(result["resources"], 3)
        self.assertAlmostEqual(result["probe_ms"], 2.0)
        self.assertNotIn("probe_period_ms", result)
        self.assertNotIn("peak_pss_mb", result)


if __name__ == "__main__":
    unittest.main()
