"""The harness of the end-to-end tests, the screenshot script and the page's benchmark, and the
pieces the tests of build/quorrel share. Only the Python standard library is used (python3-gi
for AT-SPI where a test reads the accessibility tree).

Checks and waits. `check(condition, message)` raises `Failure`; `wait_for(what, probe)` calls
probe until it gives something true and gives that, or fails after LIMIT seconds. Nothing waits
a fixed time for a result.

The tool check. `need(*programs, skip=False)`: each a name on the PATH or an absolute path;
one missing raises `Failure` ("missing tools: ... (run `make deps`)"), or with skip=True
`Skip`, which the run loop turns into exit status 77, CTest's SKIP_RETURN_CODE.

Sessions. `Session(x=True, buses=False, orca=False, speech=False, weston=False)` is a context
manager: a scratch folder (`workdir`, `folder(name)` for a subfolder), an environment for the
programs it starts (`env`, with an XDG_RUNTIME_DIR of its own), and on entry, in this order:
  x       Xvfb on a display it picks itself (DISPLAY, QT_QPA_PLATFORM=xcb), driven by
          `xdotool(...)`, `key(...)`, `drag(points)`, `find_window(pattern)`, `focus_window()`,
          read back by `screenshot()` (an `Image`);
  buses   a session D-Bus and the accessibility bus (at-spi-bus-launcher), with Qt's
          accessibility switched on;
  weston  a headless Weston on a socket of its own (WAYLAND_DISPLAY, QT_QPA_PLATFORM=wayland),
          its screen read back by `screenshot()` too;
  orca    Orca (implies buses; skips when Orca is missing), with speech when `speech`, each
          utterance read by `utterances()`, `mark()` and `wait_said(what, test)`;
then `start()`, which a subclass overrides to start its own program (`Game` starts the game and
finds its window). `spawn(args, name, group=False, **popen)` starts a program in the session
(its output in `<name>.log`) and registers it for teardown; `own(thing, group=False)` registers
anything else: a process (ended with `stop`, with its whole process group when group is true)
or an object with `close()` (a browser, a web server), whose `log_path`, if it has one, names
its log. At the end everything is ended in the
reverse order, and the folder removed; on a failure the screen is saved to
<script>-failure.ppm and the tail of every program's log is printed first. `stop(process,
group=False)` is the one way a process is ended: SIGTERM, then SIGKILL after 10 seconds.

    with e2e.Session(orca=True, speech=True) as session:
        browser = session.own(Browser(..., env=session.env, headless=False))

The run loop. `main(test, opens=Game, attempts=1)` opens `opens(*sys.argv[1:])` (a usage line
and status 2 when the arguments do not fit its parameters), runs test(session) in it and gives
the exit status: 0 and "PASS", 77 and "SKIP: ..." on `Skip`, 1 and "FAIL ..." on `Failure`.
With attempts > 1 a failed run is run again from the start in a fresh interpreter (the AT-SPI
client library keeps the buses it first met), for tests that lean on a program that now and
then stalls, the screen reader; every failure is logged.

    if __name__ == "__main__":
        raise SystemExit(e2e.main(test))

The game. `Game(path, **session)` is a Session with the game running on the virtual display:
its window, the board's place and twips a pixel, `new_maze(columns, rows)` which gives a
`Maze` read off the screen, with its walls, `route()`, `centre(col, row)` and `drag(squares)`.
"""

import inspect
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import tty
from collections import deque

LIMIT = 60.0  # seconds any one wait may take before the test gives up
SCREEN = (1280, 1024)  # the virtual screen, Xvfb's or Weston's
PAUSE = "0.02"  # seconds between two pointer moves of a drag, as a hand would take
SKIP = 77  # the exit status of a test that cannot run here (CTest's SKIP_RETURN_CODE)
AGAIN = "QUORREL_E2E_ATTEMPT"  # the attempt a run is, in the environment of a run again
SAY_LIMIT = 30  # seconds to wait for Orca to say something
# Orca's echo of modifier keys pressed for shortcuts, not the game's words.
ECHO = re.compile(r"^(left |right )?(shift|control|alt|super|tab|escape|return|f1|space|"
                  r"[a-z0-9]|down|up|left|right)\s*$", re.IGNORECASE)
# "SPEECH OUTPUT: 'words'" and the voice, if any, after the closing quote.
SAID = re.compile(r"SPEECH OUTPUT: '(.*)'\s*(\{.*\})?$")

BLACK = (0, 0, 0)
GRAY = (0xDD, 0xDD, 0xDD)
BLUE = (0, 136, 255)  # the player's square and Solve's path
GREEN = (0, 255, 136)  # a square passed


class Failure(Exception):
    """A check of the test did not hold."""


class Skip(Exception):
    """The test cannot run here: a program it needs is not installed."""


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


def need(*programs, skip=False):
    """Fails, or skips, unless every program is installed."""
    missing = [p for p in programs if shutil.which(p) is None]
    if missing and skip:
        raise Skip("%s not installed" % ", ".join(missing))
    check(not missing, "missing tools: %s (run `make deps`)" % ", ".join(missing))


def stop(process, group=False):
    """Ends a process, or its whole process group: SIGTERM, then SIGKILL after 10 seconds."""
    for sent in (signal.SIGTERM, signal.SIGKILL):
        if process.poll() is not None and not group:
            break
        try:
            os.killpg(process.pid, sent) if group else process.send_signal(sent)
            process.wait(timeout=10)
            break
        except ProcessLookupError:
            break
        except subprocess.TimeoutExpired:
            continue
    process.wait()


def main(test, opens=None, attempts=1):
    """Runs test(session) in `with opens(*arguments) as session`; gives the exit status."""
    opens = opens or Game
    try:
        inspect.signature(opens).bind(*sys.argv[1:])
    except TypeError:
        params = inspect.signature(opens).parameters.values()
        print("usage: %s %s" % (sys.argv[0], " ".join(
            p.name if p.default is p.empty else "[%s]" % p.name for p in params
            if p.kind == p.POSITIONAL_OR_KEYWORD)), file=sys.stderr)
        return 2
    attempt = int(os.environ.get(AGAIN, "1"))
    try:
        with opens(*sys.argv[1:]) as session:
            test(session)
    except Skip as skip:
        log("SKIP: %s" % skip)
        return SKIP
    except Failure as failure:
        log("FAIL (attempt %d of %d): %s" % (attempt, attempts, failure))
        if attempt >= attempts:
            return 1
        return subprocess.call([sys.executable, "-B"] + sys.argv,
                               env=dict(os.environ, **{AGAIN: str(attempt + 1)}))
    log("PASS")
    return 0


def script_name():
    return os.path.splitext(os.path.basename(sys.argv[0]))[0]


class Session:
    """Programs started for a test, each ended at the end. See the module's description."""

    display = None
    socket = None
    orca_log = None

    def __init__(self, x=True, buses=False, orca=False, speech=False, weston=False):
        if orca:
            need("orca", skip=True)
        need(*(("Xvfb", "xdotool", "import") if x else ())
             + (("dbus-daemon", "dbus-send", "/usr/libexec/at-spi-bus-launcher")
                if buses or orca else ())
             + (("weston", "weston-screenshooter", "convert") if weston else ()))
        self.parts = (x, buses or orca, weston, orca)
        self.speech = speech
        self.workdir = tempfile.mkdtemp(prefix="quorrel-e2e-")
        self.owned = []
        self.env = {k: v for k, v in os.environ.items() if k not in (
            "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "XAUTHORITY")}
        self.env["XDG_RUNTIME_DIR"] = self.folder("runtime")
        os.chmod(self.env["XDG_RUNTIME_DIR"], 0o700)

    # -- setting up and tearing down ------------------------------------------------------

    def __enter__(self):
        try:
            for wanted, start in zip(self.parts, (self.start_x, self.start_buses,
                                                  self.start_weston, self.start_orca)):
                if wanted:
                    start()
            self.start()
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def start(self):
        """Starts the program under test; a subclass's."""

    def __exit__(self, kind, value, trace):
        if kind is not None:
            self.explain()
        for thing, group in reversed(self.owned):
            try:
                stop(thing, group) if isinstance(thing, subprocess.Popen) else thing.close()
            except Exception as error:  # the rest is ended all the same
                log("could not end %r: %s" % (thing, error))
        shutil.rmtree(self.workdir, ignore_errors=True)
        return False

    def explain(self):
        """What there is to see of a failure: the screen, Orca's words, the programs' logs."""
        if self.display or self.socket:
            try:
                path = os.path.abspath(script_name() + "-failure.ppm")
                self.screenshot().save(path)
                log("screenshot at the failure: " + path)
            except Exception:  # the screenshot only helps to explain the failure
                pass
        if self.orca_log:
            log("Orca said:\n  " + "\n  ".join(self.utterances()[-40:]))
            self.keep_log()
        logs = [os.path.join(self.workdir, n) for n in sorted(os.listdir(self.workdir))]
        for path in [p for p in logs if p.endswith(".log")] + [
                thing.log_path for thing, _ in self.owned if hasattr(thing, "log_path")]:
            said = self.read(path).strip()
            if said:
                log("%s:\n%s" % (os.path.basename(path), said[-3000:]))

    def folder(self, name):
        path = os.path.join(self.workdir, name)
        os.makedirs(path, exist_ok=True)
        return path

    def read(self, name):
        try:
            with open(os.path.join(self.workdir, name), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def own(self, thing, group=False):
        """Registers a process, or anything with close(), to be ended at the end; gives it."""
        self.owned.append((thing, group))
        return thing

    def spawn(self, args, name, group=False, **popen):
        """Starts a program in the session, its output in <name>.log; gives its process."""
        with open(os.path.join(self.workdir, name + ".log"), "ab") as out:
            popen = dict(dict(env=self.env, stdin=subprocess.DEVNULL, stdout=out, stderr=out),
                         **popen)
            return self.own(subprocess.Popen(args, start_new_session=group, **popen), group)

    def start_x(self):
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
                    "-nolisten", "tcp", "-noreset"], "xvfb", pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as said:
            number = said.readline().strip() if select.select([said], [], [], LIMIT)[0] else ""
        check(number, "Xvfb did not say which display it took: " + self.read("xvfb.log"))
        self.display = ":" + number
        self.env.update(DISPLAY=self.display, QT_QPA_PLATFORM="xcb")
        log("virtual display " + self.display)

    def start_buses(self):
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                          "--print-address=1"], "dbus", group=True, stdout=subprocess.PIPE,
                         text=True)
        address = bus.stdout.readline().strip()
        check(address, "dbus-daemon gave no address")
        self.env.update(DBUS_SESSION_BUS_ADDRESS=address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.env.pop("NO_AT_BRIDGE", None)
        # The launcher starts the accessibility bus and its registry in its own process group.
        self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "at-spi",
                   group=True)
        wait_for("the accessibility bus", lambda: "unix:" in subprocess.run(
            ["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], env=self.env, stdin=subprocess.DEVNULL,
            capture_output=True, text=True, timeout=LIMIT).stdout)
        log("session bus %s, accessibility bus up" % address)

    def start_weston(self):
        self.socket = "quorrel-e2e-%d" % os.getpid()
        self.env.update(WAYLAND_DISPLAY=self.socket, QT_QPA_PLATFORM="wayland")
        weston = self.spawn(["weston", "--backend=headless-backend.so", "--use-pixman",
                             "--width=%d" % SCREEN[0], "--height=%d" % SCREEN[1],
                             "--socket=" + self.socket, "--debug", "--idle-time=0"], "weston")
        wait_for("Weston's socket", lambda: weston.poll() is not None or os.path.exists(
            os.path.join(self.env["XDG_RUNTIME_DIR"], self.socket)))
        check(weston.poll() is None, "Weston did not start")

    # -- Orca -------------------------------------------------------------------------------
    # Orca writes its debug file through a buffer it never flushes, so the file is a pseudo
    # terminal, which Python writes line by line; a thread copies what arrives into the work
    # folder. Orca's --replace would end every Orca of this user on the machine, and a plain
    # `orca` refuses to start beside another one, so Orca's program is run by the Python
    # interpreter under that name instead: test runs side by side leave each other alone.
    # Orca hands a web page's live-region words to its speech alone: with speech off its log
    # never shows them.

    def start_orca(self):
        home = self.folder("orca-home")
        self.orca_log = os.path.join(self.workdir, "orca-debug.txt")
        master, terminal = os.openpty()
        tty.setraw(terminal)
        threading.Thread(target=self._copy_orca_log, args=(master,), daemon=True).start()
        env = dict(self.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"))
        # The terminal stays open until Orca has ended: Orca opens it by its name.
        self.own(os.fdopen(terminal, "wb", buffering=0))
        self.spawn([sys.executable, shutil.which("orca")]
                   + ([] if self.speech else ["--disable=speech"])
                   + ["--disable=braille", "--debug-file=" + os.ttyname(terminal)], "orca",
                   group=True, env=env)
        wait_for("Orca to start", lambda: "ORCA: User Settings Loaded" in self.orca_text())
        log("Orca is running")
        self.heard = 0  # utterances already looked at

    def _copy_orca_log(self, master):
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

    def keep_log(self):
        kept = os.path.abspath(script_name() + "-orca-debug.txt")
        shutil.copyfile(self.orca_log, kept)
        log("Orca's debug file: " + kept)

    def orca_text(self):
        return self.read("orca-debug.txt")

    def utterances(self):
        """Everything Orca said so far, without its echo of the keys pressed."""
        said = (SAID.search(line) for line in self.orca_text().splitlines())
        return [t for t in (s.group(1).strip() for s in said if s) if t and not ECHO.match(t)]

    def handled(self, event):
        """How many events of this kind Orca has handled so far, by its debug file."""
        return self.orca_text().count("^^^^^ PROCESS OBJECT EVENT %s ^^^^^" % event)

    def mark(self):
        """From now on, only what Orca says after this counts."""
        self.heard = len(self.utterances())

    def said_since(self):
        return self.utterances()[self.heard:]

    def wait_said(self, what, test, limit=SAY_LIMIT):
        """Waits until Orca has said something since the mark for which test(text) holds; gives
        that and moves the mark past it."""
        def probe():
            for i, text in enumerate(self.said_since()):
                if test(text):
                    self.heard += i + 1
                    return text
            return None
        try:
            return wait_for("Orca to say " + what, probe, limit=limit)
        except Failure:
            raise Failure("Orca did not say %s; it said %r" % (what, self.said_since()))

    # -- the screen -------------------------------------------------------------------------

    def run(self, *args, check_status=True):
        self.alive()
        done = subprocess.run([str(a) for a in args], env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=LIMIT)
        if check_status and done.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(map(str, args)), done.stderr.strip()))
        return done

    def alive(self):
        """Fails when the program under test has ended; a subclass's."""

    def xdotool(self, *commands):
        self.run("xdotool", *commands)

    def key(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)

    def drag(self, points):
        """Presses the left button on the first point and drags through the others to the
        last, where it lets go: two movement events at each point, one pixel apart, so that
        a program that takes one step an event misses none."""
        commands = ["mousemove", *points[0], "sleep", PAUSE, "mousedown", "1"]
        for x, y in points[1:]:
            commands += ["sleep", PAUSE, "mousemove", x, y, "sleep", PAUSE, "mousemove", x + 1,
                         y + 1]
        self.xdotool(*commands, "sleep", PAUSE, "mouseup", "1")

    def find_window(self, name_pattern):
        done = self.run("xdotool", "search", "--onlyvisible", "--name", name_pattern,
                        check_status=False)
        found = done.stdout.split()
        return found[0] if found else None

    def focus_window(self):
        self.xdotool("windowfocus", "--sync", self.window)

    def screenshot(self):
        """The whole screen: X's through import, or Weston's through its screenshooter."""
        if self.display:
            done = subprocess.run(["import", "-display", self.display, "-window", "root",
                                   "-depth", "8", "ppm:-"], env=self.env, capture_output=True,
                                  stdin=subprocess.DEVNULL, timeout=LIMIT)
            check(done.returncode == 0, "import failed: " + done.stderr.decode(errors="replace"))
            return Image.from_ppm(done.stdout)
        shots = self.folder("shots")
        for name in os.listdir(shots):
            os.remove(os.path.join(shots, name))
        done = subprocess.run(["weston-screenshooter"], cwd=shots, env=self.env,
                              capture_output=True, stdin=subprocess.DEVNULL, timeout=LIMIT)
        if done.returncode != 0 or not os.listdir(shots):
            return None
        return Image.from_ppm(subprocess.run(
            ["convert", os.path.join(shots, os.listdir(shots)[0]), "ppm:-"],
            capture_output=True, check=True, timeout=LIMIT).stdout)


class Game(Session):
    """The game on a virtual X display, its window found and measured."""

    game = None

    def __init__(self, game, **session):
        check(os.access(game, os.X_OK), "no game to test at " + game)
        super().__init__(**session)
        self.game_path = os.path.abspath(game)

    def start(self):
        self.game = self.spawn([self.game_path], "game", cwd=self.workdir)
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

    def alive(self):
        if self.game is not None and self.game.poll() is not None:
            raise Failure("the game ended (status %s): %s"
                          % (self.game.returncode, self.read("game.log")))

    def _window_geometry(self):
        done = self.run("xdotool", "getwindowgeometry", "--shell", self.window,
                        check_status=False)
        values = dict(line.split("=", 1) for line in done.stdout.split() if "=" in line)
        try:
            geometry = tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        except (KeyError, ValueError):
            return None
        return geometry if geometry[2] > 1 and geometry[3] > 1 else None

    def click_new_maze(self):
        # NEW MAZE: 3000 twips from the left, 120 down, 1215 by 375 twips; click its middle.
        x = self.board_x + (3000 + 1215 / 2) / self.tpp
        y = self.board_y + (120 + 375 / 2) / self.tpp
        self.xdotool("mousemove", round(x), round(y), "click", "1")

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


class Maze:
    """Where a maze of a given size is drawn on the screen, and what a screenshot shows of it."""

    def __init__(self, session, columns, rows, square, inset, origin_x, origin_y):
        self.s, self.columns, self.rows = session, columns, rows
        self.square, self.inset, self.origin_x, self.origin_y = square, inset, origin_x, origin_y
        self.entry_col = self.exit_col = 0
        self.right_open, self.down_open, self.shot = {}, {}, None

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

    def drag(self, squares):
        """Drags the player from square centre to square centre: squares[0] is pressed."""
        self.s.drag([self.centre(*square) for square in squares])

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
