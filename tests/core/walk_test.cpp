#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gen/generator.h"
#include "support/doubles.h"
#include "support/maze_checks.h"
#include "support/maze_geometry.h"

namespace quorrel::testing {
namespace {

// What one pass of the walk did.
enum class Took { West, North, East, South, Exit };

std::string nameOf(Took t) {
    switch (t) {
        case Took::West:
            return "west";
        case Took::North:
            return "north";
        case Took::East:
            return "east";
        case Took::South:
            return "south";
        case Took::Exit:
            return "exit";
    }
    return "?";
}

// One pass of the walk on a 5 by 5 maze prepared by hand: every square reached except the
// listed ones, all codes 0, and the count of reached squares one short of the end, so that the
// walk stops as soon as a pass enters a new square.
class WalkPass : public ::testing::Test {
  protected:
    static constexpr int kW = 5;
    static constexpr int kH = 5;

    void prepare(int c, int r, std::initializer_list<std::pair<int, int>> unreached,
                 bool exitMade = false, bool exitArmed = false) {
        h = std::make_unique<Harness>();
        Mazeform& f = h->form;
        placeBoard(f, kW, kH, 375, 75, 2000, 1025);
        f.entryCol = 1;
        f.clearMaze();
        for (int row = 1; row <= kH; ++row) {
            for (int col = 1; col <= kW; ++col) {
                f.visited(col, row) = true;
            }
        }
        for (const auto& [uc, ur] : unreached) {
            f.visited(uc, ur) = false;
        }
        f.trailCount = static_cast<Int>(kW * kH - static_cast<int>(unreached.size()) + 1);
        f.visitCount = kW * kH - 1;
        f.exitMade = exitMade;
        f.exitArmed = exitArmed;
        f.genCol = static_cast<Int>(c);
        f.genRow = static_cast<Int>(r);
        c_ = c;
        r_ = r;
    }

    // Runs the walk with the given draws and checks which way the first pass went.
    void expectPass(std::vector<double> draws, Took expected, int drawsUsed) {
        Mazeform& f = h->form;
        const bool exitBefore = f.exitMade;
        const Int trailCountBefore = f.trailCount;
        h->random.script.assign(draws.begin(), draws.end());
        r260(f);
        SCOPED_TRACE("expected a step " + nameOf(expected));
        EXPECT_TRUE(h->random.script.empty()) << "the scripted draw was not used";
        if (drawsUsed >= 0) {
            EXPECT_EQ(h->random.drawn, drawsUsed);
        }
        for (int col = 0; col <= kW + 1; ++col) {
            EXPECT_FALSE(f.visited(col, kH + 1)) << "the walk entered the border below the maze";
        }
        switch (expected) {
            case Took::West:
                EXPECT_EQ(f.genCol, c_ - 1);
                EXPECT_EQ(f.genRow, r_);
                EXPECT_EQ(f.openings(c_ - 1, r_), 2);
                EXPECT_EQ(f.openings(c_, r_), 0);
                break;
            case Took::North:
                EXPECT_EQ(f.genCol, c_);
                EXPECT_EQ(f.genRow, r_ - 1);
                EXPECT_EQ(f.openings(c_, r_ - 1), 1);
                EXPECT_EQ(f.openings(c_, r_), 0);
                break;
            case Took::East:
                EXPECT_EQ(f.genCol, c_ + 1);
                EXPECT_EQ(f.genRow, r_);
                EXPECT_EQ(f.openings(c_, r_), 2);
                break;
            case Took::South:
                EXPECT_EQ(f.genCol, c_);
                EXPECT_EQ(f.genRow, r_ + 1);
                EXPECT_EQ(f.openings(c_, r_), 1);
                break;
            case Took::Exit:
                ASSERT_FALSE(exitBefore);
                EXPECT_TRUE(f.exitMade);
                EXPECT_EQ(r_, kH);
                EXPECT_TRUE(f.opensDown(c_, kH));
                EXPECT_EQ(f.trailCount, trailCountBefore);
                EXPECT_EQ(f.trail[static_cast<std::size_t>(f.trailCount)],
                          squareCode(kW, c_, kH + 1));
                return;
        }
        EXPECT_EQ(f.exitMade, exitBefore);
        EXPECT_EQ(f.visitCount, kW * kH);
    }

    std::unique_ptr<Harness> h;
    int c_ = 0;
    int r_ = 0;
};

// Neighbours of (3, 3) and of (3, 5) on the bottom row.
constexpr std::pair<int, int> kW3{2, 3}, kN3{3, 2}, kE3{4, 3}, kS3{3, 4};
constexpr std::pair<int, int> kW5{2, 5}, kN5{3, 4}, kE5{4, 5};

TEST_F(WalkPass, WestNorthAndEastOpenPicksInThatOrderAndNeverSouth) {
    const std::pair<double, Took> picks[] = {{0.0, Took::West},   {0.2, Took::West},
                                             {0.34, Took::North}, {0.5, Took::North},
                                             {0.67, Took::East},  {0.99, Took::East}};
    for (const auto& [draw, took] : picks) {
        SCOPED_TRACE(draw);
        prepare(3, 3, {kW3, kN3, kE3, kS3});
        expectPass({draw}, took, 1);
        EXPECT_FALSE(h->form.exitArmed);
    }
}

TEST_F(WalkPass, WestNorthAndEastOpenOnTheBottomRowNeitherArmsNorCuts) {
    prepare(3, 5, {kW5, kN5, kE5});
    expectPass({0.9}, Took::East, 1);
    EXPECT_FALSE(h->form.exitArmed);
    prepare(3, 5, {kW5, kN5, kE5});
    expectPass({0.1}, Took::West, 1);
}

TEST_F(WalkPass, WestAndNorthOpen) {
    prepare(3, 3, {kW3, kN3, kS3});
    expectPass({0.1}, Took::West, 1);
    prepare(3, 3, {kW3, kN3, kS3});
    expectPass({0.5}, Took::North, 1);
    prepare(3, 3, {kW3, kN3, kS3});
    expectPass({0.9}, Took::South, 1);
    prepare(3, 3, {kW3, kN3});
    expectPass({0.4}, Took::West, 1);
    prepare(3, 3, {kW3, kN3});
    expectPass({0.6}, Took::North, 1);
}

TEST_F(WalkPass, WestAndEastOpen) {
    prepare(3, 3, {kW3, kE3, kS3});
    expectPass({0.1}, Took::West, 1);
    prepare(3, 3, {kW3, kE3, kS3});
    expectPass({0.5}, Took::East, 1);
    EXPECT_FALSE(h->form.exitArmed);  // arming only happens on the bottom row
    prepare(3, 3, {kW3, kE3, kS3});
    expectPass({0.9}, Took::South, 1);
    prepare(3, 3, {kW3, kE3});
    expectPass({0.4}, Took::West, 1);
    prepare(3, 3, {kW3, kE3});
    expectPass({0.6}, Took::East, 1);
}

TEST_F(WalkPass, OnlyWestOpen) {
    prepare(3, 3, {kW3, kS3});
    expectPass({0.4}, Took::West, 1);
    prepare(3, 3, {kW3, kS3});
    expectPass({0.6}, Took::South, 1);
    prepare(3, 3, {kW3});
    expectPass({}, Took::West, 0);
}

TEST_F(WalkPass, NorthAndEastOpen) {
    prepare(3, 3, {kN3, kE3, kS3});
    expectPass({0.1}, Took::North, 1);
    prepare(3, 3, {kN3, kE3, kS3});
    expectPass({0.5}, Took::East, 1);
    prepare(3, 3, {kN3, kE3, kS3});
    expectPass({0.9}, Took::South, 1);
    prepare(3, 3, {kN3, kE3});
    expectPass({0.4}, Took::North, 1);
    prepare(3, 3, {kN3, kE3});
    expectPass({0.6}, Took::East, 1);
}

TEST_F(WalkPass, OnlyNorthOpenAboveTheBottomRowGoesSouthWhenItCan) {
    prepare(3, 3, {kN3, kS3});
    expectPass({}, Took::South, 0);
    prepare(3, 3, {kN3});
    expectPass({}, Took::North, 0);
}

TEST_F(WalkPass, OnlyEastOpenAboveTheBottomRow) {
    prepare(3, 3, {kE3, kS3});
    expectPass({0.4}, Took::East, 1);
    prepare(3, 3, {kE3, kS3});
    expectPass({0.6}, Took::South, 1);
    prepare(3, 3, {kE3});
    expectPass({}, Took::East, 0);
}

TEST_F(WalkPass, NothingButSouthOpenAboveTheBottomRowGoesSouth) {
    prepare(3, 3, {kS3});
    expectPass({}, Took::South, 0);
}

TEST_F(WalkPass, BottomRowArmsBeforeTheSouthStepSoItCutsTheExit) {
    // West and north open: the third name, the south step, is the exit cut.
    prepare(3, 5, {kW5, kN5});
    expectPass({0.9}, Took::Exit, -1);
    prepare(3, 5, {kW5, kN5});
    expectPass({0.1}, Took::West, 1);
    EXPECT_FALSE(h->form.exitArmed);
    prepare(3, 5, {kW5, kN5});
    expectPass({0.5}, Took::North, 1);
    EXPECT_FALSE(h->form.exitArmed);

    // West and east open.
    prepare(3, 5, {kW5, kE5});
    expectPass({0.5}, Took::East, 1);
    EXPECT_TRUE(h->form.exitArmed);
    prepare(3, 5, {kW5, kE5});
    expectPass({0.9}, Took::Exit, -1);

    // North and east open.
    prepare(3, 5, {kN5, kE5});
    expectPass({0.5}, Took::East, 1);
    EXPECT_TRUE(h->form.exitArmed);
    prepare(3, 5, {kN5, kE5});
    expectPass({0.9}, Took::Exit, -1);

    // Only west open.
    prepare(3, 5, {kW5});
    expectPass({0.4}, Took::West, 1);
    prepare(3, 5, {kW5});
    expectPass({0.6}, Took::Exit, -1);
}

TEST_F(WalkPass, BottomRowWithOnlyNorthOpenGoesNorthOrCutsTheExit) {
    prepare(3, 5, {kN5});
    expectPass({0.4}, Took::North, 1);
    EXPECT_FALSE(h->form.exitArmed);
    prepare(3, 5, {kN5});
    expectPass({0.6}, Took::Exit, -1);
}

TEST_F(WalkPass, BottomRowWithOnlyEastOpenGoesEastOrCutsTheExit) {
    prepare(3, 5, {kE5});
    expectPass({0.4}, Took::East, 1);
    EXPECT_TRUE(h->form.exitArmed);
    prepare(3, 5, {kE5});
    expectPass({0.6}, Took::Exit, -1);
}

TEST_F(WalkPass, BottomRowWithNothingOpenCutsTheExitWithoutADraw) {
    // (5, 1) is the one square left; (4, 1) enters it without a draw once the exit is cut.
    prepare(3, 5, {{5, 1}});
    expectPass({}, Took::Exit, 0);
    EXPECT_TRUE(h->form.visited(5, 1));
    EXPECT_EQ(h->form.openings(4, 1), 2);
}

TEST_F(WalkPass, BottomRowAfterTheExitNeverCutsAgain) {
    prepare(3, 5, {kW5}, true);
    expectPass({}, Took::West, 0);
    prepare(3, 5, {kN5}, true);
    expectPass({}, Took::North, 0);
    prepare(3, 5, {kE5}, true);
    expectPass({}, Took::East, 0);
    EXPECT_FALSE(h->form.exitArmed);
    prepare(3, 5, {kN5, kE5}, true);
    expectPass({0.4}, Took::North, 1);
    prepare(3, 5, {kN5, kE5}, true);
    expectPass({0.6}, Took::East, 1);
    prepare(3, 5, {kW5, kN5}, true);
    expectPass({0.4}, Took::West, 1);
    prepare(3, 5, {kW5, kN5}, true);
    expectPass({0.6}, Took::North, 1);
}

TEST_F(WalkPass, BottomRowArmsEvenAfterTheExitIsCut) {
    prepare(3, 5, {kW5, kE5}, true);
    expectPass({0.6}, Took::East, 1);
    EXPECT_TRUE(h->form.exitArmed);
    prepare(3, 5, {kN5, kE5}, true);
    expectPass({0.6}, Took::East, 1);
    EXPECT_TRUE(h->form.exitArmed);
}

TEST_F(WalkPass, StaleArmingTurnsALaterSouthStepIntoAScan) {
    // Only south open at (3, 3): the south step runs the exit cut, which, the exit being cut
    // already, scans. The walk reaches (3, 4) later from (2, 4), the first square after
    // (3, 3) in reading order that has it as an open neighbour.
    prepare(3, 3, {kS3}, true, true);
    r260(h->form);
    Mazeform& f = h->form;
    EXPECT_EQ(f.openings(3, 3), 0);
    EXPECT_EQ(f.openings(2, 4), 2);
    EXPECT_EQ(f.genCol, 3);
    EXPECT_EQ(f.genRow, 4);
    EXPECT_EQ(h->random.drawn, 0);
    EXPECT_TRUE(f.exitArmed);
}

TEST_F(WalkPass, StaleArmingTurnsAChosenSouthStepIntoAScan) {
    prepare(3, 3, {kE3, kS3}, true, true);
    h->random.script = {0.6};
    h->random.fallback = SeededRandom(7);
    r260(h->form);
    EXPECT_TRUE(h->random.script.empty());
    EXPECT_FALSE(h->form.opensDown(3, 3)) << "moved south from (3, 3)";
}

TEST(Branch, PicksAmongTwoNamesByHalves) {
    Harness h;
    Mazeform& f = h.form;
    f.mazeWidth = 3;
    f.mazeHeight = 3;
    f.visited = Grid<bool>(4, 4);
    f.openings = Grid<Int>(4, 4);
    f.trail.assign(10, 0);
    f.visited(1, 1) = f.visited(3, 1) = true;
    f.visitCount = 2;

    // f210 and reset are accepted names too.
    f.genCol = 1;
    f.genRow = 1;
    h.random.script = {0.49};
    branch(f, "f210", "reset");
    EXPECT_EQ(f.genCol, 3);
    EXPECT_FALSE(f.exitMade);

    f.genCol = 2;
    f.genRow = 3;
    h.random.script = {0.5};
    branch(f, "f210", "reset");
    EXPECT_TRUE(f.exitMade);
    EXPECT_EQ(f.openings(2, 3), 1);
    EXPECT_EQ(h.random.drawn, 2);
}

TEST(Branch, AnUnknownNameDrawsButRunsNothing) {
    Harness h;
    Mazeform& f = h.form;
    f.mazeWidth = 2;
    f.mazeHeight = 2;
    f.visited = Grid<bool>(3, 3);
    f.openings = Grid<Int>(3, 3);
    f.trail.assign(5, 0);
    f.genCol = 1;
    f.genRow = 1;
    h.random.script = {0.9};
    branch(f, "rplus1", "splus1", "north");
    EXPECT_EQ(h.random.drawn, 1);
    EXPECT_EQ(f.genCol, 1);
    EXPECT_EQ(f.genRow, 1);
    EXPECT_EQ(f.openings(1, 1), 0);
}

// main: the entrance draw, the start of the walk and the reseeding.
class MazeStart : public ::testing::Test {
  protected:
    void size(int w, int ht) { placeBoard(h.form, w, ht, 116, 23, 1540, 766); }
    Harness h;
};

TEST_F(MazeStart, EntranceDrawPicksTheColumn) {
    size(5, 5);
    const std::pair<double, int> picks[] = {{0.0, 1},  {0.19, 1}, {0.3, 2},     {0.5, 3},
                                            {0.79, 4}, {0.81, 5}, {0.999999, 5}};
    for (const auto& [draw, col] : picks) {
        SCOPED_TRACE(draw);
        h.random.script = {draw};
        main(h.form);
        const Mazeform& f = h.form;
        EXPECT_EQ(f.entryCol, col);
        EXPECT_EQ(f.trail[1], 5 + col - 1);
        EXPECT_EQ(f.entryX, col * 116 + 1540);
        EXPECT_EQ(f.entryY, 766);
        EXPECT_EQ(f.curX, f.entryX);
        EXPECT_EQ(f.curY, f.entryY);
    }
}

TEST_F(MazeStart, EveryColumnHasAnEqualShareOfTheDraws) {
    for (int w = 2; w <= 50; ++w) {
        size(w, 2);
        for (int col = 1; col <= w; ++col) {
            h.random.script = {(col - 0.5) / w};
            h.surface.ops.clear();
            main(h.form);
            ASSERT_EQ(h.form.entryCol, col) << "width " << w;
        }
    }
}

TEST_F(MazeStart, TheLargestDrawBelowOneGivesTheLastColumn) {
    // r * W + 1 lands exactly on W + 1 in floating point for some widths (the powers of two).
    const double largest = std::nextafter(1.0, 0.0);
    for (int w = 2; w <= 50; ++w) {
        size(w, 2);
        h.random.script = {largest};
        h.surface.ops.clear();
        main(h.form);
        ASSERT_EQ(h.form.entryCol, w) << "width " << w;
        EXPECT_FALSE(h.form.visited(w + 1, 1));
    }
}

TEST_F(MazeStart, TheWalkStartsBelowTheEntrance) {
    // On a 3 by 3 maze entered at column 2 the first pass sees west, east and south open and
    // north closed: the draw 0.5 picks the second name, east.
    size(3, 3);
    h.random.script = {0.5, 0.5};
    h.form.makeFiles = false;
    main(h.form);
    const Mazeform& f = h.form;
    EXPECT_EQ(f.entryCol, 2);
    EXPECT_EQ(f.trail[1], squareCode(3, 2, 1));
    EXPECT_EQ(f.trail[2], squareCode(3, 3, 1));
    EXPECT_TRUE(f.opensRight(2, 1));
}

TEST_F(MazeStart, ForgetsTheExitOfThePreviousMaze) {
    size(2, 2);
    h.form.exitMade = true;
    h.form.exitArmed = true;
    h.random.script = {0.1, 0.75, 0.75};
    main(h.form);
    // The worked example again: a stale flag would have cut the exit at the first south step.
    EXPECT_EQ(h.form.openings(1, 1), 3);
    EXPECT_EQ(h.form.openings(1, 2), 3);
    EXPECT_EQ(h.form.trail[2], 4);
    EXPECT_EQ(h.form.trail[3], 6);
}

// Notes the order of reseeds and draws.
class LoggingRandom : public RandomSource {
  public:
    void reseed() override { log += 'S'; }
    double next() override {
        log += 'd';
        return inner.next();
    }
    std::string log;
    SeededRandom inner{99};
};

TEST(MazeReseed, ReseedsOnceAtTheStartOfEveryMaze) {
    RecordingSurface surface;
    FakeWindow window;
    LoggingRandom random;
    MemoryFileStore files;
    Mazeform f{Ports{surface, window, window, random, files}};
    f.mazeWidth = 8;
    f.mazeHeight = 6;
    f.squareSize = 200;
    main(f);
    ASSERT_FALSE(random.log.empty());
    EXPECT_EQ(random.log.front(), 'S');
    EXPECT_EQ(std::count(random.log.begin(), random.log.end(), 'S'), 1);
    const std::size_t first = random.log.size();
    main(f);
    EXPECT_EQ(random.log[first], 'S');
    EXPECT_EQ(std::count(random.log.begin(), random.log.end(), 'S'), 2);
}

TEST(MazeReseed, ClockReseedsInQuickSuccessionGiveDifferentStreams) {
    ClockRandom random;
    std::vector<std::vector<double>> streams;
    for (int i = 0; i < 3; ++i) {
        random.reseed();
        std::vector<double> draws;
        for (int k = 0; k < 4; ++k) {
            draws.push_back(random.next());
        }
        streams.push_back(draws);
    }
    EXPECT_NE(streams[0], streams[1]);
    EXPECT_NE(streams[1], streams[2]);
    EXPECT_NE(streams[0], streams[2]);
    for (const auto& draws : streams) {
        for (double r : draws) {
            EXPECT_GE(r, 0.0);
            EXPECT_LT(r, 1.0);
        }
    }
}

TEST(MazeReseed, UnitIntervalStaysBelowOne) {
    EXPECT_EQ(unitInterval(0), 0.0);
    EXPECT_LT(unitInterval(~std::uint64_t{0}), 1.0);
    EXPECT_GT(unitInterval(~std::uint64_t{0}), 0.9999999);
}

}  // namespace
}  // namespace quorrel::testing
