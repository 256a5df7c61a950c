#!/usr/bin/env python3
"""End to end: what a screen reader finds over AT-SPI. Starts a session D-Bus and the
accessibility bus (at-spi-bus-launcher) beside the virtual display, runs the game with Qt's
accessibility switched on, and reads the game's widget tree with the AT-SPI client library
(gir1.2-atspi-2.0, python3-gi): the board by its name "Maze board" and its description, which
must follow NEW MAZE, the steps of a walk and Retry, each change announced by an
accessible-description event; and the controls by their names and roles. The description is the
game's own words: the test reads facts out of it (the entrance, the square, the open ways, the
counters, the exit) and checks them against the maze on the screen."""

import os
import re

import quorrel_e2e as e2e

BOARD = "Maze board"
CONTROLS = {  # accessible name: role, as AT-SPI names them
    "New maze": "push button",
    "Moves": "text",
    "Extra moves": "text",
}
# A selector is named by its value on Linux; a screen reader says the label that labels it.
SELECTORS = {"Width": "Maze width", "Height": "Maze height"}  # label: start of description


def heard(text):
    """The facts a listener takes out of the game's words: the square ("column c, row r"), the
    entrance's and the exit's columns, the open ways (a set; "down to the exit" is down), and
    the counters. A fact the words do not give is None."""
    def number(pattern, group=1):
        found = re.search(pattern, text)
        return int(found.group(group)) if found else None
    square = re.search(r"[Cc]olumn (\d+), row (\d+)", text)
    ways = re.search(r"Open: ([a-z ,]+)\.", text)
    return {
        "square": (int(square.group(1)), int(square.group(2))) if square else None,
        "entrance": number(r"above column (\d+)"),
        "exit": number(r"exit is below column (\d+)"),
        "ways": {w for w in ("up", "down", "left", "right") if w in ways.group(1)}
        if ways else None,
        "to_exit": bool(ways) and "exit" in ways.group(1),
        "moves": number(r"(\d+) moves?, \d+ extra"),
        "extra": number(r"(\d+) extra"),
    }


class AccessibleSession(e2e.Game):
    """The game with a session bus and an accessibility bus, and an AT-SPI client on them."""

    def __init__(self, game, **session):
        super().__init__(game, buses=True, **session)

    def start_buses(self):
        super().start_buses()
        # Listening before the game starts: the game learns of the listeners when it joins
        # the bus, and does not miss the first change.
        self.reader = Reader(self)


class Reader:
    """The AT-SPI client side, on the session's buses."""

    def __init__(self, session):
        # The client library finds the accessibility bus through the session bus.
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = session.env["DBUS_SESSION_BUS_ADDRESS"]
        os.environ["DISPLAY"] = session.display
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, GLib
        self.Atspi = Atspi
        self.context = GLib.MainContext.default()
        Atspi.init()
        self.events = []
        self.listener = Atspi.EventListener.new(self._heard)
        self.listener.register("object:property-change:accessible-description")

    def _heard(self, event):
        try:
            name = event.source.get_name()
        except Exception:  # a source that went away meanwhile
            name = None
        self.events.append((name, event.type))

    def pump(self):
        """Lets the client library take in what the buses brought."""
        while self.context.pending():
            self.context.iteration(False)

    def game(self):
        self.pump()
        desktop = self.Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == "quorrel":
                return app
        return None

    def find(self, root, name=None, role=None):
        """The first accessible of the tree under root with this name and role."""
        todo = [root]
        while todo:
            node = todo.pop(0)
            if node is None:
                continue
            if (name is None or node.get_name() == name) and \
                    (role is None or node.get_role_name() == role):
                return node
            todo.extend(node.get_child_at_index(i) for i in range(node.get_child_count()))
        return None

    def labelled_by(self, root, label, role):
        """The accessible of this role that the label with this text labels."""
        todo = [root]
        while todo:
            node = todo.pop(0)
            if node is None:
                continue
            if node.get_role_name() == role:
                for relation in node.get_relation_set():
                    if relation.get_relation_type() == self.Atspi.RelationType.LABELLED_BY:
                        targets = [relation.get_target(i)
                                   for i in range(relation.get_n_targets())]
                        if any(t.get_name() == label for t in targets):
                            return node
            todo.extend(node.get_child_at_index(i) for i in range(node.get_child_count()))
        return None

    def description(self, node):
        self.pump()
        return node.get_description()

    def wait_description(self, node, what, test, changes=1):
        """Waits for the node's description to be one for which test(text) holds, after
        `changes` changes, each announced by one event from the board (counted from when the
        events were cleared); gives the description."""
        try:
            text = e2e.wait_for("the description " + what,
                                lambda: test(self.description(node)) and self.description(node),
                                limit=20)
        except e2e.Failure:
            raise e2e.Failure("the board's description is %r, not %s"
                              % (self.description(node), what))
        if changes == 0:
            return text
        # Each event names its source; the new text is read from the source. One event for
        # each change: a second would have the screen reader say it twice.
        heard_all = lambda: len(self.events) >= changes or self.pump()  # noqa: E731
        e2e.wait_for("%d accessible-description events" % changes, heard_all, limit=20)
        sources = [name for name, _ in self.events]
        e2e.check(sources == [BOARD] * changes,
                  "description events heard from %r for %d changes ending in %r"
                  % (sources, changes, text))
        return text


def test(session):
    reader = session.reader
    app = e2e.wait_for("the game \"quorrel\" on the accessibility bus", reader.game)
    board = e2e.wait_for("the accessible named %r" % BOARD, lambda: reader.find(app, BOARD))
    e2e.check(board.get_role_name() == "canvas", "the board is a %s" % board.get_role_name())
    # Set before any client listened: read, not announced. No maze: no square, no exit.
    empty = reader.wait_description(
        board, "before any maze", lambda t: t and heard(t)["exit"] is None
        and heard(t)["square"] is None, changes=0)
    e2e.log("the board says: " + empty)
    for name, role in CONTROLS.items():
        e2e.check(reader.find(app, name, role) is not None, "no %s named %r" % (role, name))
    for label, description in SELECTORS.items():
        selector = reader.labelled_by(app, label, "combo box")
        e2e.check(selector is not None, "no combo box labelled %r" % label)
        e2e.check(selector.get_description().startswith(description),
                  "the %s selector's description is %r" % (label, selector.get_description()))
        e2e.check(selector.get_name() == "20", "the %s selector says %r, not its size 20"
                  % (label, selector.get_name()))
    e2e.log("controls found: %s; selectors labelled %s"
            % (", ".join(CONTROLS), " and ".join(SELECTORS)))

    reader.events.clear()
    maze = session.new_maze(20, 20)
    start = {"square": None, "entrance": maze.entry_col, "exit": maze.exit_col, "ways": {"down"},
             "to_exit": False, "moves": 0, "extra": 0}
    fresh = reader.wait_description(board, "of the new maze", lambda t: heard(t) == start)
    e2e.log("after NEW MAZE: " + fresh)

    way = maze.route()
    e2e.check(len(way) > 4, "the way out is too short to walk three steps")
    reader.events.clear()
    maze.drag(way[:4])
    col, row = way[3]
    walked = {"square": (col, row), "entrance": None, "exit": maze.exit_col,
              "ways": maze.ways(col, row), "to_exit": row == maze.rows and maze.exit_col == col,
              "moves": 3, "extra": 0}
    # The press on the entrance and three steps: four changes.
    said = reader.wait_description(board, "after three steps", lambda t: heard(t) == walked,
                                   changes=4)
    e2e.log("after three steps: " + said)

    reader.events.clear()
    session.focus_window()
    session.key("alt+r")
    # Retry: the very words of the fresh maze again.
    reader.wait_description(board, "of the fresh maze again", lambda t: t == fresh)
    e2e.log("after Retry: " + fresh)


if __name__ == "__main__":
    raise SystemExit(e2e.main(test, opens=AccessibleSession))
