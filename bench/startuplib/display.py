"""A private X display for one run, and what happens to its top-level windows."""

import ctypes
import ctypes.util
import os
import select
import shutil
import subprocess
import threading
import time

from . import now

FRAME_TITLE = "Quillon v2.1"


class XEvents:
    """Watches top-level windows of one X display (creation, mapping, docking)."""

    CREATE, DESTROY, UNMAP, MAP, REPARENT = 16, 17, 18, 19, 21
    NAMES = {16: "create", 17: "destroy", 18: "unmap", 19: "map", 21: "reparent"}

    def __init__(self, display):
        x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                 ctypes.POINTER(ctypes.c_char_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XGetSelectionOwner.restype = ctypes.c_ulong
        x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XFlush.argtypes = [ctypes.c_void_p]
        self.x = x
        # Windows vanish between an event and the name look-up: ignore those errors.
        self._ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
            lambda d, e: 0)
        x.XSetErrorHandler(self._ignore)
        self.dpy = x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display " + display)
        self.ask = x.XOpenDisplay(display.encode())
        if not self.ask:
            x.XCloseDisplay(self.dpy)
            raise RuntimeError("cannot open display " + display)
        self.root = x.XDefaultRootWindow(self.dpy)
        x.XSelectInput(self.dpy, self.root, 1 << 19)  # SubstructureNotifyMask
        x.XFlush(self.dpy)
        self.names = {}
        self.events = []
        self.lock = threading.Lock()
        self.stopping = False
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def tray_ready(self):
        # A connection of its own: the watcher thread owns self.dpy, and Xlib is not shared.
        atom = self.x.XInternAtom(self.ask, b"_NET_SYSTEM_TRAY_S0", 0)
        return self.x.XGetSelectionOwner(self.ask, atom) != 0

    def _name(self, window):
        out = ctypes.c_char_p()
        if self.x.XFetchName(self.dpy, window, ctypes.byref(out)) and out.value is not None:
            name = out.value.decode("utf-8", "replace")
            self.x.XFree(out)
            self.names[window] = name
        return self.names.get(window, "")

    def _run(self):
        fd = self.x.XConnectionNumber(self.dpy)
        event = (ctypes.c_long * 24)()
        while not self.stopping:
            select.select([fd], [], [], 0.05)
            while self.x.XPending(self.dpy):
                self.x.XNextEvent(self.dpy, event)
                stamp = now()
                kind = event[0] & 0xFFFFFFFF
                if kind not in self.NAMES:
                    continue
                window = event[5] & 0xFFFFFFFFFFFFFFFF  # same offset in all five events
                parent = event[6] if kind == self.REPARENT else self.root
                name = self._name(window) if kind != self.DESTROY else self.names.get(window, "")
                with self.lock:
                    self.events.append((stamp, self.NAMES[kind], window, name, parent))

    def snapshot(self):
        with self.lock:
            return list(self.events)

    def close(self):
        self.stopping = True
        self.thread.join()
        self.x.XCloseDisplay(self.dpy)
        self.x.XCloseDisplay(self.ask)


def frame_times(events, root_window):
    """Moments the frame was mapped and unmapped, the tray icon docked, and the frame hidden.

    The frame is the first window mapped with the programme's title before any tray icon
    docks (its title grows a " - [page]" suffix while a child window is maximised).  A
    frame that is never shown counts as hidden when the tray icon docks.
    """
    frame = mapped = unmapped = docked = None
    for stamp, kind, window, name, parent in events:
        if kind == "reparent" and parent != root_window and docked is None:
            docked = stamp
        elif kind == "map" and frame is None and docked is None \
                and name.startswith(FRAME_TITLE):
            frame, mapped = window, stamp
        elif kind == "unmap" and window == frame and unmapped is None:
            unmapped = stamp
    return mapped, unmapped, docked, (unmapped if frame is not None else docked)


class Display:
    """A private Xvfb with a tray host, for one run."""

    def __init__(self, tray=True):
        # Xvfb picks a free display number itself and tells it once it is ready.
        ready, told = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-screen", "0",
                                      "1600x1000x24", "-noreset", "-nolisten", "tcp"],
                                     pass_fds=(told,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(told)
        self.watch = self.tray = None
        try:
            self._start(ready, tray)
        except BaseException:
            self.close()  # no Xvfb or tray host left behind by a failed start
            raise

    def _start(self, ready, tray):
        with os.fdopen(ready) as f:
            number = f.readline().strip()
        if not number.isdigit():
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number
        self.watch = XEvents(self.name)
        if tray and shutil.which("trayer"):
            self.tray = subprocess.Popen(["trayer", "--edge", "bottom", "--align", "right",
                                          "--widthtype", "request", "--height", "24"],
                                         env=dict(os.environ, DISPLAY=self.name),
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = now() + 5
            while now() < deadline and not self.watch.tray_ready():
                time.sleep(0.05)
            self.trayer_windows = {w for _, _, w, _, _ in self.watch.snapshot()}
        else:
            self.trayer_windows = set()

    def events(self):
        return [e for e in self.watch.snapshot() if e[2] not in self.trayer_windows]

    def close(self):
        if self.watch is not None:
            self.watch.close()
        for proc in (self.tray, self.xvfb):
            if proc is not None:
                stop(proc)


def stop(proc, grace=5.0):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
