#!/usr/bin/env python3
"""End to end: hold the left button down on the gray entrance square and drag through the maze
to the exit; the result appears in a message box titled "quorrel". The route is worked out
from the screenshot: a breadth-first search over the walls that are open on the screen."""

import quorrel_e2e as e2e

def player_index(session, maze, way):
    """Where along the way the player stands: the last square painted in the player's blue."""
    shot = session.screenshot()
    blue = [i for i, square in enumerate(way) if maze.box_colour(shot, *square) == e2e.BLUE]
    return blue[-1] if blue else 0


def test(session):
    maze = session.new_maze(20, 20)
    maze.check_walls()
    way = maze.route()
    e2e.log("the way out is %d steps long" % (len(way) - 1))

    box = None
    first = 0
    for attempt in range(4):
        maze.drag(way[first:])
        try:
            box = e2e.wait_for("the result message", lambda: session.find_window("^quorrel$"),
                               limit=15)
            break
        except e2e.Failure:
            # Resume play from where the player stopped, as a person would.
            first = player_index(session, maze, way)
            e2e.log("no result yet after try %d; the player stands on step %d; resuming"
                    % (attempt + 1, first))
    e2e.check(box is not None, "no message box titled \"quorrel\" after walking to the exit")
    e2e.log("result message box %s is shown" % box)
    shot = session.screenshot()
    e2e.check(maze.box_colour(shot, *way[-1]) == e2e.BLUE,
              "the square below the exit is not the player's blue")

    # Close the box (Escape: OK on "Perfect!", No on an offer to try again), then look at the
    # walk on the board.
    session.xdotool("windowfocus", "--sync", box)
    session.xdotool("key", "Escape")
    e2e.wait_for("the message box to close",
                 lambda: session.find_window("^quorrel$") is None)
    shot = session.screenshot()
    e2e.check(maze.box_colour(shot, *way[0]) == e2e.BLUE,
              "the entrance square is not the player's blue")
    for square in way[1:-1]:
        e2e.check(maze.box_colour(shot, *square) == e2e.GREEN,
                  "square %s of the way is not green" % (square,))
    e2e.check(maze.box_colour(shot, *way[-1]) == e2e.BLUE,
              "the square below the exit is not blue")
    e2e.log("walked %d squares to the exit" % (len(way) - 1))


if __name__ == "__main__":
    raise SystemExit(e2e.main(test))
