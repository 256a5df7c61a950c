"""Debian's chromium driven over the DevTools protocol, with the Python standard library only.

The protocol runs on a pipe (--remote-debugging-pipe): JSON messages ended by a NUL byte,
written to the browser's file descriptor 3 and read from its descriptor 4. The site is served
by python3 -m http.server on a free port of 127.0.0.1. Nothing waits a fixed time: every wait
polls until its condition holds or a generous limit runs out."""

import fcntl
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

LIMIT = 60.0  # seconds any one wait may take
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
    "F1": ("F1", "F1", 112, ""),
}
MODIFIERS = {"Alt": 1, "Ctrl": 2, "Shift": 8}


class Failure(Exception):
    """A check did not hold."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def log(message):
    print(message, flush=True)


def wait_for(what, probe, limit=LIMIT, every=0.05):
    """Calls probe until it gives something other than None or False."""
    deadline = time.monotonic() + limit
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("gave up waiting for " + what)
        time.sleep(every)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Site:
    """A folder served on 127.0.0.1 by python3 -m http.server."""

    def __init__(self, folder):
        self.port = free_port()
        self.server = subprocess.Popen(
            [sys.executable, "-m", "http.server", "--bind", "127.0.0.1", str(self.port)],
            cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.url = "http://127.0.0.1:%d/" % self.port
        wait_for("the web server", self._answers)

    def _answers(self):
        try:
            socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
            return True
        except OSError:
            return False

    def close(self):
        self.server.terminate()
        self.server.wait()


class Browser:
    """One chromium with its own profile, talked to over the pipe."""

    def __init__(self, args=(), env=None, headless=True):
        self.profile = tempfile.mkdtemp(prefix="quorrel-chromium-")
        to_browser, self._out = os.pipe()
        self._in, from_browser = os.pipe()

        def descriptors():
            # Out of the way first: either pipe end may already sit on 3 or 4.
            reading = fcntl.fcntl(to_browser, fcntl.F_DUPFD, 10)
            writing = fcntl.fcntl(from_browser, fcntl.F_DUPFD, 10)
            os.dup2(reading, 3)
            os.dup2(writing, 4)

        command = [CHROMIUM, "--remote-debugging-pipe", "--user-data-dir=" + self.profile]
        command += FLAGS + (["--headless=new"] if headless else []) + list(args)
        self.log_path = os.path.join(self.profile, "chromium.log")
        self.process = subprocess.Popen(
            command + ["about:blank"], preexec_fn=descriptors, close_fds=False, env=env,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=open(self.log_path, "wb"), start_new_session=True)
        os.close(to_browser)
        os.close(from_browser)
        self._next = 0
        self._replies = {}
        self.events = []
        self._lock = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        pending = b""
        while True:
            data = os.read(self._in, 65536)
            if not data:
                break
            pending += data
            while b"\0" in pending:
                message, pending = pending.split(b"\0", 1)
                decoded = json.loads(message)
                with self._lock:
                    if "id" in decoded:
                        self._replies[decoded["id"]] = decoded
                    else:
                        self.events.append(decoded)
                    self._lock.notify_all()

    def send(self, method, params=None, session=None):
        with self._lock:
            self._next += 1
            ask = self._next
        message = {"id": ask, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._out, json.dumps(message).encode() + b"\0")
        with self._lock:
            if not self._lock.wait_for(lambda: ask in self._replies, LIMIT):
                raise Failure("chromium did not answer " + method)
            reply = self._replies.pop(ask)
        if "error" in reply:
            raise Failure("%s: %s" % (method, reply["error"]))
        return reply.get("result", {})

    def page(self, url):
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget",
                            {"targetId": target, "flatten": True})["sessionId"]
        return Page(self, session, url)

    def close(self):
        try:
            self.send("Browser.close")
            self.process.wait(timeout=20)
        except (Failure, OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()
        os.close(self._out)
        shutil.rmtree(self.profile, ignore_errors=True)


class Page:
    """A tab: scripts evaluated in it, keys and the mouse dispatched to it."""

    def __init__(self, browser, session, url):
        self.browser = browser
        self.session = session
        self.send("Page.enable")
        self.send("Runtime.enable")
        self.send("Page.navigate", {"url": url})

    def send(self, method, params=None):
        return self.browser.send(method, params, self.session)

    def eval(self, expression):
        reply = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                               "awaitPromise": True})
        if "exceptionDetails" in reply:
            raise Failure("%s: %s" % (expression, reply["exceptionDetails"]))
        return reply["result"].get("value")

    def key(self, name):
        """Presses and releases a key: "Tab", "Down", "Alt+F", "Shift+Tab", ..."""
        parts = name.split("+")
        modifiers = sum(MODIFIERS[m] for m in parts[:-1])
        last = parts[-1]
        if last in KEYS:
            key, code, vk, text = KEYS[last]
        else:
            key, code, vk, text = last.lower(), "Key" + last.upper(), ord(last.upper()), last.lower()
        if modifiers & (MODIFIERS["Alt"] | MODIFIERS["Ctrl"]):
            text = ""
        event = {"modifiers": modifiers, "key": key, "code": code, "windowsVirtualKeyCode": vk,
                 "nativeVirtualKeyCode": vk}
        self.send("Input.dispatchKeyEvent",
                  dict(event, type="keyDown" if text else "rawKeyDown", text=text))
        self.send("Input.dispatchKeyEvent", dict(event, type="keyUp"))

    def mouse(self, kind, x, y, buttons=1):
        """kind: mousePressed, mouseMoved or mouseReleased, at (x, y) in CSS pixels."""
        event = {"type": kind, "x": x, "y": y, "buttons": buttons, "pointerType": "mouse"}
        if kind != "mouseMoved":
            event.update(button="left", clickCount=1)
        elif buttons:
            event.update(button="left")
        self.send("Input.dispatchMouseEvent", event)

    def click(self, x, y):
        self.mouse("mousePressed", x, y)
        self.mouse("mouseReleased", x, y, 0)

    def type_text(self, text):
        self.send("Input.insertText", {"text": text})
