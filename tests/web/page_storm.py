#!/usr/bin/env python3
"""A storm in the page: a few thousand seeded events through Chromium's own input, and the page
held to what the game says.

    page_storm.py <test site folder> <event_mix.js> [seed] [events]

The storm plays the mix of the core's event storm (tests/support/event_driver): event_mix.js
gives its kinds of event with their shares, the buttons of a press and the odd size texts, and
the page carries the command table, T.commands. Each kind is played as a person would play it
on the page, through DevTools' Input domain: NEW MAZE with sizes typed into the selectors and
the button clicked or pressed; presses, movements and releases of the mouse (buttons chorded),
a pen or fingers (now and then a touch cancelled) on the player's square, beside it or
anywhere; walks over the open sides; Yes and No by mouse, access key, Enter, Space, Escape or
Tab; commands by their keys, wherever the focus is and held down for repeats, or from the menus
by mouse or by keys; the board focused with Tab. The page has no file system to fail, so the
share of file trouble goes to the world outside the page: the window resized, the zoom (device
pixel ratio, by the browser's zoom keys or another screen's density) changed. Other keys the
browser keeps for itself (Ctrl+N opens a window) are not pressed.

After every event: no exception thrown, no promise rejected unhandled, nothing written to the
console as an error. When Tab brings the focus onto the board, the board says the game's words
for it. At quiet points, every QUIET events and at the end, with every button let go and any
message box closed: Tab still reaches the board, Space there still says something, and what it
says is the game's where-am-I words for the state the storm left (the test site's
quorrel_where_words); the board's description is the game's; the board's picture covers the
board; one Visibility item is checked. After a change of the browser's zoom the board's picture
takes on the new density.
A failing run prints its seed and the events up to the fault. Exit status 77 (skipped) when
chromium or node is missing."""

import json
import os
import random
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from devtools import (CHROMIUM, Browser, Failure, Site, check, log, use_draws,  # noqa: E402
                      wait_for)
import quorrel_e2e as e2e  # noqa: E402  (on the path devtools puts it on)

SEED = 23
EVENTS = 2500
QUIET = 300  # events between two quiet points
WINDOW = (1000, 760)  # the browser window, in CSS pixels, until the storm resizes it
SETTLE = 10  # seconds the page may take to settle after a key
BLANKS = "\u00a0\u2002"  # what the live region ends its words in, turn about
# Colours the game paints whole squares in (blue * 65536 + green * 256 + red): the player's
# blue, the entrance's gray when new and its white after Retry.
PLAYER, GRAY, WHITE = 0xFF8800, 0xDDDDDD, 0xFFFFFF
SIDES = {"left": (-1, 0), "right": (1, 0), "up": (0, -1), "down": (0, 1)}
BUTTONS = {1: "left", 2: "right", 4: "middle"}  # the game's button codes are the DOM's bits
VIEWS = ((1000, 760), (1400, 1000), (640, 480), (420, 800), (300, 260))
RATIOS = (1, 1.25, 1.5, 2, 0.75)

# Watches the page from inside: errors and unhandled rejections, and where the game paints
# the player's square (the entrance's, before the first step), and how big a square is.
WATCH = """(() => {
  window.storm = {faults: [], at: null, square: 0, mazes: 0, steps: 0};
  addEventListener('error', (e) => storm.faults.push('error: ' + e.message));
  addEventListener('unhandledrejection',
    (e) => storm.faults.push('unhandled rejection: ' + e.reason));
  const box = core.board.box;
  core.board.box = (x1, y1, x2, y2, colour) => {
    box(x1, y1, x2, y2, colour);
    if (colour !== %d && colour !== %d && colour !== %d) return;
    storm.at = [(x1 + x2) / 2, (y1 + y2) / 2];
    if (colour === %d) storm.steps++; else storm.square = Math.abs(x2 - x1);
    if (colour === %d) storm.mazes++;
  };
})()""" % (PLAYER, GRAY, WHITE, PLAYER, GRAY)

# The page as the storm needs it before each event.
STATE = """(() => {
  const box = document.querySelector('#layer:not([hidden]) [role=alertdialog]');
  const b = boardEl.getBoundingClientRect();
  return {box: box && {text: box.querySelector('.text').textContent,
                       buttons: [...box.querySelectorAll('button')].map((x) => x.textContent)},
          focus: document.activeElement ? document.activeElement.id : '',
          board: [b.left, b.top], at: storm.at, square: storm.square, busy,
          where: busy ? '' : core.UTF8ToString(core._quorrel_where_words(page)),
          faults: storm.faults};
})()"""


class Storm:
    """The page under the storm: the draws, the devices held down, what was done."""

    def __init__(self, browser, page, mix, seed):
        self.browser, self.page, self.mix, self.seed = browser, page, mix, seed
        self.rng = random.Random(seed)
        self.tables = page.eval("T")
        self.k = self.tables["twipsPerPixel"]
        # The menu bar as the page built it: each top item's name with those of its list.
        self.slots = page.eval("[...document.querySelectorAll('#menubar > .slot')].map("
                               "(s) => [...s.querySelectorAll('.item')].map((i) => i.id))")
        self.done = []  # every event so far, in words
        self.mouse = 0  # the mouse buttons held down
        self.pen = False
        self.fingers = []  # the fingers on the screen, each [x, y, id]
        self.pointer = (WINDOW[0] / 2, WINDOW[1] / 2)
        self.view = (*WINDOW, 1)  # the window's size and device pixel ratio
        self.zoom = 0  # the browser's zoom, in steps in (more) or out (less)
        self.tally = {}
        self.state = None
        self.heard = 0  # the browser's events already looked at

    # ---- Events, each noted and followed by the checks every event gets.

    def event(self, words, send, *args):
        self.done.append(words)
        send(*args)
        if send == self.page.touch:  # a touch reaches the page's handlers with its next frame
            self.page.eval("new Promise((done) => requestAnimationFrame(() => done(true)))")
        heard = [e["params"] for e in self.browser.heard[self.heard:]]
        self.heard = len(self.browser.heard)
        thrown = [h["exceptionDetails"] for h in heard if "exceptionDetails" in h]
        check(not thrown, "the page threw %s" % thrown)
        errors = [h["args"] for h in heard if h.get("type") in ("error", "assert")]
        check(not errors, "the page wrote to the console %s" % errors)

    def look(self):
        self.state = self.page.eval(STATE)
        check(not self.state["faults"], "the page reported %s" % self.state["faults"])
        return self.state

    def count(self, what):
        self.tally[what] = self.tally.get(what, 0) + 1

    def key(self, name, repeat=False, up=True):
        self.event("key %s%s%s in %r" % (name, " repeated" if repeat else "",
                                         "" if up else " held", self.look()["focus"]),
                   self.page.key, name, repeat, up)

    def click(self, x, y):
        self.event("click at %.1f, %.1f" % (x, y), self.page.click, x, y)

    def rect(self, name):
        """Left, top, width and height of the element of this id."""
        return self.page.eval("(() => { const r = document.getElementById(%r)"
                              ".getBoundingClientRect(); return [r.left, r.top, r.width,"
                              " r.height]; })()" % name)

    def click_on(self, name):
        left, top, width, height = self.rect(name)
        if width and height:  # not on a hidden element: the click would land elsewhere
            self.click(left + width / 2, top + height / 2)

    def focus_with_tab(self, name):
        """Tab, or Shift+Tab, until the element of this id has the focus, a few times at most."""
        back = self.rng.random() < 0.3
        for _ in range(len(self.tables["focusOrder"]) + 3):  # the menu bar is a stop too
            if self.look()["focus"] == name:
                return True
            self.key("Shift+Tab" if back else "Tab")
        return self.look()["focus"] == name

    # ---- Places on the page, in CSS pixels.

    def twips(self, x, y):
        left, top = self.state["board"]
        return left + x / self.k, top + y / self.k

    def on_player(self):
        """A point on the player's square, or on the entrance before the first step."""
        if not self.state["at"]:
            return self.anywhere()
        half = self.state["square"] / 2 * self.rng.random()
        return self.twips(self.state["at"][0] + self.rng.uniform(-half, half),
                          self.state["at"][1] + self.rng.uniform(-half, half))

    def beside(self, side, far=1):
        """The middle of the square to that side of the player's, or `far` times as far."""
        if not self.state["at"]:
            return self.anywhere()
        dx, dy = SIDES[side]
        s = self.state["square"] * far
        return self.twips(self.state["at"][0] + dx * s, self.state["at"][1] + dy * s)

    def anywhere(self):
        width, height = self.page.eval("[innerWidth, innerHeight]")
        return self.rng.uniform(0, width), self.rng.uniform(0, height)

    def open_sides(self):
        """The ways the game says are open from where the player stands."""
        found = re.search(r"Open: ([^.]*)\.", self.look()["where"])
        return [w.split()[0] for w in found.group(1).split(", ")] if found else []

    # ---- The devices: mouse, pen and fingers, pressed, moved and let go.

    def press_with(self, device, x, y, button=1):
        if device == "touch":
            finger = len(self.fingers)
            self.fingers.append((x, y, finger))
            self.event("finger %d down at %.1f, %.1f" % (finger, x, y), self.page.touch,
                       "touchStart", list(self.fingers))
        else:
            held = self.mouse if device == "mouse" else 0
            self.event("%s %s down at %.1f, %.1f, holding %d" % (
                device, BUTTONS[button], x, y, held | button), self.page.mouse, "mousePressed",
                x, y, held | button, BUTTONS[button], device)
            if device == "mouse":
                self.mouse |= button
            else:
                self.pen = True
        self.pointer = (x, y)

    def move_to(self, x, y):
        if self.fingers:
            self.fingers[0] = (x, y, self.fingers[0][2])
            self.event("finger moved to %.1f, %.1f" % (x, y), self.page.touch, "touchMove",
                       list(self.fingers))
        else:
            device, held = ("pen", 1) if self.pen else ("mouse", self.mouse)
            self.event("%s moved to %.1f, %.1f, holding %d" % (device, x, y, held),
                       self.page.mouse, "mouseMoved", x, y, held,
                       BUTTONS.get(held & -held, "none"), device)
        self.pointer = (x, y)

    def release(self, cancel=False):
        """Lets go of one thing held: a finger (or all, cancelled), a mouse button, the pen; a
        mouse release with nothing held when nothing is."""
        x, y = self.pointer
        if self.fingers:
            if cancel:
                self.fingers = []
                self.event("touch cancelled", self.page.touch, "touchCancel", [])
            else:
                finger = self.fingers.pop()
                self.event("finger %d up" % finger[2], self.page.touch, "touchEnd",
                           list(self.fingers))
        elif self.pen:
            self.pen = False
            self.event("pen up at %.1f, %.1f" % (x, y), self.page.mouse, "mouseReleased", x, y,
                       0, "left", "pen")
        else:
            held = [b for b in BUTTONS if self.mouse & b] or [1]
            button = self.rng.choice(held)
            self.mouse &= ~button
            self.event("mouse %s up at %.1f, %.1f, holding %d" % (BUTTONS[button], x, y,
                                                                   self.mouse),
                       self.page.mouse, "mouseReleased", x, y, self.mouse, BUTTONS[button])

    def let_go(self):
        while self.fingers or self.pen or self.mouse:
            self.release(cancel=self.rng.random() < 0.3)

    def any_device(self):
        return self.rng.choices(("mouse", "pen", "touch"), (3, 1, 1))[0]

    # ---- The kinds of event, named as the core's event storm names them.

    def new_maze(self):
        for name in ("Combo1", "Combo2"):
            self.click_on(name)
            self.key("Ctrl+A")
            text = self.size_text()
            if text:
                self.event("typed %r" % text, self.page.type, text)
            else:
                self.key("Backspace")
        self.new_maze_button()

    def size_text(self):
        how = self.rng.random()
        if how < 0.5:
            return str(self.rng.randint(2, 10))  # mostly small mazes, that walks get out of
        if how < 0.75:
            return self.rng.choice(self.mix["sizeTexts"])
        if how < 0.9:
            return str(self.rng.randint(0, 60))
        return "".join(self.rng.choice("0123456789.e+- x,") for _ in range(self.rng.randint(1, 6)))

    def new_maze_button(self):
        way = self.rng.choice(("click", "click", "Enter", "Space"))
        if way == "click":
            self.click_on("Command1")
        elif self.focus_with_tab("Command1"):
            self.key(way)

    def press(self):
        device = "mouse" if self.mouse else "pen" if self.pen else (
            "touch" if self.fingers else self.any_device())
        where = self.rng.random()
        x, y = (self.on_player() if where < 0.6 else
                self.beside(self.rng.choice(list(SIDES)), 0.5) if where < 0.75 else
                self.anywhere())
        # The buttons of the core's storm, a chord of two pressed one after the other.
        code = self.rng.choice(self.mix["buttons"]) if device == "mouse" else 1
        for button in [b for b in BUTTONS if code & b]:
            self.press_with(device, x, y, button)

    def move(self):
        how = self.rng.random()
        sides = self.open_sides()
        if how < 0.5 and sides:
            x, y = self.beside(self.rng.choice(sides))
        elif how < 0.8:
            x, y = self.beside(self.rng.choice(list(SIDES)), 40 if how > 0.75 else 1)
        else:
            x, y = self.on_player() if how < 0.9 else self.anywhere()
        self.move_to(x, y)

    def release_one(self):
        self.release(cancel=self.rng.random() < 0.3)

    def walk(self, release=True):
        device = self.any_device()
        self.let_go()
        self.look()
        self.press_with(device, *self.on_player())
        for _ in range(self.rng.randint(1, 32)):
            sides = self.open_sides()
            if not sides or self.state["box"]:
                break
            self.move_to(*self.beside(self.rng.choice(sides)))
        if release and self.rng.random() < 0.5:
            self.let_go()

    def answer(self, yes):
        box = self.look()["box"]
        ways = ["click", "access key", "Enter", "Space"] if yes else [
            "click", "access key", "Escape", "Tab"]
        way = self.rng.choice(ways)
        if box:
            self.count("boxes answered")
            text = box["text"]
            result = text == "Perfect!" or text.endswith("try again?")
            self.count("result boxes" if result else "other boxes")
        elif way == "click":
            way = "Enter" if yes else "Escape"  # no box: the key goes wherever the focus is
        captions = [self.tables["buttons"][b] for b in (("yes", "no") if box and len(
            box["buttons"]) == 2 else ("ok",))]
        caption = captions[0] if yes else captions[-1]
        if way == "click":
            self.click_on_button(box["buttons"].index(caption.replace("&", "")))
        elif way == "access key":
            self.key(caption[caption.index("&") + 1].upper() if "&" in caption else "Enter")
        elif way == "Tab":
            self.key("Tab")
            self.key("Enter")
        else:
            self.key(way)

    def click_on_button(self, index):
        left, top, width, height = self.page.eval(
            "(() => { const r = document.querySelectorAll('#layer button')[%d]"
            ".getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()" % index)
        self.click(left + width / 2, top + height / 2)

    def outside(self):
        """The page has no file system to fail: the world outside changes instead. The window
        is resized; the browser's zoom goes in or out (Ctrl and + or -, or back with Ctrl+0);
        the window goes to a screen of another density, at another size; or the browser's
        own window comes back."""
        how = self.rng.random()
        width, height, ratio = self.view
        if how < 0.15:
            self.view = (*WINDOW, 1)
            self.event("the browser's own window again", self.page.view)
            return
        if how < 0.4:
            zoom = self.rng.choice(("Ctrl+=", "Ctrl+-", "Ctrl+0"))
            self.zoom_by("Ctrl+0" if abs(self.zoom) >= 3 else zoom)
            return
        width, height = self.rng.choice([v for v in VIEWS if v != (width, height)])
        if how >= 0.7:
            ratio = self.rng.choice([r for r in RATIOS if r != ratio])
        self.resize(width, height, ratio)

    def resize(self, width, height, ratio):
        self.view = (width, height, ratio)
        self.event("window %d x %d at %g device pixels a pixel" % self.view, self.page.view,
                   *self.view)

    def zoom_by(self, key):
        """The browser's zoom by its keys; the board's picture takes on the new density, which
        the zoom tells the page of (a density set through DevTools comes with no event)."""
        self.key(key)
        steps = 0 if key == "Ctrl+0" else self.zoom + (1 if key == "Ctrl+=" else -1)
        if steps != self.zoom:
            wait_for("the board's picture at the zoom's density", lambda: self.page.eval(
                "covered.ratio === devicePixelRatio"), SETTLE)
            self.count("zooms followed")
        self.zoom = steps

    def focus_board(self):
        was = self.look()["focus"]
        if self.focus_with_tab("board") and was != "board" and not self.state["box"]:
            said = self.page.eval("document.getElementById('words').textContent")
            want = self.page.eval("core.UTF8ToString(core._quorrel_focus_words(page))")
            check(said.rstrip(BLANKS) == want, "on focus the board said %r, not %r" % (said, want))
            self.count("focus words checked")

    def held_command(self):
        self.walk(release=False)
        self.command(keys_only=True)
        for _ in range(self.rng.randint(1, 4)):
            self.look()
            self.move()

    def command(self, keys_only=False):
        row = self.rng.choice(self.tables["commands"])
        if row["place"] == "Button" and not keys_only and self.rng.random() < 0.5:
            self.new_maze()  # with new texts in the selectors
            return
        ways = []
        if row["scope"] in ("Board", "Window"):
            ways.append(self.by_key)
        if row["place"] in ("MenuBar", "InMenu"):
            ways += [self.by_menu_keys] + ([] if keys_only else [self.by_menu_mouse])
        if row["place"] == "Button" and not keys_only:
            ways.append(lambda _: self.new_maze_button())
        if ways:  # Quit has none: its key is the browser's
            self.rng.choice(ways)(row)

    def by_key(self, row):
        if row["scope"] == "Board" and self.rng.random() < 0.75:
            self.focus_with_tab("board")
        # A key of the board held down for a few of the keyboard's repeats, then let go.
        repeats = self.rng.randint(0, 3) if row["scope"] == "Board" else 0
        for n in range(repeats + 1):
            self.key(row["shortcut"], repeat=n > 0, up=n == repeats)

    def by_menu_mouse(self, row):
        top = next(slot[0] for slot in self.slots if row["name"] in slot)
        self.click_on(top)
        if top != row["name"]:
            if self.rng.random() < 0.15:
                self.click(*self.anywhere())  # closes the menu, or does what a click there does
            else:
                self.click_on(row["name"])

    def by_menu_keys(self, row):
        """Alt and an access key into the menus (the nearest menu's, for an item with none),
        arrows to the item, Enter or Space; now and then Escape instead."""
        at = next(i for i, slot in enumerate(self.slots) if row["name"] in slot)
        keyed = [i for i, slot in enumerate(self.slots)
                 if "&" in self.caption(slot[0]) and (len(slot) > 1 or i == at)]
        start = min(keyed, key=lambda i: abs(i - at))
        caption = self.caption(self.slots[start][0])
        self.key("Alt+" + caption[caption.index("&") + 1].upper())
        if len(self.slots[start]) == 1:
            return  # the item itself: chosen
        for _ in range(abs(at - start)):
            self.key("Right" if at > start else "Left")
        items = self.slots[at][1:]
        if items and self.look()["focus"] == self.slots[at][0]:
            self.key("Down")  # from the menu bar into the menu
        for _ in range(items.index(row["name"]) if row["name"] in items else 0):
            self.key("Down")
        self.key(self.rng.choice(("Enter", "Space", "Enter", "Escape")))

    def caption(self, name):
        rows = self.tables["commands"] + self.tables["menus"]
        return next(r["caption"] for r in rows if r["name"] == name)

    # ---- Quiet points.

    def quiet_point(self):
        """Everything let go and every box closed: Tab still reaches the board, and Space there
        says the game's words for where the player is."""
        self.let_go()
        for _ in range(8):
            if not self.look()["box"]:
                break
            self.key("Escape")
        check(not self.look()["box"], "Escape did not close the message box %r"
              % self.state["box"])
        wait_for("the page to take events again", lambda: not self.look()["busy"], SETTLE)
        check(self.focus_with_tab("board"), "Tab does not reach the board: the focus stays on"
              " %r" % self.state["focus"])
        before = self.page.eval("document.getElementById('words').textContent")
        self.key("Space")
        want = self.look()["where"]
        said = wait_for("the words of Space", lambda: (lambda w: w != before and w)(
            self.page.eval("document.getElementById('words').textContent")), SETTLE)
        check(said.rstrip(BLANKS) == want, "Space on the board said %r, not the game's %r"
              % (said, want))
        wait_for("the board's description", lambda: self.page.eval(
            "(() => { const d = document.getElementById('board-words').textContent;"
            " return d === core.UTF8ToString(core._quorrel_board_words(page)) && d; })()"),
            SETTLE)
        wait_for("the board's picture to cover the board", lambda: self.page.eval(
            "canvas.width >= boardEl.clientWidth * covered.ratio"
            " && canvas.height >= boardEl.clientHeight * covered.ratio"), SETTLE)
        checked = self.page.eval("[...document.querySelectorAll('[role=menuitemradio]"
                                 "[aria-checked=true]')].map((i) => i.id)")
        check(len(checked) == 1, "the checked Visibility items are %r" % checked)
        self.count("quiet points")

    def run(self, events):
        plays = {
            "new maze": self.new_maze, "press": self.press, "move": self.move,
            "release": self.release_one, "Yes": lambda: self.answer(True),
            "No": lambda: self.answer(False), "file trouble": self.outside,
            "walk": self.walk, "focus on the board": self.focus_board,
            "command while the button is held": self.held_command, "command": self.command}
        unknown = [p["name"] for p in self.mix["plays"] if p["name"] not in plays]
        check(not unknown, "the storm does not know how to play %r on the page" % unknown)
        names = [p["name"] for p in self.mix["plays"]]
        shares = [p["share"] for p in self.mix["plays"]]
        quiet = QUIET
        while len(self.done) < events:
            name = self.rng.choices(names, shares)[0]
            self.count(name)
            self.look()
            plays[name]()
            if len(self.done) >= quiet:
                self.quiet_point()
                quiet += QUIET
        self.quiet_point()
        # In a window smaller than the game's the board keeps its least size whatever the
        # zoom, so that the board's size does not tell the page of a new zoom.
        self.zoom_by("Ctrl+0")
        self.resize(*VIEWS[-1], 1)
        for key in ("Ctrl+=", "Ctrl+=", "Ctrl+0"):
            self.zoom_by(key)


def test(session):
    site_folder, mix_program = sys.argv[1:3]
    seed, events = [int(a) for a in sys.argv[3:5]] + [SEED, EVENTS][len(sys.argv[3:5]):]
    mix = json.loads(subprocess.run(["node", "--no-experimental-fetch", mix_program],
                                    check=True, capture_output=True, text=True).stdout)
    site = session.own(Site(site_folder))
    browser = session.own(Browser(["--window-size=%d,%d" % WINDOW]))
    browser.send("Browser.setDownloadBehavior",
                 {"behavior": "allow", "downloadPath": session.folder("downloads")})
    browser.listen("Runtime.exceptionThrown", "Runtime.consoleAPICalled")
    page = browser.page(site.url)
    wait_for("the page to be ready",
             lambda: page.eval("document.body && document.body.dataset.ready") == "true")
    page.send("Runtime.enable")
    page.eval(WATCH)
    use_draws(page, seed, ("5", "5"))  # the same mazes every run of a seed, small to start
    storm = Storm(browser, page, mix, seed)
    log("seed %d, %d events" % (seed, events))
    try:
        storm.run(events)
    except Failure:
        log("the storm of seed %d failed after %d events:\n  %s" % (
            seed, len(storm.done), "\n  ".join(
                "%d %s" % (n, e) for n, e in enumerate(storm.done, 1))))
        raise
    log("%d events: %s" % (len(storm.done), ", ".join(
        "%s %d" % (k, v) for k, v in sorted(storm.tally.items()))))
    drawn = page.eval("[storm.mazes, storm.steps]")
    log("%d mazes drawn, %d squares painted blue" % tuple(drawn))
    # The storm must really have played: made mazes, walked, answered boxes (2, 100 and 5 in
    # the 2500 events of a run under ctest).
    played = [drawn[0], drawn[1], storm.tally.get("boxes answered", 0)]
    check(all(n >= events // each for n, each in zip(played, (1250, 25, 500))),
          "the storm hardly played: %r mazes, squares, boxes; %r" % (played, storm.tally))


def headless(site_folder, mix_program, seed=None, events=None):
    e2e.need("node", CHROMIUM, skip=True)
    return e2e.Session(x=False)


if __name__ == "__main__":
    raise SystemExit(e2e.main(test, opens=headless))
