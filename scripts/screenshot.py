#!/usr/bin/env python3
"""Makes docs/screenshot.png, the picture of the game in the README and the software-centre
metadata: starts the game on its own virtual X display (Xvfb), presses NEW MAZE for a 20 by 20
maze, walks part of the way with the mouse through xdotool, with one detour into a dead end and
back, so that the board shows green squares with their pass counts, the player's blue square and
both counters, and saves the window with ImageMagick's `import`.

usage: scripts/screenshot.py [path/to/quorrel [output.png]]   (`make screenshot` runs it)"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import quorrel_e2e as e2e  # noqa: E402  (the harness of the end-to-end tests)

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


def walked(session, maze, plan):
    """Whether the player got to the end of the plan: its last square is the player's blue."""
    shot = session.screenshot()
    return maze.box_colour(shot, *plan[-1]) == e2e.BLUE


class Screenshot(e2e.Game):
    def __init__(self, game=os.path.join(HERE, "..", "build", "quorrel"),
                 output=os.path.join(HERE, "..", "docs", "screenshot.png")):
        super().__init__(game)
        self.output = output


def shoot(session):
    for attempt in range(3):
        maze = session.new_maze(20, 20)
        plan = walk_plan(maze)
        e2e.log("walking %d squares" % (len(plan) - 1))
        maze.drag(plan)
        if walked(session, maze, plan):
            break
        # The window missed a step: walk a new maze.
        e2e.log("the walk stopped short (try %d)" % (attempt + 1))
    e2e.check(walked(session, maze, plan), "the walk did not reach its last square")
    # The pointer off the board, so that it is in no one's way.
    session.xdotool("mousemove", 0, 0)
    os.makedirs(os.path.dirname(os.path.abspath(session.output)), exist_ok=True)
    session.run("import", "-display", session.display, "-window", session.window, "-strip",
                "png:" + session.output)
    e2e.log("wrote " + session.output)


if __name__ == "__main__":
    raise SystemExit(e2e.main(shoot, opens=Screenshot))
