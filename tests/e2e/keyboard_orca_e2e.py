#!/usr/bin/env python3
"""End to end, by ear: a whole game played with keys alone while the Orca screen reader runs,
checked against what Orca says. Starts a virtual display, a session D-Bus with the
accessibility bus, Orca (its own HOME, every utterance in its debug file as a line
"SPEECH OUTPUT: '...'") and the game. The sizes typed, Ctrl+N makes an 8 by 8 maze and Orca
tells its exit; Tab puts the focus on the board, whose words Orca reads; Space says where the
player is. The first step is an arrow under the left button held on the entrance, which must
step without pressing again. Then the player finds the exit by depth-first search from Orca's
words alone, with one bump into a wall, in at most 2 W H + 5 arrows; the box closed, Orca says
what the next arrow does. Solve's runs must trace the way out read off the screen; Retry tells
the exit again; Up and Down in the Moves box walk nobody; Ctrl+N there tells a new maze.

Every step's words are checked against the walls on the screen; words said of the board against
the board's own description over AT-SPI, which is the game's. After each key the test waits
for Orca's words and reads the Moves box over AT-SPI. Orca's debug file is kept beside the
test's working directory, to read what a player heard.

Skips (exit status 77) when Orca is not installed."""

import re

import quorrel_e2e as e2e
from accessibility_e2e import AccessibleSession, heard

SIZE = 8  # the maze played by ear, SIZE by SIZE squares
PRESSES = 2 * SIZE * SIZE + 5  # at most this many arrows to find its exit from the words
STEP = {"up": (0, -1), "down": (0, 1), "left": (-1, 0), "right": (1, 0)}
BACK = {"up": "down", "down": "up", "left": "right", "right": "left"}


def box_text(session, name):
    reader = session.reader
    box = reader.find(reader.game(), name, "text")
    e2e.check(box is not None, "no text box named %s" % name)
    return reader.Atspi.Text.get_text(box, 0, -1)


def wait_moves(session, expected):
    try:
        e2e.wait_for("Moves to show %s" % expected,
                     lambda: box_text(session, "Moves") == expected, limit=e2e.SAY_LIMIT)
    except e2e.Failure:
        raise e2e.Failure("the Moves box shows %r, not %r" % (box_text(session, "Moves"),
                                                               expected))


def board_focused(session, board):
    session.reader.pump()
    return board.get_state_set().contains(session.reader.Atspi.StateType.FOCUSED)


def keep_focus_on_board(session, board):
    """Makes sure the board has the keyboard focus before a key meant for it. When Orca stalls,
    Qt hands it keys late and out of order, and an Alt of an Alt+letter can then come alone
    and put the menu bar in keyboard mode; Escape leaves it, as a person would."""
    if board_focused(session, board):
        return
    e2e.log("the board has lost the focus; Escape")
    session.key("Escape")
    e2e.wait_for("the focus back on the board", lambda: board_focused(session, board),
                 limit=e2e.SAY_LIMIT)


def menu_key(session, board, key, what, test):
    """Chooses a menu item by its Alt+letter from the board and gives Orca's words for it. When
    the Alt came alone (see keep_focus_on_board) the item was not chosen: again, as a person
    would; Solve and Retry do the same the second time."""
    for _ in range(3):
        keep_focus_on_board(session, board)
        session.mark()
        session.key(key)
        try:
            return session.wait_said(what, test, limit=e2e.SAY_LIMIT / 3)
        except e2e.Failure as failure:
            e2e.log("%s; %s again" % (failure, key))
    raise e2e.Failure("Orca did not say %s after %s three times" % (what, key))


def click_moves_box(session):
    """Clicks the Moves box: 5040 twips from the left, 492 wide, 120 down, 288 high."""
    session.xdotool("mousemove", round(session.board_x + (5040 + 246) / session.tpp),
                    round(session.board_y + (120 + 144) / session.tpp), "click", "1")


def type_sizes(session, size):
    """From NEW MAZE, which has the focus when the window opens, Tab to the Width selector and
    then to the Height selector, typing the size into each as a person would."""
    reader = session.reader
    for tabs, label in ((("Tab", "Tab", "Tab"), "Width"), (("Tab",), "Height")):
        session.key(*tabs, "ctrl+a")
        session.xdotool("type", "--delay", "30", str(size))
        e2e.wait_for("the %s selector to show %d" % (label, size),
                     lambda: reader.labelled_by(reader.game(), label, "combo box").get_name()
                     == str(size), limit=e2e.SAY_LIMIT)


def new_maze_by_key(session):
    """Ctrl+N until the screen shows a maze with an exit; gives the maze."""
    maze = session.fit(SIZE, SIZE)
    before = None
    for _ in range(5):
        session.mark()
        session.key("ctrl+n")
        shot = e2e.wait_for("a new maze on the screen",
                            lambda: maze.read(session.screenshot(), unlike=before), limit=20)
        before = shot.signature()
        if shot.exit_col:
            return shot
    raise e2e.Failure("no maze with an exit after five Ctrl+N")


def press(session, arrow, what):
    """Presses an arrow on the board and gives Orca's words for it: a step or a bump (the
    ways open), or the result box of the finish."""
    session.mark()
    # No --clearmodifiers: it would let go of a mouse button held down.
    session.xdotool("key", arrow.capitalize())
    try:
        return session.wait_said(what, lambda t: heard(t)["ways"] is not None or "quorrel" in t)
    except e2e.Failure as failure:
        raise e2e.Failure("%s; Moves shows %r, Extra %r" % (failure, box_text(session, "Moves"),
                                                            box_text(session, "Extra moves")))


def check_step(session, maze, words, square, moves):
    """The words of a step name the square stepped into and the ways open from it, as the
    screen shows them; the Moves box counts the step."""
    facts = heard(words)
    e2e.check(facts["square"] == square, "%r names %s, not %s" % (words, facts["square"], square))
    e2e.check(facts["ways"] == maze.ways(*square),
              "%r: the screen shows %s open" % (words, sorted(maze.ways(*square))))
    wait_moves(session, str(moves))


def find_exit_by_ear(session, maze, words):
    """Depth-first search from the words alone, starting from the words of the first step: a
    square already heard is not entered again, a dead end is left the way it was entered, and
    "down to the exit" is taken at once. One bump into a wall on the way. Gives the number of
    arrows pressed (the first step included) and the words of the result box."""
    presses, moves, came, seen, bumped = 1, 1, [], set(), False
    while True:
        facts = heard(words)
        square = facts["square"]
        seen.add(square)
        onward = [w for w in ("down", "right", "left", "up") if w in facts["ways"]
                  and (square[0] + STEP[w][0], square[1] + STEP[w][1]) not in seen]
        way = "down" if facts["to_exit"] else (onward[0] if onward else None)
        if way is not None:
            came.append(way)
        else:
            e2e.check(came, "a dead end at %s with nowhere to go back to" % (square,))
            way = BACK[came.pop()]
        closed = [w for w in STEP if w not in facts["ways"] and (w != "up" or square[1] > 1)]
        if not bumped and closed and moves >= 3:
            said = press(session, closed[0], "the wall")
            e2e.check(heard(said)["ways"] == maze.ways(*square) and not heard(said)["square"],
                      "bump %s at %s: %r" % (closed[0], square, said))
            wait_moves(session, str(moves))
            e2e.log("a wall (%s at %s): %r" % (closed[0], square, said))
            presses, bumped = presses + 1, True
        said = press(session, way, "the step %s from %s" % (way, square))
        presses += 1
        if facts["to_exit"]:
            return presses, said
        moves += 1
        square = (square[0] + STEP[way][0], square[1] + STEP[way][1])
        check_step(session, maze, said, square, moves)
        if moves <= 3:
            e2e.log("step %d (%s): %r" % (moves, way, said))
        e2e.check(presses < PRESSES, "no exit after %d arrows" % presses)
        words = said


def test(session):
    reader = session.reader
    app = e2e.wait_for("the game on the accessibility bus", reader.game)
    board = e2e.wait_for("the board", lambda: reader.find(app, "Maze board"))
    described = lambda: reader.description(board)  # noqa: E731 the game's words for the board
    session.focus_window()
    e2e.wait_for("Orca to notice the window",
                 lambda: any("New maze" in t for t in session.utterances()))

    type_sizes(session, SIZE)
    maze = new_maze_by_key(session)
    e2e.log("maze: entrance above column %d, exit below column %d"
            % (maze.entry_col, maze.exit_col))
    # Ctrl+N in the Height selector: the focus stays there, the new maze is a notification
    # that tells the exit.
    made = session.wait_said("the new maze", lambda t: t.startswith("notification")
                             and heard(t)["exit"] == maze.exit_col)
    e2e.log("Ctrl+N: %r" % made)

    # Tab from the Height selector: the board, with the game's words for it.
    session.mark()
    session.key("Tab")
    named = session.wait_said("the board taking the focus", lambda t: "Maze board" in t)
    focus = session.wait_said("the board's words", lambda t: t == described())
    facts = heard(focus)
    e2e.check(facts["exit"] == maze.exit_col and facts["entrance"] == maze.entry_col,
              "the board on focus: %r" % focus)
    e2e.log("focus on the board: %r, %r" % (named, focus))

    session.mark()
    session.key("space")
    where = session.wait_said("where the player is", lambda t: t != focus and t in described())
    e2e.check(heard(where)["exit"] == maze.exit_col and box_text(session, "Moves") == "",
              "Space: %r" % where)
    e2e.log("Space: %r" % where)

    # An arrow with the left button held on the entrance: the step alone, no second press.
    x, y = maze.centre(maze.entry_col, 0)
    pressed = session.handled("mouse:button:1p")
    session.xdotool("mousemove", x, y, "mousedown", "1")
    # Orca takes the focus afresh at a press: after the step's words it would take them for old.
    e2e.wait_for("Orca to take in the press", lambda: session.handled("mouse:button:1p") > pressed,
                 limit=e2e.SAY_LIMIT)
    said = press(session, "down", "the first step, with the button held")
    check_step(session, maze, said, (maze.entry_col, 1), 1)
    e2e.check(box_text(session, "Extra moves") == "", "Extra shows %r after the first step"
              % box_text(session, "Extra moves"))
    session.xdotool("mouseup", "1")
    e2e.log("step 1 (Down, the button held): %r; Moves 1, Extra empty" % said)

    presses, result = find_exit_by_ear(session, maze, said)
    e2e.check(presses <= PRESSES, "%d arrows to find the exit" % presses)
    result = session.wait_said("the result", lambda t: "Perfect!" in t or "try again?" in t)
    e2e.log("the finish after %d arrows (at most %d): %r" % (presses, PRESSES, result))
    # Escape: No, or OK. Once the box has closed, the board says what the next arrow does:
    # words of the board's own description (the notification's role word aside).
    session.mark()
    session.key("Escape")
    e2e.wait_for("the message box to close", lambda: reader.find(app, role="alert") is None)
    told = session.wait_said("the words after the box", lambda t: t != described()
                             and t.replace("notification ", "", 1) in described())
    e2e.log("the box closed: %r" % told)
    # Without a window manager nobody gives the window the keyboard back: the test does.
    session.focus_window()
    e2e.wait_for("the focus on the board", lambda: board_focused(session, board))

    solved = menu_key(session, board, "alt+s", "Solve",
                      lambda t: re.search(r"(down|up|left|right) \d+", t))
    runs = [(w, int(n)) for w, n in re.findall(r"\b(down|up|left|right) (\d+)", solved)]
    walk = [(maze.entry_col, 0)]
    for way, n in runs:
        for _ in range(n):
            walk.append((walk[-1][0] + STEP[way][0], walk[-1][1] + STEP[way][1]))
    e2e.check(walk == maze.route(), "Solve's runs %r are not the way out" % runs)
    e2e.log("Solve: %r" % solved)

    retried = menu_key(session, board, "alt+r", "Retry", lambda t: t != described()
                       and heard(t)["entrance"] == maze.entry_col
                       and heard(t)["exit"] == maze.exit_col)
    wait_moves(session, "")
    e2e.log("Retry: %r" % retried)

    # The board's keys in the Moves box walk nobody: Up and Down there, then Tab on to Extra,
    # whose focus Orca says once the arrows have been handled.
    before = described()
    click_moves_box(session)
    session.key("Up", "Down")
    session.mark()
    session.key("Tab")
    session.wait_said("the Extra box", lambda t: t.startswith("Extra"))
    e2e.check(described() == before and box_text(session, "Moves") == "",
              "an arrow in the Moves box walked: the board says %r" % described())
    e2e.log("Up and Down in the Moves box: the board still says %r" % described())

    session.mark()
    session.key("ctrl+n")
    made = session.wait_said("a new maze", lambda t: heard(t)["exit"] is not None
                             or "no exit" in t)
    e2e.log("Ctrl+N in the Extra box: %r" % made)
    e2e.log("Orca said, from the start:\n  " + "\n  ".join(session.utterances()))
    session.keep_log()


def opens(game):
    return AccessibleSession(game, orca=True)


if __name__ == "__main__":
    raise SystemExit(e2e.main(test, opens=opens, attempts=2))
