#!/usr/bin/env python3
"""End to end: the game opens its window; a click on NEW MAZE draws a maze of black walls with
a gap in the top border above the light-gray entrance square."""

import quorrel_e2e as e2e


def test(session):
    maze = session.new_maze(20, 20)
    maze.check_walls()
    shot = maze.shot
    x0, y0, s = maze.origin_x, maze.origin_y, maze.square
    # The whole entrance square is light gray, above the gap in the top border.
    for fx in (0.2, 0.5, 0.8):
        for fy in (0.2, 0.5, 0.8):
            at = maze.screen(x0 + (maze.entry_col - 1 + fx) * s, y0 - s + fy * s)
            e2e.check(shot.pixel(*at) == e2e.GRAY, "entrance square is not gray at %s" % (at,))
    # The maze's bottom corners are black (the top ones may lie under the gray square's
    # outline), and the board around the maze is not.
    bottom = y0 + maze.rows * s
    e2e.check(shot.pixel(*maze.screen(x0, bottom)) == e2e.BLACK,
              "bottom-left corner is not black")
    e2e.check(shot.pixel(*maze.screen(x0 + maze.columns * s, bottom - 1)) == e2e.BLACK,
              "bottom-right corner is not black")
    outside = maze.screen(x0 - 3 * 15, y0 + s)
    e2e.check(not e2e.is_black(shot.pixel(*outside)), "board left of the maze is not blank")
    e2e.log("maze of %dx%d squares of %d twips at (%d, %d) twips is on the screen"
            % (maze.columns, maze.rows, s, x0, y0))


if __name__ == "__main__":
    raise SystemExit(e2e.main(test))
