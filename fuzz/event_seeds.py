#!/usr/bin/env python3
"""Writes the seeds of fuzz_events into fuzz/corpus/fuzz_events, in the byte encoding of
tests/support/event_driver.cpp: run it again whenever that encoding or the command table
changes, and check each seed with `build-fuzz/fuzz/fuzz_events <seed>`, whose tally says what
it played."""
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
# The commands in the order of the table, which is the order of the enum.
with open(os.path.join(HERE, "..", "src", "game", "command.h"), encoding="utf-8") as header:
    ENUM = re.search(r"enum class Command \{([^}]*)\}", header.read()).group(1)
ROWS = [name.strip() for name in ENUM.split(",") if name.strip()]
PICKS = [(7 * i) % 256 for i in range(32)]


def side(n):
    """A selector text of 2 to 10."""
    return [(n - 2) << 4]


def new_maze(w, h, how=0, extra=(), seed=(1, 0)):
    """NEW MAZE with new texts; `how` and `extra` pick the client area and twips per pixel."""
    return [0, how] + w + h + list(extra) + list(seed)


def walk(steps, release=False):
    return [42, (steps - 1) | (0x20 if release else 0), 0x80, 0x80] + PICKS[:steps]


def command(name, repeats=1):
    """A row of the table; a key of the board held down for a few repeats, NEW MAZE with the
    texts the selectors hold."""
    return [48, ROWS.index(name), ((repeats - 1) << 1) | 1]


YES, NO = [25], [27]


def trouble(how):
    return [29, how]  # 0 creation fails, 1 writing fails


SEEDS = {
    "walk_2x2": new_maze(side(2), side(2), seed=(6, 0)) + walk(32) + walk(32, release=True),
    "tricky_sizes": [0, 0, 12, 6, 12, 10, 1, 0, 0, 0, 12, 11, 12, 0, 1, 0, 0, 0, 12, 21, 16, 1, 0]
    + walk(10) + [0, 0, 12, 7, 12, 7, 1, 0] + walk(10),
    "walk_3x3_retry_solve": new_maze(side(3), side(3), seed=(7, 1)) + walk(3) + command("Solve")
    + walk(8) + command("Retry") + command("Hide1") + walk(32) + YES + walk(32) + NO + walk(32),
    "files_and_trouble": command("MakeFile") + new_maze(side(4), side(4)) + trouble(0)
    + new_maze(side(5), side(2)) + trouble(1) + new_maze(side(2), side(6)) + command("Help")
    + command("MakeFile") + new_maze(side(3), side(3)),
    # Client -1 x 0 twips at 0 x 15 twips per pixel; 8000 x 6000 at 6 x 11; 3000 x 1e9 at
    # 1440 x 0.5.
    "odd_window": new_maze(side(10), side(10), how=0x7F, extra=[1, 0, 0, 0x80], seed=(0x60, 0x60))
    + new_maze(side(4), side(4), how=0x5D, extra=[0x40, 0x1F, 0x70, 0x17, 5, 10])
    + new_maze(side(3), side(3), how=0x7F, extra=[11, 10, 4, 7]) + walk(32)
    + command("StepDown", 4) + command("Solve") + command("StepUp", 2) + command("WhereAmI")
    + walk(3),
    "keys_and_menus": new_maze(side(3), side(3), seed=(5, 0)) + command("WhereAmI")
    + command("StepDown", 4) + command("StepRight", 4) + command("StepLeft", 2)
    + command("StepUp") + command("StepDown", 4) + command("Hide2") + command("StepRight", 4)
    + command("StepDown", 4) + YES + command("StepDown", 4) + command("Blank") + command("Quit")
    + command("NewMaze") + command("Hide0") + command("StepDown", 4) + [47] + walk(4)[1:]
    + command("Retry") + [2, 6, 2, 6, 0],
}

if __name__ == "__main__":
    folder = os.path.join(HERE, "corpus", "fuzz_events")
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(bytes(data))
