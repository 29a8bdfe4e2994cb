"""Memory and CPU of a process tree, read from /proc by a probe process of its own.

The probe runs as `bench/startup --probe`: started ahead of the programme (start_probe),
given the programme's pid on its stdin once it runs (aim_probe), and stopped by closing
its stdin, when it answers with its samples as JSON (finish_probe).
"""

import json
import os
import select
import signal
import subprocess
import sys
import time

from . import SCRIPT, now

CLK_TCK = os.sysconf("SC_CLK_TCK")
PAGE_SIZE_KB = os.sysconf("SC_PAGE_SIZE") // 1024


def read_stat(pid):
    with open("/proc/%d/stat" % pid) as f:
        text = f.read()
    fields = text[text.rindex(")") + 2:].split()
    return int(fields[1]), int(fields[11]) + int(fields[12]), int(fields[19])


def process_kind(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            # Renamed helpers hold their whole command line in one space-separated string.
            args = f.read().replace(b"\0", b" ").split()
    except OSError:
        return "gone"
    for a in args:
        if a.startswith(b"--type="):
            kind = a[7:].decode()
            if kind == "utility":
                for b in args:
                    if b.startswith(b"--utility-sub-type="):
                        return "utility:" + b[19:].decode().rsplit(".", 1)[-1]
            return kind
    return "main"


def read_pss(pid):
    """(PSS, its anonymous and shared-memory part) in kB.

    The file-backed rest of PSS is the process's share of library pages, which other
    programmes using the same libraries (other engine instances) share too.
    """
    parts = read_pss_parts(pid)
    return parts.get("Pss", 0), parts.get("Pss_Anon", 0) + parts.get("Pss_Shmem", 0)


def read_pss_parts(pid):
    """Every Pss line of smaps_rollup in kB: Pss, Pss_Anon, Pss_File, Pss_Shmem..."""
    parts = {}
    with open("/proc/%d/smaps_rollup" % pid) as f:
        for line in f:
            if line.startswith("Pss"):
                name, value = line.split()[:2]
                parts[name.rstrip(":")] = int(value)
    return parts


def read_rss(pid):
    with open("/proc/%d/statm" % pid) as f:
        return int(f.read().split()[1]) * PAGE_SIZE_KB


class TreeProbe:
    """Memory and CPU of a process and all its descendants, sampled every 100 ms.

    Memory is the sum of PSS.  Reading smaps_rollup walks a process's page tables and
    costs several milliseconds for an engine process (about 7 ms here, 250 ms for a tree
    of 35), so a full sweep every 100 ms would itself load the machine.  Each tick reads
    the cheap RSS of every process and the PSS of new processes plus as many others,
    round-robin, as fit in a budget; between its own readings a process's PSS is taken
    as its current RSS times the PSS/RSS ratio it had at its last reading.
    """

    def __init__(self, root_pid, period=0.1, budget=0.012):
        self.root = root_pid
        self.period = period
        self.budget = budget
        self.samples = []            # (time, pss kB estimate, processes, own pss kB, CPU ticks)
        self.cpu = {}                # (pid, start) -> ticks
        self.kinds = {}              # (pid, start) -> kind
        self.first_seen = {}         # (pid, start) -> time
        self.last_seen = {}
        self.ratio = {}              # (pid, start) -> (PSS, own PSS) / RSS at the last reading
        self.read_at = {}            # (pid, start) -> time of the last PSS reading
        self.outside = {}            # pid -> start time, for processes not in the tree
        self.cost = []               # seconds each tick took, to keep the probe honest

    def _tree(self):
        """The tree's pids, parents before children, with (ticks, start, ppid) each."""
        info, children = {}, {}
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            pid = int(entry)
            if pid in self.outside:
                continue
            try:
                ppid, ticks, start = read_stat(pid)
            except (OSError, ValueError, IndexError):
                continue
            info[pid] = (ticks, start, ppid)
            children.setdefault(ppid, []).append(pid)
        tree, todo = [], [self.root]
        while todo:
            pid = todo.pop()
            if pid in info:
                tree.append(pid)
                todo.extend(children.get(pid, ()))
        if self.root in info:
            inside, born = set(tree), info[self.root][1]
            for pid, (_, start, _) in info.items():
                if pid not in inside and start < born:
                    self.outside[pid] = start  # older than the programme: never its own
        return tree, info

    def sample(self, full=False):
        began = stamp = now()
        tree, info = self._tree()
        kind_of, keys, rss = {}, [], {}
        for pid in tree:  # parents come before their children
            ticks, start, ppid = info[pid]
            key = (pid, start)
            self.cpu[key] = ticks
            self.first_seen.setdefault(key, stamp)
            self.last_seen[key] = stamp
            # Asked every time: a forked helper renames itself a moment after it starts.
            kind = "main" if pid == self.root else process_kind(pid)
            if kind == "zygote" and kind_of.get(ppid) == "zygote":
                kind = "renderer"  # the engine's renderers keep the zygote's command line
            kind_of[pid] = self.kinds[key] = kind
            try:
                rss[key] = read_rss(pid)
                keys.append(key)
            except (OSError, ValueError):
                pass
        # New processes first, then the longest unread, while the budget lasts.
        for key in sorted(keys, key=lambda k: self.read_at.get(k, -1.0)):
            if not full and key in self.read_at and now() - began > self.budget:
                break
            try:
                pss, own = read_pss(key[0])
            except OSError:
                continue
            self.ratio[key] = (pss / rss[key], own / rss[key]) if rss[key] else (1.0, 1.0)
            self.read_at[key] = now()
        total = sum(rss[k] * self.ratio.get(k, (1.0, 1.0))[0] for k in keys)
        own = sum(rss[k] * self.ratio.get(k, (1.0, 1.0))[1] for k in keys)
        if keys:
            # CPU of the tree so far, the ended processes' last reading included.
            by_kind = {}
            for key, ticks in self.cpu.items():
                kind = self.kinds.get(key, "?")
                by_kind[kind] = by_kind.get(kind, 0) + ticks
            self.samples.append((stamp, int(total), len(keys), int(own), sum(self.cpu.values()), by_kind))
        self.cost.append(now() - began)
        return total

    def breakdown(self):
        """Each live process of the tree: pid, kind and its PSS parts in kB."""
        out = []
        tree, info = self._tree()
        for pid in tree:
            key = (pid, info[pid][1])
            try:
                out.append([pid, self.kinds.get(key, "?"), read_pss_parts(pid)])
            except OSError:
                pass
        return out

    def run(self, stop_fd):
        while True:
            began = now()
            self.sample()
            wait = max(0.0, self.period - (now() - began))
            if select.select([stop_fd], [], [], wait)[0]:
                break
        self.sample(full=True)  # one exact sweep to end with
        return {"samples": self.samples,
                "end_procs": self.breakdown(),
                "cpu": [[k[0], k[1], v] for k, v in self.cpu.items()],
                "procs": [[k[0], k[1], self.kinds[k], self.first_seen[k], self.last_seen[k]]
                          for k in self.kinds],
                "cost": self.cost}


class ProbeResult:
    """What a probe process reported, as figures for one run."""

    def __init__(self, data):
        self.samples = data["samples"]
        self.cpu = data["cpu"]
        self.procs = data["procs"]
        self.cost = data["cost"]
        self.end_procs = data.get("end_procs", [])

    def renderers(self):
        """The most renderers alive at one sample (kinds as last seen)."""
        spans = [(a, b) for _, _, kind, a, b in self.procs if kind == "renderer"]
        return max((sum(a <= s[0] <= b for a, b in spans) for s in self.samples), default=0)

    def cpu_seconds(self):
        return sum(v for _, _, v in self.cpu) / CLK_TCK

    def cpu_seconds_at(self, moment, kind=None):
        """CPU of the tree (or of its processes of one kind) up to `moment`, read between
        the samples around it."""
        def ticks(s):
            if kind is None:
                return s[4]
            return s[5].get(kind, 0) if len(s) > 5 else 0
        before = after = None
        for s in self.samples:
            if s[0] <= moment:
                before = s
            elif after is None:
                after = s
        if before is None or after is None:
            return ticks(before or after) / CLK_TCK if (before or after) else None
        share = (moment - before[0]) / (after[0] - before[0])
        return (ticks(before) + share * (ticks(after) - ticks(before))) / CLK_TCK

    def cpu_kinds(self):
        return sorted({k for s in self.samples if len(s) > 5 for k in s[5]})

    def starts(self, t0):
        """Launch-relative first sighting of each engine process, by kind."""
        out = {}
        for _, _, kind, first, _ in self.procs:
            out.setdefault(kind, []).append(round(first - t0, 3))
        return {k: sorted(v) for k, v in out.items()}


def start_probe():
    """A probe process, started ahead so that it is ready when the programme starts."""
    return subprocess.Popen([sys.executable, SCRIPT, "--probe"],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE)


def aim_probe(probe, pid):
    probe.stdin.write(b"%d\n" % pid)
    probe.stdin.flush()


def probe_main():
    pid = int(sys.stdin.readline())
    json.dump(TreeProbe(pid).run(sys.stdin.fileno()), sys.stdout)


def finish_probe(probe):
    out, _ = probe.communicate(b"")
    return ProbeResult(json.loads(out))


def alive(pid, start):
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return False
    return fields[0] != "Z" and int(fields[19]) == start


def kill_tree(root_pid):
    """Ends the programme we started and every process it started, by id."""
    tree, info = TreeProbe(root_pid)._tree()
    members = [(pid, info[pid][1]) for pid in tree]  # before orphans lose their parent
    for sig in (signal.SIGTERM, signal.SIGKILL):
        for pid, start in members:
            if alive(pid, start):
                try:
                    os.kill(pid, sig)
                except OSError:
                    pass
        deadline = now() + 5
        while now() < deadline and any(alive(p, s) for p, s in members):
            time.sleep(0.1)
