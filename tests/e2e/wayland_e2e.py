#!/usr/bin/env python3
"""The game on Wayland: a headless Weston (its pixman renderer, the desktop shell) on a socket
of the test's own, in a runtime folder of its own, and the real game on it through Qt's Wayland
plugin, with no X display. The game must start, stay up, draw its window, which Weston's
screenshooter (allowed by --debug) reads back: the blank board in the window's colour below a
strip of controls with dark text; and end with status 0 when sent SIGTERM, as a session does at
logout.

usage: wayland_e2e.py path/to/quorrel"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import quorrel_e2e as e2e

TOOLS = ("weston", "weston-screenshooter", "convert")
WIDTH, HEIGHT = 1024, 768
BOARD_WIDTH = 8880 // 15  # the client area in pixels at 96 dpi: 592 by 487
BOARD_ROWS = 400  # rows of blank board below the controls that the picture must show
STAYS_UP = 2.0  # seconds the game is left running once its window is drawn


def longest_run(image, y):
    """The longest run of one light colour along row y: (length, colour)."""
    best, colour = (0, None), None
    length = 0
    for x in range(image.width):
        here = image.pixel(x, y)
        if here == colour:
            length += 1
        else:
            colour, length = here, 1
        if length > best[0] and min(colour) >= 200:
            best = (length, colour)
    return best


def find_board(image):
    """The blank board: rows whose longest light run is at least the board's width, all of one
    colour. Gives (first row, rows, colour) of the tallest such block, or None."""
    block = None
    start, colour = None, None
    for y in range(image.height + 1):
        length, here = longest_run(image, y) if y < image.height else (0, None)
        wide = length >= BOARD_WIDTH
        if wide and start is not None and here == colour:
            continue
        if start is not None and (block is None or y - start > block[1]):
            block = (start, y - start, colour)
        start, colour = (y, here) if wide else (None, None)
    return block if block and block[1] >= BOARD_ROWS else None


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
        game_process = subprocess.Popen([game], env=env, stdin=subprocess.DEVNULL,
                                        stdout=game_log, stderr=subprocess.STDOUT)

        def drawn():
            e2e.check(game_process.poll() is None,
                      "the game ended with status %s" % game_process.poll())
            shot = screenshot(folder, env)
            return shot and find_board(shot)

        top, rows, colour = e2e.wait_for("the game's window on Weston's screen", drawn,
                                         every=0.25)
        e2e.log("the board: %d blank rows from y %d in colour %s" % (rows, top, colour))
        shot = screenshot(folder, env)
        strip = [shot.pixel(x, y) for y in range(max(0, top - 30), top)
                 for x in range(shot.width)]
        dark = sum(1 for rgb in strip if max(rgb) < 100)
        e2e.check(dark >= 50, "no text in the strip of controls above the board (%d dark "
                  "pixels)" % dark)
        time.sleep(STAYS_UP)
        e2e.check(game_process.poll() is None, "the game ended after drawing its window")
        e2e.check(find_board(screenshot(folder, env)) is not None,
                  "the window is gone from the screen")
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


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        run(sys.argv[1])
    except e2e.Failure as failure:
        e2e.log("FAIL: %s" % failure)
        return 1
    e2e.log("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
