// The board in words for a screen reader: the maze's size, the player's square and the two
// counters, through a whole game.

#include "ui/board_description.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "board/new_maze.h"
#include "play/keys.h"
#include "play/play.h"
#include "solve/solve.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

// The ways open from a square, worked out from the opening codes by the test's own reading.
std::string openWays(const State& f, Square s) {
    std::string ways;
    const auto add = [&](bool open, const std::string& word) {
        if (open) {
            ways += (ways.empty() ? "" : ", ") + word;
        }
    };
    add(opensUp(f, s), "up");
    add(opensDown(f, s), s.row == f.mazeHeight ? "down to the exit" : "down");
    add(opensLeft(f, s), "left");
    add(opensRight(f, s), "right");
    return "Open: " + ways + ".";
}

std::string onSquare(const State& f, Square s) {
    return "You are on column " + std::to_string(s.col) + ", row " + std::to_string(s.row) + ". " +
           openWays(f, s);
}

std::string counters(int moves, int extra) {
    return std::to_string(moves) + (moves == 1 ? " move, " : " moves, ") + std::to_string(extra) +
           " extra.";
}

// A maze of the given size whose game has not begun.
std::string notStarted(const State& f) {
    return std::to_string(f.mazeWidth) + " by " + std::to_string(f.mazeHeight) +
           " maze. You have not started: the entrance is above column " +
           std::to_string(f.entryCol) + ". Open: down. 0 moves, 0 extra.";
}

TEST(BoardDescription, BeforeTheFirstMazeAsksForOne) {
    PlayHarness h;
    EXPECT_EQ(describeBoard(h.form), "No maze yet. Press New maze.");
}

TEST(BoardDescription, RefusedSizeBeforeAnyMazeStillHasNoMaze) {
    PlayHarness h;
    h.window.width = "1";
    Command1_Click(h.form);
    ASSERT_EQ(h.window.messages.size(), 1U);
    EXPECT_EQ(describeBoard(h.form), "No maze yet. Press New maze.");
}

TEST(BoardDescription, NewMazeIsNotStartedAndTellsTheEntranceColumn) {
    PlayHarness h;
    buildWorkedMaze(h);
    EXPECT_EQ(describeBoard(h.form),
              "2 by 2 maze. You have not started: the entrance is above column 1. Open: down. "
              "0 moves, 0 extra.");
}

TEST(BoardDescription, FollowsTheWorkedMazeFromTheEntranceToTheExit) {
    PlayHarness h;
    buildWorkedMaze(h);
    pressOn(h, entranceSquare(h.form));
    EXPECT_EQ(
        describeBoard(h.form),
        "2 by 2 maze. You are at the entrance, above column 1. Open: down. 0 moves, 0 extra.");
    moveToward(h, {1, 1});
    EXPECT_EQ(describeBoard(h.form),
              "2 by 2 maze. You are on column 1, row 1. Open: down, right. 1 move, 0 extra.");
    moveToward(h, {1, 2});
    EXPECT_EQ(
        describeBoard(h.form),
        "2 by 2 maze. You are on column 1, row 2. Open: up, down to the exit, right. 2 moves, "
        "0 extra.");
    moveToward(h, {1, 3});
    ASSERT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"});
    EXPECT_EQ(describeBoard(h.form),
              "2 by 2 maze. You are below the exit, out of the maze. 3 moves, 0 extra.");
}

TEST(BoardDescription, PressingTheEntranceTwiceCountsExtraMovesBeforeTheFirstStep) {
    PlayHarness h;
    buildWorkedMaze(h);
    pressOn(h, entranceSquare(h.form));
    release(h);
    pressOn(h, entranceSquare(h.form));
    EXPECT_EQ(
        describeBoard(h.form),
        "2 by 2 maze. You are at the entrance, above column 1. Open: down. 0 moves, 2 extra.");
}

TEST(BoardDescription, TellsTheSquareAndCountsAfterADetourOnASeededMaze) {
    PlayHarness h;
    buildSeededMaze(h, 12, 9, 77);
    const std::vector<Square> way = routeToExit(h.form);
    const std::optional<Branch> branch = firstBranch(h.form, way);
    ASSERT_TRUE(branch);
    walkFromEntranceTo(h, branch->from);
    const int toBranch = static_cast<int>(route(h.form, firstSquare(h.form), branch->from).size());
    EXPECT_EQ(describeBoard(h.form),
              "12 by 9 maze. " + onSquare(h.form, branch->from) + " " + counters(toBranch, 0));
    // Into the side branch and back: two more moves, and the square returned to is passed a
    // second time, which counts two extra moves.
    dragAlong(h, {branch->into, branch->from});
    EXPECT_EQ(h.form.playerCol, branch->from.col);
    EXPECT_EQ(describeBoard(h.form),
              "12 by 9 maze. " + onSquare(h.form, branch->from) + " " + counters(toBranch + 2, 2));
    release(h);
    EXPECT_EQ(describeBoard(h.form),
              "12 by 9 maze. " + onSquare(h.form, branch->from) + " " + counters(toBranch + 2, 2));
}

TEST(BoardDescription, RetryGoesBackToNotStarted) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(buildSeededWay(h, 6, 6, 5, 2, way));
    walkFromEntranceTo(h, way[1]);
    ASSERT_NE(describeBoard(h.form).find(onSquare(h.form, way[1])), std::string::npos);
    retry_Click(h.form);
    EXPECT_EQ(describeBoard(h.form).substr(0, 12), "6 by 6 maze.");
    EXPECT_EQ(describeBoard(h.form), notStarted(h.form));
}

// After Solve the player is below the exit, where the next press must be; Solve's words give
// the way out's length and first turn, those of the route the test finds.
TEST(BoardDescription, AfterSolveThePlayerIsBelowTheExitWhereTheNextPressMustBe) {
    PlayHarness h;
    buildSeededMaze(h, 8, 5, 31);
    ASSERT_TRUE(h.form.exitMade);
    const std::vector<Square> way = routeToExit(h.form);
    ASSERT_GE(way.size(), 3U);
    cheat_Click(h.form);
    EXPECT_EQ(describeBoard(h.form),
              "8 by 5 maze. You are below the exit, out of the maze. 0 moves, 0 extra.");
    const int dc = way[1].col - way[0].col;
    const int dr = way[1].row - way[0].row;
    const std::string turn = dc > 0 ? "right" : dc < 0 ? "left" : dr > 0 ? "down" : "up";
    EXPECT_EQ(describeSolution(h.form), "Solved: the way out is " + std::to_string(way.size()) +
                                            " squares long. From the entrance above column " +
                                            std::to_string(h.form.entryCol) +
                                            " it goes down into row 1, then " + turn +
                                            ". You are now below the exit.");
}

TEST(BoardDescription, RefusedSizeAfterAWalkStartsTheOldMazeAfresh) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(buildSeededWay(h, 7, 7, 11, 3, way));
    walkFromEntranceTo(h, way[2]);
    release(h);
    h.window.width = "60";
    Command1_Click(h.form);
    ASSERT_EQ(h.window.messages.size(), 1U);
    EXPECT_EQ(describeBoard(h.form).substr(0, 12), "7 by 7 maze.");
    EXPECT_EQ(describeBoard(h.form), notStarted(h.form));
}

TEST(BoardDescription, NewMazeReplacesTheOldGamesDescription) {
    PlayHarness h;
    buildSeededMaze(h, 5, 5, 3);
    ASSERT_GE(routeToExit(h.form).size(), 2U);
    walkFromEntranceTo(h, routeToExit(h.form)[1]);
    buildSeededMaze(h, 30, 20, 4);
    EXPECT_EQ(describeBoard(h.form).substr(0, 14), "30 by 20 maze.");
    EXPECT_EQ(describeBoard(h.form), notStarted(h.form));
}

// The words said at each event of keyboard play, on the worked 2 by 2 maze (entrance above
// (1, 1); (1, 1) opens down and right, (1, 2) down through the exit and right; (2, 1) and
// (2, 2) are dead ends).
struct Spoken {
    const char* name;
    bool maze;
    std::vector<Arrow> arrows;
    void (*then)(Mazeform&);  // a command after the arrows, or none
    std::string (*say)(const State&);
    std::string expected;
};

constexpr Arrow kL = Arrow::Left;
constexpr Arrow kR = Arrow::Right;
constexpr Arrow kD = Arrow::Down;

class SpokenWords : public ::testing::TestWithParam<Spoken> {};

TEST_P(SpokenWords, SayWhatHappened) {
    const Spoken& c = GetParam();
    PlayHarness h;
    if (c.maze) {
        buildWorkedMaze(h);
    }
    for (Arrow a : c.arrows) {
        arrowKey(h.form, a);
    }
    if (c.then != nullptr) {
        c.then(h.form);
    }
    EXPECT_EQ(c.say(h.form), c.expected);
}

const Spoken kSpoken[] = {
    {"first step", true, {kD}, nullptr, describeSquare, "Column 1, row 1. Open: down, right."},
    {"dead end", true, {kD, kR}, nullptr, describeSquare, "Column 2, row 1. Open: left."},
    {"passed once",
     true,
     {kD, kR, kL},
     nullptr,
     describeSquare,
     "Column 1, row 1. Open: down, right. Passed once before."},
    {"passed twice",
     true,
     {kD, kR, kL, kR, kL},
     nullptr,
     describeSquare,
     "Column 1, row 1. Open: down, right. Passed 2 times before."},
    {"above the exit",
     true,
     {kD, kD},
     nullptr,
     describeSquare,
     "Column 1, row 2. Open: up, down to the exit, right."},
    {"bump at the entrance", true, {kL}, nullptr, describeBump, "Wall. Open: down."},
    {"bump in a dead end", true, {kD, kR, kR}, nullptr, describeBump, "Wall. Open: left."},
    {"bump before any maze", false, {kD}, nullptr, describeBump, "No maze yet."},
    {"new maze",
     true,
     {},
     nullptr,
     describeNewMaze,
     "New 2 by 2 maze. The entrance is above column 1. Open: down."},
    {"no new maze", false, {}, nullptr, describeNewMaze, "No maze yet."},
    {"retry",
     true,
     {kD, kR},
     retry_Click,
     describeRetry,
     "Back at the entrance, above column 1, with no moves. Open: down."},
    {"retry before any maze", false, {}, retry_Click, describeRetry, "Nothing to retry."},
    {"solve",
     true,
     {kD},
     cheat_Click,
     describeSolution,
     "Solved: the way out is 3 squares long. From the entrance above column 1 it goes down "
     "into row 1, then down. You are now below the exit."},
    {"solve before any maze", false, {}, cheat_Click, describeSolution, "No way out to show."},
    {"board after a bump",
     true,
     {kD, kR, kR},
     nullptr,
     describeBoard,
     "2 by 2 maze. You are on column 2, row 1. Open: left. 2 moves, 0 extra."},
};

INSTANTIATE_TEST_SUITE_P(WorkedMaze, SpokenWords, ::testing::ValuesIn(kSpoken),
                         [](const ::testing::TestParamInfo<Spoken>& p) {
                             return caseName(p.param.name);
                         });

}  // namespace
}  // namespace quorrel::testing
