"""WebKitGTK driven over classic WebDriver (HTTP), with the Python standard library only, and
the part of a page that WebDriver's actions give both it and Firefox's BiDi driver (bidi.py).

Debian's webkit2gtk-driver: WebKitWebDriver on a port of 127.0.0.1, which starts WebKitGTK's
MiniBrowser with --automation on the session's X display. A page offers the interface of
devtools.Page: eval, key, type, mouse, click, touch, view, navigate. What a driver cannot do
it raises as Cannot, which the end-to-end table prints and goes on."""

import json
import os
import socket
import sys
import urllib.error
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from quorrel_e2e import LIMIT, Failure, wait_for  # noqa: E402

WEBKITDRIVER = "/usr/bin/WebKitWebDriver"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
# WebDriver's key values: the keys without a character of their own.
KEYS = {"Tab": "\ue004", "Enter": "\ue007", "Escape": "\ue00c", "Space": " ",
        "Backspace": "\ue003", "End": "\ue010", "Home": "\ue011", "Left": "\ue012",
        "Up": "\ue013", "Right": "\ue014", "Down": "\ue015", "Delete": "\ue017", "F1": "\ue031",
        "Shift": "\ue008", "Ctrl": "\ue009", "Alt": "\ue00a"}
# The expression's value as JSON, awaited when it is a promise; the page's own names in reach.
EVAL = "(async () => JSON.stringify(await eval(%s)) ?? 'null')()"


class Cannot(Exception):
    """What an engine's driver cannot do, and why."""


def key_actions(name):
    """A key source's actions for "Tab", "Alt+F", "Shift+Tab", ...: down in order, up the
    other way round."""
    values = [KEYS.get(part) or part.lower() for part in name.split("+")]
    return ([{"type": "keyDown", "value": v} for v in values]
            + [{"type": "keyUp", "value": v} for v in reversed(values)])


def move(x, y):
    """A pointer's movement to (x, y) in CSS pixels, where WebDriver takes whole pixels."""
    return {"type": "pointerMove", "x": round(x), "y": round(y), "origin": "viewport"}


class ActionsPage:
    """Keys, mouse, pen and fingers as WebDriver's input sources, the same in classic WebDriver
    and in BiDi; a subclass performs them and raises Cannot for what its engine lacks."""

    BUTTONS = {"left": 0, "middle": 1, "right": 2}
    fingers = {}  # the fingers on the screen, by their ids
    held = frozenset()  # the keys held down, by their names
    repeats = True  # whether a key pressed again while down comes as the keyboard's repeat
    density_events = True  # whether the page hears of a new density at the same size

    def perform(self, sources):
        raise NotImplementedError

    def send(self, method, params=None):
        """Chromium's DevTools protocol: only the methods that move the page between places."""
        if method == "Page.reload":
            return self.reload()
        if method == "Page.navigate":
            return self.navigate(params["url"])
        raise Cannot("%s is Chromium's DevTools protocol" % method)

    @property
    def browser(self):
        return self

    def isolated_page(self, url, blocked=(), before=""):
        raise Cannot("this driver opens no second tab without the first's storage")

    def key(self, name, repeat=False, up=True):
        """Presses a key, and lets it go when up; a repeat only of a key held down, as the
        keyboard's auto-repeat."""
        if repeat != (name in self.held):
            raise Cannot("WebDriver's actions repeat a key when it is held down, and only then")
        actions = key_actions(name)
        downs, ups = actions[:len(actions) // 2], actions[len(actions) // 2:]
        press = lambda actions: self.perform([{"type": "key", "id": "keys", "actions": actions}])
        self.held = self.held | {name} if not up else self.held - {name}
        if repeat and not self.repeats:
            self.held = self.held - {name}
            press(ups)
            raise Cannot("the driver drops a key's press while the key is down: no repeats")
        press(downs + (ups if up else []))

    def hold(self, name, repeats):
        """Holds a key down while the keyboard repeats it `repeats` times, then lets it go."""
        if repeats and not self.repeats:
            raise Cannot("the driver drops a key's press while the key is down: no repeats")
        for repeat in range(repeats + 1):
            self.key(name, repeat > 0, up=repeat == repeats)

    def layout_key(self, name, key):
        raise Cannot("WebDriver's actions press a key by the character it gives, not by its place")

    def type(self, text):
        self.perform([{"type": "key", "id": "keys", "actions": [
            {"type": t, "value": c} for c in text for t in ("keyDown", "keyUp")]}])

    def mouse(self, kind, x, y, buttons=1, button="left", pointer="mouse"):
        """kind: mousePressed, mouseMoved or mouseReleased at (x, y); pointer mouse or pen."""
        actions = [move(x, y)]
        if kind != "mouseMoved":
            actions.append({"type": "pointerDown" if kind == "mousePressed" else "pointerUp",
                            "button": self.BUTTONS[button]})
        self.perform([{"type": "pointer", "id": pointer, "parameters": {"pointerType": pointer},
                       "actions": actions}])

    def click(self, x, y):
        self.mouse("mousePressed", x, y)
        self.mouse("mouseReleased", x, y, 0)

    def touch(self, kind, points):
        """kind: touchStart, touchMove or touchEnd; points the fingers still on the screen
        after it, each (x, y, id)."""
        if kind == "touchCancel":
            raise Cannot("WebDriver's actions cannot cancel a touch")
        now = {finger: (x, y) for x, y, finger in points}
        sources = []
        for finger in sorted(set(now) | set(self.fingers)):
            if finger not in now:
                actions = [{"type": "pointerUp", "button": 0}]
            elif finger not in self.fingers:
                actions = [move(*now[finger]), {"type": "pointerDown", "button": 0}]
            else:
                actions = [move(*now[finger])]
            sources.append({"type": "pointer", "id": "finger%d" % finger,
                            "parameters": {"pointerType": "touch"}, "actions": actions})
        self.fingers = now
        self.perform(sources)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class WebKit(ActionsPage):
    """MiniBrowser under WebKitWebDriver on the session's display: the browser and its one
    page at once."""

    name = "webkit"
    needs = (WEBKITDRIVER, MINIBROWSER)
    repeats = False

    def __init__(self, session, window, downloads):
        port = free_port()
        # MiniBrowser saves downloads in its home folder.
        session.spawn([WEBKITDRIVER, "--port=%d" % port], "webkitwebdriver", group=True,
                      env=dict(session.env, HOME=downloads))
        self.base = "http://127.0.0.1:%d/session" % port
        wait_for("WebKitWebDriver", lambda: self.ready(port))
        options = {"binary": MINIBROWSER, "args": ["--automation"]}
        self.base += "/" + self.call("", {"capabilities": {"alwaysMatch": {
            "webkitgtk:browserOptions": options}}})["sessionId"]
        self.window = window
        self.call("/window/rect", {"x": 0, "y": 0, "width": window[0], "height": window[1]})

    @staticmethod
    def ready(port):
        try:
            with urllib.request.urlopen("http://127.0.0.1:%d/status" % port, timeout=5) as r:
                return json.load(r)["value"]["ready"]
        except OSError:
            return False

    def call(self, path, body=None, method=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data, method=method or (
            "GET" if body is None else "POST"), headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=LIMIT) as reply:
                return json.load(reply)["value"]
        except urllib.error.HTTPError as error:
            raise Failure("WebDriver %s: %s" % (path, error.read()[:500].decode(
                errors="replace")))
        except OSError as error:
            raise Failure("WebDriver %s: %s" % (path, error))

    def page(self, url):
        self.navigate(url)
        return self

    def navigate(self, url):
        self.call("/url", {"url": url})

    def reload(self):
        self.call("/refresh", {})

    def eval(self, expression):
        return json.loads(self.call("/execute/sync", {"script": "return " + EVAL % (
            "arguments[0]"), "args": [expression]}))

    def perform(self, sources):
        self.call("/actions", {"actions": sources})

    def mouse(self, kind, x, y, buttons=1, button="left", pointer="mouse"):
        if buttons & (buttons - 1):  # a second button pressed during a drag
            self.call("/actions", method="DELETE")  # lets go of the first
            raise Cannot("WebKitWebDriver lets go of the wrong one of two buttons held at once")
        super().mouse(kind, x, y, buttons, button, pointer)

    def touch(self, kind, points):
        raise Cannot("WebKitWebDriver plays a touch pointer's actions as a mouse's")

    def view(self, width=None, height=None, ratio=1):
        """The window sized to show width x height CSS pixels; no other pixel ratio."""
        if ratio != self.eval("devicePixelRatio"):
            raise Cannot("WebDriver sizes the window, but gives it no pixel ratio of %g" % ratio)
        if width is None:
            width, height = self.window
        elif width:
            rect = self.call("/window/rect")
            inner = self.eval("[innerWidth, innerHeight]")
            width, height = width + rect["width"] - inner[0], height + rect["height"] - inner[1]
        if width:
            self.call("/window/rect", {"width": width, "height": height})

    def close(self):
        try:
            self.call("", method="DELETE")
        except Failure:
            pass
