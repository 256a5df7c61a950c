"""Shared pieces of the end-to-end tests of build/quorrel.

Each test starts its own virtual X server (Xvfb on a display it picks itself), starts the real
game on it, finds the window by its caption with xdotool, works the mouse and the keyboard as a
person would, and reads the screen back with ImageMagick's `import`. Where the maze is, and how
big, follows from the window's size and the board geometry NEW MAZE computes;
which walls are closed is read off the screenshot. Nothing waits a fixed time for a result:
every wait polls until its condition holds or a generous limit runs out.

Only the Python standard library is used.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
from collections import deque

LIMIT = 60.0  # seconds any one wait may take before the test gives up
SCREEN = "1280x1024x24"

BLACK = (0, 0, 0)
GRAY = (0xDD, 0xDD, 0xDD)
BLUE = (0, 136, 255)  # the player's square and Solve's path
GREEN = (0, 255, 136)  # a square passed
TOOLS = ("Xvfb", "xdotool", "import")


class Failure(Exception):
    """A check of the test did not hold."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def log(message):
    print(message, flush=True)


def wait_for(what, probe, limit=LIMIT, every=0.05):
    """Calls probe until it gives something other than None or False; fails after `limit`."""
    deadline = time.monotonic() + limit
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("gave up waiting for " + what)
        time.sleep(every)


def f32(value):
    """The value rounded to single precision."""
    return struct.unpack("f", struct.pack("f", value))[0]


class Image:
    """A screenshot: width, height and 8-bit RGB pixels."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels

    @staticmethod
    def from_ppm(data):
        fields = []
        at = 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at) + 1
                continue
            start = at
            while not data[at:at + 1].isspace():
                at += 1
            fields.append(data[start:at])
        check(fields[0] == b"P6", "screenshot is not a binary PPM")
        width, height, maximum = int(fields[1]), int(fields[2]), int(fields[3])
        check(maximum == 255, "screenshot is not 8 bits a channel")
        at += 1
        return Image(width, height, data[at:at + width * height * 3])

    def pixel(self, x, y):
        at = (int(y) * self.width + int(x)) * 3
        return tuple(self.pixels[at:at + 3])

    def save(self, path):
        with open(path, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            out.write(self.pixels)


def is_black(rgb):
    return max(rgb) < 64


class Session:
    """A virtual display with the game running on it."""

    def __init__(self, game):
        missing = [tool for tool in TOOLS if shutil.which(tool) is None]
        if missing:
            raise Failure("missing tools: %s (install xvfb, xdotool and imagemagick, or run "
                          "`make deps`)" % ", ".join(missing))
        if not os.access(game, os.X_OK):
            raise Failure("no game to test at " + game)
        self.game_path = os.path.abspath(game)
        self.workdir = tempfile.mkdtemp(prefix="quorrel-e2e-")
        self.xvfb = None
        self.game = None
        self.display = None
        self.env = None

    # -- setting up and tearing down ------------------------------------------------------

    def __enter__(self):
        try:
            self._start_display()
            self._start_game()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None and self.display is not None and self.xvfb.poll() is None:
            try:
                shot = self.screenshot()
                name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
                path = os.path.abspath(name + "-failure.ppm")
                shot.save(path)
                log("screenshot at the failure: " + path)
            except Exception:  # the screenshot only helps to explain the failure
                pass
        for process in (self.game, self.xvfb):
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if self.game is not None and kind is not None:
            err = self.game_errors()
            if err.strip():
                log("game's standard error:\n" + err)
        shutil.rmtree(self.workdir, ignore_errors=True)
        return False

    def _start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.workdir, "xvfb.log"), "wb"))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + LIMIT
        os.set_blocking(read_end, False)
        while not number.endswith(b"\n"):
            if self.xvfb.poll() is not None:
                raise Failure("Xvfb stopped at start: " + self._read("xvfb.log"))
            if time.monotonic() > deadline:
                raise Failure("Xvfb did not say which display it took")
            try:
                chunk = os.read(read_end, 16)
            except BlockingIOError:
                time.sleep(0.02)
                continue
            if not chunk:
                time.sleep(0.02)
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "XAUTHORITY"):
            self.env.pop(name, None)
        self.env["DISPLAY"] = self.display
        self.env["QT_QPA_PLATFORM"] = "xcb"
        runtime = os.path.join(self.workdir, "runtime")
        os.mkdir(runtime, 0o700)
        self.env["XDG_RUNTIME_DIR"] = runtime
        log("virtual display " + self.display)

    def _read(self, name):
        try:
            with open(os.path.join(self.workdir, name), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def game_errors(self):
        return self._read("game.log")

    def _start_game(self):
        self.game = subprocess.Popen(
            [self.game_path], cwd=self.workdir, env=self.env, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.workdir, "game.log"), "wb"))
        self.window = wait_for("the window \"Quorrel 1.0\"",
                               lambda: self.find_window("^Quorrel 1\\.0$"))
        log("window %s" % self.window)
        self.geometry = wait_for("the window's size", self._window_geometry)
        x, y, width, height = self.geometry
        # The window starts with its client area at the design size of 8880 x 7305 twips:
        # its width gives the screen's twips per pixel, its height the menu bar's.
        dpi = round(1440 * width / 8880)
        self.tpp = 1440 / dpi
        self.board_w = width
        self.board_h = round(7305 / self.tpp)
        self.board_x = x
        self.board_y = y + height - self.board_h
        log("window at %d,%d size %dx%d; %g twips a pixel; board from y=%d, %dx%d pixels"
            % (x, y, width, height, self.tpp, self.board_y, self.board_w, self.board_h))
        check(self.board_y > y, "no room for a menu bar above the board")

    # -- the X server through xdotool and import ------------------------------------------

    def run(self, *args, check_status=True):
        self.alive()
        done = subprocess.run(list(args), env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=LIMIT)
        if check_status and done.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(args), done.stderr.strip()))
        return done

    def alive(self):
        if self.game is not None and self.game.poll() is not None:
            raise Failure("the game ended (status %s): %s"
                          % (self.game.returncode, self.game_errors()))

    def find_window(self, name_pattern):
        done = self.run("xdotool", "search", "--onlyvisible", "--name", name_pattern,
                        check_status=False)
        found = done.stdout.split()
        return found[0] if found else None

    def _window_geometry(self):
        done = self.run("xdotool", "getwindowgeometry", "--shell", self.window,
                        check_status=False)
        values = dict(line.split("=", 1) for line in done.stdout.split() if "=" in line)
        try:
            geometry = tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        except (KeyError, ValueError):
            return None
        return geometry if geometry[2] > 1 and geometry[3] > 1 else None

    def screenshot(self):
        done = subprocess.run(["import", "-display", self.display, "-window", "root",
                               "-depth", "8", "ppm:-"],
                              env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=LIMIT)
        if done.returncode != 0:
            raise Failure("import failed: " + done.stderr.decode(errors="replace"))
        return Image.from_ppm(done.stdout)

    def xdotool(self, *commands):
        self.run("xdotool", *[str(c) for c in commands])

    def click_new_maze(self):
        # NEW MAZE: 3000 twips from the left, 120 down, 1215 by 375 twips; click its middle.
        x = self.board_x + (3000 + 1215 / 2) / self.tpp
        y = self.board_y + (120 + 375 / 2) / self.tpp
        self.xdotool("mousemove", round(x), round(y), "click", "1")

    def focus_window(self):
        self.xdotool("windowfocus", "--sync", self.window)

    # -- the maze on the screen ------------------------------------------------------------

    def fit(self, columns, rows):
        """The board geometry NEW MAZE gives on the present board, in twips."""
        px = py = self.tpp
        cw = self.board_w * px
        ch = self.board_h * py
        size_w = f32((cw - px * 100) / columns)
        size_h = f32((ch - py * 100) / rows)
        size = size_h if size_h < size_w else size_w
        cap = f32(px * 25)
        if cap < size:
            square = round(px * 25)
            inset = round(px * 5)
        else:
            square = int(size // 1)
            inset = square // 5
        origin_x = round((cw - columns * square) / 2)
        origin_y = round(py * 40 + 50 + square)
        return Maze(self, columns, rows, square, inset, origin_x, origin_y)

    def new_maze(self, columns=20, rows=20):
        """Clicks NEW MAZE until a maze with an exit is on the screen; gives the maze."""
        maze = self.fit(columns, rows)
        before = None
        for _ in range(5):
            self.click_new_maze()
            # A maze other than the one on the screen before the click (if any). A click that
            # came before the window was ready to take it is made again.
            try:
                shot = wait_for("the gray entrance square of a new maze",
                                lambda: maze.read(self.screenshot(), unlike=before), limit=15)
            except Failure as failure:
                log("%s; clicking NEW MAZE again" % failure)
                continue
            before = shot.signature()
            if shot.exit_col:
                log("maze %dx%d: entrance above column %d, exit below column %d"
                    % (columns, rows, shot.entry_col, shot.exit_col))
                return shot
            log("this maze has no exit; NEW MAZE again")
        raise Failure("no maze with an exit after five clicks on NEW MAZE")


class Maze:
    """Where a maze of a given size is drawn on the screen, and what a screenshot shows of it."""

    def __init__(self, session, columns, rows, square, inset, origin_x, origin_y):
        self.s = session
        self.columns = columns
        self.rows = rows
        self.square = square
        self.inset = inset
        self.origin_x = origin_x
        self.origin_y = origin_y
        self.entry_col = 0
        self.exit_col = 0
        self.right_open = {}
        self.down_open = {}
        self.shot = None

    def screen(self, x_twips, y_twips):
        """The screen pixel under a point of the board given in twips."""
        return (int(self.s.board_x + x_twips / self.s.tpp),
                int(self.s.board_y + y_twips / self.s.tpp))

    def centre(self, col, row):
        return self.screen(self.origin_x + (col - 0.5) * self.square,
                           self.origin_y + (row - 0.5) * self.square)

    def box_colour(self, shot, col, row):
        """The colour just inside the top-left corner of a square's painted box, where the
        square's label does not reach."""
        x = self.origin_x + (col - 1) * self.square + self.inset + 0.5 * self.s.tpp
        y = self.origin_y + (row - 1) * self.square + self.inset + 0.5 * self.s.tpp
        return shot.pixel(*self.screen(x, y))

    def black(self, shot, x, y):
        return is_black(shot.pixel(*self.screen(x, y)))

    def signature(self):
        return (self.entry_col, tuple(sorted(self.right_open.items())),
                tuple(sorted(self.down_open.items())))

    def read(self, shot, unlike=None):
        """Reads the walls off a screenshot. Gives this maze, or None while there is no maze
        with a gray entrance square on the screen, or only the maze whose signature is
        `unlike`."""
        s, x0, y0 = self.square, self.origin_x, self.origin_y
        entries = [c for c in range(1, self.columns + 1)
                   if shot.pixel(*self.screen(x0 + (c - 0.5) * s, y0 - s / 2)) == GRAY]
        if len(entries) != 1 or not self.black(shot, x0, y0 + s / 2):
            return None
        self.entry_col = entries[0]
        self.shot = shot
        self.right_open = {}
        self.down_open = {}
        for r in range(1, self.rows + 1):
            for c in range(1, self.columns + 1):
                self.right_open[c, r] = not self.black(shot, x0 + c * s, y0 + (r - 0.5) * s)
                self.down_open[c, r] = not self.black(shot, x0 + (c - 0.5) * s, y0 + r * s)
        exits = [c for c in range(1, self.columns + 1) if self.down_open[c, self.rows]]
        self.exit_col = exits[0] if len(exits) == 1 else 0
        if unlike is not None and self.signature() == unlike:
            return None
        return self

    def check_walls(self):
        """The walls read off the screen make a maze: closed borders but for one entrance gap
        above the gray square and at most one exit gap, and openings that join every square
        to every other along exactly one way."""
        shot, s, x0, y0 = self.shot, self.square, self.origin_x, self.origin_y
        for c in range(1, self.columns + 1):
            above = self.black(shot, x0 + (c - 0.5) * s, y0)
            check(above == (c != self.entry_col), "top border above column %d" % c)
        for r in range(1, self.rows + 1):
            check(self.black(shot, x0, y0 + (r - 0.5) * s), "left border at row %d" % r)
            check(not self.right_open[self.columns, r], "right border at row %d" % r)
        exits = [c for c in range(1, self.columns + 1) if self.down_open[c, self.rows]]
        check(len(exits) <= 1, "more than one gap in the bottom border: %s" % exits)
        inner = sum(1 for (c, r), o in self.right_open.items() if o and c < self.columns)
        inner += sum(1 for (c, r), o in self.down_open.items() if o and r < self.rows)
        check(inner == self.columns * self.rows - 1,
              "%d openings between squares; a maze of %d squares has %d"
              % (inner, self.columns * self.rows, self.columns * self.rows - 1))
        seen = self.reachable()
        check(len(seen) == self.columns * self.rows,
              "only %d of the squares can be reached from the entrance" % len(seen))
        # And the lines are black walls, not something else dark.
        check(shot.pixel(*self.screen(x0, y0 + s / 2)) == BLACK, "walls are not black")

    def neighbours(self, col, row):
        if col < self.columns and self.right_open[col, row]:
            yield col + 1, row
        if col > 1 and self.right_open[col - 1, row]:
            yield col - 1, row
        if self.down_open[col, row]:
            yield col, row + 1
        if row > 1 and self.down_open[col, row - 1]:
            yield col, row - 1

    def ways(self, col, row):
        """The ways open from a square as read off the screen: a set of "up", "down", "left"
        and "right", down from the bottom row being the exit, and only down from the entrance."""
        if row == 0:
            return {"down"}
        ways = set()
        if row > 1 and self.down_open[col, row - 1]:
            ways.add("up")
        if self.down_open[col, row]:
            ways.add("down")
        if col > 1 and self.right_open[col - 1, row]:
            ways.add("left")
        if col < self.columns and self.right_open[col, row]:
            ways.add("right")
        return ways

    def reachable(self):
        start = (self.entry_col, 1)
        seen = {start}
        todo = deque([start])
        while todo:
            square = todo.popleft()
            for n in self.neighbours(*square):
                if n[1] <= self.rows and n not in seen:
                    seen.add(n)
                    todo.append(n)
        return seen

    def route(self):
        """The way from the entrance square (row 0) to the square below the exit (row H + 1),
        found by a breadth-first search over the open walls."""
        start = (self.entry_col, 1)
        came = {start: None}
        todo = deque([start])
        goal = (self.exit_col, self.rows + 1)
        while todo:
            square = todo.popleft()
            if square == goal:
                break
            if square[1] > self.rows:
                continue
            for n in self.neighbours(*square):
                if n not in came:
                    came[n] = square
                    todo.append(n)
        check(goal in came, "no way from the entrance to the exit")
        way = [goal]
        while came[way[-1]] is not None:
            way.append(came[way[-1]])
        way.append((self.entry_col, 0))
        return way[::-1]


# The exit status with which a test says it could not run here (CTest's SKIP_RETURN_CODE).
SKIP = 77


def main(test, opens=Session, needs=None, attempts=1):
    """Runs test(running) against the game named on the command line, where running is what
    opens(path) gives in a with statement (a Session by default). Skips the test when the
    program `needs` is not installed. With more than one attempt, a failed run is tried again
    from the start in a fresh session, for tests that lean on another program that now and
    then stalls (the screen reader); every failure is logged."""
    if len(sys.argv) != 2:
        print("usage: %s path/to/quorrel" % sys.argv[0], file=sys.stderr)
        return 2
    if needs is not None and shutil.which(needs) is None:
        print("SKIP: %s is not installed" % needs)
        return SKIP
    for attempt in range(1, attempts + 1):
        try:
            with opens(sys.argv[1]) as running:
                test(running)
        except Failure as failure:
            log("FAIL (attempt %d of %d): %s" % (attempt, attempts, failure))
            continue
        log("PASS")
        return 0
    return 1
