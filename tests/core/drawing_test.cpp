#include "board/drawing.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "board/new_maze.h"
#include "support/doubles.h"
#include "support/maze_checks.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

class FirstDrawing : public ::testing::Test {
  protected:
    Harness h;
};

TEST_F(FirstDrawing, WorkedExampleWallsAndEntrance) {
    h.window.width = "2";
    h.window.height = "2";
    h.random.script = {0.1, 0.75, 0.75};
    Command1_Click(h.form);
    ASSERT_EQ(h.form.originX, 4065);
    ASSERT_EQ(h.form.originY, 1025);
    const std::multiset<Segment> expected = {
        {4440, 1025, 4815, 1025},  // top border beside the entrance gap
        {4065, 1025, 4065, 1400},  // left border, row 1
        {4815, 1025, 4815, 1400},  // right of (2, 1)
        {4440, 1400, 4815, 1400},  // below (2, 1)
        {4065, 1400, 4065, 1775},  // left border, row 2
        {4815, 1400, 4815, 1775},  // right of (2, 2)
        {4440, 1775, 4815, 1775},  // below (2, 2); the exit below (1, 2) stays open
    };
    EXPECT_EQ(segmentsOf(h.surface.ops), expected);
    const DrawOp& last = h.surface.ops.back();
    ASSERT_EQ(last.kind, DrawOp::Box);
    EXPECT_EQ(last.colour, kEntranceGray);
    EXPECT_EQ(std::tie(last.x1, last.y1, last.x2, last.y2),
              std::make_tuple(4440.0F, 1025.0F, 4065.0F, 650.0F));
}

TEST_F(FirstDrawing, DrawsExactlyTheClosedSidesOfManyMazes) {
    h.random.fallback = SeededRandom(4242);
    const char* sizes[][2] = {{"2", "2"},   {"3", "3"},   {"5", "8"},  {"12", "4"},
                              {"20", "20"}, {"30", "20"}, {"50", "50"}};
    for (int round = 0; round < 4; ++round) {
        for (const auto& [w, ht] : sizes) {
            h.surface.ops.clear();
            h.window.width = w;
            h.window.height = ht;
            Command1_Click(h.form);
            const State& f = h.form;
            SCOPED_TRACE(::testing::Message() << w << " by " << ht);
            EXPECT_EQ(segmentsOf(h.surface.ops), wallsOf(f, 1, f.mazeHeight, 1, f.mazeWidth));

            // Only the clear, the font, the walls and the gray box.
            int boxes = 0;
            for (const DrawOp& op : h.surface.ops) {
                EXPECT_NE(op.kind, DrawOp::Text);
                boxes += op.kind == DrawOp::Box;
            }
            EXPECT_EQ(boxes, 1);
            const DrawOp& last = h.surface.ops.back();
            ASSERT_EQ(last.kind, DrawOp::Box);
            EXPECT_EQ(last.colour, kEntranceGray);
            const int s = f.squareSize;
            EXPECT_EQ(last.x1, f.originX + f.entryCol * s);
            EXPECT_EQ(last.y1, f.originY);
            EXPECT_EQ(last.x2, f.originX + (f.entryCol - 1) * s);
            EXPECT_EQ(last.y2, f.originY - s);
        }
    }
}

// The maze as drawn, read back from the lines alone: its borders are whole but for the
// entrance and exit gaps, and its inner walls leave exactly one route between any two squares.
TEST_F(FirstDrawing, TheDrawnMazeIsPerfect) {
    h.random.fallback = SeededRandom(99);
    for (int round = 0; round < 20; ++round) {
        h.surface.ops.clear();
        h.window.width = std::to_string(2 + round * 2);
        h.window.height = std::to_string(2 + round);
        Command1_Click(h.form);
        const State& f = h.form;
        const int w = f.mazeWidth;
        const int ht = f.mazeHeight;
        const Board board = boardOf(f);
        const std::multiset<Segment> drawn = segmentsOf(h.surface.ops);
        const auto wall = [&](const Segment& seg) { return drawn.count(seg) == 1; };

        int topGaps = 0;
        int bottomGaps = 0;
        for (int c = 1; c <= w; ++c) {
            if (!wall(board.top(c, 1))) {
                ++topGaps;
                EXPECT_EQ(c, f.entryCol);
            }
            if (!wall(board.bottom(c, ht))) {
                ++bottomGaps;
                EXPECT_TRUE(f.exitMade);
                EXPECT_EQ(f.trail[static_cast<std::size_t>(f.trailCount)],
                          squareCode(w, c, ht + 1));
            }
        }
        EXPECT_EQ(topGaps, 1);
        EXPECT_EQ(bottomGaps, f.exitMade ? 1 : 0);

        // Squares joined through gaps, counted with a union of sets.
        std::vector<int> parent(static_cast<std::size_t>(w * ht));
        for (std::size_t i = 0; i < parent.size(); ++i) {
            parent[i] = static_cast<int>(i);
        }
        const auto find = [&](int i) {
            while (parent[static_cast<std::size_t>(i)] != i) {
                i = parent[static_cast<std::size_t>(i)];
            }
            return i;
        };
        int gaps = 0;
        bool cycle = false;
        const auto join = [&](int a, int b) {
            ++gaps;
            const int ra = find(a);
            const int rb = find(b);
            cycle = cycle || ra == rb;
            parent[static_cast<std::size_t>(ra)] = rb;
        };
        for (int r = 1; r <= ht; ++r) {
            EXPECT_TRUE(wall(board.left(1, r)));
            EXPECT_TRUE(wall(board.right(w, r)));
            for (int c = 1; c <= w; ++c) {
                const int here = (r - 1) * w + c - 1;
                if (c < w && !wall(board.right(c, r))) {
                    join(here, here + 1);
                }
                if (r < ht && !wall(board.bottom(c, r))) {
                    join(here, here + w);
                }
            }
        }
        EXPECT_EQ(gaps, w * ht - 1);
        EXPECT_FALSE(cycle);
    }
}

// Redraws of parts of a fixed maze.
class Redraw : public ::testing::Test {
  protected:
    void SetUp() override {
        h.random.fallback = SeededRandom(2024);
        h.window.width = "6";
        h.window.height = "5";
        Command1_Click(h.form);
        ASSERT_TRUE(h.window.messages.empty());
        h.surface.ops.clear();
    }
    const State& f() const { return h.form; }

    Harness h;
};

TEST_F(Redraw, WholeMazeDrawsTheSameWallsAsTheFirstDrawing) {
    printmaze(h.form, 1, 5, 1, 6, 0);
    EXPECT_EQ(segmentsOf(h.surface.ops), wallsOf(f(), 1, 5, 1, 6));
    EXPECT_EQ(h.surface.of(DrawOp::Box).size(), 0U);
    EXPECT_EQ(h.surface.of(DrawOp::Clear).size(), 0U);
    // The top edge has one gap, one square wide, above the entrance; the left edge is whole.
    const Board board = boardOf(f());
    const std::multiset<Segment> drawn = segmentsOf(h.surface.ops);
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(drawn.count(board.top(c, 1)), c == f().entryCol ? 0U : 1U);
    }
    for (int r = 1; r <= 5; ++r) {
        EXPECT_EQ(drawn.count(board.left(1, r)), 1U);
    }
}

TEST_F(Redraw, WindowAwayFromTheEdgesHasNoTopOrLeftLine) {
    printmaze(h.form, 2, 4, 3, 5, 0);
    const std::multiset<Segment> drawn = segmentsOf(h.surface.ops);
    EXPECT_EQ(drawn, wallsOf(f(), 2, 4, 3, 5));
    const Board board = boardOf(f());
    for (const Segment& seg : drawn) {
        const auto [x1, y1, x2, y2] = seg;
        EXPECT_GT(y1 + y2, 2 * (f().originY + f().squareSize)) << "line along the top of row 2";
        EXPECT_GT(x1 + x2, 2 * (f().originX + 2 * f().squareSize))
            << "line along the left of column 3";
    }
    EXPECT_EQ(drawn.count(board.top(3, 2)), 0U);
    EXPECT_EQ(drawn.count(board.left(3, 2)), 0U);
}

TEST_F(Redraw, TopEdgeOnlyFromTheFirstRowLeftEdgeOnlyFromTheFirstColumn) {
    printmaze(h.form, 1, 2, 2, 4, 0);
    EXPECT_EQ(segmentsOf(h.surface.ops), wallsOf(f(), 1, 2, 2, 4));
    const Board board = boardOf(f());
    for (int c = 2; c <= 4; ++c) {
        EXPECT_EQ(segmentsOf(h.surface.ops).count(board.top(c, 1)), c == f().entryCol ? 0U : 1U);
    }
    EXPECT_EQ(segmentsOf(h.surface.ops).count(board.left(1, 1)), 0U);

    h.surface.ops.clear();
    printmaze(h.form, 3, 5, 1, 2, 0);
    EXPECT_EQ(segmentsOf(h.surface.ops), wallsOf(f(), 3, 5, 1, 2));
    for (int r = 3; r <= 5; ++r) {
        EXPECT_EQ(segmentsOf(h.surface.ops).count(board.left(1, r)), 1U);
    }
}

TEST_F(Redraw, EmptyColumnRangeDrawsNothing) {
    printmaze(h.form, 1, 5, 4, 3, -1);
    printmaze(h.form, 2, 3, 6, 2, 0);
    EXPECT_TRUE(h.surface.ops.empty());
}

TEST_F(Redraw, EmptyRowRangeDrawsOnlyTheTopEdgeFromTheFirstRow) {
    printmaze(h.form, 1, 0, 1, 6, 0);
    const Board board = boardOf(f());
    std::multiset<Segment> expected;
    for (int c = 1; c <= 6; ++c) {
        if (c != f().entryCol) {
            expected.insert(board.top(c, 1));
        }
    }
    EXPECT_EQ(segmentsOf(h.surface.ops), expected);
    EXPECT_EQ(h.surface.ops.size(), 5U);

    h.surface.ops.clear();
    printmaze(h.form, 3, 2, 1, 6, -1);
    EXPECT_TRUE(h.surface.ops.empty());
}

TEST_F(Redraw, WallsOnlyLeavesPassedSquaresAlone) {
    h.form.passes(2, 2) = 3;
    h.form.passes(5, 4) = 1;
    printmaze(h.form, 1, 5, 1, 6, 0);
    for (const DrawOp& op : h.surface.ops) {
        EXPECT_EQ(op.kind, DrawOp::Line);
    }
}

TEST_F(Redraw, PassedSquaresArePaintedGreenWithTheirCountCentred) {
    h.form.passes(2, 2) = 12;
    h.form.passes(5, 4) = 1;
    h.form.passes(1, 1) = 2;  // outside the range drawn below
    h.form.passes(6, 5) = 0;
    printmaze(h.form, 2, 5, 2, 6, 5);
    const int s = f().squareSize;
    const int in = f().inset;
    const int x0 = f().originX;
    const int y0 = f().originY;

    // The walls come first, then the squares in reading order.
    std::size_t firstNonLine = 0;
    while (firstNonLine < h.surface.ops.size() &&
           h.surface.ops[firstNonLine].kind == DrawOp::Line) {
        ++firstNonLine;
    }
    EXPECT_EQ(segmentsOf(h.surface.ops), wallsOf(f(), 2, 5, 2, 6));
    ASSERT_EQ(h.surface.ops.size() - firstNonLine, 4U);
    const DrawOp* painted = &h.surface.ops[firstNonLine];

    const auto expectSquare = [&](const DrawOp* ops, int c, int r, const std::string& label) {
        const float cx = static_cast<float>(c * s + x0);
        const float cy = static_cast<float>(r * s + y0);
        EXPECT_EQ(ops[0].kind, DrawOp::Box);
        EXPECT_EQ(ops[0].colour, kTrailGreen);
        EXPECT_EQ(ops[0].x1, cx - in);
        EXPECT_EQ(ops[0].y1, cy - in);
        EXPECT_EQ(ops[0].x2, cx - s + in);
        EXPECT_EQ(ops[0].y2, cy - s + in);
        EXPECT_EQ(ops[1].kind, DrawOp::Text);
        EXPECT_EQ(ops[1].text, label);
        // The recording board measures 60 twips per character by 180.
        EXPECT_FLOAT_EQ(ops[1].x1, cx - s / 2.0F - 30.0F * static_cast<float>(label.size()));
        EXPECT_FLOAT_EQ(ops[1].y1, cy - s / 2.0F - 90.0F);
    };
    expectSquare(painted, 2, 2, "12");
    expectSquare(painted + 2, 5, 4, "1");
}

TEST_F(Redraw, AnyNonZeroFlagPaints) {
    h.form.passes(3, 3) = 4;
    printmaze(h.form, 1, 5, 1, 6, -1);
    EXPECT_EQ(h.surface.of(DrawOp::Box).size(), 1U);
    EXPECT_EQ(h.surface.of(DrawOp::Text).size(), 1U);
    EXPECT_EQ(h.surface.of(DrawOp::Text)[0].text, "4");
}

}  // namespace
}  // namespace quorrel::testing
