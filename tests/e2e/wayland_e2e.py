#!/usr/bin/env python3
"""The game on Wayland: a headless Weston (its pixman renderer, the desktop shell) on a socket
of the test's own, in a runtime folder of its own, and the real game on it through Qt's Wayland
plugin, with no X display. The game must start, stay up, draw its window, which Weston's
screenshooter (allowed by --debug) reads back: beside the empty desktop, the screen gains the
blank board in the window's colour and the dark text of the menus and labels; and end with status 0 when sent SIGTERM, as a session does at
logout.

usage: wayland_e2e.py path/to/quorrel"""

import contextlib
import os
import shutil
import signal
import subprocess
import tempfile
import time
from collections import Counter

import quorrel_e2e as e2e

TOOLS = ("weston", "weston-screenshooter", "convert")
WIDTH, HEIGHT = 1024, 768
BOARD_PIXELS = 560 * 400  # most of the blank board, 592 by 487 pixels at 96 dpi
TEXT_PIXELS = 50  # dark pixels of the captions of the menus and the labels
STAYS_UP = 2.0  # seconds the game is left running once its window is drawn


def colours(image):
    """How many pixels of the image have each colour."""
    data = image.pixels
    return Counter(data[i:i + 3] for i in range(0, len(data), 3))


def window_drawn(before, after):
    """What the game's window added to the screen: the light colour that gained the most pixels
    (the window's own, the blank board) and how many, and how many dark pixels (text) came."""
    gained = colours(after)
    gained.subtract(colours(before))
    light = [(n, rgb) for rgb, n in gained.items() if min(rgb) >= 200]
    count, colour = max(light) if light else (0, b"")
    dark = sum(n for rgb, n in gained.items() if max(rgb) < 100 and n > 0)
    return count, tuple(colour), dark


def screenshot(folder, env):
    for name in os.listdir(folder):
        if name.startswith("wayland-screenshot"):
            os.remove(os.path.join(folder, name))
    done = subprocess.run(["weston-screenshooter"], cwd=folder, env=env, capture_output=True,
                          stdin=subprocess.DEVNULL, timeout=e2e.LIMIT)
    shots = [n for n in os.listdir(folder) if n.startswith("wayland-screenshot")]
    if done.returncode != 0 or not shots:
        return None
    ppm = subprocess.run(["convert", os.path.join(folder, shots[0]), "ppm:-"],
                         capture_output=True, check=True, timeout=e2e.LIMIT).stdout
    return e2e.Image.from_ppm(ppm)


def run(game):
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    e2e.check(not missing, "missing tools: %s (run `make deps`)" % ", ".join(missing))
    folder = tempfile.mkdtemp(prefix="quorrel-wayland-")
    runtime = os.path.join(folder, "runtime")
    os.mkdir(runtime, 0o700)
    socket = "quorrel-e2e-%d" % os.getpid()
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=socket, QT_QPA_PLATFORM="wayland")
    weston_log = open(os.path.join(folder, "weston.log"), "wb")
    game_log = open(os.path.join(folder, "game.log"), "wb")
    weston = subprocess.Popen(
        ["weston", "--backend=headless-backend.so", "--use-pixman", "--width=%d" % WIDTH,
         "--height=%d" % HEIGHT, "--socket=" + socket, "--debug", "--idle-time=0"],
        env=env, stdin=subprocess.DEVNULL, stdout=weston_log, stderr=subprocess.STDOUT)
    game_process = None
    try:
        e2e.wait_for("Weston's socket", lambda: weston.poll() is not None
                     or os.path.exists(os.path.join(runtime, socket)))
        e2e.check(weston.poll() is None, "Weston did not start")
        before = e2e.wait_for("a screenshot of the empty desktop",
                              lambda: screenshot(folder, env), every=0.25)
        game_process = subprocess.Popen([game], env=env, stdin=subprocess.DEVNULL,
                                        stdout=game_log, stderr=subprocess.STDOUT)

        def drawn():
            e2e.check(game_process.poll() is None,
                      "the game ended with status %s" % game_process.poll())
            shot = screenshot(folder, env)
            found = shot and window_drawn(before, shot)
            return found if found and found[0] >= BOARD_PIXELS and found[2] >= TEXT_PIXELS else None

        count, colour, dark = e2e.wait_for("the game's window on Weston's screen", drawn,
                                           every=0.25)
        e2e.log("the window brought %d pixels of %s and %d dark ones" % (count, colour, dark))
        time.sleep(STAYS_UP)
        e2e.check(game_process.poll() is None, "the game ended after drawing its window")
        game_process.send_signal(signal.SIGTERM)
        status = game_process.wait(timeout=e2e.LIMIT)
        e2e.check(status == 0, "the game ended with status %d on SIGTERM" % status)
        e2e.log("the game stayed up %.0f s and ended with status 0 on SIGTERM" % STAYS_UP)
    finally:
        for process in (game_process, weston):
            if process is not None and process.poll() is None:
                process.kill()
                process.wait()
        weston_log.close()
        game_log.close()
        with open(os.path.join(folder, "game.log"), errors="replace") as f:
            said = f.read().strip()
        if said:
            e2e.log("the game said: " + said)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    raise SystemExit(e2e.main(run, opens=contextlib.nullcontext))
