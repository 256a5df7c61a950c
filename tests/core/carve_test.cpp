#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "gen/generator.h"
#include "support/doubles.h"
#include "support/maze_geometry.h"

namespace quorrel::testing {
namespace {

// The carving steps, run one at a time on a 4 by 3 maze prepared by hand.
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

TEST_F(Carve, WestMoveOpensTheEnteredSquareToTheRight) {
    Mazeform& f = h.form;
    reach({{3, 2}});
    standOn(3, 2);
    f.openings(3, 2) = 1;
    f.exitArmed = true;
    rsub1(f);
    EXPECT_EQ(f.openings(2, 2), 2);
    EXPECT_EQ(f.openings(3, 2), 1);  // the square left keeps its code
    EXPECT_EQ(f.genCol, 2);
    EXPECT_EQ(f.genRow, 2);
    EXPECT_FALSE(f.exitArmed);
    EXPECT_TRUE(f.visited(2, 2));
    EXPECT_EQ(f.trail[2], squareCode(kW, 2, 2));
    EXPECT_EQ(f.trailCount, 3);
    EXPECT_EQ(f.visitCount, 1);
}

TEST_F(Carve, NorthMoveOpensTheEnteredSquareDownward) {
    Mazeform& f = h.form;
    reach({{3, 2}});
    standOn(3, 2);
    f.openings(3, 2) = 2;
    f.exitArmed = true;
    ssub1(f);
    EXPECT_EQ(f.openings(3, 1), 1);
    EXPECT_EQ(f.openings(3, 2), 2);
    EXPECT_EQ(f.genCol, 3);
    EXPECT_EQ(f.genRow, 1);
    EXPECT_FALSE(f.exitArmed);
    EXPECT_TRUE(f.visited(3, 1));
    EXPECT_EQ(f.trail[2], squareCode(kW, 3, 1));
    EXPECT_EQ(f.trailCount, 3);
}

TEST_F(Carve, EastMoveAddsTheRightOpeningToTheSquareLeft) {
    Mazeform& f = h.form;
    reach({{1, 1}, {1, 2}});
    standOn(1, 1);
    f.openings(1, 1) = 1;
    f.exitArmed = true;
    rplus1(f);
    EXPECT_EQ(f.openings(1, 1), 3);
    EXPECT_EQ(f.openings(2, 1), 0);
    EXPECT_EQ(f.genCol, 2);
    EXPECT_EQ(f.genRow, 1);
    EXPECT_TRUE(f.exitArmed);  // only the west and north steps disarm
    EXPECT_EQ(f.trail[3], squareCode(kW, 2, 1));

    rplus1(f);
    EXPECT_EQ(f.openings(2, 1), 2);
    EXPECT_EQ(f.genCol, 3);
}

TEST_F(Carve, SouthMoveAddsTheBottomOpeningToTheSquareLeft) {
    Mazeform& f = h.form;
    reach({{2, 1}});
    standOn(2, 1);
    f.openings(2, 1) = 2;
    splus(f);
    EXPECT_EQ(f.openings(2, 1), 3);
    EXPECT_EQ(f.openings(2, 2), 0);
    EXPECT_EQ(f.genCol, 2);
    EXPECT_EQ(f.genRow, 2);
    EXPECT_EQ(f.trail[2], squareCode(kW, 2, 2));

    splus(f);
    EXPECT_EQ(f.openings(2, 2), 1);
    EXPECT_EQ(f.genRow, 3);
}

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
    EXPECT_EQ(f.genCol, 4);  // (3, 1) is unreached, so the scan stops at (4, 1)
    EXPECT_EQ(f.genRow, 1);
    EXPECT_EQ(f.visitCount, before - 1);
    EXPECT_TRUE(f.exitArmed);
}

TEST_F(Carve, ExitCutOnAnOpenRightSideScansOnFromTheExitSquare) {
    Mazeform& f = h.form;
    reach({{1, 1}, {1, 2}, {1, 3}, {2, 3}, {3, 1}});
    f.openings(1, 3) = 2;
    standOn(1, 3);
    const Int before = f.visitCount;
    reset(f);
    EXPECT_TRUE(f.exitMade);
    EXPECT_EQ(f.openings(1, 3), 3);
    EXPECT_EQ(f.trail[6], squareCode(kW, 1, 4));
    EXPECT_EQ(f.trailCount, 6);
    // The walk goes on at the next reached square after the exit square, not at (1, 1).
    EXPECT_EQ(f.genCol, 2);
    EXPECT_EQ(f.genRow, 3);
    EXPECT_EQ(f.visitCount, before - 1);
}

TEST_F(Carve, ExitCutOnAClosedSquareGoesOnFromTheFirstSquare) {
    Mazeform& f = h.form;
    reach({{1, 1}, {2, 1}, {2, 2}, {2, 3}, {3, 3}});
    standOn(3, 3);
    f.exitArmed = false;
    const Int before = f.visitCount;
    reset(f);
    EXPECT_TRUE(f.exitMade);
    EXPECT_EQ(f.openings(3, 3), 1);
    EXPECT_EQ(f.trail[6], squareCode(kW, 3, 4));
    EXPECT_EQ(f.genCol, 1);
    EXPECT_EQ(f.genRow, 1);
    EXPECT_EQ(f.visitCount, before - 1);
    EXPECT_FALSE(f.exitArmed);
}

TEST_F(Carve, ExitCutOnAClosedSquareScansFromTheFirstSquareWhenItIsUnreached) {
    Mazeform& f = h.form;
    reach({{3, 1}, {3, 2}, {3, 3}});
    standOn(3, 3);
    const Int before = f.visitCount;
    reset(f);
    EXPECT_EQ(f.openings(3, 3), 1);
    EXPECT_EQ(f.genCol, 3);  // (1, 1) and (2, 1) are unreached
    EXPECT_EQ(f.genRow, 1);
    EXPECT_EQ(f.visitCount, before - 1);
}

TEST_F(Carve, SecondExitCutOnlyScans) {
    Mazeform& f = h.form;
    reach({{1, 3}, {2, 3}, {3, 3}});
    standOn(1, 3);
    f.exitMade = true;
    f.trailCount = 3;
    f.trail[3] = squareCode(kW, 4, 4);
    reset(f);
    EXPECT_EQ(f.openings(1, 3), 0);
    EXPECT_EQ(f.trail[3], squareCode(kW, 4, 4));
    EXPECT_EQ(f.trailCount, 3);
    EXPECT_EQ(f.genCol, 2);
    EXPECT_EQ(f.genRow, 3);
}

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

TEST_F(Carve, ScanFromTheLastSquareWrapsToTheFirst) {
    Mazeform& f = h.form;
    reach({{1, 1}, {kW, kH}});
    standOn(kW, kH);
    f210(h.form);
    EXPECT_EQ(f.genCol, 1);
    EXPECT_EQ(f.genRow, 1);
    EXPECT_EQ(f.visitCount, 1);
}

TEST_F(Carve, ScanWrapsPastAnUnreachedFirstSquare) {
    Mazeform& f = h.form;
    reach({{2, 1}, {kW, kH}});
    standOn(kW, kH);
    f210(f);
    EXPECT_EQ(f.genCol, 2);
    EXPECT_EQ(f.genRow, 1);
}

TEST_F(Carve, ScanGoesOnAtTheStartOfTheNextRowAndSkipsUnreachedSquares) {
    Mazeform& f = h.form;
    reach({{kW, 1}, {2, 2}, {3, 2}});
    standOn(kW, 1);
    f210(f);
    EXPECT_EQ(f.genCol, 2);
    EXPECT_EQ(f.genRow, 2);
    f210(f);
    EXPECT_EQ(f.genCol, 3);
    EXPECT_EQ(f.genRow, 2);
}

TEST_F(Carve, ScanNeverStopsOnItsStartingSquareBeforeGoingRound) {
    Mazeform& f = h.form;
    reach({{2, 2}, {3, 2}});
    standOn(2, 2);
    f210(f);
    EXPECT_EQ(f.genCol, 3);
    f210(f);  // (3, 2) to (2, 2) takes the long way round
    EXPECT_EQ(f.genCol, 2);
    EXPECT_EQ(f.genRow, 2);
    EXPECT_EQ(f.visitCount, 0);
}

}  // namespace
}  // namespace quorrel::testing
