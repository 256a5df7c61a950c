#pragma once

// Helpers for the tests of painting, mouse play, visibility, Retry and Solve: ready-made
// mazes, drawing calls compared, and mouse gestures aimed at squares.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "board/new_maze.h"
#include "game/mazeform.h"
#include "gen/generator.h"
#include "gen/random_source.h"
#include "play/play.h"
#include "support/doubles.h"
#include "support/maze_geometry.h"
#include "ui/commands.h"

namespace quorrel::testing {

using PlayHarness = Harness;

// Chooses the Visibility item of a radius, as the menu does.
inline void chooseRadius(Mazeform& f, Int radius) {
    const CommandRow* item = visibilityItem(radius);
    ASSERT_NE(item, nullptr) << "no Visibility item of radius " << radius;
    perform(f, item->id);
}

inline std::vector<DrawOp> opsSince(const RecordingSurface& surface, std::size_t from) {
    return {surface.ops.begin() + static_cast<std::ptrdiff_t>(from), surface.ops.end()};
}

// The drawing's board for the 2 by 2 example: squares of 375 twips with an inset of 75; (1, 1)
// has its lower-right corner at (4065, 1400).
inline void placeWorkedBoard(State& f) {
    f.mazeWidth = 2;
    f.mazeHeight = 2;
    f.squareSize = 375;
    f.inset = 75;
    f.originX = 3690;
    f.originY = 1025;
}

// The draws that make the worked example: entrance above (1, 1), codes (1,1)=3 (2,1)=0
// (1,2)=3 (2,2)=0, exit below (1, 2).
inline const std::vector<double> kWorkedDraws = {0.1, 0.75, 0.75};
// Draws with which the walk fills every square before it can cut an exit: no exit.
inline const std::vector<double> kNoExitDraws = {0.1, 0.1, 0.1};

// The worked example's maze file.
inline constexpr std::string_view kWorkedMazeFile =
    "\r\n\r\n\r\n\r\n"
    ".  .--.\r\n"
    "I     I\r\n"
    ":  :--.\r\n"
    "I     I\r\n"
    ":  :--.\r\n";

// Generates the 2 by 2 maze on the worked example's board from the given draws.
inline void buildWorkedMaze(PlayHarness& h, const std::vector<double>& draws = kWorkedDraws) {
    Mazeform& f = h.form;
    placeWorkedBoard(f);
    h.random.script.assign(draws.begin(), draws.end());
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

// Builds seeded mazes from `seed` on until one suits, trying `tries` seeds at most; the last
// maze built stays.
template <class Wanted>
void buildSeededMazeWhere(PlayHarness& h, int w, int ht, std::uint64_t seed, Wanted wanted,
                          std::uint64_t tries = 100) {
    for (std::uint64_t s = seed; s < seed + tries; ++s) {
        buildSeededMaze(h, w, ht, s);
        if (wanted(h.form)) {
            return;
        }
    }
}

// Builds a seeded maze and gives its way out from row 1, which must be at least `least`
// squares long. Call it inside ASSERT_NO_FATAL_FAILURE.
inline void buildSeededWay(PlayHarness& h, int w, int ht, std::uint64_t seed, std::size_t least,
                           std::vector<Square>& way) {
    buildSeededMaze(h, w, ht, seed);
    ASSERT_TRUE(h.form.exitMade);
    way = routeToExit(h.form);
    ASSERT_GE(way.size(), least);
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

// buildSeededWay, with the button then pressed on the entrance.
inline void pressIntoSeededWay(PlayHarness& h, int w, int ht, std::uint64_t seed, std::size_t least,
                               std::vector<Square>& way) {
    ASSERT_NO_FATAL_FAILURE(buildSeededWay(h, w, ht, seed, least, way));
    pressOn(h, entranceSquare(h.form));
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

// A line on the board, in twips, from its top or left end.
using Segment = std::tuple<int, int, int, int>;

// The lines among the drawing calls, all black: a drawing's walls, whatever their order and
// the end each was drawn from.
inline std::multiset<Segment> segmentsOf(const std::vector<DrawOp>& ops) {
    std::multiset<Segment> out;
    for (const DrawOp& op : ops) {
        if (op.kind != DrawOp::Line) {
            continue;
        }
        EXPECT_EQ(op.colour, kBlack);
        int x1 = static_cast<int>(op.x1);
        int y1 = static_cast<int>(op.y1);
        int x2 = static_cast<int>(op.x2);
        int y2 = static_cast<int>(op.y2);
        if (std::tie(x2, y2) < std::tie(x1, y1)) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        out.emplace(x1, y1, x2, y2);
    }
    return out;
}

// The sides of squares as the board shows them.
struct Board {
    int x0, y0, s;
    Segment top(int c, int r) const {  // top side of (c, r)
        return {x0 + (c - 1) * s, y0 + (r - 1) * s, x0 + c * s, y0 + (r - 1) * s};
    }
    Segment left(int c, int r) const {
        return {x0 + (c - 1) * s, y0 + (r - 1) * s, x0 + (c - 1) * s, y0 + r * s};
    }
    Segment right(int c, int r) const { return left(c + 1, r); }
    Segment bottom(int c, int r) const { return top(c, r + 1); }
};

inline Board boardOf(const State& f) {
    return {f.originX, f.originY, f.squareSize};
}

// The walls of rows t..b and columns l..r by the rules of a redraw: the maze's top edge only
// when t is 1, its left edge only when l is 1, then each square's own right and bottom walls.
inline std::multiset<Segment> wallsOf(const State& f, int t, int b, int l, int r) {
    const Board board = boardOf(f);
    std::multiset<Segment> out;
    for (int c = l; c <= r; ++c) {
        if (t == 1 && c != f.entryCol) {
            out.insert(board.top(c, 1));
        }
    }
    for (int j = t; j <= b; ++j) {
        if (l == 1) {
            out.insert(board.left(1, j));
        }
        for (int c = l; c <= r; ++c) {
            if (!f.opensRight(c, j)) {
                out.insert(board.right(c, j));
            }
            if (!f.opensDown(c, j)) {
                out.insert(board.bottom(c, j));
            }
        }
    }
    return out;
}

}  // namespace quorrel::testing
