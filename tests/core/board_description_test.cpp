// The board in words for a screen reader: the maze's size, the player's square and the two
// counters, through a whole game.

#include "ui/board_description.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "board/new_maze.h"
#include "play/play.h"
#include "solve/solve.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

std::string onSquare(Square s) {
    return "You are on column " + std::to_string(s.col) + ", row " + std::to_string(s.row) + ".";
}

std::string counters(int moves, int extra) {
    return std::to_string(moves) + (moves == 1 ? " move, " : " moves, ") + std::to_string(extra) +
           " extra.";
}

// A maze of the given size whose game has not begun.
std::string notStarted(const State& f) {
    return std::to_string(f.mazeWidth) + " by " + std::to_string(f.mazeHeight) +
           " maze. You have not started: the entrance is above column " +
           std::to_string(f.entryCol) + ". 0 moves, 0 extra.";
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
              "2 by 2 maze. You have not started: the entrance is above column 1. "
              "0 moves, 0 extra.");
}

TEST(BoardDescription, FollowsTheWorkedMazeFromTheEntranceToTheExit) {
    PlayHarness h;
    buildWorkedMaze(h);
    pressOn(h, entranceSquare(h.form));
    EXPECT_EQ(describeBoard(h.form),
              "2 by 2 maze. You are at the entrance, above column 1. 0 moves, 0 extra.");
    moveToward(h, {1, 1});
    EXPECT_EQ(describeBoard(h.form), "2 by 2 maze. You are on column 1, row 1. 1 move, 0 extra.");
    moveToward(h, {1, 2});
    EXPECT_EQ(describeBoard(h.form), "2 by 2 maze. You are on column 1, row 2. 2 moves, 0 extra.");
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
    EXPECT_EQ(describeBoard(h.form),
              "2 by 2 maze. You are at the entrance, above column 1. 0 moves, 2 extra.");
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
              "12 by 9 maze. " + onSquare(branch->from) + " " + counters(toBranch, 0));
    // Into the side branch and back: two more moves, and the square returned to is passed a
    // second time, which counts two extra moves.
    dragAlong(h, {branch->into, branch->from});
    EXPECT_EQ(h.form.playerCol, branch->from.col);
    EXPECT_EQ(describeBoard(h.form),
              "12 by 9 maze. " + onSquare(branch->from) + " " + counters(toBranch + 2, 2));
    release(h);
    EXPECT_EQ(describeBoard(h.form),
              "12 by 9 maze. " + onSquare(branch->from) + " " + counters(toBranch + 2, 2));
}

TEST(BoardDescription, RetryGoesBackToNotStarted) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(buildSeededWay(h, 6, 6, 5, 2, way));
    walkFromEntranceTo(h, way[1]);
    ASSERT_NE(describeBoard(h.form).find(onSquare(way[1])), std::string::npos);
    retry_Click(h.form);
    EXPECT_EQ(describeBoard(h.form).substr(0, 12), "6 by 6 maze.");
    EXPECT_EQ(describeBoard(h.form), notStarted(h.form));
}

TEST(BoardDescription, AfterSolveThePlayerIsBelowTheExitWhereTheNextPressMustBe) {
    PlayHarness h;
    buildSeededMaze(h, 8, 5, 31);
    ASSERT_TRUE(h.form.exitMade);
    cheat_Click(h.form);
    EXPECT_EQ(describeBoard(h.form),
              "8 by 5 maze. You are below the exit, out of the maze. 0 moves, 0 extra.");
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

}  // namespace
}  // namespace quorrel::testing
