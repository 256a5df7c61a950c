"""Debian's Firefox ESR driven over its built-in WebDriver BiDi, with the Python standard library
only: a small WebSocket client (RFC 6455, text frames) and the page of webdriver.ActionsPage.

Firefox runs with a profile of its own on the session's X display, not headless: a headless
Firefox's window never has the system's focus, so :focus never matches and keys pressed on a
focused button do nothing; on the session's display a click gives it the focus. With
--remote-debugging-port=0 it picks a port and writes it to WebDriverBiDiServer.json in the
profile."""

import base64
import copy
import itertools
import json
import os
import socket
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from quorrel_e2e import LIMIT, SCREEN, Failure, check, wait_for  # noqa: E402
from webdriver import EVAL, ActionsPage  # noqa: E402

FIREFOX = "/usr/bin/firefox-esr"
# The profile: downloads saved without asking and without opening the downloads' panel, which
# would take the focus from the page; no first-run pages.
PREFS = {"browser.download.folderList": 2, "browser.download.useDownloadDir": True,
         "browser.download.always_ask_before_handling_new_types": False,
         "browser.download.alwaysOpenPanel": False,
         "browser.startup.homepage_override.mstone": "ignore",
         "browser.shell.checkDefaultBrowser": False, "datareporting.policy.dataSubmissionEnabled":
         False, "app.update.disabledForTesting": True, "browser.aboutwelcome.enabled": False,
         "remote.prefs.recommended": True}


class WebSocket:
    """One WebSocket connection: whole text messages sent, masked, and received."""

    def __init__(self, port, path):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=LIMIT)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\n"
                           "Connection: Upgrade\r\nSec-WebSocket-Key: %s\r\n"
                           "Sec-WebSocket-Version: 13\r\n\r\n" % (path, port, key)).encode())
        self.data = b""
        while b"\r\n\r\n" not in self.data:
            self.data += self.read_some()
        head, self.data = self.data.split(b"\r\n\r\n", 1)
        check(head.startswith(b"HTTP/1.1 101"), "no WebSocket: %r" % head[:200])

    def read_some(self):
        try:
            data = self.sock.recv(1 << 20)
        except OSError as error:
            raise Failure("WebSocket: %s" % error)
        check(data, "the WebSocket closed")
        return data

    def take(self, n):
        while len(self.data) < n:
            self.data += self.read_some()
        out, self.data = self.data[:n], self.data[n:]
        return out

    def send(self, text, opcode=1):
        data = text.encode() if isinstance(text, str) else text
        n = len(data)
        head = struct.pack("!BB", 0x80 | opcode, 0x80 | n) if n < 126 else struct.pack(
            "!BBH", 0x80 | opcode, 0xFE, n) if n < 65536 else struct.pack("!BBQ", 0x80 | opcode,
                                                                          0xFF, n)
        mask = os.urandom(4)
        masked = (int.from_bytes(data, "big") ^ int.from_bytes((mask * (n // 4 + 1))[:n], "big")
                  ).to_bytes(n, "big")
        self.sock.sendall(head + mask + masked)

    def receive(self):
        message = b""
        while True:
            first, second = self.take(2)
            n = second & 0x7F
            if n >= 126:
                n = struct.unpack("!H" if n == 126 else "!Q", self.take(2 if n == 126 else 8))[0]
            payload = self.take(n)
            opcode = first & 0x0F
            check(opcode != 8, "the browser closed the WebSocket")
            if opcode == 9:
                self.send(payload, 10)  # a ping's pong
            elif opcode in (0, 1, 2):
                message += payload
                if first & 0x80:
                    return message.decode()

    def close(self):
        self.sock.close()


class Firefox(ActionsPage):
    """Firefox over BiDi: the browser and its first tab at once; a copy of it for each tab
    more, on the same connection."""

    name = "firefox"
    needs = (FIREFOX,)

    def __init__(self, session, window_size, downloads):
        profile = session.folder("firefox-profile")
        with open(os.path.join(profile, "user.js"), "w") as prefs:
            for name, value in dict(PREFS, **{"browser.download.dir": downloads}).items():
                prefs.write("user_pref(%s, %s);\n" % (json.dumps(name), json.dumps(value)))
        session.spawn([FIREFOX, "--no-remote", "--profile", profile, "--remote-debugging-port=0",
                       "--width=%d" % window_size[0], "--height=%d" % window_size[1],
                       "about:blank"],
                      "firefox", group=True, env=dict(session.env, MOZ_CRASHREPORTER_DISABLE="1"))
        port = wait_for("Firefox's BiDi port", lambda: self.port(profile))
        self.socket = WebSocket(port, "/session")
        self.ids = itertools.count(1)
        self.command("session.new", {"capabilities": {}})
        self.context = self.command("browsingContext.getTree", {})["contexts"][0]["context"]
        self.tabs = {"active": self.context}  # shared by the copies
        # With no window manager to give it, the window takes the system's focus from a click
        # into its blank page; the pointer then leaves it.
        window = wait_for("Firefox's window", lambda: session.find_window("Mozilla Firefox"))
        session.xdotool("mousemove", "--window", window, window_size[0] // 2,
                        window_size[1] // 2, "click", "1", "mousemove", *SCREEN)
        wait_for("Firefox's window to have the focus", lambda: self.eval("document.hasFocus()"))

    @staticmethod
    def port(profile):
        try:
            with open(os.path.join(profile, "WebDriverBiDiServer.json")) as f:
                return json.load(f)["ws_port"]
        except (OSError, ValueError, KeyError):
            return None

    def command(self, method, params):
        """Sends a command and gives its result; a request held by an intercept meanwhile
        fails."""
        number = next(self.ids)
        self.socket.send(json.dumps({"id": number, "method": method, "params": params}))
        while True:
            reply = json.loads(self.socket.receive())
            if reply.get("method") == "network.beforeRequestSent" and reply["params"]["isBlocked"]:
                self.socket.send(json.dumps({"id": next(self.ids), "method": "network.failRequest",
                                             "params": {"request": reply["params"]["request"][
                                                 "request"]}}))
            if reply.get("id") == number:
                check(reply.get("type") != "error", "%s: %s %s" % (
                    method, reply.get("error"), reply.get("message")))
                return reply["result"]

    def page(self, url):
        self.navigate(url)
        return self

    def isolated_page(self, url, blocked=(), before=""):
        """A tab of a user context of its own (no cache, storage or service worker shared with
        the other tabs) opening url, in which requests for the paths of the patterns `blocked`
        ("*/quorrel.js") fail and the script `before` runs first in every document."""
        user = self.command("browser.createUserContext", {})["userContext"]
        page = copy.copy(self)
        page.context = self.command("browsingContext.create", {
            "type": "tab", "userContext": user})["context"]
        self.tabs["active"] = page.context
        self.command("script.addPreloadScript", {"functionDeclaration": "() => { %s }" % before,
                                                 "userContexts": [user]})
        if blocked:
            self.command("session.subscribe", {"events": ["network.beforeRequestSent"],
                                               "contexts": [page.context]})
            self.command("network.addIntercept", {
                "phases": ["beforeRequestSent"], "contexts": [page.context], "urlPatterns": [
                    {"type": "pattern", "pathname": b.split("*", 1)[1]} for b in blocked]})
        page.navigate(url)
        return page

    def activate(self):
        """Brings this tab to the front, where the window's focus is, if another tab is."""
        if self.tabs["active"] != self.context:
            self.command("browsingContext.activate", {"context": self.context})
            self.tabs["active"] = self.context

    def navigate(self, url):
        self.command("browsingContext.navigate", {"context": self.context, "url": url,
                                               "wait": "complete"})

    def reload(self):
        self.command("browsingContext.reload", {"context": self.context, "wait": "complete"})

    def eval(self, expression):
        self.activate()
        reply = self.command("script.evaluate", {
            "expression": EVAL % json.dumps(expression), "awaitPromise": True,
            "target": {"context": self.context}, "resultOwnership": "none"})
        check(reply["type"] == "success", "%s: %s" % (expression, reply.get("exceptionDetails")))
        return json.loads(reply["result"]["value"])

    def perform(self, sources):
        self.activate()
        self.command("input.performActions", {"context": self.context, "actions": sources})

    def view(self, width=None, height=None, ratio=1):
        """A viewport of width x height CSS pixels (0: the window's) at this pixel ratio; with
        no size the window's own again."""
        self.command("browsingContext.setViewport", {
            "context": self.context, "viewport": {"width": width, "height": height} if width
            else None, "devicePixelRatio": None if width is None else ratio})

    def close(self):
        self.socket.close()
