#!/usr/bin/env python3
"""End to end, by ear: a whole game played with keys alone while the Orca screen reader runs,
checked against what Orca says. Starts a virtual display, a session D-Bus with the
accessibility bus, Orca (its own HOME, every utterance in its debug file as a line
"SPEECH OUTPUT: '...'") and the game. Ctrl+N makes a maze; Shift+Tab from NEW MAZE puts the
focus on the board; the arrow keys walk the way out, read off the screen, with one bump into a
wall on the way; the finish shows its message; then Solve, Retry and Ctrl+N on the board.
After each key the test waits for Orca's words and reads the Moves box over AT-SPI.

Skips (exit status 77) when Orca is not installed."""

import os
import re
import shutil
import subprocess
import sys
import threading
import tty

import quorrel_e2e as e2e
from accessibility_e2e import AccessibleSession

SAY_LIMIT = 30  # seconds to wait for Orca to say something
# Orca's echo of modifier keys pressed for shortcuts, not the game's words.
ECHO = re.compile(r"^(left |right )?(shift|control|alt|super|tab|escape|return|f1|"
                  r"[a-z]|down|up|left|right)\s*$", re.IGNORECASE)
# "SPEECH OUTPUT: 'words'" and the voice, if any, after the closing quote.
SAID = re.compile(r"SPEECH OUTPUT: '(.*)'\s*(\{.*\})?$")


class OrcaSession(AccessibleSession):
    """The game on a virtual display with the accessibility bus and Orca listening.

    Orca writes its debug file through a buffer it never flushes, so the file is a pseudo
    terminal, which Python writes line by line; a thread copies what arrives into the work
    folder. Orca's --replace would end every Orca of this user on the machine, and a plain
    `orca` refuses to start beside another one, so Orca's program is run by the Python
    interpreter under that name instead: test runs side by side leave each other alone."""

    orca = None
    terminal = None

    def _start_display(self):
        super()._start_display()
        home = os.path.join(self.workdir, "orca-home")
        os.mkdir(home)
        self.orca_log = os.path.join(self.workdir, "orca-debug.txt")
        master, terminal = os.openpty()
        tty.setraw(terminal)
        threading.Thread(target=self._copy_log, args=(master,), daemon=True).start()
        env = dict(self.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"))
        self.orca = subprocess.Popen(
            [sys.executable, shutil.which("orca"), "--disable=speech", "--disable=braille",
             "--debug-file=" + os.ttyname(terminal)], env=env,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.workdir, "orca.log"), "wb"), start_new_session=True)
        # The terminal stays open here until the end: Orca opens it by its name.
        self.terminal = terminal
        self.buses = (self.orca,) + tuple(self.buses)
        try:
            e2e.wait_for("Orca to start",
                         lambda: "ORCA: User Settings Loaded" in self.orca_text())
        except e2e.Failure:
            self.tell_orca()
            raise
        e2e.log("Orca is running")
        self.heard = 0  # utterances already looked at

    def _copy_log(self, master):
        with open(self.orca_log, "ab") as out:
            while True:
                try:
                    data = os.read(master, 65536)
                except OSError:
                    break
                if not data:
                    break
                out.write(data.replace(b"\r", b""))
                out.flush()
        os.close(master)

    def tell_orca(self):
        e2e.log("Orca said:\n  " + "\n  ".join(self.utterances()[-40:]))
        e2e.log("Orca's standard error:\n" + self._read("orca.log")[-3000:])
        kept = os.path.abspath("keyboard_orca_e2e-orca-debug.txt")
        shutil.copyfile(self.orca_log, kept)
        e2e.log("Orca's debug file: " + kept)

    def orca_text(self):
        try:
            with open(self.orca_log, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def utterances(self):
        """Everything Orca said so far, without its echo of the keys pressed."""
        out = []
        for line in self.orca_text().splitlines():
            found = SAID.search(line)
            if found:
                text = found.group(1).strip()
                if text and not ECHO.match(text):
                    out.append(text)
        return out

    def mark(self):
        """From now on, only what Orca says after this counts."""
        self.heard = len(self.utterances())

    def said_since(self):
        return self.utterances()[self.heard:]

    def wait_said(self, what, test):
        """Waits until Orca has said something since the mark for which test(text) holds; gives
        that and moves the mark past it."""
        def probe():
            for i, text in enumerate(self.said_since()):
                if test(text):
                    self.heard += i + 1
                    return text
            return None
        try:
            return e2e.wait_for("Orca to say " + what, probe, limit=SAY_LIMIT)
        except e2e.Failure:
            raise e2e.Failure("Orca did not say %s; it said %r" % (what, self.said_since()))

    def key(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)

    def __exit__(self, kind, value, trace):
        if kind is not None:
            self.tell_orca()
        result = super().__exit__(kind, value, trace)
        if self.terminal is not None:
            os.close(self.terminal)
        return result


ARROWS = {(1, 0): "Right", (-1, 0): "Left", (0, 1): "Down", (0, -1): "Up"}


def moves_box(session):
    reader = session.reader
    box = reader.find(reader.game(), "Moves", "text")
    e2e.check(box is not None, "no text box named Moves")
    return reader.Atspi.Text.get_text(box, 0, -1)


def wait_moves(session, expected):
    try:
        e2e.wait_for("Moves to show %s" % expected, lambda: moves_box(session) == expected,
                     limit=SAY_LIMIT)
    except e2e.Failure:
        raise e2e.Failure("the Moves box shows %r, not %r" % (moves_box(session), expected))


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
                 limit=SAY_LIMIT)


def new_maze_by_key(session):
    """Ctrl+N until the screen shows a maze with an exit; gives the maze."""
    maze = session.fit(20, 20)
    before = None
    for _ in range(5):
        session.key("ctrl+n")
        shot = e2e.wait_for("a new maze on the screen",
                            lambda: maze.read(session.screenshot(), unlike=before), limit=20)
        before = shot.signature()
        if shot.exit_col:
            return shot
    raise e2e.Failure("no maze with an exit after five Ctrl+N")


def test(session):
    reader = session.reader
    app = e2e.wait_for("the game on the accessibility bus", reader.game)
    board = e2e.wait_for("the board", lambda: reader.find(app, "Maze board"))
    session.focus_window()
    e2e.wait_for("Orca to notice the window",
                 lambda: any("New maze" in t for t in session.utterances()))

    session.mark()
    maze = new_maze_by_key(session)
    e2e.log("maze: entrance above column %d, exit below column %d"
            % (maze.entry_col, maze.exit_col))
    # Ctrl+N with the focus on NEW MAZE: the focus stays on the button, and the new maze is
    # told as a notification.
    told = ("notification New 20 by 20 maze. The entrance is above column %d. Open: down."
            % maze.entry_col)
    session.wait_said("the new maze as a notification", lambda t: t == told)
    e2e.log("Orca after Ctrl+N on the button: %r" % told)

    # Shift+Tab from NEW MAZE: the board, with its size, the start and the way in.
    session.mark()
    session.key("shift+Tab")
    named = session.wait_said("the board taking the focus", lambda t: "Maze board" in t)
    focus = session.wait_said("the board's words", lambda t: t.startswith("20 by 20 maze."))
    e2e.check(focus == "20 by 20 maze. You have not started: the entrance is above column %d. "
              "Open: down. 0 moves, 0 extra." % maze.entry_col, "the board on focus: %r" % focus)
    e2e.log("focus on the board: %r, %r" % (named, focus))

    way = maze.route()  # from the entrance square (row 0) to the square below the exit
    bumped = False
    for k in range(1, len(way)):
        (c0, r0), (c1, r1) = way[k - 1], way[k]
        if not bumped and k == 4:
            # A bump: a closed side of the square the player stands on.
            closed = [d for d in ((0, -1), (-1, 0), (1, 0), (0, 1))
                      if (c0 + d[0], r0 + d[1]) not in maze.neighbours(c0, r0)
                      and (d != (0, -1) or r0 > 1)]
            closed = closed or [(0, -1)]
            session.mark()
            session.key(ARROWS[closed[0]])
            said = session.wait_said("the wall", lambda t: t.startswith("Wall."))
            e2e.check(said == "Wall. " + maze.open_ways(c0, r0), "bump: %r" % said)
            wait_moves(session, str(k - 1))
            e2e.log("bump %s at column %d, row %d: %r; Moves %s"
                    % (ARROWS[closed[0]], c0, r0, said, k - 1))
            bumped = True
        session.mark()
        session.key(ARROWS[c1 - c0, r1 - r0])
        if r1 <= maze.rows:
            expected = "Column %d, row %d. %s" % (c1, r1, maze.open_ways(c1, r1))
            said = session.wait_said("step %d" % k, lambda t: t.startswith("Column"))
            e2e.check(said == expected, "step %d: Orca said %r, not %r" % (k, said, expected))
            wait_moves(session, str(k))
            if k <= 3:
                e2e.log("step %d %s: %r; Moves %d" % (k, ARROWS[c1 - c0, r1 - r0], said, k))
    session.wait_said("the message box", lambda t: t == "alert quorrel.")
    finish = session.wait_said("the result", lambda t: "Perfect!" in t)
    e2e.log("the finish after %d moves: %r" % (len(way) - 1, finish))
    wait_moves(session, str(len(way) - 1))
    session.mark()
    session.key("Return")
    e2e.wait_for("the message box to close", lambda: reader.find(app, role="alert") is None)
    # Without a window manager nobody gives the window the keyboard back: the test does.
    session.focus_window()
    session.wait_said("the board again", lambda t: t.startswith("20 by 20 maze."))
    e2e.wait_for("the focus on the board", lambda: board_focused(session, board))
    e2e.log("Orca after the message box closed: %r" % session.said_since())

    keep_focus_on_board(session, board)
    session.mark()
    session.key("alt+s")
    solved = session.wait_said("Solve", lambda t: t.startswith("Solved:"))
    e2e.check(solved.startswith("Solved: the way out is %d squares long." % (len(way) - 1)),
              "Solve: %r" % solved)
    e2e.log("Solve: %r" % solved)

    keep_focus_on_board(session, board)
    session.mark()
    session.key("alt+r")
    retried = session.wait_said("Retry", lambda t: t.startswith("Back at the entrance"))
    wait_moves(session, "")
    e2e.log("Retry: %r" % retried)

    keep_focus_on_board(session, board)
    session.mark()
    session.key("ctrl+n")
    made = session.wait_said("a new maze", lambda t: t.startswith("New 20 by 20 maze."))
    e2e.log("Ctrl+N on the board: %r" % made)
    e2e.log("Orca said, from the start:\n  " + "\n  ".join(session.utterances()))


if __name__ == "__main__":
    raise SystemExit(e2e.main(test, opens=OrcaSession, needs="orca", attempts=2))
