#!/usr/bin/env python3
"""The game on Wayland: a headless Weston (its pixman renderer, the desktop shell) on a socket
of the test's own, in a runtime folder of its own, and the real game on it through Qt's Wayland
plugin, with no X display. The game must start, stay up, draw its window, which Weston's
screenshooter (allowed by --debug) reads back: beside the empty desktop, the screen gains the
blank board in the window's colour and the dark text of the menus and labels; and end with
status 0 when sent SIGTERM, as a session does at logout.

usage: wayland_e2e.py path/to/quorrel"""

import signal
import time
from collections import Counter

import quorrel_e2e as e2e

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


def run(session):
    before = e2e.wait_for("a screenshot of the empty desktop", session.screenshot, every=0.25)
    game = session.spawn([session.game], "game")

    def drawn():
        e2e.check(game.poll() is None, "the game ended with status %s" % game.poll())
        shot = session.screenshot()
        found = shot and window_drawn(before, shot)
        return found if found and found[0] >= BOARD_PIXELS and found[2] >= TEXT_PIXELS else None

    count, colour, dark = e2e.wait_for("the game's window on Weston's screen", drawn, every=0.25)
    e2e.log("the window brought %d pixels of %s and %d dark ones" % (count, colour, dark))
    time.sleep(STAYS_UP)
    e2e.check(game.poll() is None, "the game ended after drawing its window")
    game.send_signal(signal.SIGTERM)
    status = game.wait(timeout=e2e.LIMIT)
    e2e.check(status == 0, "the game ended with status %d on SIGTERM" % status)
    e2e.log("the game stayed up %.0f s and ended with status 0 on SIGTERM" % STAYS_UP)


def on_weston(game):
    session = e2e.Session(x=False, weston=True)
    session.game = game
    return session


if __name__ == "__main__":
    raise SystemExit(e2e.main(run, opens=on_weston))
