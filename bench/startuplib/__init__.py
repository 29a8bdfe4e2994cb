"""The parts of bench/startup.

server   the loopback sites and the parallel client that sets the bound
content  real pages from a packaged HTML documentation, and what each loads statically
probe    memory and CPU of the programme's process tree, in a process of its own
display  a private Xvfb with a tray host, and its top-level windows
runner   settings store, command lines, one run, and the summary tables
"""

import os
import time

BENCH = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
REPO = os.path.dirname(BENCH)
# The entry point: the probe and the parallel client run as modes of it.
SCRIPT = os.path.join(BENCH, "startup")


def now():
    return time.monotonic()
