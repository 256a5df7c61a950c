#!/usr/bin/env python3
"""Makes docs/screenshot.png, the picture of the game in the README and the software-centre
metadata: starts the game on its own virtual X display (Xvfb), presses NEW MAZE for a 20 by 20
maze, walks part of the way with the mouse through xdotool, with one detour into a dead end and
back, so that the board shows green squares with their pass counts, the player's blue square and
both counters, and saves the window with ImageMagick's `import`.

usage: scripts/screenshot.py [path/to/quorrel [output.png]]   (`make screenshot` runs it)"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import quorrel_e2e as e2e  # noqa: E402  (the Xvfb session of the end-to-end tests)

PAUSE = "0.02"  # seconds between two pointer moves


def walk_plan(maze):
    """Squares to visit from the entrance: about half the way out, with a detour into the first
    dead end off the way and back, so that one square is passed twice."""
    way = maze.route()
    stop = max(2, len(way) // 2)
    on_way = set(way)
    for i in range(2, stop):
        for n in maze.neighbours(*way[i]):
            if n not in on_way and n[1] <= maze.rows:
                return way[:i + 1] + [n, way[i]] + way[i + 1:stop + 1]
    return way[:stop + 1]


def drag(session, maze, plan, first):
    x, y = maze.centre(*plan[first])
    commands = ["mousemove", x, y, "sleep", PAUSE, "mousedown", "1"]
    for square in plan[first + 1:]:
        cx, cy = maze.centre(*square)
        commands += ["sleep", PAUSE, "mousemove", cx, cy, "sleep", PAUSE, "mousemove", cx + 1,
                     cy + 1]
    commands += ["sleep", PAUSE, "mouseup", "1"]
    session.xdotool(*commands)


def walked(session, maze, plan):
    """Whether the player got to the end of the plan: its last square is the player's blue."""
    shot = session.screenshot()
    return maze.box_colour(shot, *plan[-1]) == e2e.BLUE


def main():
    game = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "quorrel")
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "..", "docs",
                                                                 "screenshot.png")
    try:
        with e2e.Session(game) as session:
            for attempt in range(3):
                maze = session.new_maze(20, 20)
                plan = walk_plan(maze)
                e2e.log("walking %d squares" % (len(plan) - 1))
                drag(session, maze, plan, 0)
                if walked(session, maze, plan):
                    break
                # The window missed a step: walk a new maze.
                e2e.log("the walk stopped short (try %d)" % (attempt + 1))
            e2e.check(walked(session, maze, plan), "the walk did not reach its last square")
            # The pointer off the board, so that it is in no one's way.
            session.xdotool("mousemove", 0, 0)
            os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
            subprocess.run(["import", "-display", session.display, "-window", session.window,
                            "-strip", "png:" + output], env=session.env, check=True,
                           timeout=e2e.LIMIT)
            e2e.log("wrote " + output)
    except e2e.Failure as failure:
        e2e.log("FAIL: %s" % failure)
        return 1
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
