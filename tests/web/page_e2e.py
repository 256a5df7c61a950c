#!/usr/bin/env python3
"""End to end in a real browser: the test build of the page in one of three engines, each from
Debian's packages, held to what the game itself does.

    page_e2e.py <test site folder> <page_reference.js> <board_picture> [<engine>]

The engine: chromium (headless, over the DevTools protocol: devtools.py; the default), firefox
(Firefox ESR over WebDriver BiDi: bidi.py) or webkit (WebKitGTK's MiniBrowser under
WebKitWebDriver: webdriver.py), the last two on a virtual display. The steps are written once
against the drivers' one interface; where an engine's driver cannot do a step, the test says
"<engine>: cannot <step>: <why>" and goes on.

The test site is the page with one more export, with which the test fixes the random draws.
page_reference.js (the core alone, under node) plays the same script with the same draws and
says what the page must show: the words after each key, the messages, the Moves box, the maze
files' bytes. The script runs as one table of steps; each step does something on the page and
checks what follows. Last, board_picture (the desktop's window on Qt's offscreen platform) and
the page play one more short game with the same draws, and their pictures must match but for
the texts. axe-core (from npm, tests/web/package.json; `make test` installs it) checks the page
loaded, with a maze drawn, with a menu open and with a message box open; what it finds fails
the test, after the rest of the table has run. Exit status 77 (skipped) when the engine or node
is missing."""

import base64
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bidi import Firefox  # noqa: E402
from devtools import (CHROMIUM, Browser, Site, check, log, play_reference,  # noqa: E402
                      use_draws, wait_for)
import quorrel_e2e as e2e  # noqa: E402  (on the path devtools puts it on)
from webdriver import Cannot, WebKit  # noqa: E402

AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "node_modules", "axe-core",
                   "axe.min.js")

WINDOW = (1000, 760)  # the browser window, in CSS pixels
SIZE = ("10", "10")   # the maze's width and height
BLANKS = "\u00a0\u2002"  # what the live region ends its words in, turn about
# The game both front ends play for the pictures, by the commands' object names; "|" takes a
# picture.
PICTURE_SEED = 5
PICTURE_SIZE = ("50", "50")
PICTURES = ("hide0 Command1 stepDown stepDown stepRight stepDown stepLeft stepDown stepRight"
            " stepDown | hide2 stepDown stepRight stepUp | cheat |")


def contrast(*colours):
    """The WCAG contrast ratio of two CSS colours "rgb(r, g, b)"."""
    lit = [0.05 + sum(w * (v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4)
                      for w, v in zip((0.2126, 0.7152, 0.0722),
                                      (int(n) / 255 for n in re.findall(r"\d+", c))))
           for c in colours]
    return max(lit) / min(lit)


class Finding(e2e.Failure):
    """What the accessibility checker found: the test fails, once the rest of the table has
    run."""


class Game:
    """The page under test, the game's tables and the reference's script."""

    def __init__(self, page, downloads, reference, desktop):
        self.page = page
        self.downloads = downloads
        self.reference_program = reference
        self.desktop_program = desktop
        self.tables = None
        self.ref = None
        self.said = ""  # the live region's text before the latest key

    def js(self, expression):
        return self.page.eval(expression)

    def shortcut(self, number):
        """A command's key, in the portable form the game's table and Page.key share."""
        return next(r["shortcut"] for r in self.tables["commands"] if r["id"] == number)

    def rect(self, selector):
        """Left, top, width and height of the first element the CSS selector finds."""
        return self.js("(() => { const r = document.querySelector(%r).getBoundingClientRect();"
                       " return [r.left, r.top, r.width, r.height]; })()" % selector)

    def click(self, selector):
        left, top, width, height = self.rect(selector)
        self.page.click(left + width / 2, top + height / 2)

    def to_page(self, twips):
        left, top = self.rect("#board")[:2]
        k = self.tables["twipsPerPixel"]
        return left + twips[0] / k, top + twips[1] / k

    def focused(self):
        return self.js("document.activeElement && document.activeElement.id")

    def words(self):
        return self.js("document.getElementById('words').textContent")

    def box(self):
        """The open message box: title, text, button captions and the focused button's index;
        None when there is none."""
        return self.js("""(() => {
            const box = document.querySelector('#layer:not([hidden]) [role=alertdialog]');
            if (!box) return null;
            const buttons = [...box.querySelectorAll('button')];
            return {title: document.getElementById(box.getAttribute('aria-labelledby')).textContent,
                    text: document.getElementById(box.getAttribute('aria-describedby')).textContent,
                    modal: box.getAttribute('aria-modal'),
                    buttons: buttons.map((b) => b.textContent),
                    focused: buttons.indexOf(document.activeElement)}; })()""")

    def wait_box(self, text, buttons):
        shown = wait_for("a message box", self.box)
        check(shown["title"] == self.tables["appTitle"], "box title %r" % shown["title"])
        check(shown["text"] == text.replace("\r\n", "\n"), "box text %r, not %r" % (
            shown["text"], text))
        captions = [self.tables["buttons"][b].replace("&", "") for b in buttons]
        check(shown["buttons"] == captions, "box buttons %r" % shown["buttons"])
        check(shown["focused"] == 0 and shown["modal"] == "true",
              "the box is not modal with the focus on its first button: %r" % shown)
        return shown

    def wait_no_box(self):
        wait_for("the message box to close", lambda: self.box() is None)

    def downloaded(self, name):
        path = os.path.join(self.downloads, name)
        return open(path, "rb").read() if os.path.exists(path) else None

    def axe(self, state):
        """axe-core's rules, best practices among them, on the page as it stands."""
        if not self.js("typeof axe === 'object'"):
            check(os.path.exists(AXE), "no %s: run `npm ci` in tests/web" % AXE)
            with open(AXE) as source:
                self.js(source.read() + "\n;0")
        found = self.js("axe.run(document).then((r) => r.violations.map((v) => [v.id, v.impact,"
                        " v.help, v.nodes.map((n) => n.target.join(' '))]))")
        if found:
            raise Finding("axe-core, %s: %s" % (state, "; ".join(
                "%s (%s, %s) at %s" % (rule, impact, help, ", ".join(nodes))
                for rule, impact, help, nodes in found)))


# ---- The steps, in order. Each takes the game and raises Failure when a check fails.

def page_is_ready(g):
    wait_for("the page to be ready",
             lambda: g.js("document.body && document.body.dataset.ready") == "true")
    g.tables = g.js("T")
    check(g.js("document.title") == g.tables["caption"], "title %r" % g.js("document.title"))
    check(g.focused() == g.tables["focusOrder"][0], "first focus on %r" % g.focused())


def it_has_its_icon_and_installs(g):
    """The page's icon loads, 192 pixels square; Chromium finds nothing missing to install it."""
    check(g.js("(async () => { const i = new Image(); i.src = document.querySelector("
               "'link[rel=icon]').href; await i.decode(); return [i.width, i.height]; })()")
          == [192, 192], "no icon of 192 pixels")
    errors = g.page.send("Page.getInstallabilityErrors")["installabilityErrors"]
    check(not errors, "the page cannot be installed: %r" % errors)


def without_its_game_it_says_so(g):
    """Without quorrel.js or quorrel.wasm the page says so in the game's words and Tab stays the
    browser's; a browser older than the oldest the page is made for is told so, nothing built."""
    words, tab = g.tables["pageWords"], g.tables["focusOrder"][1]
    for blocked, before, said, focus in (("*/quorrel.js", "", words["notLoaded"], tab),
                                         ("*/quorrel.wasm", "", words["notLoaded"], tab),
                                         ("", "delete Element.prototype.replaceChildren",
                                          words["tooOld"], "")):
        page = g.page.browser.isolated_page(g.site.url, [blocked] if blocked else [], before)
        wait_for(said, lambda: page.eval("document.getElementById('notice')?.textContent") == said)
        page.key("Tab")
        built = page.eval("[document.activeElement.id, $('menubar').hasChildNodes()]")
        check(built == [focus, bool(focus)], "%s: focus, menus %r" % (blocked or before, built))


def axe_finds_nothing_on_the_page_loaded(g):
    g.axe("the page loaded")


def controls_sit_at_their_twips(g):
    k = g.tables["twipsPerPixel"]
    left, top, width, height = g.rect("#board")
    for row in g.tables["controls"]:
        rect = g.rect("#" + row["name"])
        want = [left + row["left"] / k, top + g.tables["controlTop"] / k, row["width"] / k,
                row["height"] / k]
        check(all(abs(a - b) < 1 / 32 for a, b in zip(rect, want)),  # layout units are 1/64 px
              "%s at %r, not %r" % (row["name"], rect, want))
        font = g.js("(() => { const s = getComputedStyle(document.getElementById('%s'));"
                    " return [s.fontFamily, s.fontWeight, s.fontSize]; })()" % row["name"])
        bold = [", ".join(g.tables["boldFamilies"] + ["sans-serif"]), "700",
                "%gpx" % (g.tables["boldPoints"] * 4 / 3)]
        check(([font[0].replace('"', "")] + font[1:] == bold) == row["bold"],
              "%s in the font %r" % (row["name"], font))
    check(width * k >= g.tables["clientWidth"] and height * k >= g.tables["clientHeight"],
          "the client area is only %r x %r pixels" % (width, height))


def menus_follow_the_table(g):
    bar = g.js("[...document.querySelectorAll('#menubar > .slot > .item')].map((i) => "
               "[i.getAttribute('role'), i.textContent, i.querySelector('u') ? "
               "i.querySelector('u').textContent : '', i.getAttribute('aria-haspopup')])")
    want, menus = [], set()
    for row in g.tables["commands"]:
        if row["place"] not in ("MenuBar", "InMenu") or row["menu"] in menus:
            continue
        caption = row["caption"]
        if row["menu"]:  # a menu's first item: the menu's own caption on the bar
            menus.add(row["menu"])
            caption = next(m["caption"] for m in g.tables["menus"] if m["name"] == row["menu"])
        key = caption[caption.index("&") + 1] if "&" in caption else ""
        want.append(["menuitem", caption.replace("&", ""), key, "menu" if row["menu"] else None])
    check(bar == want, "menu bar %r, not %r" % (bar, want))
    blank = g.js("document.getElementById('nul').getAttribute('aria-label')")
    check(blank == g.tables.get("blankItemName", "?"), "the blank item is named %r" % blank)
    checks = g.js("[...document.querySelectorAll('[aria-checked]')].map((i) => "
                  "[i.id, i.getAttribute('role'), i.getAttribute('aria-checked')])")
    check(checks == [["mkfile", "menuitemcheckbox", "false"],
                     ["hide1", "menuitemradio", "false"], ["hide2", "menuitemradio", "false"],
                     ["hide4", "menuitemradio", "false"], ["hide8", "menuitemradio", "false"],
                     ["hide0", "menuitemradio", "true"]], "check marks %r" % checks)


def option_f_opens_the_file_menu(g):
    g.page.layout_key("Alt+F", "\u0192")  # a Mac's Option+F: the code KeyF, the key "\u0192"
    wait_for("the File menu open by Option+F", lambda: g.focused() == "mkfile")
    g.page.key("Escape")


def alt_f_turns_make_file_on(g):
    g.page.key("Alt+F")
    wait_for("the File menu open", lambda: g.focused() == "mkfile")
    check(g.js("document.getElementById('mkfil').getAttribute('aria-expanded')") == "true",
          "the File menu is not marked open")
    g.page.key("Enter")
    wait_for("Make file checked",
             lambda: g.js("document.getElementById('mkfile').getAttribute('aria-checked')")
             == "true")
    check(g.focused() == "Command1", "the focus did not go back to NEW MAZE: %r" % g.focused())


def the_menu_bar_is_one_tab_stop(g):
    """Shift+Tab from NEW MAZE reaches the menu bar's one Tab stop, the item last in use."""
    for keys, focused in (("Shift+Tab", "mkfil"), ("Left", "help"), ("Home Right", "retry"),
                          ("End Left Left Up", "hide0"), ("Down", "hide1"), ("Right", "nul"),
                          ("Escape Shift+Tab", "nul"),
                          ("Left Enter Tab Shift+Tab Tab", "Command1")):
        for key in keys.split():
            g.page.key(key)
        check(g.focused() == focused, "after %s the focus is on %r" % (keys, g.focused()))


def seed_the_draws(g):
    g.ref = play_reference(g.page, g.reference_program, SIZE)
    log("seed %d; the key game has %d keys, the mouse game %d points"
        % (g.ref["seed"], len(g.ref["keys"]), len(g.ref["points"])))


def enter_on_new_maze_makes_the_maze_and_its_file(g):
    g.page.key("Enter")
    wait_for("the new maze's words", lambda: g.words().rstrip(BLANKS) == g.ref["newMaze"][0])
    data = wait_for("maze_001.txt", lambda: g.downloaded("maze_001.txt"))
    check(data == g.ref["files"][0].encode(), "maze_001.txt holds %r" % data[:80])


def axe_finds_nothing_with_a_maze_drawn(g):
    g.axe("a maze drawn")


def axe_finds_nothing_with_a_menu_open(g):
    g.page.key("Alt+F")
    wait_for("the File menu open", lambda: g.focused() == "mkfile")
    try:
        g.axe("the File menu open")
    finally:
        g.page.key("Escape")
        g.page.key("Escape")
    wait_for("the menus closed", lambda: g.focused() == g.tables["focusOrder"][0])


def tab_goes_round_to_the_board(g):
    order = [g.focused()]
    ring = ("(() => { const s = getComputedStyle(boardEl, '::after'); return [s.content, s.zIndex,"
            " s.borderTopWidth, s.borderTopColor, getComputedStyle(document.body).backgroundColor,"
            " boardEl.clientWidth, boardEl.clientHeight]; })()")
    unfocused = g.js(ring)
    for _ in g.tables["focusOrder"][1:]:
        g.page.key("Tab")
        order.append(g.focused())
    check(order == g.tables["focusOrder"], "the Tab order is %r" % order)
    seen = g.js(ring)  # over the canvas, the board's size as it was
    check(seen[:3] == ['""', "1", "2px"] and contrast(*seen[3:5]) >= 3
          and seen[5:] == unfocused[5:], "the focused board's ring is %r" % seen)
    check(g.js("document.getElementById('board').getAttribute('aria-label')")
          == g.tables["boardName"], "the board is not named")
    board = g.js("document.getElementById('board-words').textContent")
    said = g.words().rstrip(BLANKS)
    check(said.startswith(g.tables["boardName"]) and said.endswith(board),
          "on focus the board said %r" % said)
    g.said = g.words()


def keys_walk_out_saying_the_cores_words(g):
    for number, step in enumerate(g.ref["keys"]):
        g.page.key(g.shortcut(step["command"]))
        if step["box"]:
            g.after_box = step["words"]  # said once the box closes
            continue
        before = g.said
        g.said = wait_for("the words of key %d" % number,
                          lambda: g.words() != before and g.words())
        check(g.said.rstrip(BLANKS) == step["words"],
              "key %d: %r, not %r" % (number, g.said, step["words"]))
    result, moves = g.ref["keyMessages"]
    g.wait_box(result[0], ["yes", "no"] if result[1] else ["ok"])
    check(g.js("document.getElementById('Text1').value") == moves, "Moves box after the keys")


def axe_finds_nothing_with_a_message_box_open(g):
    g.axe("the result's box open")


def escape_closes_the_result(g):
    g.page.key("Escape")
    g.wait_no_box()
    check(g.focused() == "board", "the focus went to %r, not back to the board" % g.focused())
    g.said = wait_for("the words after the box",
                      lambda: g.words().rstrip(BLANKS) == g.after_box and g.words())


def new_maze_by_mouse(g):
    g.click("#Command1")
    wait_for("the second maze's words",
             lambda: g.words().rstrip(BLANKS) == g.ref["newMaze"][1])
    data = wait_for("maze_002.txt", lambda: g.downloaded("maze_002.txt"))
    check(data == g.ref["files"][1].encode(), "maze_002.txt holds %r" % data[:80])


def mouse_walks_out(g):
    points = [g.to_page(p) for p in g.ref["points"]]
    g.page.mouse("mousePressed", *points[0])
    for x, y in points[1:]:
        g.page.mouse("mouseMoved", x, y)
    g.page.mouse("mouseReleased", *points[-1], buttons=0)
    result, moves = g.ref["mouseMessages"]
    g.wait_box(result[0], ["yes", "no"] if result[1] else ["ok"])
    check(g.js("document.getElementById('Text1').value") == moves, "Moves box after the mouse")
    check(g.focused() != "board", "a click on the board took the focus")


def no_button_by_mouse(g):
    g.click("#layer button:nth-of-type(2)")
    g.wait_no_box()
    wait_for("the words after the box", lambda: g.words().rstrip(BLANKS) == g.ref["mouseAfter"])


def a_cancelled_touch_or_a_second_button_ends_the_walk(g):
    """A touch the system cancels, or a right button pressed and let go during a drag, ends the
    walk as a release does: a later movement walks nobody."""
    a, b, c = [g.to_page(p) for p in g.ref["points"][:3]]
    finger = lambda kind, *at: g.page.touch(kind, [(x, y, 1) for x, y in at])
    mouse = lambda kind, at, buttons, button="left": g.page.mouse(kind, *at, buttons, button)
    for walk in ([(mouse, "mousePressed", a, 1), (mouse, "mouseMoved", b, 1),
                  (mouse, "mousePressed", b, 3, "right"), (mouse, "mouseReleased", b, 1, "right"),
                  (mouse, "mouseMoved", c, 1), (mouse, "mouseReleased", c, 0)],
                 [(finger, "touchStart", a), (finger, "touchMove", b), (finger, "touchCancel"),
                  (finger, "touchStart", a), (finger, "touchMove", c), (finger, "touchEnd")]):
        g.js("perform(T.commands.find((r) => r.name === 'retry').id)")
        for send, *args in walk:
            send(*args)
        check(g.js("document.getElementById('Text1').value") == "1", "%s: walked on" % walk[2][1])


def a_held_arrow_says_where_it_stopped(g):
    """Held with five repeats, Down says the first square and, once let go, where it stopped
    (after "Wall." when a repeat met one), as the same steps one key each say it."""
    retry = "perform(T.commands.find((r) => r.name === 'retry').id);"
    g.js("boardEl.focus();" + retry + " window.said = 0; new MutationObserver(() => said++)"
         ".observe(document.getElementById('words'), {subtree: true, characterData: true})")
    g.page.hold("Down", 5)
    steps, said, held = g.js("[+document.getElementById('Text1').value, said, "
                             "document.getElementById('words').textContent]")
    g.js(retry)
    for _ in range(steps):
        g.page.key("Down")
    check(said == 2 and held.rstrip(BLANKS).endswith(g.words().rstrip(BLANKS)),
          "held, Down said %d times, last %r; step by step %r" % (said, held, g.words()))


def visibility_by_mouse(g):
    """A Visibility item chosen by mouse, and the full view again."""
    for name in ("hide2", "hide0"):
        menu = next(r["menu"] for r in g.tables["commands"] if r["name"] == name)
        g.click("#" + menu)
        wait_for("the %s menu open" % menu,
                 lambda: g.js("document.getElementById('%s').getAttribute('aria-expanded')"
                              % menu) == "true")
        g.click("#" + name)
        checked = g.js("[...document.querySelectorAll('[role=menuitemradio]')].filter((i) =>"
                       " i.getAttribute('aria-checked') === 'true').map((i) => i.id)")
        check(checked == [name], "after a click on %s the check is on %r" % (name, checked))
        check(g.js("document.getElementById('%s').getAttribute('aria-expanded')" % menu)
              == "false", "the %s menu stayed open" % menu)


def retry_by_mouse_and_a_finger_walks_out(g):
    """Retry from the menu bar by mouse, then the mouse's way out again by a finger: the same
    result."""
    g.click("#retry")
    check(g.js("document.getElementById('Text1').value") == "", "Retry left the Moves box")
    g.js("window.felt = []; boardEl.addEventListener('pointerdown', (e) =>"
         " felt.push(e.pointerType))")
    points = [g.to_page(p) for p in g.ref["points"]]
    g.page.touch("touchStart", [(*points[0], 1)])
    for x, y in points[1:]:
        g.page.touch("touchMove", [(x, y, 1)])
    g.page.touch("touchEnd", [])
    result, moves = g.ref["mouseMessages"]
    g.wait_box(result[0], ["yes", "no"] if result[1] else ["ok"])
    check(g.js("felt") == ["touch"], "the board felt %r, not one finger" % g.js("felt"))
    check(g.js("document.getElementById('Text1').value") == moves, "Moves box after the finger")
    g.click("#layer button:nth-of-type(2)")
    g.wait_no_box()


def a_bad_size_is_refused(g):
    g.click("#Combo1")
    g.click("#Combo1")  # into the box that has the focus: typing still edits it
    g.page.key("Ctrl+A")
    g.page.key("1")
    g.js("document.getElementById('Command1').focus()")
    g.page.key("Space")
    g.wait_box(g.ref["sizeMessage"], ["ok"])
    check(g.js("document.getElementById('Text1').value") == "", "Moves not emptied")
    g.page.key("Enter")
    g.wait_no_box()
    check(g.focused() == "Command1", "the focus is on %r after the box" % g.focused())


def a_selector_lists_every_size(g):
    """Alt+Down and the list's button open every size whatever the box holds."""
    box = "document.getElementById('Combo1')"
    shown = ("(() => { const l = document.getElementById(%s.getAttribute('aria-controls'));"
             " return [!l.hidden && [...l.children].map((o) => o.textContent), %s.value]; })()"
             % (box, box))
    sizes = g.tables["sizeEntries"]
    g.click("#Combo1")
    for actions, want in (("Alt+Down", [sizes, "1"]), ("Down Down Up Enter", [False, sizes[0]]),
                          ("#Combo1+button", [sizes, sizes[0]]),
                          ("#Combo1-sizes>:nth-child(7)", [False, sizes[6]]),
                          ("Alt+Down Escape", [False, sizes[6]])):
        for action in actions.split():
            g.click(action) if action.startswith("#") else g.page.key(action)
        check(g.js(shown) == want and g.focused() == "Combo1",
              "after %s: %r" % (actions, g.js(shown)))


def menus_give_the_focus_back(g):
    """After a click on an item of the bar or of a list, a click outside, Escape."""
    for start, actions in (("board", "#retry"), ("Combo2", "#mkfil #mkfile #mkfil #mkfile"),
                           ("Text1", "#hide #board"), ("Command1", "Alt+V Escape")):
        g.js("document.getElementById('%s').focus()" % start)
        for action in actions.split():
            g.click(action) if action.startswith("#") else g.page.key(action)
        check(g.focused() == start and not g.js("document.querySelector('[role=menu]"
                                                 ":not([hidden])')"),
              "after %s from %s the focus is on %r" % (actions, start, g.focused()))


def f1_shows_the_help(g):
    g.page.key("F1")
    g.wait_box(g.ref["help"], ["ok"])
    g.page.key("Escape")
    g.wait_no_box()


def a_screen_of_another_density_is_taken_on(g):
    """Moved to a screen of another density at the same size, the board's picture takes the
    new density on at once, and back."""
    if not g.page.density_events:
        raise Cannot("the driver's density comes with no event to the page")
    for ratio in (1.5, 1):
        g.page.view(0, 0, ratio)
        wait_for("the picture at %g device pixels a pixel" % ratio,
                 lambda: g.js("covered.ratio === devicePixelRatio && devicePixelRatio") == ratio)


def pictures_match_the_desktops(g):
    """The desktop and the page play one more game with the same draws, on screens of device
    pixel ratio 1 and 1.5; at each "|" their pictures match but for the texts, each left out
    with two pixels round it."""
    w, h = g.js("[boardEl.clientWidth, boardEl.clientHeight]")
    g.js("""window.texts = []; ((text, clear) => {
        core.board.clear = () => { texts.length = 0; clear(); };
        core.board.text = (x, y, s) => { text(x, y, s); texts.push([x, y, core.board.textWidth(s),
            core.board.textHeight()].map((t) => t / T.twipsPerPixel * devicePixelRatio)); };
        })(core.board.text, core.board.clear)""")
    for ratio in (1, 1.5):
        g.page.view(0, 0, ratio)
        out = subprocess.run([g.desktop_program, str(w), str(h), str(PICTURE_SEED)]
                             + list(PICTURE_SIZE) + PICTURES.split(), check=True,
                             capture_output=True, env=dict(os.environ, QT_SCALE_FACTOR=str(ratio))
                             ).stdout
        use_draws(g.page, PICTURE_SEED, PICTURE_SIZE)
        for shot, names in enumerate(PICTURES.split("|")[:-1], 1):
            for name in names.split():
                g.js("perform(T.commands.find((r) => r.name === '%s').id)" % name)
            header, out = out.split(b"\n255\n", 1)
            pw, ph = [int(n) for n in header.split()[1:]]
            desktop, out = bytearray(out[:pw * ph * 3]), out[pw * ph * 3:]
            rgba = base64.b64decode(g.js(
                "(() => { const d = ctx.getImageData(0, 0, %d, %d).data; let s = '';"
                " for (let i = 0; i < d.length; i += 8192)"
                " s += String.fromCharCode(...d.subarray(i, i + 8192)); return btoa(s); })()"
                % (pw, ph)))
            page = bytearray(pw * ph * 3)
            for c in range(3):
                page[c::3] = rgba[c::4]
            texts = g.js("texts")
            for x, y, tw, th in texts:
                left, right = max(0, int(x) - 2), min(pw, int(x + tw) + 3)
                for row in range(max(0, int(y) - 2), min(ph, int(y + th) + 3)):
                    for picture in (desktop, page):
                        picture[(row * pw + left) * 3:(row * pw + right) * 3] = bytes(
                            (right - left) * 3)
            wrong = [(i // 3 % pw, i // 3 // pw) for i in range(0, len(page), 3)
                     if page[i:i + 3] != desktop[i:i + 3]] if page != desktop else []
            check(not wrong, "ratio %g, picture %d: %d pixels differ from the desktop's, first at"
                  " %r" % (ratio, shot, len(wrong), wrong[:8]))
            log("ratio %g, picture %d: %d x %d pixels as the desktop's, %d texts left out"
                % (ratio, shot, pw, ph, len(texts)))


def letters_have_a_height_without_the_fonts_box(g):
    """Without the font's box in the text's measures (Firefox before 116), texts keep a height
    near the font box's, so that the counts and Solve's letters are drawn."""
    box = g.js("core.board.font(12); core.board.textHeight()")
    ink = g.js("delete TextMetrics.prototype.fontBoundingBoxAscent; delete TextMetrics.prototype"
               ".fontBoundingBoxDescent; for (const s in sizes) delete sizes[s];"
               " core.board.textHeight()")
    check(ink and abs(ink - box) < box / 4, "a text is %r twips high, not about %r" % (ink, box))


def a_phone_shows_the_whole_window(g):
    """On a phone, upright and on its side, the whole window is seen (to the browser's rounding)."""
    least = (g.tables["clientWidth"] / g.tables["twipsPerPixel"] - 0.5,
             g.tables["clientHeight"] / g.tables["twipsPerPixel"] - 0.5)
    for wide, high, turn in ((390, 844, "portraitPrimary"), (844, 390, "landscapePrimary")):
        g.page.send("Emulation.setDeviceMetricsOverride", {
            "width": wide, "height": high, "deviceScaleFactor": 2, "mobile": True,
            "screenWidth": wide, "screenHeight": high,
            "screenOrientation": {"type": turn, "angle": 0 if wide < high else 90}})
        # A new visit: a reload would keep the scale the page was seen at.
        url = g.js("location.origin") + "/?" + turn
        g.page.send("Page.navigate", {"url": url})
        wait_for("the page", lambda: g.js(
            "location.href === %r && document.body?.dataset.ready" % url))
        seen = g.js("[visualViewport.width, visualViewport.height"
                    " - document.getElementById('menubar').offsetHeight]")
        check(seen[0] >= least[0] and seen[1] >= least[1],
              "a %d x %d screen shows %r pixels of the client area" % (wide, high, seen))


def plays_with_no_network_after_one_visit(g):
    """Kept by its service worker, the page starts again and plays once its server is gone."""
    g.js("navigator.serviceWorker.ready.then(() => { window.seen = true; })")
    g.site.close()
    g.page.send("Page.reload")
    wait_for("the page with no server",
             lambda: g.js("!window.seen && document.body?.dataset.ready") == "true")
    g.js("document.getElementById('Command1').click(); boardEl.focus()")
    g.page.key("Down")
    check(g.js("document.getElementById('Text1').value") == "1", "no step with no server")


STEPS = [
    page_is_ready,
    axe_finds_nothing_on_the_page_loaded,
    it_has_its_icon_and_installs,
    without_its_game_it_says_so,
    controls_sit_at_their_twips,
    menus_follow_the_table,
    option_f_opens_the_file_menu,
    alt_f_turns_make_file_on,
    the_menu_bar_is_one_tab_stop,
    seed_the_draws,
    enter_on_new_maze_makes_the_maze_and_its_file,
    axe_finds_nothing_with_a_maze_drawn,
    axe_finds_nothing_with_a_menu_open,
    tab_goes_round_to_the_board,
    keys_walk_out_saying_the_cores_words,
    axe_finds_nothing_with_a_message_box_open,
    escape_closes_the_result,
    new_maze_by_mouse,
    mouse_walks_out,
    no_button_by_mouse,
    visibility_by_mouse,
    retry_by_mouse_and_a_finger_walks_out,
    a_cancelled_touch_or_a_second_button_ends_the_walk,
    a_held_arrow_says_where_it_stopped,
    a_bad_size_is_refused,
    a_selector_lists_every_size,
    menus_give_the_focus_back,
    f1_shows_the_help,
    a_screen_of_another_density_is_taken_on,
    pictures_match_the_desktops,
    letters_have_a_height_without_the_fonts_box,
    a_phone_shows_the_whole_window,
    plays_with_no_network_after_one_visit,
]


def chromium(session, window, downloads):
    browser = Browser(["--window-size=%d,%d" % window])
    browser.send("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    return browser


# Each engine: its driver, given the session, the window's size and the downloads' folder, and
# what it needs installed.
ENGINES = {"chromium": (chromium, (CHROMIUM,)), "firefox": (Firefox, Firefox.needs),
           "webkit": (WebKit, WebKit.needs)}


def test(session):
    site_folder, reference, desktop = sys.argv[1:4]
    downloads = session.folder("downloads")
    site = session.own(Site(site_folder))
    browser = session.own(ENGINES[session.engine][0](session, WINDOW, downloads))
    game = Game(browser.page(site.url), downloads, reference, desktop)
    game.site = site
    found = []
    for step in STEPS:
        name = step.__name__.replace("_", " ")
        try:
            step(game)
        except Cannot as why:
            log("%s: cannot %s: %s" % (session.engine, name, why))
            continue
        except Finding as finding:
            log("FAIL %s: %s" % (name, finding))
            found.append(name)
            continue
        log("ok   " + name)
    check(not found, "%s: %s" % (session.engine, ", ".join(found)))


def opens(site_folder, reference, desktop, engine="chromium"):
    """Chromium headless; Firefox and WebKit on a virtual display."""
    check(engine in ENGINES, "no engine %r; there are %s" % (engine, ", ".join(ENGINES)))
    e2e.need("node", *ENGINES[engine][1], skip=True)
    session = e2e.Session(x=engine != "chromium")
    session.engine = engine
    return session


if __name__ == "__main__":
    raise SystemExit(e2e.main(test, opens=opens))
