#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "play/play.h"
#include "support/play_helpers.h"
#include "support/try_again.h"

namespace quorrel::testing {
namespace {

// The pointer drifts about inside the player's square before it crosses into the next one,
// as a hand on a mouse does.
void dragThrough(PlayHarness& h, const std::vector<Square>& squares) {
    for (Square next : squares) {
        const Point c = centreOf(h.form, playerSquare(h.form));
        Form_MouseMove(h.form, kLeftButton, 0, c.x + 20, c.y - 30);
        Form_MouseMove(h.form, kLeftButton, 0, c.x - 40, c.y + 10);
        moveToward(h, next);
    }
}

struct Size {
    int w, h;
    std::uint64_t seed;
};

const std::vector<Size> kSizes = {{2, 2, 1},   {5, 5, 2},  {10, 10, 3}, {20, 20, 4}, {40, 30, 5},
                                  {50, 50, 6}, {2, 50, 7}, {50, 2, 8},  {13, 37, 9}};

TEST(PlayThrough, TheWorkedExampleWalkedStraightIsPerfect) {
    PlayHarness h;
    buildWorkedMaze(h);
    pressOn(h, {1, 0});
    dragThrough(h, {{1, 1}, {1, 2}, {1, 3}});
    EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"});
    EXPECT_TRUE(h.window.questions.empty());
    EXPECT_EQ(h.window.moves, "3");
    EXPECT_EQ(h.window.extra, "");
}

TEST(PlayThrough, SeededMazesWalkedAlongTheirRouteArePerfect) {
    for (const Size& size : kSizes) {
        PlayHarness h;
        buildSeededMazeWhere(h, size.w, size.h, size.seed,
                             [](const State& f) { return f.exitMade; });
        ASSERT_TRUE(h.form.exitMade);
        const std::vector<Square> way = routeToExit(h.form);
        ASSERT_FALSE(way.empty()) << size.w << "x" << size.h;
        pressOn(h, entranceSquare(h.form));
        dragThrough(h, way);
        const std::string where = std::to_string(size.w) + "x" + std::to_string(size.h);
        EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"}) << where;
        EXPECT_TRUE(h.window.questions.empty()) << where;
        EXPECT_EQ(h.form.moveCount, static_cast<Int>(way.size())) << where;
        EXPECT_EQ(h.window.moves, std::to_string(way.size())) << where;
        EXPECT_EQ(h.form.extraMoves, 0) << where;
        for (Square s : way) {
            EXPECT_EQ(h.form.passes(s.col, s.row), 1) << where;
        }
        EXPECT_FALSE(h.form.tracking);
    }
}

// The pointer thrown three squares ahead each time still moves the player one square per
// movement.
TEST(PlayThrough, APointerFarAheadStillWalksOneSquareAtATime) {
    PlayHarness h;
    buildSeededMaze(h, 20, 20, 4);
    ASSERT_TRUE(h.form.exitMade);
    const std::vector<Square> way = routeToExit(h.form);
    pressOn(h, entranceSquare(h.form));
    const float s = static_cast<float>(h.form.squareSize);
    int events = 0;
    for (Square next : way) {
        const Square here = playerSquare(h.form);
        const Point c = centreOf(h.form, here);
        const float dx = static_cast<float>(next.col - here.col) * 3 * s;
        const float dy = static_cast<float>(next.row - here.row) * 3 * s;
        Form_MouseMove(h.form, kLeftButton, 0, c.x + dx, c.y + dy);
        ++events;
        ASSERT_EQ(playerSquare(h.form), next) << "event " << events;
    }
    EXPECT_EQ(h.form.moveCount, static_cast<Int>(way.size()));
    EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"});
}

// A walk into the first side branch off the route as deep as it goes and back, then out
// through the exit: the moves walked, and the extra moves.
struct Detour {
    long moves = 0;
    long extra = 0;
};

Detour walkWithDeepDetour(PlayHarness& h) {
    const std::vector<Square> walk = wayWithDetour(h.form, 0);
    pressOn(h, entranceSquare(h.form));
    dragThrough(h, walk);
    return {static_cast<long>(walk.size()),
            static_cast<long>(walk.size() - routeToExit(h.form).size())};
}

TEST(PlayThrough, ADeadEndDetourEndsWithTheExactPercentage) {
    for (const Size& size : kSizes) {
        PlayHarness h;
        buildSeededMazeWhere(h, size.w, size.h, size.seed, [](const State& f) {
            return f.exitMade && firstBranch(f, routeToExit(f));
        });
        const Detour d = walkWithDeepDetour(h);
        ASSERT_GT(d.extra, 0);
        const std::string where = std::to_string(size.w) + "x" + std::to_string(size.h);
        EXPECT_EQ(h.form.moveCount, d.moves) << where;
        EXPECT_EQ(h.form.extraMoves, d.extra) << where;
        EXPECT_TRUE(h.window.messages.empty()) << where;
        EXPECT_EQ(h.window.questions,
                  std::vector<std::string>{tryAgain(d.extra, percentText(d.moves, d.extra))})
            << where;
    }
}

TEST(PlayThrough, AfterYesTheSameMazeCanBeWalkedPerfectly) {
    PlayHarness h;
    buildSeededMaze(h, 15, 15, 31);
    ASSERT_TRUE(h.form.exitMade);
    h.window.answers = {true};
    ASSERT_GT(walkWithDeepDetour(h).extra, 0);
    ASSERT_EQ(h.window.questions.size(), 1U);
    EXPECT_EQ(h.window.moves, "");
    const std::vector<Square> way = routeToExit(h.form);
    pressOn(h, entranceSquare(h.form));
    dragThrough(h, way);
    EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"});
    EXPECT_EQ(h.form.moveCount, static_cast<Int>(way.size()));
}

TEST(PlayThrough, UnderRestrictedVisibilityTheGameEndsTheSame) {
    PlayHarness h;
    buildSeededMaze(h, 25, 20, 13);
    ASSERT_TRUE(h.form.exitMade);
    chooseRadius(h.form, 2);
    const Detour d = walkWithDeepDetour(h);
    ASSERT_GT(d.extra, 0);
    EXPECT_EQ(h.window.questions,
              std::vector<std::string>{tryAgain(d.extra, percentText(d.moves, d.extra))});
}

// More than 32767 steps back and forth between two squares: the counters and the pass counts
// stop at 32767, never wrap to negative values, and the result stays a sensible percentage.
TEST(LongPlay, CountersStopAtTheLargestValue) {
    PlayHarness h;
    buildWorkedMaze(h);
    Mazeform& f = h.form;
    pressOn(h, {1, 0});
    moveToward(h, {1, 1});
    const int steps = 70000;
    int badSteps = 0;
    Int lastMoves = f.moveCount;
    Int lastExtra = f.extraMoves;
    for (int i = 0; i < steps; ++i) {
        if (h.surface.ops.size() > 4096) {
            h.surface.ops.clear();
        }
        moveToward(h, i % 2 == 0 ? Square{1, 2} : Square{1, 1});
        const bool sane = f.moveCount >= lastMoves && f.extraMoves >= lastExtra &&
                          f.passes(1, 1) > 0 && f.passes(1, 2) > 0;
        if (!sane) {
            ++badSteps;
        }
        lastMoves = f.moveCount;
        lastExtra = f.extraMoves;
    }
    EXPECT_EQ(badSteps, 0);
    EXPECT_EQ(playerSquare(f), (Square{1, 1}));
    EXPECT_EQ(f.moveCount, 32767);
    EXPECT_EQ(f.extraMoves, 32767);
    EXPECT_EQ(f.passes(1, 1), 32767);
    EXPECT_EQ(f.passes(1, 2), 32767);
    EXPECT_EQ(h.window.moves, "32767");
    EXPECT_EQ(h.window.extra, "32767");
    EXPECT_EQ(f.passLabel, "32767");
    ASSERT_FALSE(h.surface.ops.empty());
    EXPECT_EQ(h.surface.ops.back().text, "32767");

    moveToward(h, {1, 2});
    moveToward(h, {1, 3});
    EXPECT_EQ(f.moveCount, 32767);
    ASSERT_EQ(h.window.questions.size(), 1U);
    EXPECT_EQ(h.window.questions[0], tryAgain(32767, ".00"));
}

// Just past the point where the move count stops: the extra moves have not caught up yet,
// and the percentage is small but not negative.
TEST(LongPlay, TheResultJustPastTheLimitIsNotNegative) {
    PlayHarness h;
    buildSeededMaze(h, 50, 50, 6);
    ASSERT_TRUE(h.form.exitMade);
    Mazeform& f = h.form;
    const std::vector<Square> way = routeToExit(f);
    ASSERT_GE(way.size(), 52U);
    pressOn(h, entranceSquare(f));
    std::vector<Square> forward(way.begin(), way.end() - 1);
    dragAlong(h, forward);
    // Back and forth over the last two squares before the exit until the count stops.
    const Square a = forward[forward.size() - 2];
    const Square b = forward.back();
    for (int i = 0; i < 40000 && f.moveCount < 32767; ++i) {
        moveToward(h, playerSquare(f) == b ? a : b);
        if (h.surface.ops.size() > 4096) {
            h.surface.ops.clear();
        }
    }
    ASSERT_EQ(f.moveCount, 32767);
    if (playerSquare(f) == a) {
        moveToward(h, b);
    }
    const Int extra = f.extraMoves;
    ASSERT_GT(extra, 0);
    ASSERT_LT(extra, 32767);
    moveToward(h, exitSquare(f));
    ASSERT_EQ(h.window.questions.size(), 1U);
    EXPECT_EQ(h.window.questions[0], tryAgain(extra, percentText(32767, extra)));
    EXPECT_EQ(h.window.questions[0].find('-'), std::string::npos);
}

}  // namespace
}  // namespace quorrel::testing
