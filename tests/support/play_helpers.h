#pragma once

// Helpers for the tests of painting, mouse play, visibility, Retry and Solve: a window that
// notes when its message boxes appear, ready-made mazes, routes worked out independently of
// the game, and mouse gestures aimed at squares.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <queue>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "board/new_maze.h"
#include "gen/generator.h"
#include "gen/random_source.h"
#include "play/play.h"
#include "support/doubles.h"
#include "ui/mazeform.h"

namespace quorrel::testing {

struct Square {
    int col = 0;
    int row = 0;
    auto operator<=>(const Square&) const = default;
};

// A window that remembers how many drawing calls the board had received when each message
// box was shown, so a test can tell what was on the board in front of the message.
class WatchingWindow : public FakeWindow {
  public:
    explicit WatchingWindow(const RecordingSurface& surface) : surface_(surface) {}
    void inform(std::string_view text) override {
        opsAtMessage.push_back(surface_.ops.size());
        FakeWindow::inform(text);
    }
    bool ask(std::string_view text) override {
        opsAtMessage.push_back(surface_.ops.size());
        return FakeWindow::ask(text);
    }

    std::vector<std::size_t> opsAtMessage;

  private:
    const RecordingSurface& surface_;
};

// A main window wired to recording doubles, with the walls of the maze as first drawn.
struct PlayHarness {
    RecordingSurface surface;
    WatchingWindow window{surface};
    ScriptedRandom random;
    MemoryFileStore files;
    Mazeform form{Ports{surface, window, window, random, files}};
    std::vector<DrawOp> mazeLines;  // the walls drawn when the maze was generated
};

inline std::vector<DrawOp> onlyKind(const std::vector<DrawOp>& ops, DrawOp::Kind kind) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : ops) {
        if (op.kind == kind) {
            out.push_back(op);
        }
    }
    return out;
}

inline std::vector<DrawOp> opsSince(const RecordingSurface& surface, std::size_t from) {
    return {surface.ops.begin() + static_cast<std::ptrdiff_t>(from), surface.ops.end()};
}

inline bool sameOp(const DrawOp& a, const DrawOp& b) {
    return a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 &&
           a.colour == b.colour && a.text == b.text && a.points == b.points;
}

inline bool sameOps(const std::vector<DrawOp>& a, const std::vector<DrawOp>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameOp(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

// The maze of 2 by 2 squares made from the draws 0.1, 0.75, 0.75: entrance above (1, 1),
// codes (1,1)=3 (2,1)=0 (1,2)=3 (2,2)=0, exit below (1, 2). Squares are 375 twips with an
// inset of 75; (1, 1) has its lower-right corner at (4065, 1400).
inline void buildWorkedMaze(PlayHarness& h) {
    Mazeform& f = h.form;
    f.mazeWidth = 2;
    f.mazeHeight = 2;
    f.squareSize = 375;
    f.inset = 75;
    f.originX = 3690;
    f.originY = 1025;
    h.random.script = {0.1, 0.75, 0.75};
    const std::size_t before = h.surface.ops.size();
    main(f);
    h.mazeLines = onlyKind(opsSince(h.surface, before), DrawOp::Line);
}

// A maze of w by h squares through NEW MAZE on the default client area, with draws from a
// generator of the given seed.
inline void buildSeededMaze(PlayHarness& h, int w, int ht, std::uint64_t seed) {
    h.window.width = std::to_string(w);
    h.window.height = std::to_string(ht);
    h.random.script.clear();
    h.random.fallback = SeededRandom(seed);
    const std::size_t before = h.surface.ops.size();
    Command1_Click(h.form);
    h.mazeLines = onlyKind(opsSince(h.surface, before), DrawOp::Line);
}

struct Point {
    float x = 0;
    float y = 0;
};

// Lower-right corner of a square on the board.
inline Point cornerOf(const State& f, Square s) {
    return {static_cast<float>(f.originX + s.col * f.squareSize),
            static_cast<float>(f.originY + s.row * f.squareSize)};
}

inline Point centreOf(const State& f, Square s) {
    const Point c = cornerOf(f, s);
    const float half = static_cast<float>(f.squareSize) / 2;
    return {c.x - half, c.y - half};
}

inline Square playerSquare(const State& f) {
    return {f.playerCol, f.playerRow};
}

// Column of the bottom-row square whose bottom side is open, or 0 when the maze has none.
inline int exitColumn(const State& f) {
    for (int c = 1; c <= f.mazeWidth; ++c) {
        if (f.openings(c, f.mazeHeight) % 2 != 0) {
            return c;
        }
    }
    return 0;
}

inline Square exitSquare(const State& f) {
    return {exitColumn(f), f.mazeHeight + 1};
}
inline Square entranceSquare(const State& f) {
    return {f.entryCol, 0};
}
inline Square firstSquare(const State& f) {
    return {f.entryCol, 1};
}

// Which sides of a square of rows 1..H are open, read from the opening codes: a square owns
// its right and bottom sides; its left and top sides are its neighbours'.
inline bool opensRight(const State& f, Square s) {
    const int code = f.openings(s.col, s.row);
    return s.col < f.mazeWidth && (code == 2 || code == 3);
}
inline bool opensLeft(const State& f, Square s) {
    return s.col > 1 && opensRight(f, {s.col - 1, s.row});
}
inline bool opensDown(const State& f, Square s) {
    const int code = f.openings(s.col, s.row);
    return s.row <= f.mazeHeight && (code == 1 || code == 3);
}
inline bool opensUp(const State& f, Square s) {
    return s.row > 1 && opensDown(f, {s.col, s.row - 1});
}

// The squares joined to s by an open side, among rows 1..H and the square below the exit.
// Row 0 is left out: once inside, a walker never goes back to the entrance.
inline std::vector<Square> openNeighbours(const State& f, Square s) {
    std::vector<Square> out;
    if (s.row == f.mazeHeight + 1) {
        out.push_back({s.col, f.mazeHeight});
        return out;
    }
    if (opensRight(f, s)) {
        out.push_back({s.col + 1, s.row});
    }
    if (opensLeft(f, s)) {
        out.push_back({s.col - 1, s.row});
    }
    if (opensDown(f, s)) {
        out.push_back({s.col, s.row + 1});
    }
    if (opensUp(f, s)) {
        out.push_back({s.col, s.row - 1});
    }
    return out;
}

// The shortest way from one square to another by breadth-first search over the openings,
// both ends included; empty when there is none. In a perfect maze it is the only way.
inline std::vector<Square> route(const State& f, Square from, Square to) {
    std::map<Square, Square> cameFrom;
    std::queue<Square> open;
    cameFrom[from] = from;
    open.push(from);
    while (!open.empty()) {
        const Square s = open.front();
        open.pop();
        if (s == to) {
            std::vector<Square> path{to};
            for (Square at = to; !(at == from);) {
                at = cameFrom.at(at);
                path.insert(path.begin(), at);
            }
            return path;
        }
        for (Square n : openNeighbours(f, s)) {
            if (!cameFrom.count(n)) {
                cameFrom[n] = s;
                open.push(n);
            }
        }
    }
    return {};
}

inline std::vector<Square> routeToExit(const State& f) {
    return route(f, firstSquare(f), exitSquare(f));
}

// A dead-end branch leaving the given route: the first square off the route next to a route
// square, with the route square it hangs from.
struct Branch {
    Square from;
    Square into;
};

inline std::optional<Branch> firstBranch(const State& f, const std::vector<Square>& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        for (Square n : openNeighbours(f, path[i])) {
            const bool onPath =
                (i > 0 && path[i - 1] == n) || (i + 1 < path.size() && path[i + 1] == n);
            if (!onPath) {
                return Branch{path[i], n};
            }
        }
    }
    return std::nullopt;
}

// Mouse gestures: a left press at a square's centre, a movement toward a square's centre.
inline void pressOn(PlayHarness& h, Square s, Int button = kLeftButton) {
    const Point p = centreOf(h.form, s);
    Form_MouseDown(h.form, button, 0, p.x, p.y);
}

inline void moveToward(PlayHarness& h, Square s) {
    const Point p = centreOf(h.form, s);
    Form_MouseMove(h.form, kLeftButton, 0, p.x, p.y);
}

inline void release(PlayHarness& h) {
    Form_MouseUp(h.form, kLeftButton, 0, 0, 0);
}

// One movement toward each square in turn, skipping the square the player stands on.
inline void dragAlong(PlayHarness& h, const std::vector<Square>& squares) {
    for (Square s : squares) {
        if (s != playerSquare(h.form)) {
            moveToward(h, s);
        }
    }
}

// Presses on the entrance and walks to the given square without releasing.
inline void walkFromEntranceTo(PlayHarness& h, Square target) {
    pressOn(h, entranceSquare(h.form));
    moveToward(h, firstSquare(h.form));
    dragAlong(h, route(h.form, firstSquare(h.form), target));
}

// Everything the finish, Retry or a No answer may leave behind.
struct GameState {
    Int moveCount, extraMoves, curX, curY, playerCol, playerRow;
    bool tracking;
    std::vector<Int> passes;
    std::string moves, extra;
    bool operator==(const GameState&) const = default;
};

inline GameState gameState(const PlayHarness& h) {
    const Mazeform& f = h.form;
    GameState g{f.moveCount, f.extraMoves, f.curX, f.curY,         f.playerCol,
                f.playerRow, f.tracking,   {},     h.window.moves, h.window.extra};
    for (int c = 0; c <= f.passes.lastCol(); ++c) {
        for (int r = 0; r <= f.passes.lastRow(); ++r) {
            g.passes.push_back(f.passes(c, r));
        }
    }
    return g;
}

// A case's name for a parameterised test: letters and digits kept, everything else '_'.
inline std::string caseName(std::string_view text) {
    std::string name;
    for (char c : text) {
        name +=
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : '_';
    }
    return name;
}

// A line's ends, in an order that makes equal lines compare equal.
inline std::tuple<float, float, float, float> lineKey(const DrawOp& op) {
    return {op.x1, op.y1, op.x2, op.y2};
}

// The lines among the drawing calls, sorted, so two drawings compare regardless of order.
inline std::vector<std::tuple<float, float, float, float>> sortedLines(
    const std::vector<DrawOp>& ops) {
    std::vector<std::tuple<float, float, float, float>> keys;
    for (const DrawOp& op : ops) {
        if (op.kind == DrawOp::Line) {
            keys.push_back(lineKey(op));
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

}  // namespace quorrel::testing
