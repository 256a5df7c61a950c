// The checks the event storm and the event fuzzer rely on must see a broken state: each test
// here breaks one thing in a sound window and expects the check to say so.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "board/new_maze.h"
#include "play/play.h"
#include "solve/solve.h"
#include "support/doubles.h"
#include "support/event_driver.h"
#include "support/invariants.h"

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

TEST_F(SoundWindow, AnOpenRightBorderIsSeen) {
    h.form.openings(6, 2) = static_cast<Int>(h.form.openings(6, 2) | 2);
    EXPECT_TRUE(mentions(mazeFaults(), "right border is open at row 2")) << describe(mazeFaults());
}

// Trails the generator cannot leave: each is seen.
TEST_F(SoundWindow, ABrokenTrailIsSeen) {
    struct Break {
        const char* name;
        void (*apply)(Mazeform&);
        const char* words;
    };
    const Break kBreaks[] = {
        {"a square reached before any neighbour of it",
         [](Mazeform& f) {
             // Moves a square that is not joined to the first one up to second place.
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
         },
         "is not joined to an earlier square"},
        {"an entry after the exit's",
         [](Mazeform& f) { f.trail.at(static_cast<std::size_t>(f.trailCount) + 1) = 5; },
         "written after the exit"},
        {"an exit after every square", [](Mazeform& f) { f.trailCount = 6 * 4 + 1; },
         "trailCount is 25"},
    };
    ASSERT_LT(h.form.trailCount, 6 * 4) << "the exit needs a free trail entry after it";
    const State sound = h.form;
    for (const Break& b : kBreaks) {
        SCOPED_TRACE(b.name);
        b.apply(h.form);
        EXPECT_TRUE(mentions(mazeFaults(), b.words)) << describe(mazeFaults());
        static_cast<State&>(h.form) = sound;
        EXPECT_TRUE(mazeFaults().empty()) << describe(mazeFaults());
    }
}

TEST_F(SoundWindow, ASecondExitIsSeen) {
    Mazeform& f = h.form;
    for (int c = 1; c <= 6; ++c) {
        if (!f.opensDown(c, 4)) {
            f.openings(c, 4) = static_cast<Int>(f.openings(c, 4) + 1);
            break;
        }
    }
    EXPECT_TRUE(mentions(mazeFaults(), "2 squares of the bottom row open downward"))
        << describe(mazeFaults());
}

TEST_F(SoundWindow, AMissingPassageIsSeen) {
    Mazeform& f = h.form;
    bool closed = false;
    for (int c = 1; c < 6 && !closed; ++c) {
        for (int r = 1; r <= 4 && !closed; ++r) {
            if (f.opensRight(c, r)) {
                f.openings(c, r) = static_cast<Int>(f.openings(c, r) - 2);
                closed = true;
            }
        }
    }
    ASSERT_TRUE(closed);
    const Faults faults = mazeFaults();
    EXPECT_TRUE(mentions(faults, "22 openings between squares, not 23")) << describe(faults);
    EXPECT_TRUE(mentions(faults, "are joined to (1, 1)")) << describe(faults);
}

TEST_F(SoundWindow, ALoopIsSeen) {
    Mazeform& f = h.form;
    bool opened = false;
    for (int c = 1; c < 6 && !opened; ++c) {
        for (int r = 1; r <= 4 && !opened; ++r) {
            if (f.openings(c, r) < 2) {
                f.openings(c, r) = static_cast<Int>(f.openings(c, r) + 2);
                opened = true;
            }
        }
    }
    ASSERT_TRUE(opened);
    EXPECT_TRUE(mentions(mazeFaults(), "24 openings between squares, not 23"));
}

TEST_F(SoundWindow, TheEntranceMayOpenDownButNoOtherBorderSquare) {
    h.form.openings(h.form.entryCol, 0) = 1;
    EXPECT_TRUE(mazeFaults().empty()) << describe(mazeFaults());
    h.form.openings(0, 3) = 2;
    EXPECT_TRUE(mentions(mazeFaults(), "border square (0, 3) is open"));
}

TEST_F(SoundWindow, AnEntranceOutsideTheMazeIsSeen) {
    h.form.entryCol = 7;
    EXPECT_TRUE(mentions(mazeFaults(), "entrance column 7 is outside 1..6"));
    Faults faults;
    checkPlayer(h.form, faults);
    EXPECT_TRUE(mentions(faults, "lies outside the pass counts"));
}

TEST_F(SoundWindow, ATrailThatDoesNotEndBelowTheExitIsSeen) {
    Mazeform& f = h.form;
    f.trail.at(static_cast<std::size_t>(f.trailCount)) = 0;
    EXPECT_TRUE(mentions(mazeFaults(), "not below the exit"));
}

TEST_F(SoundWindow, APlayerOffTheMazeIsSeen) {
    firstStep();
    h.form.playerCol = 7;
    Faults faults;
    checkPlayer(h.form, faults);
    EXPECT_TRUE(mentions(faults, "(7, 1), which is no square of the maze")) << describe(faults);

    h.form.playerCol = static_cast<Int>(h.form.entryCol == 1 ? 2 : 1);
    h.form.playerRow = 0;
    faults.clear();
    checkPlayer(h.form, faults);
    EXPECT_TRUE(mentions(faults, "which is no square of the maze")) << "row 0 off the entrance";
}

TEST_F(SoundWindow, ANegativeCounterIsSeen) {
    h.form.extraMoves = -2;
    Faults faults;
    checkPlayer(h.form, faults);
    EXPECT_TRUE(mentions(faults, "negative counter"));
}

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

TEST_F(SoundWindow, SolvesPathIsCheckedSquareBySquare) {
    Mazeform& f = h.form;
    cheat_Click(f);
    Faults faults;
    checkSolution(f, faults);
    EXPECT_TRUE(faults.empty()) << describe(faults);

    const Int second = f.solutionPath.at(2);
    f.solutionPath.at(2) = f.solutionPath.at(f.solutionLength);
    faults.clear();
    checkSolution(f, faults);
    EXPECT_TRUE(mentions(faults, "not joined")) << describe(faults);
    f.solutionPath.at(2) = second;

    f.curX = static_cast<Int>(f.curX + f.squareSize);
    faults.clear();
    checkSolution(f, faults);
    EXPECT_TRUE(mentions(faults, "not on the square below the exit"));
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

TEST(ReferenceNumber, ReadsTheSizeTextsAsTheRulesSay) {
    EXPECT_EQ(referenceNumber("20"), 20);
    EXPECT_EQ(referenceNumber("2.5"), 2.5);
    EXPECT_EQ(referenceNumber(" 2 0"), 20);
    EXPECT_EQ(referenceNumber("\t4\n"), 4);
    EXPECT_EQ(referenceNumber("abc"), 0);
    EXPECT_EQ(referenceNumber(""), 0);
    EXPECT_EQ(referenceNumber("12abc"), 12);
    EXPECT_EQ(referenceNumber("1e1"), 10);
    EXPECT_EQ(referenceNumber("5d0"), 5);
    EXPECT_EQ(referenceNumber("1e"), 1);
    EXPECT_EQ(referenceNumber("-7"), -7);
    EXPECT_EQ(referenceNumber(".5e2"), 50);
    EXPECT_EQ(referenceNumber("2,5"), 2);
    EXPECT_EQ(referenceNumber("\r5"), 0);
    EXPECT_EQ(referenceNumber("0x10"), 0);
    EXPECT_TRUE(std::isinf(referenceNumber("1e999")));
}

TEST(ReferenceNumber, RoundsHalvesToEven) {
    EXPECT_EQ(referenceRound(0.5), 0);
    EXPECT_EQ(referenceRound(1.5), 2);
    EXPECT_EQ(referenceRound(2.5), 2);
    EXPECT_EQ(referenceRound(3.5), 4);
    EXPECT_EQ(referenceRound(50.5), 50);
    EXPECT_EQ(referenceRound(50.6), 51);
    EXPECT_EQ(referenceRound(-2.5), -2);
    EXPECT_EQ(referenceRound(2.4999), 2);
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
