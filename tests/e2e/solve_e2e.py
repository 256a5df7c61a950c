#!/usr/bin/env python3
"""End to end: choose Solve from the menu bar with its access key (Alt+S) and find Solve's
blue path on the screen, from the square under the entrance to the square below the exit."""

import quorrel_e2e as e2e


def test(session):
    maze = session.new_maze(20, 20)
    maze.check_walls()
    way = maze.route()

    session.focus_window()
    session.key("alt+s")

    def solved():
        shot = session.screenshot()
        return shot if maze.box_colour(shot, *way[1]) == e2e.BLUE else None

    shot = e2e.wait_for("Solve's blue path", solved)
    e2e.check(maze.box_colour(shot, *way[0]) == e2e.GRAY, "the entrance square is not gray")
    for square in way[1:]:
        e2e.check(maze.box_colour(shot, *square) == e2e.BLUE,
                  "square %s of the way out is not blue" % (square,))
    cx, cy = maze.centre(*way[1])
    lettered = [(x, y) for x in range(cx - 3, cx + 4) for y in range(cy - 3, cy + 4)
                if shot.pixel(x, y) != e2e.BLUE]
    e2e.check(lettered, "no letter in the middle of the first square of the path")
    # No other square is painted.
    painted = [(c, r) for c in range(1, maze.columns + 1) for r in range(1, maze.rows + 1)
               if maze.box_colour(shot, c, r) == e2e.BLUE]
    e2e.check(len(painted) == len(way) - 2,
              "%d squares of the maze are blue; the way through it has %d"
              % (len(painted), len(way) - 2))
    e2e.log("Solve painted the %d squares from below the entrance to below the exit"
            % (len(way) - 1))


if __name__ == "__main__":
    raise SystemExit(e2e.main(test))
