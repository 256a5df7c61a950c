// The maze generator: the carving steps one at a time, single passes of the walk, the random
// choice among names, the start of a maze and its reseeding, the worked example, whole mazes of
// every size, and the chance of a maze without an exit.

#include "gen/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/invariants.h"
#include "support/maze_checks.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

// Where the walker stands.
Square walker(const State& f) {
    return {f.genCol, f.genRow};
}

// ---- The carving steps, run one at a time on a 4 by 3 maze prepared by hand ---------------

class Carve : public ::testing::Test {
  protected:
    static constexpr int kW = 4;
    static constexpr int kH = 3;

    void SetUp() override {
        Mazeform& f = h.form;
        placeBoard(f, kW, kH, 375, 75, 3000, 1025);
        f.clearMaze();
        f.entryCol = 1;
        f.trailCount = 1;
        f.visitCount = 0;
    }

    // Marks squares reached as the walk would have, appending them to the trail.
    void reach(std::initializer_list<std::pair<int, int>> squares) {
        for (const auto& [c, r] : squares) {
            setwa(h.form, static_cast<Int>(c), static_cast<Int>(r));
            ++h.form.visitCount;
        }
    }

    void standOn(int c, int r) {
        h.form.genCol = static_cast<Int>(c);
        h.form.genRow = static_cast<Int>(r);
    }

    // Reaches the squares in turn and stands on the first, whose code becomes `code`.
    Square start(const std::vector<Square>& reached, Int code) {
        for (const Square s : reached) {
            reach({{s.col, s.row}});
        }
        const Square at = reached.front();
        standOn(at.col, at.row);
        h.form.openings(at.col, at.row) = code;
        return at;
    }

    Harness h;
};

TEST_F(Carve, SetwaMarksTheSquareAndAppendsItsCode) {
    Mazeform& f = h.form;
    f.trailCount = 3;
    setwa(f, 2, 3);
    EXPECT_TRUE(f.visited(2, 3));
    EXPECT_EQ(f.trail[3], kW * 3 + 2 - 1);
    EXPECT_EQ(f.trailCount, 4);
    EXPECT_EQ(f.visitCount, 0);  // the driver counts, not setwa
}

TEST_F(Carve, SetwaAppendsNothingOnceTheExitIsCut) {
    Mazeform& f = h.form;
    f.trailCount = 3;
    f.trail[3] = 17;
    f.exitMade = true;
    setwa(f, 2, 2);
    EXPECT_TRUE(f.visited(2, 2));
    EXPECT_EQ(f.trail[3], 17);
    EXPECT_EQ(f.trail[4], 0);
    EXPECT_EQ(f.trailCount, 3);
}

// A step from (3, 2) west or north, or from a square already reached east or south: the code of
// the square that owns the side between the two squares gains that side's bit.
struct CarvingStep {
    const char* name;
    void (*step)(Mazeform&);
    std::vector<Square> reached;  // the walker stands on the first
    Int ownCode;                  // the walker's square's code before the step
    Square into;
    Int owner;  // which of the two squares owns the side: 0 the square left, 1 the one entered
    Int bit;
    bool disarms;  // only the west and north steps disarm the exit cut
    Square next;   // where the same step goes once more, for the east and south steps
};

class CarvingSteps : public Carve, public ::testing::WithParamInterface<CarvingStep> {};

TEST_P(CarvingSteps, OpenTheSideBetweenTheTwoSquaresAndReachTheNewOne) {
    const CarvingStep& c = GetParam();
    Mazeform& f = h.form;
    const Square from = start(c.reached, c.ownCode);
    f.exitArmed = true;
    c.step(f);
    const Int fromCode = c.owner == 0 ? c.ownCode | c.bit : c.ownCode;
    EXPECT_EQ(f.openings(from.col, from.row), fromCode);  // a square entered keeps its code
    EXPECT_EQ(f.openings(c.into.col, c.into.row), c.owner == 1 ? c.bit : 0);
    EXPECT_EQ(walker(f), c.into);
    EXPECT_EQ(f.exitArmed, !c.disarms);
    EXPECT_TRUE(f.visited(c.into.col, c.into.row));
    const auto last = c.reached.size() + 1;
    EXPECT_EQ(f.trail[last], squareCode(kW, c.into.col, c.into.row));
    EXPECT_EQ(f.trailCount, last + 1);
    EXPECT_EQ(f.visitCount, c.reached.size());  // the driver counts, not the step
    if (c.owner == 0) {
        c.step(f);
        EXPECT_EQ(f.openings(c.into.col, c.into.row), c.bit);
        EXPECT_EQ(walker(f), c.next);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Carve, CarvingSteps,
    ::testing::Values(
        CarvingStep{
            "WestMoveOpensTheEnteredSquareToTheRight", rsub1, {{3, 2}}, 1, {2, 2}, 1, 2, true, {}},
        CarvingStep{
            "NorthMoveOpensTheEnteredSquareDownward", ssub1, {{3, 2}}, 2, {3, 1}, 1, 1, true, {}},
        CarvingStep{"EastMoveAddsTheRightOpeningToTheSquareLeft",
                    rplus1,
                    {{1, 1}, {1, 2}},
                    1,
                    {2, 1},
                    0,
                    2,
                    false,
                    {3, 1}},
        CarvingStep{"SouthMoveAddsTheBottomOpeningToTheSquareLeft",
                    splus,
                    {{2, 1}},
                    2,
                    {2, 2},
                    0,
                    1,
                    false,
                    {2, 3}}),
    [](const ::testing::TestParamInfo<CarvingStep>& p) { return std::string(p.param.name); });

TEST_F(Carve, SouthStepMovesSouthWhileNotArmed) {
    Mazeform& f = h.form;
    reach({{2, 1}});
    standOn(2, 1);
    splus1(f);
    EXPECT_EQ(f.openings(2, 1), 1);
    EXPECT_EQ(f.genRow, 2);
    EXPECT_FALSE(f.exitMade);
}

TEST_F(Carve, ArmedSouthStepCutsTheExit) {
    Mazeform& f = h.form;
    reach({{1, 1}, {1, 2}, {1, 3}, {2, 3}});
    standOn(2, 3);
    f.exitArmed = true;
    splus1(f);
    EXPECT_TRUE(f.exitMade);
    EXPECT_EQ(f.openings(2, 3), 1);
    EXPECT_FALSE(f.visited(2, 4));
    EXPECT_EQ(f.trail[5], squareCode(kW, 2, 4));
    EXPECT_EQ(f.trailCount, 5);
    EXPECT_TRUE(f.exitArmed);  // cutting the exit leaves the flag alone
}

TEST_F(Carve, StaleArmedSouthStepScansInsteadOfMoving) {
    Mazeform& f = h.form;
    reach({{1, 1}, {2, 1}, {4, 1}, {1, 2}});
    standOn(2, 1);
    f.exitArmed = true;
    f.exitMade = true;
    const Int before = f.visitCount;
    splus1(f);
    EXPECT_EQ(f.openings(2, 1), 0);
    EXPECT_FALSE(f.visited(2, 2));
    EXPECT_EQ(walker(f), (Square{4, 1}));  // (3, 1) is unreached, so the scan stops at (4, 1)
    EXPECT_EQ(f.visitCount, before - 1);
    EXPECT_TRUE(f.exitArmed);
}

// The exit cut below the walker's square on the bottom row, then the scan to the next reached
// square after it; once an exit is cut, only the scan.
struct ExitCut {
    const char* name;
    std::vector<Square> reached;  // the walker stands on the first
    Int code;                     // the walker's square's code
    bool cutBefore;
    Square next;  // where the scan stops
};

class ExitCuts : public Carve, public ::testing::WithParamInterface<ExitCut> {};

TEST_P(ExitCuts, OpenTheBottomOfTheWalkersSquareAndScan) {
    const ExitCut& c = GetParam();
    Mazeform& f = h.form;
    const Square at = start(c.reached, c.code);
    f.exitMade = c.cutBefore;
    const State before = f;
    reset(f);
    EXPECT_TRUE(f.exitMade);
    EXPECT_EQ(f.openings(at.col, at.row), c.cutBefore ? c.code : c.code | 1);
    EXPECT_EQ(walker(f), c.next);
    EXPECT_EQ(f.visitCount, before.visitCount - 1);
    EXPECT_EQ(f.trailCount, before.trailCount);
    EXPECT_EQ(f.exitArmed, before.exitArmed);
    if (c.cutBefore) {
        EXPECT_EQ(f.trail, before.trail);
    } else {
        EXPECT_EQ(f.trail[static_cast<std::size_t>(f.trailCount)], squareCode(kW, at.col, kH + 1));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Carve, ExitCuts,
    ::testing::Values(
        // Scans on from the exit square, not from (1, 1).
        ExitCut{"ExitCutOnAnOpenRightSideScansOnFromTheExitSquare",
                {{1, 3}, {1, 1}, {1, 2}, {2, 3}, {3, 1}},
                2,
                false,
                {2, 3}},
        ExitCut{"ExitCutOnAClosedSquareGoesOnFromTheFirstSquare",
                {{3, 3}, {1, 1}, {2, 1}, {2, 2}, {2, 3}},
                0,
                false,
                {1, 1}},
        // (1, 1) and (2, 1) are unreached.
        ExitCut{"ExitCutOnAClosedSquareScansFromTheFirstSquareWhenItIsUnreached",
                {{3, 3}, {3, 1}, {3, 2}},
                0,
                false,
                {3, 1}},
        ExitCut{"SecondExitCutOnlyScans", {{1, 3}, {2, 3}, {3, 3}}, 0, true, {2, 3}}),
    [](const ::testing::TestParamInfo<ExitCut>& p) { return std::string(p.param.name); });

TEST_F(Carve, MovesAfterTheExitCutAppendNothing) {
    Mazeform& f = h.form;
    reach({{1, 1}, {1, 2}, {1, 3}});
    standOn(1, 3);
    reset(f);  // exit below (1, 3); (1, 1) is reached, so the walk goes on there
    ASSERT_EQ(f.trailCount, 4);
    const Int exitCode = f.trail[4];
    EXPECT_EQ(codeRow(kW, exitCode), kH + 1);
    EXPECT_EQ(codeCol(kW, exitCode), 1);
    rplus1(f);
    splus(f);
    EXPECT_TRUE(f.visited(2, 2));
    EXPECT_EQ(f.trailCount, 4);
    EXPECT_EQ(f.trail[4], exitCode);
    EXPECT_EQ(f.trail[5], 0);
}

// The scan forward in reading order to the next reached square, from where the walker stands.
struct Scan {
    const char* name;
    std::vector<Square> reached;  // the walker stands on the first
    std::vector<Square> stops;    // where each scan in turn stops
};

class Scans : public Carve, public ::testing::WithParamInterface<Scan> {};

TEST_P(Scans, StopAtTheNextReachedSquare) {
    const Scan& scan = GetParam();
    start(scan.reached, 0);
    const Int visits = h.form.visitCount;
    for (const Square stop : scan.stops) {
        f210(h.form);
        EXPECT_EQ(walker(h.form), stop);
    }
    EXPECT_EQ(h.form.visitCount, visits - static_cast<Int>(scan.stops.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Carve, Scans,
    ::testing::Values(Scan{"ScanFromTheLastSquareWrapsToTheFirst", {{4, 3}, {1, 1}}, {{1, 1}}},
                      Scan{"ScanWrapsPastAnUnreachedFirstSquare", {{4, 3}, {2, 1}}, {{2, 1}}},
                      Scan{"ScanGoesOnAtTheStartOfTheNextRowAndSkipsUnreachedSquares",
                           {{4, 1}, {2, 2}, {3, 2}},
                           {{2, 2}, {3, 2}}},
                      // (3, 2) to (2, 2) takes the long way round.
                      Scan{"ScanNeverStopsOnItsStartingSquareBeforeGoingRound",
                           {{2, 2}, {3, 2}},
                           {{3, 2}, {2, 2}}}),
    [](const ::testing::TestParamInfo<Scan>& p) { return std::string(p.param.name); });

// ---- One pass of the walk ------------------------------------------------------------------

// What one pass of the walk did.
enum class Took { West, North, East, South, Exit };
// What the pass left of the exit cut's arming, where that is looked at.
enum class Armed { Any, Yes, No };

// One pass of the walk on a 5 by 5 maze prepared by hand: every square reached except the
// listed ones, all codes 0, and the count of reached squares one short of the end, so that the
// walk stops as soon as a pass enters a new square.
struct Pass {
    const char* name;
    int row;  // the pass starts at (3, row): 3 inside the maze, 5 on the bottom row
    std::vector<Square> unreached;
    std::vector<double> draws;
    Took took;
    int drawsUsed;  // -1: the exit cut's scan may draw on
    Armed armed = Armed::Any;
    bool exitMade = false;
};

void PrintTo(const Pass& p, std::ostream* os) {
    *os << p.name;
}

class WalkPass : public ::testing::Test {
  protected:
    static constexpr int kW = 5;
    static constexpr int kH = 5;

    void prepare(int r, const std::vector<Square>& unreached, bool exitMade = false,
                 bool exitArmed = false) {
        Mazeform& f = h.form;
        placeBoard(f, kW, kH, 375, 75, 2000, 1025);
        f.entryCol = 1;
        f.clearMaze();
        for (int row = 1; row <= kH; ++row) {
            for (int col = 1; col <= kW; ++col) {
                f.visited(col, row) = true;
            }
        }
        for (const Square s : unreached) {
            f.visited(s.col, s.row) = false;
        }
        f.trailCount = static_cast<Int>(kW * kH - static_cast<int>(unreached.size()) + 1);
        f.visitCount = kW * kH - 1;
        f.exitMade = exitMade;
        f.exitArmed = exitArmed;
        f.genCol = 3;
        f.genRow = static_cast<Int>(r);
    }

    Harness h;
};

class WalkPasses : public WalkPass, public ::testing::WithParamInterface<Pass> {};

// Runs the walk with the row's draws and checks which way the first pass went.
TEST_P(WalkPasses, GoTheWayTheDrawPicks) {
    const Pass& p = GetParam();
    prepare(p.row, p.unreached, p.exitMade);
    Mazeform& f = h.form;
    const int c = 3;
    const int r = p.row;
    const Int trailCountBefore = f.trailCount;
    h.random.script.assign(p.draws.begin(), p.draws.end());
    r260(f);
    EXPECT_TRUE(h.random.script.empty()) << "the scripted draw was not used";
    if (p.drawsUsed >= 0) {
        EXPECT_EQ(h.random.drawn, p.drawsUsed);
    }
    for (int col = 0; col <= kW + 1; ++col) {
        EXPECT_FALSE(f.visited(col, kH + 1)) << "the walk entered the border below the maze";
    }
    if (p.armed != Armed::Any) {
        EXPECT_EQ(f.exitArmed, p.armed == Armed::Yes);
    }
    switch (p.took) {
        case Took::West:
            EXPECT_EQ(walker(f), (Square{c - 1, r}));
            EXPECT_EQ(f.openings(c - 1, r), 2);
            EXPECT_EQ(f.openings(c, r), 0);
            break;
        case Took::North:
            EXPECT_EQ(walker(f), (Square{c, r - 1}));
            EXPECT_EQ(f.openings(c, r - 1), 1);
            EXPECT_EQ(f.openings(c, r), 0);
            break;
        case Took::East:
            EXPECT_EQ(walker(f), (Square{c + 1, r}));
            EXPECT_EQ(f.openings(c, r), 2);
            break;
        case Took::South:
            EXPECT_EQ(walker(f), (Square{c, r + 1}));
            EXPECT_EQ(f.openings(c, r), 1);
            break;
        case Took::Exit:
            ASSERT_FALSE(p.exitMade);
            EXPECT_TRUE(f.exitMade);
            EXPECT_EQ(r, kH);
            EXPECT_TRUE(f.opensDown(c, kH));
            EXPECT_EQ(f.trailCount, trailCountBefore);
            EXPECT_EQ(f.trail[static_cast<std::size_t>(f.trailCount)], squareCode(kW, c, kH + 1));
            return;
    }
    EXPECT_EQ(f.exitMade, p.exitMade);
    EXPECT_EQ(f.visitCount, kW * kH);
}

// Neighbours of (3, 3) and of (3, 5) on the bottom row.
constexpr Square kW3{2, 3}, kN3{3, 2}, kE3{4, 3}, kS3{3, 4};
constexpr Square kW5{2, 5}, kN5{3, 4}, kE5{4, 5};
constexpr Took kWest = Took::West, kNorth = Took::North, kEast = Took::East;
constexpr Took kSouth = Took::South, kExit = Took::Exit;
constexpr Armed kArmed = Armed::Yes, kUnarmed = Armed::No, kAny = Armed::Any;

const Pass kPasses[] = {
    // West, north and east open: picked in that order, never south.
    {"WestNorthAndEastOpen_0", 3, {kW3, kN3, kE3, kS3}, {0.0}, kWest, 1, kUnarmed},
    {"WestNorthAndEastOpen_02", 3, {kW3, kN3, kE3, kS3}, {0.2}, kWest, 1, kUnarmed},
    {"WestNorthAndEastOpen_034", 3, {kW3, kN3, kE3, kS3}, {0.34}, kNorth, 1, kUnarmed},
    {"WestNorthAndEastOpen_05", 3, {kW3, kN3, kE3, kS3}, {0.5}, kNorth, 1, kUnarmed},
    {"WestNorthAndEastOpen_067", 3, {kW3, kN3, kE3, kS3}, {0.67}, kEast, 1, kUnarmed},
    {"WestNorthAndEastOpen_099", 3, {kW3, kN3, kE3, kS3}, {0.99}, kEast, 1, kUnarmed},
    // On the bottom row the same neither arms nor cuts.
    {"WestNorthAndEastOpenOnTheBottomRow_East", 5, {kW5, kN5, kE5}, {0.9}, kEast, 1, kUnarmed},
    {"WestNorthAndEastOpenOnTheBottomRow_West", 5, {kW5, kN5, kE5}, {0.1}, kWest, 1},
    {"WestAndNorthOpen_West", 3, {kW3, kN3, kS3}, {0.1}, kWest, 1},
    {"WestAndNorthOpen_North", 3, {kW3, kN3, kS3}, {0.5}, kNorth, 1},
    {"WestAndNorthOpen_South", 3, {kW3, kN3, kS3}, {0.9}, kSouth, 1},
    {"WestAndNorthOpenSouthReached_West", 3, {kW3, kN3}, {0.4}, kWest, 1},
    {"WestAndNorthOpenSouthReached_North", 3, {kW3, kN3}, {0.6}, kNorth, 1},
    {"WestAndEastOpen_West", 3, {kW3, kE3, kS3}, {0.1}, kWest, 1},
    // Arming only happens on the bottom row.
    {"WestAndEastOpen_East", 3, {kW3, kE3, kS3}, {0.5}, kEast, 1, kUnarmed},
    {"WestAndEastOpen_South", 3, {kW3, kE3, kS3}, {0.9}, kSouth, 1},
    {"WestAndEastOpenSouthReached_West", 3, {kW3, kE3}, {0.4}, kWest, 1},
    {"WestAndEastOpenSouthReached_East", 3, {kW3, kE3}, {0.6}, kEast, 1},
    {"OnlyWestOpen_West", 3, {kW3, kS3}, {0.4}, kWest, 1},
    {"OnlyWestOpen_South", 3, {kW3, kS3}, {0.6}, kSouth, 1},
    {"OnlyWestOpenSouthReached", 3, {kW3}, {}, kWest, 0},
    {"NorthAndEastOpen_North", 3, {kN3, kE3, kS3}, {0.1}, kNorth, 1},
    {"NorthAndEastOpen_East", 3, {kN3, kE3, kS3}, {0.5}, kEast, 1},
    {"NorthAndEastOpen_South", 3, {kN3, kE3, kS3}, {0.9}, kSouth, 1},
    {"NorthAndEastOpenSouthReached_North", 3, {kN3, kE3}, {0.4}, kNorth, 1},
    {"NorthAndEastOpenSouthReached_East", 3, {kN3, kE3}, {0.6}, kEast, 1},
    // Only north open above the bottom row goes south when it can.
    {"OnlyNorthOpenAboveTheBottomRow", 3, {kN3, kS3}, {}, kSouth, 0},
    {"OnlyNorthOpenAboveTheBottomRowSouthReached", 3, {kN3}, {}, kNorth, 0},
    {"OnlyEastOpenAboveTheBottomRow_East", 3, {kE3, kS3}, {0.4}, kEast, 1},
    {"OnlyEastOpenAboveTheBottomRow_South", 3, {kE3, kS3}, {0.6}, kSouth, 1},
    {"OnlyEastOpenAboveTheBottomRowSouthReached", 3, {kE3}, {}, kEast, 0},
    {"NothingButSouthOpenAboveTheBottomRow", 3, {kS3}, {}, kSouth, 0},
    // The bottom row arms before the south step, so the south step cuts the exit. West and
    // north open: the third name, the south step, is the exit cut.
    {"BottomRowArms_WestNorth_Exit", 5, {kW5, kN5}, {0.9}, kExit, -1},
    {"BottomRowArms_WestNorth_West", 5, {kW5, kN5}, {0.1}, kWest, 1, kUnarmed},
    {"BottomRowArms_WestNorth_North", 5, {kW5, kN5}, {0.5}, kNorth, 1, kUnarmed},
    {"BottomRowArms_WestEast_East", 5, {kW5, kE5}, {0.5}, kEast, 1, kArmed},
    {"BottomRowArms_WestEast_Exit", 5, {kW5, kE5}, {0.9}, kExit, -1},
    {"BottomRowArms_NorthEast_East", 5, {kN5, kE5}, {0.5}, kEast, 1, kArmed},
    {"BottomRowArms_NorthEast_Exit", 5, {kN5, kE5}, {0.9}, kExit, -1},
    {"BottomRowArms_OnlyWest_West", 5, {kW5}, {0.4}, kWest, 1},
    {"BottomRowArms_OnlyWest_Exit", 5, {kW5}, {0.6}, kExit, -1},
    {"BottomRowWithOnlyNorthOpen_North", 5, {kN5}, {0.4}, kNorth, 1, kUnarmed},
    {"BottomRowWithOnlyNorthOpen_Exit", 5, {kN5}, {0.6}, kExit, -1},
    {"BottomRowWithOnlyEastOpen_East", 5, {kE5}, {0.4}, kEast, 1, kArmed},
    {"BottomRowWithOnlyEastOpen_Exit", 5, {kE5}, {0.6}, kExit, -1},
    // Once the exit is cut the bottom row never cuts again, but it still arms.
    {"BottomRowAfterTheExit_OnlyWest", 5, {kW5}, {}, kWest, 0, kAny, true},
    {"BottomRowAfterTheExit_OnlyNorth", 5, {kN5}, {}, kNorth, 0, kAny, true},
    {"BottomRowAfterTheExit_OnlyEast", 5, {kE5}, {}, kEast, 0, kUnarmed, true},
    {"BottomRowAfterTheExit_NorthEast_North", 5, {kN5, kE5}, {0.4}, kNorth, 1, kAny, true},
    {"BottomRowAfterTheExit_NorthEast_East", 5, {kN5, kE5}, {0.6}, kEast, 1, kArmed, true},
    {"BottomRowAfterTheExit_WestNorth_West", 5, {kW5, kN5}, {0.4}, kWest, 1, kAny, true},
    {"BottomRowAfterTheExit_WestNorth_North", 5, {kW5, kN5}, {0.6}, kNorth, 1, kAny, true},
    {"BottomRowArmsEvenAfterTheExitIsCut_WestEast", 5, {kW5, kE5}, {0.6}, kEast, 1, kArmed, true},
};

INSTANTIATE_TEST_SUITE_P(Rows, WalkPasses, ::testing::ValuesIn(kPasses),
                         [](const ::testing::TestParamInfo<Pass>& p) {
                             return std::string(p.param.name);
                         });

TEST_F(WalkPass, BottomRowWithNothingOpenCutsTheExitWithoutADraw) {
    // (5, 1) is the one square left; (4, 1) enters it without a draw once the exit is cut.
    prepare(5, {{5, 1}});
    const Int trailCount = h.form.trailCount;
    r260(h.form);
    EXPECT_EQ(h.random.drawn, 0);
    EXPECT_TRUE(h.form.exitMade);
    EXPECT_TRUE(h.form.opensDown(3, 5));
    EXPECT_EQ(h.form.trailCount, trailCount);
    EXPECT_EQ(h.form.trail[static_cast<std::size_t>(trailCount)], squareCode(kW, 3, 6));
    for (int col = 0; col <= kW + 1; ++col) {
        EXPECT_FALSE(h.form.visited(col, kH + 1)) << "the walk entered the border below the maze";
    }
    EXPECT_TRUE(h.form.visited(5, 1));
    EXPECT_EQ(h.form.openings(4, 1), 2);
}

TEST_F(WalkPass, StaleArmingTurnsALaterSouthStepIntoAScan) {
    // Only south open at (3, 3): the south step runs the exit cut, which, the exit being cut
    // already, scans. The walk reaches (3, 4) later from (2, 4), the first square after
    // (3, 3) in reading order that has it as an open neighbour.
    prepare(3, {kS3}, true, true);
    r260(h.form);
    Mazeform& f = h.form;
    EXPECT_EQ(f.openings(3, 3), 0);
    EXPECT_EQ(f.openings(2, 4), 2);
    EXPECT_EQ(walker(f), (Square{3, 4}));
    EXPECT_EQ(h.random.drawn, 0);
    EXPECT_TRUE(f.exitArmed);
}

TEST_F(WalkPass, StaleArmingTurnsAChosenSouthStepIntoAScan) {
    prepare(3, {kE3, kS3}, true, true);
    h.random.script = {0.6};
    h.random.fallback = SeededRandom(7);
    r260(h.form);
    EXPECT_TRUE(h.random.script.empty());
    EXPECT_FALSE(h.form.opensDown(3, 3)) << "moved south from (3, 3)";
}

// ---- The random choice among names ---------------------------------------------------------

TEST(Branch, PicksAmongTwoNamesByHalves) {
    Harness h;
    Mazeform& f = h.form;
    placeBoard(f, 3, 3, 0, 0, 0, 0);
    f.clearMaze();
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
    placeBoard(f, 2, 2, 0, 0, 0, 0);
    f.clearMaze();
    f.genCol = 1;
    f.genRow = 1;
    h.random.script = {0.9};
    branch(f, "rplus1", "splus1", "north");
    EXPECT_EQ(h.random.drawn, 1);
    EXPECT_EQ(walker(f), (Square{1, 1}));
    EXPECT_EQ(f.openings(1, 1), 0);
}

// ---- main: the entrance draw, the start of the walk and the reseeding ----------------------

class MazeStart : public ::testing::Test {
  protected:
    void size(int w, int ht) { placeBoard(h.form, w, ht, 116, 23, 1540, 766); }
    Harness h;
};

// The entrance's column from the first draw r of a maze W wide: every column has an equal share
// of the draws, whatever the size. The largest draw below 1, which the clock-seeded generator
// can return, once made floor(r * W + 1) come out as W + 1 for W = 2, 4, 8, 16 and 32, putting
// the entrance outside the maze. Found by the event storm.
constexpr double kLargestDraw = 0x1.fffffffffffffp-1;

struct EntranceDraw {
    int w, h;
    double draw;
    int col;
};

std::vector<EntranceDraw> entranceDraws() {
    std::vector<EntranceDraw> rows = {{5, 5, 0.0, 1},      {5, 5, 0.19, 1}, {5, 5, 0.3, 2},
                                      {5, 5, 0.5, 3},      {5, 5, 0.79, 4}, {5, 5, 0.81, 5},
                                      {5, 5, 0.999999, 5}, {32, 2, 0.0, 1}};
    for (int w = 2; w <= 50; ++w) {
        for (int col = 1; col <= w; ++col) {
            rows.push_back({w, 2, (col - 0.5) / w, col});
        }
        rows.push_back({w, 2, kLargestDraw, w});
    }
    for (int w : {2, 3, 4, 5, 8, 16, 31, 32, 33, 50}) {  // powers of two and their neighbours
        rows.push_back({w, 3, kLargestDraw, w});
    }
    return rows;
}

// NEW MAZE puts the entrance, the walk's first square and the player over the drawn column.
TEST(EntranceDraw, PicksTheColumnOfEveryDraw) {
    for (const EntranceDraw& row : entranceDraws()) {
        SCOPED_TRACE(::testing::Message() << row.w << " by " << row.h << ", draw " << row.draw);
        Harness h;
        h.window.typeSizes(std::to_string(row.w), std::to_string(row.h));
        h.random.script = {row.draw};
        Command1_Click(h.form);
        const Mazeform& f = h.form;
        ASSERT_EQ(f.mazeWidth, row.w);
        ASSERT_EQ(f.entryCol, row.col);
        EXPECT_EQ(f.trail[1], row.w + row.col - 1);  // row 1's codes follow row 0's W
        EXPECT_EQ(f.entryX, f.originX + row.col * f.squareSize);
        EXPECT_EQ(f.entryY, f.originY);
        EXPECT_EQ(f.curX, f.entryX);
        EXPECT_EQ(f.curY, f.entryY);
        EXPECT_FALSE(f.visited(row.w + 1, 1));
        EXPECT_TRUE(h.window.messages.empty());
        Faults faults;
        checkMaze(f, faults);
        EXPECT_EQ(faults, Faults{});
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

// The clock-seeded generator's draws lie in [0, 1): the largest is the largest double below 1.
TEST(MazeReseed, UnitIntervalStaysBelowOne) {
    EXPECT_EQ(unitInterval(0), 0.0);
    EXPECT_EQ(unitInterval(~std::uint64_t{0}), kLargestDraw);
    EXPECT_LT(kLargestDraw, 1.0);
}

// ---- The worked example: the 2 by 2 maze built from the draws 0.1, 0.75, 0.75 -------------

TEST(WorkedExample, GivesTheCodesTrailAndFile) {
    Harness h;
    Mazeform& f = h.form;
    f.makeFiles = true;
    buildWorkedMaze(h);
    EXPECT_EQ(f.entryCol, 1);
    EXPECT_EQ(f.openings(1, 1), 3);
    EXPECT_EQ(f.openings(2, 1), 0);
    EXPECT_EQ(f.openings(1, 2), 3);
    EXPECT_EQ(f.openings(2, 2), 0);
    EXPECT_EQ(f.trailCount, 3);
    EXPECT_EQ(f.trail.at(1), 2);
    EXPECT_EQ(f.trail.at(2), 4);
    EXPECT_EQ(f.trail.at(3), 6);
    EXPECT_TRUE(f.exitMade);
    EXPECT_EQ(f.visitCount, 4);
    EXPECT_EQ(h.random.drawn, 3);
    ASSERT_EQ(h.files.files.count("./maze_001.txt"), 1U);
    EXPECT_EQ(h.files.files["./maze_001.txt"], kWorkedMazeFile);
}

// ---- Whole mazes -----------------------------------------------------------------------------

// A main window that generates mazes without keeping their drawings.
struct Generator {
    explicit Generator(RandomSource& random) : form(Ports{surface, window, window, random, files}) {
        surface.recording = false;
    }

    void generate(int w, int h) {
        placeBoard(form, w, h, 116, 23, 1540, 766);
        main(form);
    }

    RecordingSurface surface;
    FakeWindow window;
    MemoryFileStore files;
    Mazeform form;
};

TEST(Generated, EveryMazeOfEverySizeIsPerfectWithItsTrail) {
    SeededRandom random(20240601);
    Generator g(random);
    int withoutExit = 0;
    for (int w = 2; w <= 50; ++w) {
        for (int h = 2; h <= 50; ++h) {
            g.generate(w, h);
            expectFinishedMaze(g.form);
            withoutExit += !g.form.exitMade;
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
    // Small mazes sometimes finish before the walk cuts an exit; some of these must have.
    EXPECT_GT(withoutExit, 0);
}

TEST(Generated, ManySquareMazesArePerfect) {
    SeededRandom random(77);
    Generator g(random);
    for (int side : {2, 3, 4, 5, 7, 10, 20, 50}) {
        for (int i = 0; i < 40; ++i) {
            g.generate(side, side);
            expectFinishedMaze(g.form);
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

TEST(Generated, ANewMazeReplacesTheGridsOfTheLastOne) {
    SeededRandom random(5);
    Generator g(random);
    g.generate(30, 40);
    g.form.passes(3, 3) = 7;
    g.form.openings(2, 0) = 1;  // play opens the entrance square
    g.generate(4, 3);
    expectFinishedMaze(g.form);
    for (int r = 0; r <= 4; ++r) {
        for (int c = 0; c <= 4; ++c) {
            EXPECT_EQ(g.form.passes(c, r), 0);
        }
    }
}

// Replays a fixed list of draws and gives up when it runs out.
struct OutOfDraws {};

class ReplayRandom : public RandomSource {
  public:
    // Each draw stands for one of four stretches of [0, 1) on which the choice among two
    // names, among three names and of the entrance column of a 2 or 3 wide maze are all
    // constant: [0, 1/3), [1/3, 1/2), [1/2, 2/3), [2/3, 1). Their chances, in sixths:
    static constexpr double kDraw[4] = {0.1, 0.4, 0.6, 0.9};
    static constexpr std::uint64_t kSixths[4] = {2, 1, 1, 2};

    void reseed() override { used = 0; }
    double next() override {
        if (used == choices.size()) {
            throw OutOfDraws{};
        }
        return kDraw[choices[used++]];
    }

    std::vector<int> choices;
    std::size_t used = 0;
};

struct Tally {
    std::uint64_t total = 0;  // in units of 6^-kDepth
    std::uint64_t noExit = 0;
    std::size_t deepest = 0;
    int mazes = 0;
};

constexpr std::size_t kDepth = 12;

// Generates the maze of every possible sequence of draws on a W by H maze (W at most 3, so
// the four stretches decide the entrance too) and adds up the chance of each outcome.
Tally everyMaze(int w, int h) {
    ReplayRandom random;
    Generator g(random);
    Tally tally;
    std::vector<std::vector<int>> todo{{}};
    while (!todo.empty()) {
        random.choices = todo.back();
        todo.pop_back();
        try {
            g.generate(w, h);
        } catch (const OutOfDraws&) {
            if (random.choices.size() == kDepth) {
                ADD_FAILURE() << "a maze needs more than " << kDepth << " draws";
                return tally;
            }
            for (int k = 0; k < 4; ++k) {
                todo.push_back(random.choices);
                todo.back().push_back(k);
            }
            continue;
        }
        EXPECT_EQ(random.used, random.choices.size());
        expectFinishedMaze(g.form);
        std::uint64_t weight = 1;
        for (std::size_t i = 0; i < kDepth; ++i) {
            weight *= i < random.choices.size() ? ReplayRandom::kSixths[random.choices[i]] : 6;
        }
        tally.total += weight;
        tally.noExit += g.form.exitMade ? 0 : weight;
        tally.deepest = std::max(tally.deepest, random.choices.size());
        ++tally.mazes;
    }
    return tally;
}

std::uint64_t sixToThe(std::size_t n) {
    std::uint64_t p = 1;
    for (std::size_t i = 0; i < n; ++i) {
        p *= 6;
    }
    return p;
}

TEST(NoExitChance, IsExactlyThreeEighthsFor2By2) {
    const Tally t = everyMaze(2, 2);
    ASSERT_EQ(t.total, sixToThe(kDepth)) << "the outcomes do not cover every draw";
    EXPECT_EQ(t.noExit * 8, 3 * sixToThe(kDepth));
    EXPECT_GT(t.mazes, 10);
}

TEST(NoExitChance, Is725In5184For3By3) {
    const Tally t = everyMaze(3, 3);
    ASSERT_EQ(t.total, sixToThe(kDepth)) << "the outcomes do not cover every draw";
    EXPECT_EQ(t.noExit * 5184, 725 * sixToThe(kDepth));
}

// The share of mazes without an exit among `count` mazes of one size.
double noExitShare(int side, int count, std::uint64_t seed) {
    SeededRandom random(seed);
    Generator g(random);
    int none = 0;
    for (int i = 0; i < count; ++i) {
        g.generate(side, side);
        none += !g.form.exitMade;
    }
    return static_cast<double>(none) / count;
}

// Tolerances are five standard deviations of the sample share.
double tolerance(double p, int count) {
    return 5 * std::sqrt(p * (1 - p) / count);
}

TEST(NoExitChance, SampledRatesMatch) {
    EXPECT_NEAR(noExitShare(2, 100000, 1), 0.375, tolerance(0.375, 100000));
    EXPECT_NEAR(noExitShare(3, 100000, 2), 725.0 / 5184, tolerance(725.0 / 5184, 100000));
    // About one 5 by 5 maze in seventy has no exit (0.0140 over ten million mazes).
    EXPECT_NEAR(noExitShare(5, 200000, 3), 0.0140, tolerance(0.0140, 200000));
}

}  // namespace
}  // namespace quorrel::testing
