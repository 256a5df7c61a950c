#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/state.h"
#include "ui/surface.h"

namespace quorrel::testing {

// A board that throws every drawing away, for generating many mazes quickly.
class DiscardingSurface : public Surface {
  public:
    void clear() override {}
    void line(float, float, float, float, Colour) override { ++lines; }
    void box(float, float, float, float, Colour) override { ++boxes; }
    void setFontSize(float) override {}
    TextExtent measureText(std::string_view) override { return {}; }
    void printText(float, float, std::string_view) override {}
    ClientSize clientSize() override { return {8880, 7305}; }
    TwipsPerPixel twipsPerPixel() override { return {}; }
    Colour backgroundColour() override { return 0; }

    long lines = 0;
    long boxes = 0;
};

// Whether square (c, r) of rows 1..H is joined to its right or lower neighbour.
inline bool openRight(const State& s, int c, int r) {
    return s.openings(c, r) >= 2;
}
inline bool openDown(const State& s, int c, int r) {
    return s.openings(c, r) % 2 == 1;
}

// The number of openings between two squares of rows 1..H (the exit does not count).
inline int innerOpenings(const State& s) {
    int n = 0;
    for (int r = 1; r <= s.mazeHeight; ++r) {
        for (int c = 1; c <= s.mazeWidth; ++c) {
            n += c < s.mazeWidth && openRight(s, c, r);
            n += r < s.mazeHeight && openDown(s, c, r);
        }
    }
    return n;
}

// The squares of rows 1..H that can be reached from (1, 1) through openings.
inline int reachableSquares(const State& s) {
    const int w = s.mazeWidth;
    const int h = s.mazeHeight;
    std::vector<bool> seen(static_cast<std::size_t>((w + 1) * (h + 1)), false);
    const auto at = [&](int c, int r) { return static_cast<std::size_t>(r * (w + 1) + c); };
    std::vector<std::pair<int, int>> todo{{1, 1}};
    seen[at(1, 1)] = true;
    int count = 0;
    while (!todo.empty()) {
        const auto [c, r] = todo.back();
        todo.pop_back();
        ++count;
        const auto visit = [&](int nc, int nr, bool open) {
            if (open && !seen[at(nc, nr)]) {
                seen[at(nc, nr)] = true;
                todo.emplace_back(nc, nr);
            }
        };
        if (c < w) {
            visit(c + 1, r, openRight(s, c, r));
        }
        if (c > 1) {
            visit(c - 1, r, openRight(s, c - 1, r));
        }
        if (r < h) {
            visit(c, r + 1, openDown(s, c, r));
        }
        if (r > 1) {
            visit(c, r - 1, openDown(s, c, r - 1));
        }
    }
    return count;
}

// Whether two squares are joined by an opening.
inline bool joined(const State& s, int c1, int r1, int c2, int r2) {
    if (r1 == r2 && c2 == c1 + 1) {
        return openRight(s, c1, r1);
    }
    if (r1 == r2 && c1 == c2 + 1) {
        return openRight(s, c2, r2);
    }
    if (c1 == c2 && r2 == r1 + 1) {
        return openDown(s, c1, r1);
    }
    if (c1 == c2 && r1 == r2 + 1) {
        return openDown(s, c2, r2);
    }
    return false;
}

// Checks everything a finished maze must satisfy, whatever the random draws were.
inline void expectFinishedMaze(const State& s) {
    const int w = s.mazeWidth;
    const int h = s.mazeHeight;
    SCOPED_TRACE(::testing::Message() << w << " by " << h << " maze");
    ASSERT_EQ(s.visited.lastCol(), w + 1);
    ASSERT_EQ(s.visited.lastRow(), h + 1);
    ASSERT_EQ(s.openings.lastCol(), w + 1);
    ASSERT_EQ(s.openings.lastRow(), h + 1);
    ASSERT_EQ(s.passes.lastCol(), w);
    ASSERT_EQ(s.passes.lastRow(), h + 1);
    ASSERT_EQ(s.trail.size(), static_cast<std::size_t>(w * h + 1));
    EXPECT_EQ(s.visitCount, w * h);
    ASSERT_GE(s.entryCol, 1);
    ASSERT_LE(s.entryCol, w);

    // Every square reached; the border ring never.
    for (int r = 0; r <= h + 1; ++r) {
        for (int c = 0; c <= w + 1; ++c) {
            const bool inside = c >= 1 && c <= w && r >= 1 && r <= h;
            EXPECT_EQ(s.visited(c, r), inside) << "visited(" << c << ", " << r << ")";
            if (!inside) {
                EXPECT_EQ(s.openings(c, r), 0) << "openings(" << c << ", " << r << ")";
            } else {
                EXPECT_GE(s.openings(c, r), 0);
                EXPECT_LE(s.openings(c, r), 3);
            }
        }
    }
    for (int r = 1; r <= h; ++r) {
        EXPECT_LT(s.openings(w, r), 2) << "right border open in row " << r;
    }

    // A perfect maze: a spanning tree of the squares.
    EXPECT_EQ(innerOpenings(s), w * h - 1);
    EXPECT_EQ(reachableSquares(s), w * h);

    // The exit: at most one odd code in the bottom row, and only when it was cut.
    int exitCol = 0;
    int odd = 0;
    for (int c = 1; c <= w; ++c) {
        if (openDown(s, c, h)) {
            ++odd;
            exitCol = c;
        }
    }
    EXPECT_EQ(odd, s.exitMade ? 1 : 0);

    // The trail: squares in the order first reached, then the square below the exit.
    EXPECT_EQ(s.trail[1], squareCode(w, s.entryCol, 1));
    const int last = s.exitMade ? s.trailCount - 1 : w * h;
    if (s.exitMade) {
        ASSERT_GE(s.trailCount, 2);
        ASSERT_LE(s.trailCount, w * h);
        EXPECT_EQ(s.trail[static_cast<std::size_t>(s.trailCount)], squareCode(w, exitCol, h + 1));
        for (std::size_t k = static_cast<std::size_t>(s.trailCount) + 1; k < s.trail.size(); ++k) {
            EXPECT_EQ(s.trail[k], 0) << "trail(" << k << ") written after the exit";
        }
    } else {
        EXPECT_EQ(s.trailCount, w * h + 1);
    }
    // Position in the trail of each square code of rows 1..H, 0 while not in it.
    std::vector<int> position(static_cast<std::size_t>(w * (h + 2)), 0);
    for (int k = 1; k <= last; ++k) {
        const int code = s.trail[static_cast<std::size_t>(k)];
        const int row = codeRow(w, code);
        EXPECT_GE(row, 1) << "trail(" << k << ")";
        EXPECT_LE(row, h) << "trail(" << k << ")";
        if (row < 1 || row > h) {
            continue;
        }
        int& at = position[static_cast<std::size_t>(code)];
        EXPECT_EQ(at, 0) << "trail(" << k << ") repeats trail(" << at << ")";
        at = k;
    }
    // A square is first reached from a neighbour reached before it.
    for (int k = 2; k <= last; ++k) {
        const int code = s.trail[static_cast<std::size_t>(k)];
        const int col = codeCol(w, code);
        const int row = codeRow(w, code);
        bool fromEarlier = false;
        const int around[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& d : around) {
            const int nc = col + d[0];
            const int nr = row + d[1];
            if (nc >= 1 && nc <= w && nr >= 1 && nr <= h && joined(s, col, row, nc, nr)) {
                const int j = position[static_cast<std::size_t>(squareCode(w, nc, nr))];
                fromEarlier = fromEarlier || (j > 0 && j < k);
            }
        }
        EXPECT_TRUE(fromEarlier) << "trail(" << k << ") is not joined to an earlier square";
    }
}

}  // namespace quorrel::testing
