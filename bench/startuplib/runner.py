"""One run of the start-up benchmark, and the tables that sum the runs up."""

import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from . import SCRIPT, now
from .display import Display, frame_times
from .probe import aim_probe, finish_probe, kill_tree, start_probe
from .server import name_proxy, served

# Store keys of the 32 start-up slots, in slot order.
DEFAULT_FLAGS = ["c1", "c2", "c3", "c4", "c5", "c6", "c99", "c200"]
DEFAULT_ADDRS = ["sone", "stwo", "sthree", "sfour", "sfive", "scool", "snine", "szero"]
EXTRA_FLAGS = ["c%d" % i for i in range(1, 25)]
EXTRA_ADDRS = ["sone", "stwo", "sthree", "sfour", "sfive", "scool", "sseven", "seight",
               "snine", "sten", "seleven", "stwelve"] + ["s%d" % i for i in range(13, 25)]


# ------------------------------------------------------------------ browsers

def write_store(config_home, urls):
    """A fresh settings store with the first len(urls) slots enabled and the rest off."""
    def q(text):
        return '"%s"' % text

    lines = ["[Startup]"]
    for i, (flag, addr) in enumerate(zip(DEFAULT_FLAGS, DEFAULT_ADDRS)):
        lines.append("%s=%d" % (flag, 1 if i < len(urls) else 0))
        lines.append("%s=%s" % (addr, q(urls[i]) if i < len(urls) else '""'))
    lines.append("Show%20Tips%20at%20Startup=0")
    lines.append("")
    lines.append("[Startup1]")
    for i, (flag, addr) in enumerate(zip(EXTRA_FLAGS, EXTRA_ADDRS)):
        n = i + len(DEFAULT_FLAGS)
        lines.append("%s=%d" % (flag, 1 if n < len(urls) else 0))
        lines.append("%s=%s" % (addr, q(urls[n]) if n < len(urls) else '""'))
    folder = os.path.join(config_home, "Quillon")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "PellQLN21.ini")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    os.chmod(path, 0o600)


def clean_env(home, display):
    env = {k: v for k, v in os.environ.items()
           if not k.lower().endswith("_proxy") and not k.startswith("XDG_")}
    for name in ("config", "data", "cache", "runtime"):
        path = os.path.join(home, name)
        os.makedirs(path, mode=0o700, exist_ok=True)
        env["XDG_%s_%s" % (name.upper(), "DIR" if name == "runtime" else "HOME")] = path
    env["HOME"] = home
    # chromium leaves its singleton folder in the temporary folder: keep it in the home
    env["TMPDIR"] = os.path.join(home, "tmp")
    os.makedirs(env["TMPDIR"], mode=0o700, exist_ok=True)
    env["DISPLAY"] = display
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("QT_QPA_PLATFORM", None)
    return env


def quillon_command(args, urls, home, env, variant):
    write_store(env["XDG_CONFIG_HOME"], urls)
    # A variant's NAME=VALUE words are environment, the rest engine flags.
    words = variant.split()
    assigned = [w for w in words if re.match(r"[A-Z][A-Z0-9_]*=", w)]
    flags = " ".join(["--disable-gpu"] + [w for w in words if w not in assigned])
    env["QTWEBENGINE_CHROMIUM_FLAGS"] = flags
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    programme = args.quillon
    for item in args.env + assigned:
        name, _, value = item.partition("=")
        if name == "QUILLON_BINARY":  # another build, to compare builds in one run
            programme = value
        else:
            env[name] = value
    if args.hostnames:
        env["QTWEBENGINE_CHROMIUM_FLAGS"] += " " + name_proxy(args.server)
    env["QUILLON_TRACE_LOG"] = os.path.join(home, "trace.log")
    return [programme]


def chromium_command(args, urls, home, env, variant):
    profile = os.path.join(home, "chromium-profile")
    return [args.chromium, "--no-sandbox", "--disable-gpu", "--no-first-run",
            "--no-default-browser-check", "--password-store=basic",
            "--disable-background-networking", "--disable-component-update",
            "--disable-sync", "--user-data-dir=" + profile] \
        + args.chromium_flags.split() \
        + ([name_proxy(args.server)] if args.hostnames else []) + urls


def fetcher_command(args, urls, home, env, variant):
    return [sys.executable, SCRIPT, "--fetch-client"] + urls


def bound(urls, per_host=None, refs=None):
    """The parallel client's time, in a process of its own: sharing the server's
    interpreter lock, it would measure itself rather than the network."""
    command = [sys.executable, SCRIPT] + (["--per-host", str(per_host)] if per_host else [])
    done = subprocess.run(command + ["--refs-stdin", "--fetch-client"] + urls,
                          capture_output=True, text=True,
                          input=json.dumps(refs or {}), timeout=120, check=True)
    return float(done.stdout.split()[-1])


COMMANDS = {"quillon": quillon_command, "chromium": chromium_command, "fetch": fetcher_command}


def read_marks(path, t0):
    """The programme's own timeline (QUILLON_TRACE_LOG): [(seconds from launch, step, number)]."""
    marks = []
    try:
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) >= 2:
                    marks.append((round(float(parts[0]) - t0, 4), parts[1],
                                  int(parts[2]) if len(parts) > 2 else None))
    except (OSError, ValueError):
        pass
    return marks


def step_times(marks):
    """Seconds from launch to the programme's steps, from its own timeline."""
    def times(step):
        return [t for t, name, _ in marks if name == step]
    out = {}
    for key, step, pick in (("application", "application", min), ("engine_ready", "engine", min),
                            ("window_first", "navigate", min), ("window_last", "navigate", max),
                            ("handler_end", "loaded", min), ("complete_last", "complete", max)):
        found = times(step)
        if found:
            out[key] = pick(found)
    return out


def one_run(args, server, browser, count, variant=""):
    urls = [server.url(i) for i in range(1, count + 1)]
    named = [server.url(i, args.hostnames) for i in range(1, count + 1)]
    result = {"browser": browser, "sites": count, "engine_flags": variant}
    home = tempfile.mkdtemp(prefix="quillon-bench-")
    display = proc = probe = log = None
    try:
        display = Display(tray=browser != "fetch")
        env = clean_env(home, display.name)
        command = COMMANDS[browser](args, urls if browser == "fetch" else named, home, env,
                                    variant)
        if count:
            server.reset()
            refs = {u: server.content.resources(i + 1)[1:] for i, u in enumerate(urls)} \
                if server.content else None
            result["bound"] = bound(urls, refs=refs)
            time.sleep(0.3)
            server.reset()
            result["bound6"] = bound(urls, per_host=6, refs=refs)
            time.sleep(0.3)
        wanted = server.wanted(count)
        server.reset()
        log = open(os.path.join(home, "output.log"), "wb")
        probe = start_probe()
        time.sleep(0.3)
        t0 = now()
        proc = subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, cwd=home)
        aim_probe(probe, proc.pid)
        deadline = t0 + args.timeout
        settle_until = None
        hidden = None
        while now() < deadline:
            time.sleep(0.05)
            if proc.poll() is not None and browser != "fetch":
                result["exited"] = proc.returncode
                break
            if browser == "quillon":
                hidden = frame_times(display.events(), display.watch.root)[3]
            first, last, count_served = served(server.snapshot(), wanted)
            loaded = count_served == len(wanted)
            if loaded and (hidden is not None or browser != "quillon"):
                settle_until = settle_until or max(last or 0, hidden or 0) + args.settle
                if now() >= settle_until:
                    break
        sampler = finish_probe(probe)
        result["timed_out"] = now() >= deadline
        if result["timed_out"] or "exited" in result:
            log.close()
            with open(log.name, "rb") as f:
                result["output_tail"] = f.read()[-2000:].decode("utf-8", "replace")
        first, last, count_served = served(server.snapshot(), wanted)
        result["resources"] = count_served
        result["first_request"] = first - t0 if first else None
        result["last_resource"] = last - t0 if last and count_served == len(wanted) else None
        mapped, unmapped, docked, hid = frame_times(display.events(), display.watch.root)
        result["frame_mapped"] = mapped - t0 if mapped else None
        result["frame_unmapped"] = unmapped - t0 if unmapped else None
        result["tray_docked"] = docked - t0 if docked else None
        if browser == "quillon":
            result["hidden"] = hid - t0 if hid else None
        if result.get("bound") and result["last_resource"]:
            result["ratio"] = result["last_resource"] / result["bound"]
            result["ratio6"] = result["last_resource"] / result["bound6"]
        samples = sampler.samples
        if samples:
            result["peak_pss_mb"] = max(s[1] for s in samples) / 1024
            result["renderers"] = sampler.renderers()
            result["processes"] = max(s[2] for s in samples)
            end = samples[-1][0]
            tail = [s[1] for s in samples if s[0] >= end - 2.0]
            result["settled_pss_mb"] = statistics.median(tail) / 1024
            result["end_pss_exact_mb"] = samples[-1][1] / 1024
            result["settled_own_mb"] = statistics.median(
                s[3] for s in samples if s[0] >= end - 2.0) / 1024
        result["cpu_s"] = sampler.cpu_seconds()
        if result["last_resource"]:
            result["cpu_loaded_s"] = sampler.cpu_seconds_at(last)
            result["cpu_loaded_by_kind"] = {kind: sampler.cpu_seconds_at(last, kind)
                                            for kind in sampler.cpu_kinds()}
        if sampler.cost:
            result["probe_ms"] = 1000 * statistics.median(sampler.cost)
        if samples:
            result["probe_period_ms"] = 1000 * (end - samples[0][0]) / max(1, len(samples) - 1)
        result["process_starts"] = starts = sampler.starts(t0)
        if starts.get("zygote"):
            result["engine_start"] = starts["zygote"][0]
        if starts.get("renderer"):
            result["first_renderer"] = starts["renderer"][0]
            result["renderers_started"] = starts["renderer"][-1]
        if result["last_resource"]:
            result["loading"] = result["last_resource"] - result["first_request"]
        if browser == "quillon":
            marks = read_marks(os.path.join(home, "trace.log"), t0)
            result.update(step_times(marks))
        if args.keep_trace:
            result["pss_trace"] = [(round(s[0] - t0, 3), s[1], s[2], s[3]) for s in samples]
            result["windows"] = [(round(e[0] - t0, 3), e[1], e[3]) for e in display.events()]
            result["end_processes"] = sampler.end_procs
            result["requests"] = [(i, path, round(a - t0, 3), round(d - t0, 3))
                                  for i, path, a, d in server.snapshot()]
            if browser == "quillon":
                result["marks"] = marks
    finally:
        if probe is not None and probe.poll() is None:
            probe.kill()
            probe.wait()
        if proc is not None:
            kill_tree(proc.pid)
            proc.wait()
        if log is not None:
            log.close()
        if display is not None:
            display.close()
        shutil.rmtree(home, ignore_errors=True)
    return result


# ------------------------------------------------------------------- summary

FIGURES = [("first_request", "first req s", 2), ("last_resource", "last res s", 2),
           ("bound", "bound s", 2), ("ratio", "ratio", 2), ("bound6", "6-conn bound s", 2),
           ("ratio6", "ratio 6", 2), ("hidden", "hidden s", 2),
           ("peak_pss_mb", "peak MB", 0), ("settled_pss_mb", "settled MB", 0),
           ("settled_own_mb", "own MB", 0), ("cpu_loaded_s", "CPU to loaded s", 1),
           ("cpu_s", "CPU s", 1), ("renderers", "renderers", 0)]


# Where a start goes: the engine's first process, its renderers, the frame in the tray,
# then the network.
PHASES = [("engine_start", "engine start s", 2), ("first_renderer", "1st renderer s", 2),
          ("renderers_started", "all renderers s", 2), ("hidden", "hidden s", 2),
          ("first_request", "first req s", 2), ("loading", "first req to last res s", 2)]


# Quillon's own steps, from the timeline it writes when QUILLON_TRACE_LOG is set.
STEPS = [("application", "application s", 2), ("engine_ready", "engine ready s", 2),
         ("window_first", "1st window navigated s", 2),
         ("window_last", "last window navigated s", 2), ("handler_end", "load handler done s", 2),
         ("first_request", "first req s", 2), ("complete_last", "last page complete s", 2)]


def summarise(runs):
    out = {}
    for key, _, _ in FIGURES + PHASES + STEPS:
        values = [r[key] for r in runs if r.get(key) is not None]
        if values:
            out[key] = {"median": statistics.median(values), "min": min(values),
                        "max": max(values), "n": len(values)}
    return out


def show(label, summary, figures):
    def cell(key, places):
        s = summary.get(key)
        if not s:
            return "-"
        fmt = "%%.%df" % places
        return (fmt + " [" + fmt + "-" + fmt + "]") % (s["median"], s["min"], s["max"])
    return "| " + label + " | " + " | ".join(cell(k, p) for k, _, p in figures) + " |"
