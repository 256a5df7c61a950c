"""Debian's chromium driven over the DevTools protocol, with the Python standard library only.

The protocol runs on a pipe (--remote-debugging-pipe): JSON messages ended by a NUL byte,
written to the browser's file descriptor 3 and read from its descriptor 4; a call waits for
its answer and passes over the events. The site is served by Python's web server on a port of
127.0.0.1 it picks itself. The checks and waits are the end-to-end tests' own."""

import fcntl
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from quorrel_e2e import LIMIT, Failure, check, log, stop, wait_for  # noqa: E402,F401

CHROMIUM = "/usr/bin/chromium"
FLAGS = ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--disable-default-apps",
         "--password-store=basic", "--test-type"]
# Key name: DOM key, DOM code, Windows key code, the text it types.
KEYS = {
    "Tab": ("Tab", "Tab", 9, ""), "Enter": ("Enter", "Enter", 13, "\r"),
    "Escape": ("Escape", "Escape", 27, ""), "Space": (" ", "Space", 32, " "),
    "Left": ("ArrowLeft", "ArrowLeft", 37, ""), "Up": ("ArrowUp", "ArrowUp", 38, ""),
    "Right": ("ArrowRight", "ArrowRight", 39, ""), "Down": ("ArrowDown", "ArrowDown", 40, ""),
    "F1": ("F1", "F1", 112, ""), "Backspace": ("Backspace", "Backspace", 8, ""),
    "=": ("=", "Equal", 187, "="), "-": ("-", "Minus", 189, "-"),
    "Home": ("Home", "Home", 36, ""), "End": ("End", "End", 35, ""),
}
MODIFIERS = {"Alt": 1, "Ctrl": 2, "Shift": 8}


# Python's web server, sending the headers given on its command line with every answer.
SERVER = """import http.server, sys
class Handler(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        for header in sys.argv[1:]:
            self.send_header(*header.split(": ", 1))
        super().end_headers()
http.server.test(Handler, port=0, bind="127.0.0.1")"""


class Site:
    """A folder served on 127.0.0.1 by Python's web server, with these headers."""

    def __init__(self, folder, headers=()):
        self.server = subprocess.Popen(
            [sys.executable, "-u", "-c", SERVER, *headers], cwd=folder,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        # "Serving HTTP on 127.0.0.1 port N (http://127.0.0.1:N/) ..."
        self.url = self.server.stdout.readline().split("(")[1].split(")")[0]

    def close(self):
        stop(self.server)


class Browser:
    """One chromium with its own profile, talked to over the pipe."""

    def __init__(self, args=(), env=None, headless=True):
        self.profile = tempfile.mkdtemp(prefix="quorrel-chromium-")
        to_browser, self._out = os.pipe()
        self._in, from_browser = os.pipe()

        def descriptors():
            # Out of the way first: either pipe end may already sit on 3 or 4.
            reading, writing = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (to_browser,
                                                                               from_browser)]
            os.dup2(reading, 3)
            os.dup2(writing, 4)

        self.log_path = os.path.join(self.profile, "chromium.log")
        self.process = subprocess.Popen(
            [CHROMIUM, "--remote-debugging-pipe", "--user-data-dir=" + self.profile] + FLAGS
            + (["--headless=new"] if headless else []) + list(args) + ["about:blank"],
            preexec_fn=descriptors, close_fds=False, env=env, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=open(self.log_path, "wb"), start_new_session=True)
        os.close(to_browser)
        os.close(from_browser)
        self._next = 0
        self._pending = b""
        self.listening = set()  # the methods of the events to keep
        self.heard = []  # those events, as they came

    def listen(self, *methods):
        """Keeps every event of these methods in `heard` from now on."""
        self.listening.update(methods)

    def send(self, method, params=None, session=None):
        self._next += 1
        message = {"id": self._next, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._out, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + LIMIT
        while True:
            while b"\0" in self._pending:
                text, self._pending = self._pending.split(b"\0", 1)
                reply = json.loads(text)
                if reply.get("method") in self.listening:
                    self.heard.append(reply)
                if reply.get("id") == self._next:
                    if "error" in reply:
                        raise Failure("%s: %s" % (method, reply["error"]))
                    return reply.get("result", {})
            wait = deadline - time.monotonic()
            if wait <= 0 or not select.select([self._in], [], [], wait)[0]:
                raise Failure("chromium did not answer " + method)
            data = os.read(self._in, 1 << 20)
            if not data:
                raise Failure("chromium closed the pipe")
            self._pending += data

    def page(self, url, context=None):
        target = self.send("Target.createTarget", {"url": "about:blank", **(
            {"browserContextId": context} if context else {})})["targetId"]
        session = self.send("Target.attachToTarget",
                            {"targetId": target, "flatten": True})["sessionId"]
        return Page(self, session, url)

    def isolated_page(self, url, blocked=(), before=""):
        """A tab in a browser context of its own (no cache, storage or service worker shared
        with the other tabs) opening url, in which requests for URLs matching the patterns
        `blocked` fail and the script `before` runs first in every document."""
        page = self.page("about:blank", self.send("Target.createBrowserContext")[
            "browserContextId"])
        page.send("Network.enable")
        page.send("Page.enable")
        page.send("Network.setBlockedURLs", {"urls": list(blocked)})
        page.send("Page.addScriptToEvaluateOnNewDocument", {"source": before})
        page.send("Page.navigate", {"url": url})
        return page

    def close(self):
        try:
            self.send("Browser.close")
            self.process.wait(timeout=20)
        except (Failure, OSError, subprocess.TimeoutExpired):
            pass
        stop(self.process, group=True)  # and what it started beside it
        os.close(self._out)
        os.close(self._in)
        shutil.rmtree(self.profile, ignore_errors=True)


class Page:
    """A tab: scripts evaluated in it, keys and the mouse dispatched to it."""

    density_events = False  # an emulated density comes with no event to the page

    def __init__(self, browser, session, url):
        self.browser = browser
        self.session = session
        self.send("Page.navigate", {"url": url})

    def send(self, method, params=None):
        return self.browser.send(method, params, self.session)

    def eval(self, expression):
        reply = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                               "awaitPromise": True})
        if "exceptionDetails" in reply:
            raise Failure("%s: %s" % (expression, reply["exceptionDetails"]))
        return reply["result"].get("value")

    def key(self, name, repeat=False, up=True):
        """Presses and releases a key: "Tab", "Down", "Alt+F", "Shift+Tab", ...; with repeat,
        as the keyboard's auto-repeat of a key held down; with up False, it stays down."""
        *held, last = name.split("+")
        key, code, vk, text = KEYS.get(last) or (last.lower(), "Key" + last.upper(),
                                                 ord(last.upper()), last.lower())
        modifiers = sum(MODIFIERS[m] for m in held)
        if modifiers & (MODIFIERS["Alt"] | MODIFIERS["Ctrl"]):
            text = ""
        event = {"modifiers": modifiers, "key": key, "code": code, "windowsVirtualKeyCode": vk,
                 "nativeVirtualKeyCode": vk, "autoRepeat": repeat}
        self.send("Input.dispatchKeyEvent",
                  dict(event, type="keyDown" if text else "rawKeyDown", text=text))
        if up:
            self.send("Input.dispatchKeyEvent", dict(event, type="keyUp"))

    def hold(self, name, repeats):
        """Holds a key down while the keyboard repeats it `repeats` times, then lets it go."""
        for repeat in range(repeats + 1):
            self.key(name, repeat > 0, up=repeat == repeats)

    def layout_key(self, name, key):
        """Presses and releases a letter key its keyboard's layout makes give another character:
        ("Alt+F", "ƒ") is a Mac's Option+F, the code KeyF giving "ƒ"."""
        *held, last = name.split("+")
        event = {"modifiers": sum(MODIFIERS[m] for m in held), "key": key, "text": key,
                 "code": "Key" + last.upper(), "windowsVirtualKeyCode": ord(last.upper())}
        for kind in ("keyDown", "keyUp"):
            self.send("Input.dispatchKeyEvent", dict(event, type=kind))

    def mouse(self, kind, x, y, buttons=1, button="left", pointer="mouse"):
        """kind: mousePressed, mouseMoved or mouseReleased, at (x, y) in CSS pixels; buttons
        the buttons held (1 left, 2 right, 4 middle), button the one pressed or released;
        pointer "mouse" or "pen"."""
        event = {"type": kind, "x": x, "y": y, "buttons": buttons, "pointerType": pointer}
        if kind != "mouseMoved":
            event.update(button=button, clickCount=1)
        elif buttons:
            event.update(button=button)
        self.send("Input.dispatchMouseEvent", event)

    def touch(self, kind, points):
        """kind: touchStart, touchMove, touchEnd or touchCancel; points the fingers still on
        the screen after it, each (x, y, id) in CSS pixels."""
        self.send("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
            {"x": x, "y": y, "id": finger} for x, y, finger in points]})

    def type(self, text):
        """Types a text into the focused control, as a keyboard's input method does."""
        self.send("Input.insertText", {"text": text})

    def view(self, width=None, height=None, ratio=1):
        """A window of width x height CSS pixels at this device pixel ratio; with no size the
        browser's own window again."""
        if width is None:
            self.send("Emulation.clearDeviceMetricsOverride")
        else:
            self.send("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": False})

    def click(self, x, y):
        self.mouse("mousePressed", x, y)
        self.mouse("mouseReleased", x, y, 0)


def use_draws(page, seed, size):
    """The page's test build: every maze from now on draws from a generator with this seed,
    and has this size."""
    page.eval("core._quorrel_seed_draws(page, %d)" % seed)
    for name, value in zip(("Combo1", "Combo2"), size):
        page.eval("document.getElementById('%s').value = '%s'" % (name, value))


def play_reference(page, reference, size):
    """Runs page_reference.js, the core alone under node, for a maze of this size on the page's
    board; has the page draw as it did and gives what it says the page must show."""
    width, height = page.eval("[boardEl.clientWidth * 15, boardEl.clientHeight * 15]")
    ref = json.loads(subprocess.run(
        ["node", "--no-experimental-fetch", reference, *size, str(width), str(height)],
        check=True, capture_output=True, text=True).stdout)
    use_draws(page, ref["seed"], size)
    return ref
