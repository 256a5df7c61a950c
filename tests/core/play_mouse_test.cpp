#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "play/play.h"
#include "solve/solve.h"
#include "support/play_helpers.h"
#include "support/try_again.h"

namespace quorrel::testing {
namespace {

const Square kEntrance{1, 0};
const Square kTop{1, 1};
const Square kDeadEnd{2, 1};
const Square kBottom{1, 2};
const Square kBelowExit{1, 3};

void moveTo(PlayHarness& h, float x, float y) {
    Form_MouseMove(h.form, kLeftButton, 0, x, y);
}

// The worked maze with the button pressed on its entrance.
void startWorkedGame(PlayHarness& h) {
    buildWorkedMaze(h);
    pressOn(h, kEntrance);
}

// Everything a mouse event may change, for before-and-after comparisons.
struct PlaySnapshot {
    Int moveCount, extraMoves, curX, curY, playerCol, playerRow;
    bool tracking;
    Int entranceCode;
    std::size_t ops;
    std::string moves, extra;
    std::size_t messages, questions;
    bool operator==(const PlaySnapshot&) const = default;
};

PlaySnapshot snapshot(const PlayHarness& h) {
    const Mazeform& f = h.form;
    const Int entranceCode = f.openings.empty() ? Int{0} : f.openings(f.entryCol, 0);
    return {f.moveCount,
            f.extraMoves,
            f.curX,
            f.curY,
            f.playerCol,
            f.playerRow,
            f.tracking,
            entranceCode,
            h.surface.ops.size(),
            h.window.moves,
            h.window.extra,
            h.window.messages.size(),
            h.window.questions.size()};
}

// ---- Presses ------------------------------------------------------------------------------

// Presses with the right or middle button on a square, then a movement toward another.
void otherButtons(PlayHarness& h, Square on, Square toward) {
    pressOn(h, on, kRightButton);
    pressOn(h, on, kMiddleButton);
    moveToward(h, toward);
}

// Events that may not move the player, one game through: none changes anything a mouse event
// may change.
TEST(MouseEvents, ThatMayNotMoveThePlayerChangeNothing) {
    PlayHarness h;
    const auto still = [&h](const char* name, const std::function<void()>& events) {
        SCOPED_TRACE(name);
        const PlaySnapshot before = snapshot(h);
        events();
        EXPECT_EQ(snapshot(h), before);
    };
    // Before any maze every corner is (0, 0) and the square size 0, so (0, 0) would be "on" the
    // player's square if the missing maze were not noticed.
    still("a press before the first maze", [&h] {
        Form_MouseDown(h.form, kLeftButton, 0, 0, 0);
        moveTo(h, 10, 10);
    });
    buildWorkedMaze(h);
    still("moves without a press", [&h] { dragAlong(h, {kTop, kBottom}); });
    still("right and middle buttons on a fresh maze", [&h] { otherButtons(h, kEntrance, kTop); });
    pressOn(h, kEntrance);
    still("from the entrance right, left and up", [&h] {
        const Point c = cornerOf(h.form, kEntrance);
        moveTo(h, c.x + 500, c.y - 100);
        moveTo(h, c.x - 900, c.y - 100);
        moveTo(h, c.x - 100, c.y - 900);
    });
    moveToward(h, kTop);
    still("back into the entrance row", [&h] {
        moveToward(h, kEntrance);
        moveTo(h, 4000, 200);
    });
    moveToward(h, kDeadEnd);
    still("toward the wall below (2, 1) and the maze's right edge", [&h] {
        dragAlong(h, {Square{2, 2}, Square{3, 1}});
    });
    moveToward(h, kTop);
    for (Int button : {kLeftButton, kRightButton, kMiddleButton}) {
        pressOn(h, kTop);
        Form_MouseUp(h.form, button, 0, 0, 0);
        EXPECT_FALSE(h.form.tracking) << "button " << button;
        still("a move after any button's release", [&h] { moveToward(h, kBottom); });
    }
    still("right and middle buttons on a paused walk", [&h] { otherButtons(h, kTop, kBottom); });
}

// Presses about the worked maze's entrance square, whose lower-right corner is at (4065, 1025)
// and whose sides are 375 twips: its edges and corners count, half a twip beyond them does not.
TEST(MousePress, EdgesAndCornersOfThePlayersSquareCountAndNothingBeyondThem) {
    const float right = 4065;
    const float bottom = 1025;
    const float left = right - 375;
    const float top = bottom - 375;
    const float mid = right - 187.5F;
    const float midY = bottom - 187.5F;
    struct Press {
        Point at;
        bool counts;
    };
    const std::vector<Press> presses = {{{left, top}, true},
                                        {{right, top}, true},
                                        {{left, bottom}, true},
                                        {{right, bottom}, true},
                                        {{left, midY}, true},
                                        {{right, midY}, true},
                                        {{mid, top}, true},
                                        {{mid, bottom}, true},
                                        {{left - 0.5F, midY}, false},
                                        {{right + 0.5F, midY}, false},
                                        {{mid, top - 0.5F}, false},
                                        {{mid, bottom + 0.5F}, false},
                                        {{right + 1, bottom + 1}, false},
                                        {{mid, bottom + 375}, false}};
    for (const Press& p : presses) {
        SCOPED_TRACE(::testing::Message() << p.at.x << "," << p.at.y);
        PlayHarness h;
        buildWorkedMaze(h);
        const PlaySnapshot before = snapshot(h);
        Form_MouseDown(h.form, kLeftButton, 0, p.at.x, p.at.y);
        if (p.counts) {
            EXPECT_TRUE(h.form.tracking);
            EXPECT_EQ(h.form.passes(1, 0), 1);
        } else {
            EXPECT_EQ(snapshot(h), before);
        }
    }
}

TEST(MousePress, FirstPressOpensTheEntranceAndPlacesThePlayerOnIt) {
    // A maze whose entrance is not in the first column, so the column really comes from it.
    PlayHarness h;
    buildSeededMazeWhere(
        h, 6, 5, 1, [](const State& f) { return f.entryCol != 1; }, 99);
    ASSERT_NE(h.form.entryCol, 1);
    Mazeform& f = h.form;
    ASSERT_EQ(f.openings(f.entryCol, 0), 0);
    pressOn(h, entranceSquare(f));
    EXPECT_EQ(f.openings(f.entryCol, 0), 1);
    EXPECT_EQ(f.playerCol, f.entryCol);
    EXPECT_EQ(f.playerRow, 0);
    EXPECT_EQ(f.moveCount, 0);
    EXPECT_EQ(h.window.moves, "0");
    EXPECT_EQ(h.window.extra, "");
    EXPECT_EQ(f.passes(f.entryCol, 0), 1);
    EXPECT_TRUE(f.tracking);
}

TEST(MousePress, SecondPressOnTheEntranceBeforeTheFirstStepCountsAgain) {
    PlayHarness h;
    startWorkedGame(h);
    release(h);
    EXPECT_FALSE(h.form.tracking);
    pressOn(h, kEntrance);
    EXPECT_TRUE(h.form.tracking);
    EXPECT_EQ(h.form.passes(1, 0), 2);
    EXPECT_EQ(h.form.extraMoves, 2);
    EXPECT_EQ(h.window.extra, "2");
    EXPECT_EQ(h.window.moves, "0");
    EXPECT_EQ(h.form.moveCount, 0);
}

TEST(MousePress, AfterTheFirstStepAPressResumesWithoutCountingAgain) {
    PlayHarness h;
    startWorkedGame(h);
    moveToward(h, kTop);
    release(h);
    const std::size_t ops = h.surface.ops.size();
    pressOn(h, kEntrance);  // no longer the player's square
    EXPECT_FALSE(h.form.tracking);
    pressOn(h, kTop);
    EXPECT_TRUE(h.form.tracking);
    EXPECT_EQ(h.form.moveCount, 1);
    EXPECT_EQ(h.form.passes(1, 0), 1);
    EXPECT_EQ(h.form.passes(1, 1), 1);
    EXPECT_EQ(h.surface.ops.size(), ops);
    moveToward(h, kBottom);
    EXPECT_EQ(playerSquare(h.form), kBottom);
}

// ---- Steps --------------------------------------------------------------------------------

TEST(MouseMove, FromTheEntranceAStepDownReachesRowOne) {
    PlayHarness h;
    startWorkedGame(h);
    const Point c = cornerOf(h.form, kEntrance);
    moveTo(h, c.x - 100, c.y + 50);  // below
    EXPECT_EQ(playerSquare(h.form), kTop);
    EXPECT_EQ(h.form.curX, 4065);
    EXPECT_EQ(h.form.curY, 1400);
}

TEST(MouseMove, OneSquarePerEventHoweverFarThePointer) {
    PlayHarness h;
    startWorkedGame(h);
    moveTo(h, 4000, 9000);  // far below: one step into row 1
    EXPECT_EQ(playerSquare(h.form), kTop);
    EXPECT_EQ(h.form.moveCount, 1);
    moveTo(h, 4000, 9000);  // the same pointer again: one more step
    EXPECT_EQ(playerSquare(h.form), kBottom);
    EXPECT_EQ(h.form.moveCount, 2);
    moveTo(h, 4000, 9000);
    EXPECT_EQ(playerSquare(h.form), kBelowExit);
    EXPECT_EQ(h.form.moveCount, 3);
}

// A spot in some seeded 10 by 10 maze: a square of rows 1..H whose open sides suit a test.
struct Spot {
    std::uint64_t seed = 0;
    Square square;
};

std::optional<Spot> findSpot(const std::function<bool(const State&, Square)>& wanted) {
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        PlayHarness h;
        buildSeededMaze(h, 10, 10, seed);
        if (!h.form.exitMade) {
            continue;
        }
        for (int row = 1; row < h.form.mazeHeight; ++row) {
            for (int col = 1; col <= h.form.mazeWidth; ++col) {
                if (wanted(h.form, {col, row})) {
                    return Spot{seed, {col, row}};
                }
            }
        }
    }
    return std::nullopt;
}

// Walks a fresh copy of the spot's maze to the spot and leaves the button held there.
void walkToSpot(PlayHarness& h, const Spot& spot) {
    buildSeededMaze(h, 10, 10, spot.seed);
    walkFromEntranceTo(h, spot.square);
    ASSERT_EQ(playerSquare(h.form), spot.square);
    ASSERT_TRUE(h.form.tracking);
}

// A pointer position relative to the held square's lower-right corner c, in squares of side s
// and in twips: (c.x + sx * s + dx, c.y + sy * s + dy). After the move the player is either on
// the square `step` away from the spot or, for a still move, nothing a mouse event may change
// has changed. A step takes the corner the next press must be on along with the player.
struct PointerMove {
    float sx, dx, sy, dy;
    bool still = false;
    Square step{0, 0};
};

struct SpotCase {
    const char* name;
    std::function<bool(const State&, Square)> wanted;
    std::vector<PointerMove> moves;
};

PointerMove still(float sx, float dx, float sy, float dy) {
    return {sx, dx, sy, dy, true};
}

PointerMove stepTo(float sx, float dx, float sy, float dy, Square step) {
    return {sx, dx, sy, dy, false, step};
}

const Square kRightOf{1, 0};
const Square kLeftOf{-1, 0};
const Square kBelow{0, 1};
const Square kAbove{0, -1};
const Square kHere{0, 0};

std::vector<SpotCase> spotCases() {
    return {
        {"right and below or far below: the closed right side decides",
         [](const State& f, Square s) {
             return !opensRight(f, s) && opensDown(f, s) && s.col < f.mazeWidth;
         },
         {still(0, 1, 0, 1), still(0, 1, 0, 400), stepTo(0, -1, 0, 1, kBelow)}},
        {"left and below or above: the closed left side decides",
         [](const State& f, Square s) { return !opensLeft(f, s) && opensDown(f, s) && s.col > 1; },
         {still(-1, -1, 0, 1), still(-1, -1, -1, -1), stepTo(-1, 1, 0, 1, kBelow)}},
        {"a right step wins over a down step",
         [](const State& f, Square s) { return opensRight(f, s) && opensDown(f, s); },
         {stepTo(0, 1, 0, 1, kRightOf)}},
        {"a left step wins over an up step",
         [](const State& f, Square s) { return opensLeft(f, s) && opensUp(f, s); },
         {stepTo(-1, -1, -1, -1, kLeftOf)}},
        {"a down step wins over an up step only when the pointer is below",
         [](const State& f, Square s) { return opensUp(f, s) && opensDown(f, s); },
         {stepTo(0, -1, -1, -1, kAbove), stepTo(0, -1, 0, 1, kHere)}},
        {"a pointer on the left or right edge or a corner does not step",
         [](const State& f, Square s) {
             return opensRight(f, s) && opensLeft(f, s) && (opensDown(f, s) || opensUp(f, s));
         },
         {still(0, 0, -0.5F, 0), still(-1, 0, -0.5F, 0), still(-0.5F, 0, 0, 0),
          still(-0.5F, 0, -1, 0), still(0, 0, 0, 0), still(-1, 0, -1, 0),
          stepTo(0, 0.5F, -0.5F, 0, kRightOf),  // just past the right edge
          stepTo(0, -0.5F, -0.5F, 0, kHere)}},  // the old right edge, now past the left one
        {"a pointer on the top or bottom edge does not step",
         [](const State& f, Square s) { return opensUp(f, s) && opensDown(f, s); },
         {still(-0.5F, 0, 0, 0), still(-0.5F, 0, -1, 0), stepTo(-0.5F, 0, 0, 0.5F, kBelow),
          stepTo(-0.5F, 0, 0, -0.5F, kHere)}},  // the old bottom edge, now above the top one
    };
}

TEST(MouseMove, ThePointerAroundAHeldSquareStepsAsTheSidesAndDistancesSay) {
    for (const SpotCase& sc : spotCases()) {
        SCOPED_TRACE(sc.name);
        const auto spot = findSpot(sc.wanted);
        ASSERT_TRUE(spot);
        PlayHarness h;
        walkToSpot(h, *spot);
        const Point c = cornerOf(h.form, spot->square);
        const float s = static_cast<float>(h.form.squareSize);
        for (const PointerMove& m : sc.moves) {
            const PlaySnapshot before = snapshot(h);
            moveTo(h, c.x + m.sx * s + m.dx, c.y + m.sy * s + m.dy);
            if (m.still) {
                EXPECT_EQ(snapshot(h), before);
                continue;
            }
            const Square to{spot->square.col + m.step.col, spot->square.row + m.step.row};
            EXPECT_EQ(playerSquare(h.form), to);
            EXPECT_EQ(h.form.curX, static_cast<Int>(c.x + static_cast<float>(m.step.col) * s));
            EXPECT_EQ(h.form.curY, static_cast<Int>(c.y + static_cast<float>(m.step.row) * s));
        }
    }
}

TEST(MouseMove, ADeadEndDetourCostsTwoMovesAndTwoExtra) {
    PlayHarness h;
    startWorkedGame(h);
    moveToward(h, kTop);
    moveToward(h, kDeadEnd);
    EXPECT_EQ(h.window.extra, "");
    moveToward(h, kTop);
    EXPECT_EQ(h.form.moveCount, 3);
    EXPECT_EQ(h.form.extraMoves, 2);
    EXPECT_EQ(h.window.extra, "2");
    moveToward(h, kDeadEnd);
    moveToward(h, kTop);  // third pass over (1, 1)
    EXPECT_EQ(h.form.moveCount, 5);
    EXPECT_EQ(h.form.extraMoves, 5);
    EXPECT_EQ(h.form.passes(1, 1), 3);
    EXPECT_EQ(h.form.passes(2, 1), 2);
}

// ---- The finish ---------------------------------------------------------------------------

TEST(Finish, AWalkWithoutRepeatsIsPerfect) {
    PlayHarness h;
    startWorkedGame(h);
    dragAlong(h, {kTop, kBottom, kBelowExit});
    EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"});
    EXPECT_TRUE(h.window.questions.empty());
    EXPECT_FALSE(h.form.tracking);
    EXPECT_EQ(h.form.moveCount, 3);
}

TEST(Finish, ADetourAsksWhetherToTryAgain) {
    PlayHarness h;
    startWorkedGame(h);
    dragAlong(h, {kTop, kDeadEnd, kTop, kBottom, kBelowExit});
    EXPECT_TRUE(h.window.messages.empty());
    EXPECT_EQ(h.window.questions, std::vector<std::string>{tryAgain(2, "60.00")});
    EXPECT_FALSE(h.form.tracking);
}

// Walks the worked maze to its bottom square, sets the counters as a longer walk would have
// left them, and steps out through the exit: the question gives the counts after that step.
TEST(Finish, TheQuestionGivesTheExtraMovesAndThePercentage) {
    PlayHarness h;
    startWorkedGame(h);
    dragAlong(h, {kTop, kBottom});
    h.form.moveCount = 29;
    h.form.extraMoves = 4;
    moveToward(h, kBelowExit);
    EXPECT_TRUE(h.window.messages.empty());
    EXPECT_EQ(h.window.questions, std::vector<std::string>{tryAgain(4, "86.67")});
}

// The percentage of single passes among the moves, in hundredths, rounded half away from zero,
// without a leading zero before the point.
struct Percent {
    Int moves, extra;
    const char* text;
};

class Percentages : public ::testing::TestWithParam<Percent> {};

TEST_P(Percentages, AreExactFromTheCounts) {
    EXPECT_EQ(percentText(GetParam().moves, GetParam().extra), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Finish, Percentages,
    ::testing::ValuesIn(std::vector<Percent>{
        {30, 4, "86.67"},
        {2000, 500, "75.00"},
        {100, 1, "99.00"},
        {10, 0, "100.00"},
        {5, 5, ".00"},
        {10, 10, ".00"},
        {200, 199, ".50"},
        {30000, 29999, ".00"},
        {1001, 991, "1.00"},
        {400, 371, "7.25"},
        {32767, 1, "100.00"},
        {4000, 731, "81.73"},  // exactly 81.725, which a double holds
                               // as 81.72499...
        {800, 399, "50.13"},   // exactly 50.125
        {32, 33, "-3.13"},     // exactly -3.125: halves go away from zero
        {1, 2, "-100.00"},     // a press again on the entrance before the first step
        {0, 2, ".00"},         // presses on the exit after Solve: no move was made
        {32767, 32767, ".00"},
        {30000, 30001, ".00"},  // -0.0033 rounds to zero, which shows without a sign
    }),
    [](const ::testing::TestParamInfo<Percent>& p) {
        return "moves_" + std::to_string(p.param.moves) + "_extra_" + std::to_string(p.param.extra);
    });

TEST(Finish, AMessageIsShownOnlyOnceTheWalkHasLeftTheMaze) {
    PlayHarness h;
    startWorkedGame(h);
    dragAlong(h, {kTop, kDeadEnd, kTop, kBottom});
    moveTo(h, 3700, 1700);  // moving about on the bottom square
    EXPECT_TRUE(h.window.messages.empty());
    EXPECT_TRUE(h.window.questions.empty());
    EXPECT_TRUE(h.form.tracking);
}

TEST(Finish, YesDoesExactlyWhatRetryFromTheMenuDoes) {
    for (Int radius : {0, 2}) {
        PlayHarness yes;
        PlayHarness menu;
        for (PlayHarness* h : {&yes, &menu}) {
            buildSeededMaze(*h, 7, 6, 42);
            ASSERT_TRUE(h->form.exitMade);
            h->form.visibility = radius;
            const std::vector<Square> way = routeToExit(h->form);
            const std::optional<Branch> branch = firstBranch(h->form, way);
            ASSERT_TRUE(branch);
            walkFromEntranceTo(*h, branch->from);
            dragAlong(*h, {branch->into, branch->from});
            std::vector<Square> rest = route(h->form, branch->from, exitSquare(h->form));
            rest.pop_back();
            dragAlong(*h, rest);
        }
        yes.window.answers = {true};
        // Both walks stopped on the last square before the exit; now both step out.
        ASSERT_EQ(gameState(yes), gameState(menu));
        moveToward(yes, exitSquare(yes.form));
        moveToward(menu, exitSquare(menu.form));
        ASSERT_EQ(yes.window.questions.size(), 1U);
        ASSERT_EQ(menu.window.questions.size(), 1U);
        const std::size_t atMessage = menu.surface.ops.size();
        ASSERT_EQ(yes.window.opsAtMessage.front(), atMessage);
        retry_Click(menu.form);
        EXPECT_EQ(gameState(yes), gameState(menu)) << "radius " << radius;
        EXPECT_TRUE(opsSince(yes.surface, atMessage) == opsSince(menu.surface, atMessage))
            << "radius " << radius;
        EXPECT_GT(yes.surface.ops.size(), atMessage);
        EXPECT_EQ(yes.form.moveCount, 0);
        EXPECT_EQ(yes.form.curX, yes.form.entryX);
        EXPECT_EQ(yes.form.curY, yes.form.entryY);
    }
}

TEST(Finish, NoLeavesBoardCountsAndPlayerAsTheyAre) {
    PlayHarness h;
    startWorkedGame(h);
    dragAlong(h, {kTop, kDeadEnd, kTop, kBottom, kBelowExit});
    ASSERT_EQ(h.window.questions.size(), 1U);
    EXPECT_EQ(h.window.opsAtMessage.front(), h.surface.ops.size());
    EXPECT_EQ(playerSquare(h.form), kBelowExit);
    EXPECT_EQ(h.form.moveCount, 5);
    EXPECT_EQ(h.form.extraMoves, 2);
    EXPECT_EQ(h.window.moves, "5");
    EXPECT_EQ(h.window.extra, "2");
    EXPECT_EQ(h.form.passes(1, 3), 1);
}

TEST(Finish, AfterNoAPressOnTheExitSquareAndAnyMovementRepeatTheFinish) {
    PlayHarness h;
    startWorkedGame(h);
    dragAlong(h, {kTop, kDeadEnd, kTop, kBottom, kBelowExit});
    ASSERT_EQ(h.window.questions.size(), 1U);
    const Point c = cornerOf(h.form, kBelowExit);

    moveTo(h, c.x - 10, c.y - 10);  // no longer tracking: nothing
    EXPECT_EQ(h.window.questions.size(), 1U);

    pressOn(h, kTop);  // not the player's square
    moveTo(h, c.x - 10, c.y - 10);
    EXPECT_EQ(h.window.questions.size(), 1U);

    pressOn(h, kBelowExit);
    EXPECT_TRUE(h.form.tracking);
    moveTo(h, c.x - 10, c.y - 10);  // within the square: no step, the finish again
    ASSERT_EQ(h.window.questions.size(), 2U);
    EXPECT_EQ(h.window.questions[1], h.window.questions[0]);
    EXPECT_FALSE(h.form.tracking);
    EXPECT_EQ(h.form.moveCount, 5);
}

TEST(Finish, FromTheExitSquareTheOnlyStepIsUp) {
    PlayHarness h;
    startWorkedGame(h);
    dragAlong(h, {kTop, kBottom, kBelowExit});
    ASSERT_EQ(h.window.messages.size(), 1U);
    const Point c = cornerOf(h.form, kBelowExit);
    const float s = 375;
    const std::vector<Point> refused = {
        {c.x + 1, c.y - 10}, {c.x - s - 1, c.y - 10}, {c.x - 10, c.y + 1}, {c.x + 900, c.y + 900}};
    std::size_t finishes = 1;
    for (const Point p : refused) {
        pressOn(h, kBelowExit);
        moveTo(h, p.x, p.y);
        ++finishes;
        EXPECT_EQ(playerSquare(h.form), kBelowExit);
        EXPECT_EQ(h.form.curY, static_cast<Int>(c.y));
        EXPECT_EQ(h.form.curX, static_cast<Int>(c.x));
        EXPECT_EQ(h.window.messages.size(), finishes);
    }
    EXPECT_EQ(h.form.moveCount, 3);
    pressOn(h, kBelowExit);
    moveTo(h, c.x - 10, c.y - s - 1);
    EXPECT_EQ(playerSquare(h.form), kBottom);
    EXPECT_EQ(h.form.moveCount, 4);
    EXPECT_EQ(h.window.messages.size(), finishes);  // back in the maze: no finish
    EXPECT_TRUE(h.form.tracking);
}

// Presses on the entrance before the first step are charged as repeated passes, so the extra
// moves can outnumber the moves: the percentage is then negative, written with its sign.
TEST(Finish, MorePressesThanStepsGiveANegativePercentage) {
    PlayHarness h;
    buildWorkedMaze(h);
    for (int i = 0; i < 5; ++i) {
        pressOn(h, kEntrance);
        release(h);
    }
    ASSERT_EQ(h.form.extraMoves, 5);  // 2 for the second pass, 1 for each later one
    ASSERT_EQ(h.window.moves, "0");
    pressOn(h, kEntrance);
    dragAlong(h, {kTop, kBottom, kBelowExit});
    EXPECT_EQ(h.form.moveCount, 3);
    EXPECT_EQ(h.window.questions, std::vector<std::string>{tryAgain(6, "-100.00")});
}

// After Solve on a maze not yet played, presses on the square below the exit start a game
// there without a single move; the finish then has no moves to divide by.
TEST(Finish, AFinishWithoutMovesStillGivesAResult) {
    PlayHarness h;
    buildWorkedMaze(h);
    cheat_Click(h.form);
    pressOn(h, kBelowExit);
    release(h);
    pressOn(h, kBelowExit);
    ASSERT_EQ(h.form.moveCount, 0);
    ASSERT_EQ(h.form.extraMoves, 2);
    moveToward(h, kBelowExit);
    EXPECT_FALSE(h.form.tracking);
    EXPECT_EQ(h.window.questions, std::vector<std::string>{tryAgain(2, ".00")});
}

TEST(Finish, AfterYesTheNextGameBeginsOnTheEntrance) {
    PlayHarness h;
    buildWorkedMaze(h);
    h.window.answers = {true};
    pressOn(h, kEntrance);
    dragAlong(h, {kTop, kDeadEnd, kTop, kBottom, kBelowExit});
    ASSERT_EQ(h.window.questions.size(), 1U);
    pressOn(h, kBelowExit);
    EXPECT_FALSE(h.form.tracking);
    pressOn(h, kEntrance);
    EXPECT_TRUE(h.form.tracking);
    EXPECT_EQ(h.window.moves, "0");
    EXPECT_EQ(h.form.passes(1, 0), 1);
}

}  // namespace
}  // namespace quorrel::testing
