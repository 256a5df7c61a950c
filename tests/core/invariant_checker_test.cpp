// The checks the event storm and the event fuzzer rely on must see a broken state: each test
// here breaks one thing in a sound window and expects the check to say so.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "board/new_maze.h"
#include "play/play.h"
#include "solve/solve.h"
#include "support/doubles.h"
#include "support/event_driver.h"
#include "support/invariants.h"
#include "support/maze_geometry.h"

namespace quorrel::testing {
namespace {

bool mentions(const Faults& faults, const std::string& words) {
    for (const std::string& f : faults) {
        if (f.find(words) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// A 6 by 4 maze whose generator cut an exit.
class SoundWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        h.window.typeSizes("6", "4");
        for (int tries = 0; tries < 20 && !h.form.exitMade; ++tries) {
            Command1_Click(h.form);
        }
        ASSERT_TRUE(h.form.exitMade);
    }
    Faults mazeFaults() {
        Faults faults;
        checkMaze(h.form, faults);
        return faults;
    }
    // Presses on the entrance square and steps down into row 1.
    void firstStep() {
        Mazeform& f = h.form;
        const float s = f.squareSize;
        Form_MouseDown(f, kLeftButton, 0, f.curX - s / 2, f.curY - s / 2);
        Form_MouseMove(f, kLeftButton, 0, f.curX - s / 2, f.curY + s / 2);
        ASSERT_EQ(f.playerRow, 1);
    }
    Harness h;
};

TEST_F(SoundWindow, PassesEveryCheck) {
    EXPECT_TRUE(mazeFaults().empty()) << describe(mazeFaults());
    firstStep();
    Faults faults;
    checkPlayer(h.form, faults);
    checkBoxes(h.form, h.window.moves, h.window.extra, faults);
    CounterLedger ledger;
    ledger.check(h.form, faults);
    EXPECT_TRUE(faults.empty()) << describe(faults);
}

// A state no sound game can reach, made from a sound one, and what the check of that part of
// the state must say of it (nothing, for a row that breaks nothing).
enum class Part { Maze, Player, Solution };
enum class From { Generated, FirstStep, Solved };

struct Break {
    const char* name;
    Part part;
    From from;
    void (*apply)(Mazeform&);
    std::vector<std::string> words;
};

void PrintTo(const Break& b, std::ostream* os) {
    *os << b.name;
}

// Opens the first right side of rows 1..H that is closed (+2), or closes the first that is
// open (-2).
void changeARightSide(Mazeform& f, int change) {
    for (int r = 1; r <= f.mazeHeight; ++r) {
        for (int c = 1; c < f.mazeWidth; ++c) {
            if (f.opensRight(c, r) == (change < 0)) {
                f.openings(c, r) = static_cast<Int>(f.openings(c, r) + change);
                return;
            }
        }
    }
    ADD_FAILURE() << "no right side to change";
}

// Moves a square that is not joined to the first one up to second place in the trail.
void reachBeforeANeighbour(Mazeform& f) {
    const int w = f.mazeWidth;
    const auto squareAt = [&](int k) {
        const int code = f.trail.at(static_cast<std::size_t>(k));
        return Square{codeCol(w, code), codeRow(w, code)};
    };
    int k = 3;
    while (k < f.trailCount && joined(f, squareAt(1), squareAt(k))) {
        ++k;
    }
    std::rotate(f.trail.begin() + 2, f.trail.begin() + k, f.trail.begin() + k + 1);
}

const Break kBreaks[] = {
    {"AnOpenRightBorder",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) { f.openings(6, 2) = static_cast<Int>(f.openings(6, 2) | 2); },
     {"right border is open at row 2"}},
    {"ASquareReachedBeforeAnyNeighbourOfIt",
     Part::Maze,
     From::Generated,
     reachBeforeANeighbour,
     {"is not joined to an earlier square"}},
    {"AnEntryAfterTheExits",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) {
         ASSERT_LT(f.trailCount, 6 * 4) << "the exit needs a free trail entry after it";
         f.trail.at(static_cast<std::size_t>(f.trailCount) + 1) = 5;
     },
     {"written after the exit"}},
    {"AnExitAfterEverySquare",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) { f.trailCount = 6 * 4 + 1; },
     {"trailCount is 25"}},
    {"ASecondExit",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) {
         const int c = exitColumn(f) == 1 ? 2 : 1;
         f.openings(c, 4) = static_cast<Int>(f.openings(c, 4) | 1);
     },
     {"2 squares of the bottom row open downward"}},
    {"AMissingPassage",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) { changeARightSide(f, -2); },
     {"22 openings between squares, not 23", "are joined to (1, 1)"}},
    {"ALoop",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) { changeARightSide(f, 2); },
     {"24 openings between squares, not 23"}},
    {"TheEntranceMayOpenDown",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) { f.openings(f.entryCol, 0) = 1; },
     {}},
    {"AnOpenBorderSquare",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) { f.openings(0, 3) = 2; },
     {"border square (0, 3) is open"}},
    {"AnEntranceOutsideTheMaze",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) { f.entryCol = 7; },
     {"entrance column 7 is outside 1..6"}},
    {"AnEntranceOutsideThePassCounts",
     Part::Player,
     From::Generated,
     [](Mazeform& f) { f.entryCol = 7; },
     {"lies outside the pass counts"}},
    {"ATrailThatDoesNotEndBelowTheExit",
     Part::Maze,
     From::Generated,
     [](Mazeform& f) { f.trail.at(static_cast<std::size_t>(f.trailCount)) = 0; },
     {"not below the exit"}},
    {"APlayerRightOfTheMaze",
     Part::Player,
     From::FirstStep,
     [](Mazeform& f) { f.playerCol = 7; },
     {"(7, 1), which is no square of the maze"}},
    {"APlayerOnRow0OffTheEntrance",
     Part::Player,
     From::FirstStep,
     [](Mazeform& f) {
         f.playerCol = static_cast<Int>(f.entryCol == 1 ? 2 : 1);
         f.playerRow = 0;
     },
     {"which is no square of the maze"}},
    {"ANegativeCounter",
     Part::Player,
     From::Generated,
     [](Mazeform& f) { f.extraMoves = -2; },
     {"negative counter"}},
    {"ASolutionSquareNotJoinedToTheNext",
     Part::Solution,
     From::Solved,
     [](Mazeform& f) { f.solutionPath.at(2) = f.solutionPath.at(f.solutionLength); },
     {"not joined"}},
    {"ACornerOffTheExitAfterSolve",
     Part::Solution,
     From::Solved,
     [](Mazeform& f) { f.curX = static_cast<Int>(f.curX + f.squareSize); },
     {"not on the square below the exit"}},
};

class Breaks : public SoundWindow, public ::testing::WithParamInterface<Break> {
  protected:
    Faults faultsOf(Part part) {
        Faults faults;
        switch (part) {
            case Part::Maze:
                checkMaze(h.form, faults);
                break;
            case Part::Player:
                checkPlayer(h.form, faults);
                break;
            case Part::Solution:
                checkSolution(h.form, faults);
                break;
        }
        return faults;
    }
};

TEST_P(Breaks, AreSeen) {
    const Break& b = GetParam();
    if (b.from == From::FirstStep) {
        firstStep();
    } else if (b.from == From::Solved) {
        cheat_Click(h.form);
    }
    ASSERT_EQ(faultsOf(b.part), Faults{}) << "before the break";
    b.apply(h.form);
    const Faults faults = faultsOf(b.part);
    if (b.words.empty()) {
        EXPECT_EQ(faults, Faults{});
    }
    for (const std::string& words : b.words) {
        EXPECT_TRUE(mentions(faults, words)) << words << "\n" << describe(faults);
    }
}

INSTANTIATE_TEST_SUITE_P(SoundWindow, Breaks, ::testing::ValuesIn(kBreaks),
                         [](const ::testing::TestParamInfo<Break>& p) {
                             return std::string(p.param.name);
                         });

TEST_F(SoundWindow, BoxesThatDisagreeWithTheCountersAreSeen) {
    firstStep();
    Mazeform& f = h.form;
    ASSERT_EQ(f.moveCount, 1);
    const auto faultsFor = [&](const std::string& moves, const std::string& extra) {
        Faults faults;
        checkBoxes(f, moves, extra, faults);
        return faults;
    };
    EXPECT_TRUE(faultsFor("1", "").empty());
    EXPECT_FALSE(faultsFor("", "").empty()) << "empty Moves after a step";
    EXPECT_FALSE(faultsFor("2", "").empty()) << "Moves ahead of the count";
    EXPECT_FALSE(faultsFor("01", "").empty()) << "a leading zero";
    EXPECT_FALSE(faultsFor(" 1", "").empty()) << "a leading blank";
    EXPECT_FALSE(faultsFor("1", "2").empty()) << "extra moves shown but none counted";
    f.extraMoves = 2;
    EXPECT_FALSE(faultsFor("1", "").empty()) << "extra moves counted but the box empty";
    EXPECT_TRUE(faultsFor("1", "2").empty());
}

TEST_F(SoundWindow, SolvesFiguresInTheBoxesAreAllowedWithinTheirBounds) {
    firstStep();
    Mazeform& f = h.form;
    cheat_Click(f);
    const int length = f.solutionLength;
    ASSERT_GE(length, 5);
    const auto faultsFor = [&](const std::string& moves, const std::string& extra) {
        Faults faults;
        checkBoxes(f, moves, extra, faults);
        return faults;
    };
    // Moves holds the path length; Extra may hold moveCount - length of an earlier moment.
    EXPECT_TRUE(faultsFor(std::to_string(length), "").empty());
    EXPECT_TRUE(faultsFor(std::to_string(length), std::to_string(1 - length)).empty());
    EXPECT_TRUE(faultsFor(std::to_string(length), std::to_string(-length)).empty());
    EXPECT_FALSE(faultsFor(std::to_string(length), std::to_string(2 - length)).empty())
        << "a figure above the present moveCount - length";
    EXPECT_FALSE(faultsFor(std::to_string(length), std::to_string(-length - 1)).empty());
    EXPECT_FALSE(faultsFor(std::to_string(length + 1), "").empty());
    EXPECT_FALSE(faultsFor(std::to_string(length), "-0").empty());
    f.exitMade = false;
    EXPECT_FALSE(faultsFor(std::to_string(length), "").empty()) << "no path length without an exit";
}

TEST_F(SoundWindow, TheLedgerTiesTheCountersToThePassCounts) {
    firstStep();
    Mazeform& f = h.form;
    CounterLedger ledger;
    Faults faults;
    ledger.check(f, faults);
    EXPECT_TRUE(faults.empty()) << describe(faults);

    f.moveCount = static_cast<Int>(f.moveCount + 1);
    ledger.check(f, faults);
    EXPECT_TRUE(mentions(faults, "do not match the pass counts"));

    // Counters zeroed while the pass counts stay look wrong, until the ledger rebases.
    f.moveCount = 0;
    f.extraMoves = 0;
    faults.clear();
    ledger.check(f, faults);
    EXPECT_FALSE(faults.empty()) << "without the rebase the counters look wrong";
    ledger.rebase(f);
    faults.clear();
    ledger.check(f, faults);
    EXPECT_TRUE(faults.empty()) << describe(faults);
}

TEST_F(SoundWindow, AMazeFileThatDoesNotDrawTheMazeIsSeen) {
    h.form.makeFiles = true;
    Command1_Click(h.form);
    ASSERT_EQ(h.files.files.size(), 1U);
    const std::string text = h.files.files.begin()->second;
    const auto faultsOf = [&](const std::string& file) {
        Faults faults;
        checkMazeText(file, h.form, faults);
        return faults;
    };
    EXPECT_EQ(faultsOf(text), Faults{});
    const std::size_t wall = text.find("--");
    const std::string breaks[][2] = {
        {text.substr(0, wall) + "  " + text.substr(wall + 2), "does not draw its walls"},
        {text.substr(0, text.size() - 2) + "\n", "not ended by CR LF"},
        {text.substr(0, text.rfind("\r\n", text.size() - 3) + 2), "the shape of the maze"},
        {text.substr(0, text.size() - 3) + " \r\n", "the shape of the maze"}};
    for (const auto& [file, words] : breaks) {
        EXPECT_TRUE(mentions(faultsOf(file), words)) << words;
    }
}

TEST(CheckingSurface, AWallThatIsNotOneSquareIsSeen) {
    State s;
    s.squareSize = 100;
    RecordingSurface surface;
    surface.watch(s);
    surface.line(0, 0, 100, 0, kBlack);
    EXPECT_TRUE(surface.faults.empty());
    surface.line(0, 0, 100, 100, kBlack);
    surface.line(0, 0, 0, 99, kBlack);
    surface.line(0, 0, 0, 100, kWhite);
    EXPECT_EQ(surface.faults.size(), 3U);
    surface.faults.clear();
    surface.line(std::numeric_limits<float>::quiet_NaN(), 0, 100, 0, kBlack);
    surface.line(32700, 0, 32800, 0, kBlack);
    surface.setFontSize(0);
    EXPECT_EQ(surface.faults.size(), 3U);
}

TEST(EventDriver, DecodesANewMazeAndAWalk) {
    // NEW MAZE "3" x "3" on the design window, then a press on the player and up to 32
    // steps through open sides.
    std::vector<std::uint8_t> bytes = {0, 0, 0x10, 0x10, 7, 0, 42, 31, 128, 128};
    for (int n = 0; n < 32; ++n) {
        bytes.push_back(static_cast<std::uint8_t>(n * 37));
    }
    EventDriver driver;
    driver.run(bytes);
    EXPECT_TRUE(driver.faults().empty()) << describe(driver.faults());
    const EventStats& stats = driver.stats();
    EXPECT_EQ(stats.mazes, 1);
    EXPECT_EQ(driver.form().mazeWidth, 3);
    EXPECT_EQ(driver.form().mazeHeight, 3);
    EXPECT_EQ(stats.of(Act::Press), 1);
    EXPECT_GT(stats.steps, 0);
    EXPECT_GT(driver.form().moveCount, 0);
}

TEST(EventDriver, RefusedSizesAreCountedAndKeepNoMaze) {
    // NEW MAZE with the tricky texts "1" and "51".
    const std::vector<std::uint8_t> bytes = {0, 0, 12, 5, 12, 4, 0, 0};
    EventDriver driver;
    driver.run(bytes);
    EXPECT_TRUE(driver.faults().empty()) << describe(driver.faults());
    EXPECT_EQ(driver.stats().rejected, 1);
    EXPECT_EQ(driver.form().entryCol, 0);
}

}  // namespace
}  // namespace quorrel::testing
