"""The page by ear: Debian's chromium on the virtual display (not headless) with its
accessibility switched on, the test build of the page in it, Orca listening, and a short game
played with real keys (xdotool), checked against Orca's log: the focus on the board with its
name and words, the steps, a wall and the result.

    page_orca.py <test site folder> <page_reference.js>     (web.page_orca in the web build)

exits with 0 when the case passed, 1 when it failed and 77 when Orca, chromium or node is
missing.
The words Orca must say come from page_reference.js, the core alone under node, playing the
same script with the same seeded draws (see tests/web/page_reference.cpp)."""

import os
import sys

import quorrel_e2e as e2e

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
import devtools  # noqa: E402

SIZE = ("5", "5")
WINDOW = (900, 700)
BLANKS = "\u00a0\u2002"


class PageOrcaSession(e2e.Session):
    """Orca, the accessibility bus and chromium showing the page, on one virtual display."""

    def __init__(self, site_folder, reference):
        e2e.need("node", devtools.CHROMIUM, skip=True)
        super().__init__(orca=True, speech=True)
        self.site_folder = site_folder
        self.reference = reference

    def start(self):
        site = self.own(devtools.Site(self.site_folder))
        self.browser = self.own(devtools.Browser(
            ["--force-renderer-accessibility", "--window-position=0,0",
             "--window-size=%d,%d" % WINDOW], env=dict(self.env, GTK_A11Y="atspi"),
            headless=False))
        self.page = self.browser.page(site.url)
        devtools.wait_for("the page", lambda: self.page.eval(
            "document.body && document.body.dataset.ready") == "true")
        self.window = e2e.wait_for("chromium's window", lambda: self.find_window("Quorrel 1.0"))


def test(session):
    ref = devtools.play_reference(session.page, session.reference, SIZE)
    tables = session.page.eval("T")
    # The table's portable key names are X key names too, but for Space.
    keys = {r["id"]: r["shortcut"].replace("Space", "space") for r in tables["commands"]}
    session.focus_window()
    session.mark()
    session.key("Return")  # NEW MAZE has the focus when the page opens
    session.wait_said("the new maze", lambda t: t.rstrip(BLANKS) == ref["newMaze"][0])

    for name in tables["focusOrder"][1:]:
        session.mark()
        session.key("Tab")
        e2e.wait_for("the focus on " + name, lambda: session.page.eval(
            "document.activeElement.id") == name)
        if name != "board":
            session.wait_said("something of " + name, lambda t: True)
    board = session.page.eval("document.getElementById('board-words').textContent")
    session.wait_said("the board's name and words",
                      lambda t: tables["boardName"] in t and board in t)
    e2e.log("the board took the focus: %r" % board)

    last = None
    for step in ref["keys"]:
        session.mark()
        session.key(keys[step["command"]])
        if step["box"]:
            break  # out through the exit: the result's box
        what = "the wall" if step["words"].startswith("Wall.") else "the step"
        said = session.wait_said(what, lambda t: t.rstrip(BLANKS) == step["words"])
        if step["words"] == last:
            e2e.log("the same words again, heard again: %r" % said)
        last = step["words"]
    result = ref["keyMessages"][0][0]
    session.wait_said("the result", lambda t: result in t)
    e2e.log("the result: %r" % result)


if __name__ == "__main__":
    raise SystemExit(e2e.main(test, opens=PageOrcaSession, attempts=2))
