#include "solve/solve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "board/new_maze.h"
#include "gen/generator.h"
#include "play/play.h"
#include "support/play_helpers.h"
#include "support/try_again.h"

namespace quorrel::testing {
namespace {

// ---- ptest --------------------------------------------------------------------------------

// A hand-made 3 by 3 set of codes in which every open side can be told from the wrong one:
//
//   (1,1)=1  (2,1)=2  (3,1)=0
//   (1,2)=2  (2,2)=1  (3,2)=1
//   (1,3)=0  (2,3)=3  (3,3)=0
// For each side ptest reads, the pairs (a, b, s, t) for which the path may go on from (s, t)
// to (a, b), and those for which it may not.
struct Side {
    const char* reads;
    std::vector<std::array<Int, 4>> open, closed;
};

const Side kSides[] = {
    // The current square's right side: (2,1)=2, (1,2)=2, (2,3)=3; not (1,1)=1, open below
    // only, nor (2,2)=1.
    {"to the right", {{3, 1, 2, 1}, {2, 2, 1, 2}, {3, 3, 2, 3}}, {{2, 1, 1, 1}, {3, 2, 2, 2}}},
    // The candidate's right side: (2,1)=2 although (3,1)=0, (1,2)=2 although (2,2)=1; not
    // (1,1)=1 although (2,1)=2, nor (1,3)=0 although (2,3)=3.
    {"to the left", {{2, 1, 3, 1}, {1, 2, 2, 2}}, {{1, 1, 2, 1}, {1, 3, 2, 3}}},
    // The current square's bottom side: (1,1)=1, (2,2)=1, (2,3)=3 out below the bottom row; not
    // (2,1)=2, (1,2)=2, nor (1,3)=0 out below.
    {"below",
     {{1, 2, 1, 1}, {2, 3, 2, 2}, {2, 4, 2, 3}},
     {{2, 2, 2, 1}, {1, 3, 1, 2}, {1, 4, 1, 3}}},
    // The candidate's bottom side: (1,1)=1 although (1,2)=2, (3,2)=1 although (3,3)=0, back up
    // from below the exit; not (2,1)=2 although (2,2)=1, nor (1,2)=2.
    {"above", {{1, 1, 1, 2}, {3, 2, 3, 3}, {2, 3, 2, 4}}, {{2, 1, 2, 2}, {1, 2, 1, 3}}},
    // Diagonal, the same square, two apart across an open side, two apart up and down, and
    // diagonal across open sides.
    {"no neighbours", {}, {{2, 2, 1, 1}, {1, 1, 1, 1}, {3, 2, 1, 2}, {1, 3, 1, 1}, {3, 3, 2, 2}}},
};

class Ptest : public ::testing::TestWithParam<Side> {};

TEST_P(Ptest, ReadsTheSideBetweenTwoNeighbours) {
    PlayHarness h;
    Mazeform& f = h.form;
    f.mazeWidth = 3;
    f.mazeHeight = 3;
    f.openings = Grid<Int>(4, 4);
    const int codes[3][3] = {{1, 2, 0}, {2, 1, 1}, {0, 3, 0}};
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 3; ++c) {
            f.openings(c, r) = static_cast<Int>(codes[r - 1][c - 1]);
        }
    }
    for (const bool open : {true, false}) {
        for (const auto& [a, b, s, t] : open ? GetParam().open : GetParam().closed) {
            EXPECT_EQ(ptest(f, a, b, s, t), open)
                << "(" << a << "," << b << ") from (" << s << "," << t << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sides, Ptest, ::testing::ValuesIn(kSides),
                         [](const ::testing::TestParamInfo<Side>& p) {
                             return caseName(p.param.reads);
                         });

// ---- Doing nothing ------------------------------------------------------------------------

TEST(Solve, DoesNothingBeforeTheFirstMaze) {
    PlayHarness h;
    h.window.moves = "4";
    h.window.extra = "1";
    h.form.solutionPath = {7, 7, 7};
    cheat_Click(h.form);
    EXPECT_TRUE(h.surface.ops.empty());
    EXPECT_EQ(h.window.moves, "4");
    EXPECT_EQ(h.window.extra, "1");
    EXPECT_EQ(h.form.solutionPath, std::vector<Int>{0});  // re-created all the same
}

TEST(Solve, DoesNothingOnAMazeWithoutAnExit) {
    for (Int radius : {0, 2}) {
        PlayHarness h;
        Mazeform& f = h.form;
        buildWorkedMaze(h, kNoExitDraws);
        ASSERT_FALSE(f.exitMade);
        f.visibility = radius;
        h.window.moves = "4";
        h.window.extra = "1";
        const std::size_t ops = h.surface.ops.size();
        const Int curX = f.curX;
        const Int curY = f.curY;
        cheat_Click(f);
        EXPECT_EQ(h.surface.ops.size(), ops);
        EXPECT_EQ(h.window.moves, "4");
        EXPECT_EQ(h.window.extra, "1");
        EXPECT_EQ(f.curX, curX);
        EXPECT_EQ(f.curY, curY);
        EXPECT_EQ(f.solutionPath, std::vector<Int>(5, 0));
    }
}

// ---- The path -----------------------------------------------------------------------------

// The path Solve found, from the first square of row 1 to the square below the exit.
std::vector<Square> solvedPath(const State& f) {
    std::vector<Square> out;
    for (int n = f.solutionLength; n >= 1; --n) {
        const int code = f.solutionPath.at(static_cast<std::size_t>(n));
        out.push_back({code % f.mazeWidth + 1, code / f.mazeWidth});
    }
    return out;
}

TEST(Solve, FindsTheOnlyRouteOnMazesOfEverySize) {
    int solved = 0;
    int withoutExit = 0;
    std::ostringstream failures;
    int failureCount = 0;
    for (int w = 2; w <= 50; ++w) {
        for (int ht = 2; ht <= 50; ++ht) {
            PlayHarness h;
            const auto seed = static_cast<std::uint64_t>(1000 * w + ht);
            buildSeededMaze(h, w, ht, seed);
            const Mazeform& f = h.form;
            if (f.mazeWidth != w || f.mazeHeight != ht) {
                ADD_FAILURE() << "no maze of " << w << " by " << ht;
                continue;
            }
            if (!f.exitMade) {
                ++withoutExit;
                continue;
            }
            const std::vector<Square> expected = routeToExit(f);
            cheat_Click(h.form);
            const std::vector<Square> found = solvedPath(f);
            const Point exitCorner = cornerOf(f, exitSquare(f));
            const bool ok = !expected.empty() && found == expected && f.solutionLength >= ht + 1 &&
                            h.window.moves == std::to_string(f.solutionLength) &&
                            f.solutionPath.size() == static_cast<std::size_t>(w * ht + 1) &&
                            f.curX == static_cast<Int>(exitCorner.x) &&
                            f.curY == static_cast<Int>(exitCorner.y);
            if (!ok && ++failureCount <= 5) {
                failures << w << "x" << ht << " seed " << seed << ": route " << expected.size()
                         << " squares, Solve " << found.size() << "; ";
            }
            ++solved;
        }
    }
    RecordProperty("solved", solved);
    RecordProperty("without_exit", withoutExit);
    EXPECT_EQ(failureCount, 0) << failures.str();
    EXPECT_EQ(solved + withoutExit, 49 * 49);
    EXPECT_GT(solved, 49 * 49 - 100);
}

// A path longer than 52 squares on a seeded maze: the letters go a..z, A..Z and start again.
TEST(Solve, LettersThePathInWalkingOrder) {
    PlayHarness h;
    buildSeededMazeWhere(
        h, 30, 25, 1, [](const State& f) { return f.exitMade && routeToExit(f).size() > 60; }, 99);
    const std::vector<Square> way = h.form.exitMade ? routeToExit(h.form) : std::vector<Square>{};
    ASSERT_GT(way.size(), 60U);
    const Mazeform& f = h.form;
    h.window.extra = "kept";
    const std::size_t before = h.surface.ops.size();
    cheat_Click(h.form);
    const std::vector<DrawOp> ops = opsSince(h.surface, before);
    ASSERT_EQ(ops.size(), 2 * way.size());

    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const auto s = static_cast<float>(f.squareSize);
    const auto in = static_cast<float>(f.inset);
    for (std::size_t n = 1; n <= way.size(); ++n) {
        const DrawOp& box = ops[2 * (n - 1)];
        const DrawOp& text = ops[2 * (n - 1) + 1];
        const Point corner = cornerOf(f, way[n - 1]);
        ASSERT_EQ(box.kind, DrawOp::Box) << n;
        EXPECT_EQ(box.colour, kPlayerBlue) << n;
        EXPECT_FLOAT_EQ(box.x1, corner.x - in) << n;
        EXPECT_FLOAT_EQ(box.y1, corner.y - in) << n;
        EXPECT_FLOAT_EQ(box.x2, corner.x - s + in) << n;
        EXPECT_FLOAT_EQ(box.y2, corner.y - s + in) << n;
        ASSERT_EQ(text.kind, DrawOp::Text) << n;
        EXPECT_EQ(text.text, std::string(1, letters[(n - 1) % 52])) << n;
        EXPECT_FLOAT_EQ(text.x1, corner.x - s / 2 - 30) << n;
        EXPECT_FLOAT_EQ(text.y1, corner.y - s / 2 - 90) << n;
    }
    EXPECT_EQ(ops[1].text, "a");
    EXPECT_EQ(ops[2 * 25 + 1].text, "z");
    EXPECT_EQ(ops[2 * 26 + 1].text, "A");
    EXPECT_EQ(ops[2 * 51 + 1].text, "Z");
    EXPECT_EQ(ops[2 * 52 + 1].text, "a");
    // The first lettered square lies just below the entrance; the entrance gets no letter; the
    // last one is the square below the exit.
    EXPECT_EQ(way.front(), firstSquare(f));
    EXPECT_EQ(way.back(), exitSquare(f));
    const Point entrance = cornerOf(f, entranceSquare(f));
    for (const DrawOp& op : ops) {
        EXPECT_FALSE(op.kind == DrawOp::Box && op.x1 == entrance.x - in &&
                     op.y1 == entrance.y - in);
    }
    EXPECT_EQ(h.window.moves, std::to_string(way.size()));
    EXPECT_EQ(h.window.extra, "kept");  // the player was not on the exit square
}

TEST(Solve, PathLettersRepeatEveryFiftyTwoSquares) {
    const std::string letters = "azADZaAZa";
    const int steps[] = {1, 26, 27, 30, 52, 53, 79, 104, 105};
    for (std::size_t i = 0; i < letters.size(); ++i) {
        EXPECT_EQ(pathLetter(steps[i]), letters[i]) << steps[i];
    }
}

TEST(Solve, TheWorkedExamplesPathIsThreeSquaresDown) {
    PlayHarness h;
    buildWorkedMaze(h);
    cheat_Click(h.form);
    EXPECT_EQ(h.form.solutionLength, 3);
    EXPECT_EQ(h.form.solutionPath, (std::vector<Int>{0, 6, 4, 2, 0}));
    EXPECT_EQ(h.window.moves, "3");
    EXPECT_EQ(h.form.curX, 4065);
    EXPECT_EQ(h.form.curY, 2150);
}

// ---- The Extra box ------------------------------------------------------------------------

TEST(Solve, OnTheExitSquareTheExtraBoxShowsTheMovesBeyondThePath) {
    for (int depth : {0, 1, 2, 3}) {
        PlayHarness h;
        buildSeededMaze(h, 12, 12, 77);
        ASSERT_TRUE(h.form.exitMade);
        const std::vector<Square> walk =
            depth == 0 ? routeToExit(h.form) : wayWithDetour(h.form, depth);
        const int walked = static_cast<int>(walk.size() - routeToExit(h.form).size()) / 2;
        ASSERT_GE(walked, depth == 0 ? 0 : 1);
        pressOn(h, entranceSquare(h.form));
        dragAlong(h, walk);
        ASSERT_EQ(playerSquare(h.form), exitSquare(h.form));
        const Int extraMoves = h.form.extraMoves;
        EXPECT_EQ(extraMoves, 2 * walked);
        h.window.extra = "kept";
        cheat_Click(h.form);
        EXPECT_EQ(h.window.extra, std::to_string(2 * walked)) << "depth " << depth;
        EXPECT_EQ(h.window.moves, std::to_string(h.form.solutionLength));
        EXPECT_EQ(h.form.extraMoves, extraMoves);
        EXPECT_EQ(h.form.moveCount, h.form.solutionLength + 2 * walked);
    }
}

TEST(Solve, AnywhereElseTheExtraBoxIsLeftAlone) {
    PlayHarness h;
    buildSeededMaze(h, 12, 12, 77);
    const std::vector<Square> way = routeToExit(h.form);
    walkFromEntranceTo(h, way[way.size() - 2]);  // the bottom square of the exit column
    release(h);
    h.window.extra = "kept";
    const GameState walked = gameState(h);
    cheat_Click(h.form);
    EXPECT_EQ(h.window.extra, "kept");
    EXPECT_EQ(h.window.moves, std::to_string(way.size()));
    // Solve leaves the game alone apart from the player's corner, which ends on the exit.
    GameState after = gameState(h);
    after.curX = walked.curX;
    after.curY = walked.curY;
    after.moves = walked.moves;  // the path's length, checked above
    EXPECT_EQ(after, walked);
    const Point exitCorner = cornerOf(h.form, exitSquare(h.form));
    EXPECT_EQ(h.form.curX, static_cast<Int>(exitCorner.x));
    EXPECT_EQ(h.form.curY, static_cast<Int>(exitCorner.y));
}

TEST(Solve, TwiceGivesTheSameDrawingAndTheSecondFillsTheExtraBox) {
    PlayHarness h;
    buildSeededMaze(h, 14, 9, 5);
    ASSERT_TRUE(h.form.exitMade);
    h.window.extra = "kept";
    std::size_t before = h.surface.ops.size();
    cheat_Click(h.form);
    const std::vector<DrawOp> first = opsSince(h.surface, before);
    const std::string moves = h.window.moves;
    EXPECT_EQ(h.window.extra, "kept");

    before = h.surface.ops.size();
    cheat_Click(h.form);
    EXPECT_TRUE(opsSince(h.surface, before) == first);
    EXPECT_EQ(h.window.moves, moves);
    // No move has been made: 0 less the path's length.
    EXPECT_EQ(h.window.extra, "-" + moves);
}

// ---- The player after Solve ---------------------------------------------------------------

TEST(Solve, AfterSolveAPressIsAcceptedOnlyOnTheExitSquare) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(pressIntoSeededWay(h, 10, 10, 8, 3, way));
    dragAlong(h, {way[0], way[1]});
    release(h);
    cheat_Click(h.form);

    pressOn(h, way[1]);  // where the player stood
    EXPECT_FALSE(h.form.tracking);
    pressOn(h, entranceSquare(h.form));
    EXPECT_FALSE(h.form.tracking);
    pressOn(h, exitSquare(h.form));
    EXPECT_TRUE(h.form.tracking);
    EXPECT_TRUE(h.window.messages.empty());
    const Point c = centreOf(h.form, exitSquare(h.form));
    Form_MouseMove(h.form, kLeftButton, 0, c.x + 5, c.y + 5);  // no step: the finish
    EXPECT_FALSE(h.form.tracking);
    EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"});
}

TEST(Solve, WhileTheButtonIsHeldTheNextMovementMeetsTheFinish) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(pressIntoSeededWay(h, 10, 10, 8, 3, way));
    dragAlong(h, {way[0], way[1], way[2]});
    dragAlong(h, {way[1]});  // back: a repeated pass
    ASSERT_TRUE(h.form.tracking);
    ASSERT_EQ(h.form.extraMoves, 2);
    cheat_Click(h.form);
    const Point c = centreOf(h.form, exitSquare(h.form));
    Form_MouseMove(h.form, kLeftButton, 0, c.x, c.y);
    EXPECT_FALSE(h.form.tracking);
    ASSERT_EQ(h.window.questions.size(), 1U);
    EXPECT_EQ(h.window.questions[0], resultMessage(h.form.moveCount, 2));
    EXPECT_EQ(h.window.questions[0], tryAgain(2, "50.00"));
}

TEST(Solve, TheMovesBoxShowsTheMoveCountAgainAtTheNextStep) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(pressIntoSeededWay(h, 10, 10, 8, 3, way));
    dragAlong(h, {way[0], way[1]});
    cheat_Click(h.form);
    ASSERT_EQ(h.window.moves, std::to_string(way.size()));
    retry_Click(h.form);
    pressOn(h, entranceSquare(h.form));
    moveToward(h, way[0]);
    EXPECT_EQ(h.window.moves, "1");
}

// ---- Visibility ---------------------------------------------------------------------------

TEST(Solve, UnderRestrictedVisibilityDrawsEveryWallFirstWithoutClearing) {
    PlayHarness h;
    buildSeededMaze(h, 11, 9, 4);
    ASSERT_TRUE(h.form.exitMade);
    chooseRadius(h.form, 1);
    const std::vector<Square> way = routeToExit(h.form);
    pressOn(h, entranceSquare(h.form));
    dragAlong(h, {way[0], way[1]});
    const std::size_t before = h.surface.ops.size();
    cheat_Click(h.form);
    const std::vector<DrawOp> ops = opsSince(h.surface, before);
    const std::size_t lines = h.mazeLines.size();
    ASSERT_EQ(ops.size(), lines + 2 * way.size());
    const std::vector<DrawOp> walls(ops.begin(), ops.begin() + static_cast<std::ptrdiff_t>(lines));
    EXPECT_EQ(onlyKind(walls, DrawOp::Line).size(), lines);
    EXPECT_EQ(segmentsOf(walls), segmentsOf(h.mazeLines));
    EXPECT_TRUE(onlyKind(ops, DrawOp::Clear).empty());
    EXPECT_EQ(onlyKind(ops, DrawOp::Box).size(), way.size());
}

TEST(Solve, UnderFullVisibilityDrawsOnlyThePath) {
    PlayHarness h;
    buildSeededMaze(h, 11, 9, 4);
    const std::vector<Square> way = routeToExit(h.form);
    const std::size_t before = h.surface.ops.size();
    cheat_Click(h.form);
    const std::vector<DrawOp> ops = opsSince(h.surface, before);
    EXPECT_EQ(ops.size(), 2 * way.size());
    EXPECT_TRUE(onlyKind(ops, DrawOp::Line).empty());
}

// ---- After a refused NEW MAZE -------------------------------------------------------------

TEST(Solve, AfterARefusedNewMazeLettersThePreviousMazeWithItsOwnSize) {
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"60", "10"}, {"30", "0"}, {"1", "40"}, {"45", "abc"}};
    for (const auto& [width, height] : refused) {
        PlayHarness h;
        buildSeededMaze(h, 10, 10, 12);
        ASSERT_TRUE(h.form.exitMade);
        const std::vector<Square> way = routeToExit(h.form);
        const Int size = h.form.squareSize;
        const Int originX = h.form.originX;
        h.window.width = width;
        h.window.height = height;
        Command1_Click(h.form);
        ASSERT_EQ(h.window.messages.back(), sizeMessage());
        ASSERT_EQ(h.form.mazeWidth, 10);
        ASSERT_EQ(h.form.mazeHeight, 10);

        const std::size_t before = h.surface.ops.size();
        cheat_Click(h.form);
        EXPECT_EQ(h.form.solutionPath.size(), 101U) << width << "x" << height;
        EXPECT_EQ(solvedPath(h.form), way) << width << "x" << height;
        const std::vector<DrawOp> boxes = onlyKind(opsSince(h.surface, before), DrawOp::Box);
        ASSERT_EQ(boxes.size(), way.size());
        for (std::size_t n = 0; n < way.size(); ++n) {
            EXPECT_FLOAT_EQ(boxes[n].x1,
                            static_cast<float>(originX + way[n].col * size - h.form.inset));
        }
        EXPECT_EQ(h.window.moves, std::to_string(way.size()));

        // Retry and play go on with the previous maze's size too.
        const std::size_t beforeRetry = h.surface.ops.size();
        retry_Click(h.form);
        EXPECT_EQ(opsSince(h.surface, beforeRetry).size(), 10U * 12U + 1U);
        pressOn(h, entranceSquare(h.form));
        dragAlong(h, way);
        EXPECT_EQ(h.window.messages.back(), "Perfect!");
    }
}

}  // namespace
}  // namespace quorrel::testing
