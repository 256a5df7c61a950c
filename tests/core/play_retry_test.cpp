#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "board/new_maze.h"
#include "gen/generator.h"
#include "play/play.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

// The 2 by 2 maze from the draws 0.1, 0.1, 0.1: the walk fills every square before it can cut
// an exit, so the maze has none.
void buildMazeWithoutExit(PlayHarness& h) {
    buildWorkedMaze(h, kNoExitDraws);
}

// Walks out of a seeded maze with a detour into a side branch; the result answered No.
void walkOutAnsweredNo(PlayHarness& h) {
    pressOn(h, entranceSquare(h.form));
    dragAlong(h, wayWithDetour(h.form, 1));
    ASSERT_EQ(h.window.questions.size(), 1U);
}

TEST(Retry, DoesNothingBeforeTheFirstMaze) {
    PlayHarness h;
    h.form.moveCount = 3;
    h.window.moves = "3";
    h.window.extra = "1";
    h.form.visibility = 2;
    retry_Click(h.form);
    EXPECT_TRUE(h.surface.ops.empty());
    EXPECT_EQ(h.form.moveCount, 3);
    EXPECT_EQ(h.window.moves, "3");
    EXPECT_EQ(h.window.extra, "1");
    EXPECT_TRUE(h.window.messages.empty());
    EXPECT_TRUE(h.window.questions.empty());
}

TEST(Retry, DoesNothingOnAMazeWithoutAnExit) {
    for (Int radius : {0, 1}) {
        PlayHarness h;
        buildMazeWithoutExit(h);
        ASSERT_FALSE(h.form.exitMade);
        ASSERT_EQ(exitColumn(h.form), 0);
        h.form.visibility = radius;
        pressOn(h, entranceSquare(h.form));
        moveToward(h, {1, 1});
        moveToward(h, {2, 1});
        moveToward(h, {2, 2});
        ASSERT_EQ(h.form.moveCount, 3);
        const GameState walked = gameState(h);
        const std::size_t ops = h.surface.ops.size();
        retry_Click(h.form);
        EXPECT_EQ(gameState(h), walked);
        EXPECT_EQ(h.surface.ops.size(), ops);
        EXPECT_TRUE(h.window.messages.empty());
    }
}

TEST(Retry, ClearsTheCountersTheBoxesAndEveryPassCount) {
    PlayHarness h;
    buildSeededMaze(h, 8, 6, 21);
    ASSERT_TRUE(h.form.exitMade);
    walkOutAnsweredNo(h);
    Mazeform& f = h.form;
    ASSERT_GT(f.passes(f.entryCol, 0), 0);
    ASSERT_GT(f.passes(exitColumn(f), f.mazeHeight + 1), 0);
    // Counts in every column and row a walk could have reached, the rows outside included.
    for (int c = 1; c <= f.mazeWidth; ++c) {
        for (int r = 0; r <= f.mazeHeight + 1; ++r) {
            f.passes(c, r) = static_cast<Int>(c + r + 1);
        }
    }
    const std::size_t before = h.surface.ops.size();
    retry_Click(f);
    EXPECT_EQ(f.moveCount, 0);
    EXPECT_EQ(f.extraMoves, 0);
    EXPECT_EQ(h.window.moves, "");
    EXPECT_EQ(h.window.extra, "");
    for (int c = 1; c <= f.mazeWidth; ++c) {
        for (int r = 0; r <= f.mazeHeight + 1; ++r) {
            EXPECT_EQ(f.passes(c, r), 0) << c << "," << r;
        }
    }

    // Full visibility: one background box inside every square of those rows, column by
    // column, then the white entrance.
    const std::vector<DrawOp> ops = opsSince(h.surface, before);
    const int w = f.mazeWidth;
    const int rows = f.mazeHeight + 2;
    ASSERT_EQ(ops.size(), static_cast<std::size_t>(w * rows + 1));
    std::size_t i = 0;
    for (int c = 1; c <= w; ++c) {
        for (int r = 0; r < rows; ++r, ++i) {
            const Point corner = cornerOf(f, {c, r});
            const auto in = static_cast<float>(f.inset);
            const auto s = static_cast<float>(f.squareSize);
            EXPECT_EQ(ops[i].kind, DrawOp::Box);
            EXPECT_EQ(ops[i].colour, h.surface.background);
            EXPECT_FLOAT_EQ(ops[i].x1, corner.x - in);
            EXPECT_FLOAT_EQ(ops[i].y1, corner.y - in);
            EXPECT_FLOAT_EQ(ops[i].x2, corner.x - s + in);
            EXPECT_FLOAT_EQ(ops[i].y2, corner.y - s + in);
        }
    }
}

TEST(Retry, PaintsTheWholeEntranceSquareWhite) {
    PlayHarness h;
    buildSeededMaze(h, 8, 6, 21);
    walkOutAnsweredNo(h);
    retry_Click(h.form);
    const DrawOp& last = h.surface.ops.back();
    const Mazeform& f = h.form;
    const Point corner = cornerOf(f, entranceSquare(f));
    EXPECT_EQ(last.kind, DrawOp::Box);
    EXPECT_EQ(last.colour, kWhite);
    EXPECT_FLOAT_EQ(last.x1, corner.x);
    EXPECT_FLOAT_EQ(last.y1, corner.y);
    EXPECT_FLOAT_EQ(last.x2, corner.x - static_cast<float>(f.squareSize));
    EXPECT_FLOAT_EQ(last.y2, corner.y - static_cast<float>(f.squareSize));
}

TEST(Retry, PutsThePlayerBackOnTheEntrance) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(pressIntoSeededWay(h, 8, 6, 21, 4, way));
    dragAlong(h, {way[0], way[1], way[2]});
    release(h);
    const Square stoodOn = way[2];
    retry_Click(h.form);
    EXPECT_EQ(h.form.curX, h.form.entryX);
    EXPECT_EQ(h.form.curY, h.form.entryY);
    EXPECT_EQ(playerSquare(h.form), entranceSquare(h.form));

    const std::size_t before = h.surface.ops.size();
    pressOn(h, stoodOn);
    moveToward(h, way[3]);
    EXPECT_FALSE(h.form.tracking);
    EXPECT_EQ(h.surface.ops.size(), before);
    EXPECT_EQ(h.form.moveCount, 0);

    pressOn(h, entranceSquare(h.form));
    EXPECT_TRUE(h.form.tracking);
    EXPECT_EQ(h.form.moveCount, 0);
    EXPECT_EQ(h.window.moves, "0");
    EXPECT_EQ(h.window.extra, "");
    EXPECT_EQ(h.form.passes(h.form.entryCol, 0), 1);
    moveToward(h, way[0]);
    EXPECT_EQ(h.window.moves, "1");
    EXPECT_EQ(h.form.extraMoves, 0);
    EXPECT_EQ(h.form.passes(way[0].col, way[0].row), 1);
}

TEST(Retry, LeavesTheVisibilityAlone) {
    PlayHarness h;
    buildSeededMaze(h, 8, 6, 21);
    chooseRadius(h.form, 2);
    pressOn(h, entranceSquare(h.form));
    moveToward(h, firstSquare(h.form));
    retry_Click(h.form);
    EXPECT_EQ(h.form.visibility, 2);
    EXPECT_EQ(h.form.lastVisibility, 2);
}

// Retry from the keyboard and a refused NEW MAZE (whose message box takes the button's
// release) can both come while the left button is held mid-walk. Moving the mouse afterwards
// must not walk on from the old square's walls, starting at the entrance's corner: nothing
// happens until a new press on the entrance.
TEST(HeldButton, RetryOrARefusedNewMazeEndsPlay) {
    const std::vector<std::pair<const char*, void (*)(PlayHarness&)>> interruptions = {
        {"Retry", [](PlayHarness& h) { retry_Click(h.form); }},
        {"refused NEW MAZE",
         [](PlayHarness& h) {
             h.window.width = "1";
             Command1_Click(h.form);
         }},
    };
    for (const auto& [name, interrupt] : interruptions) {
        PlayHarness h;
        std::vector<Square> way;
        ASSERT_NO_FATAL_FAILURE(pressIntoSeededWay(h, 8, 6, 21, 6, way));
        dragAlong(h, {way[0], way[1], way[2], way[3], way[4]});
        ASSERT_TRUE(h.form.tracking);
        interrupt(h);
        EXPECT_FALSE(h.form.tracking) << name;
        EXPECT_EQ(playerSquare(h.form), entranceSquare(h.form)) << name;

        const std::size_t before = h.surface.ops.size();
        for (const Square& s : {way[5], way[4], way[0]}) {
            moveToward(h, s);
        }
        EXPECT_EQ(h.surface.ops.size(), before) << name;
        EXPECT_EQ(h.form.moveCount, 0) << name;
        EXPECT_EQ(h.window.moves, "") << name;

        pressOn(h, entranceSquare(h.form));
        dragAlong(h, way);
        EXPECT_EQ(h.form.moveCount, static_cast<Int>(way.size())) << name;
        EXPECT_EQ(h.window.messages.back(), "Perfect!") << name;
    }
}

TEST(Retry, TwiceIsTheSameAsOnce) {
    for (Int radius : {0, 4}) {
        PlayHarness once, twice;
        for (PlayHarness* h : {&once, &twice}) {
            buildSeededMaze(*h, 9, 7, 33);
            h->form.visibility = radius;
            walkOutAnsweredNo(*h);
        }
        const std::size_t onceStart = once.surface.ops.size();
        retry_Click(once.form);
        retry_Click(twice.form);
        const std::size_t secondStart = twice.surface.ops.size();
        retry_Click(twice.form);
        EXPECT_EQ(gameState(once), gameState(twice)) << "radius " << radius;
        // The second run paints exactly what the first did, so the board ends up the same.
        EXPECT_TRUE(opsSince(twice.surface, secondStart) == opsSince(once.surface, onceStart))
            << "radius " << radius;
    }
}

TEST(Retry, UnderRestrictedVisibilityDrawsTheWholeMazeFirst) {
    PlayHarness h;
    buildSeededMaze(h, 9, 7, 33);
    chooseRadius(h.form, 4);
    const std::vector<Square> way = routeToExit(h.form);
    pressOn(h, entranceSquare(h.form));
    dragAlong(h, {way[0], way[1], way[2]});
    const std::size_t before = h.surface.ops.size();
    retry_Click(h.form);
    const std::vector<DrawOp> ops = opsSince(h.surface, before);
    const std::size_t lines = h.mazeLines.size();
    ASSERT_GT(ops.size(), lines);
    const std::vector<DrawOp> walls(ops.begin(), ops.begin() + static_cast<std::ptrdiff_t>(lines));
    EXPECT_EQ(segmentsOf(walls), segmentsOf(h.mazeLines));
    EXPECT_EQ(onlyKind(walls, DrawOp::Line).size(), lines);
    for (const DrawOp& op : ops) {
        EXPECT_NE(op.kind, DrawOp::Clear);
    }
    const std::size_t boxes = onlyKind(ops, DrawOp::Box).size();
    EXPECT_EQ(boxes, ops.size() - lines);

    // The whole maze stays in view until the first step of the new game.
    const std::size_t afterRetry = h.surface.ops.size();
    pressOn(h, entranceSquare(h.form));
    EXPECT_EQ(onlyKind(opsSince(h.surface, afterRetry), DrawOp::Clear).size(), 0U);
    moveToward(h, way[0]);
    EXPECT_EQ(onlyKind(opsSince(h.surface, afterRetry), DrawOp::Clear).size(), 1U);
}

TEST(Retry, WorksBeforeTheFirstPressToo) {
    PlayHarness h;
    buildSeededMaze(h, 5, 5, 2);
    ASSERT_TRUE(h.form.exitMade);
    retry_Click(h.form);
    EXPECT_EQ(h.form.curX, h.form.entryX);
    EXPECT_EQ(h.form.curY, h.form.entryY);
    pressOn(h, entranceSquare(h.form));
    EXPECT_TRUE(h.form.tracking);
    EXPECT_EQ(h.window.moves, "0");
}

// A refused NEW MAZE empties the counters; the maze it keeps must then be played from its
// entrance, counted from nothing, the same as after Retry.
TEST(RefusedNewMaze, TheKeptMazeIsPlayedAfreshFromItsEntrance) {
    PlayHarness h;
    buildSeededMaze(h, 8, 6, 21);
    ASSERT_TRUE(h.form.exitMade);
    const std::vector<Square> way = routeToExit(h.form);
    const std::optional<Branch> branch = firstBranch(h.form, way);
    ASSERT_TRUE(branch);
    walkFromEntranceTo(h, branch->from);
    dragAlong(h, {branch->into, branch->from});
    release(h);
    const Square stoodOn = playerSquare(h.form);
    h.window.width = "51";
    Command1_Click(h.form);
    ASSERT_EQ(h.window.messages.back(), sizeMessage());
    ASSERT_EQ(h.form.moveCount, 0);

    // Where the player stood is nothing special any more.
    pressOn(h, stoodOn);
    EXPECT_FALSE(h.form.tracking);

    pressOn(h, entranceSquare(h.form));
    ASSERT_TRUE(h.form.tracking);
    EXPECT_EQ(h.window.moves, "0");
    EXPECT_EQ(h.form.passes(h.form.entryCol, 0), 1);
    dragAlong(h, way);
    EXPECT_EQ(h.form.moveCount, static_cast<Int>(way.size()));
    EXPECT_EQ(h.form.extraMoves, 0);
    EXPECT_EQ(h.window.messages.back(), "Perfect!");
}

}  // namespace
}  // namespace quorrel::testing
