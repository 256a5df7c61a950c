#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/drawing.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

// On the 2 by 2 maze of the worked example: squares of 375 twips, inset 75; the entrance is
// above (1, 1), (1, 1) and (1, 2) are open both ways, (2, 1) and (2, 2) are dead ends, and
// the exit is below (1, 2).
class Painting : public ::testing::Test {
  protected:
    void SetUp() override { buildWorkedMaze(h); }

    // The new drawing calls since the last call of this function.
    std::vector<DrawOp> newOps() {
        std::vector<DrawOp> ops = opsSince(h.surface, seen);
        seen = h.surface.ops.size();
        return ops;
    }

    // The drawing calls of a movement toward a square, or of bpaint on its own.
    std::vector<DrawOp> stepInto(Square s) {
        newOps();
        moveToward(h, s);
        return newOps();
    }
    std::vector<DrawOp> paint() {
        newOps();
        bpaint(h.form);
        return newOps();
    }

    void expectInsetBox(const DrawOp& op, Square s, Colour colour) {
        const Point c = cornerOf(h.form, s);
        EXPECT_EQ(op.kind, DrawOp::Box);
        EXPECT_FLOAT_EQ(op.x1, c.x - 75);
        EXPECT_FLOAT_EQ(op.y1, c.y - 75);
        EXPECT_FLOAT_EQ(op.x2, c.x - 300);
        EXPECT_FLOAT_EQ(op.y2, c.y - 300);
        EXPECT_EQ(op.colour, colour);
    }

    // A label is centred from its measured size: 60 twips a character wide, 180 high.
    void expectCentredLabel(const DrawOp& op, Square s, const std::string& text) {
        const Point c = cornerOf(h.form, s);
        EXPECT_EQ(op.kind, DrawOp::Text);
        EXPECT_EQ(op.text, text);
        EXPECT_FLOAT_EQ(op.x1, c.x - 187.5F - 30.0F * static_cast<float>(text.size()));
        EXPECT_FLOAT_EQ(op.y1, c.y - 187.5F - 90.0F);
    }

    // Puts the player on a square, its corner with it, as a step into it leaves them.
    void putPlayer(Square s) {
        const Point c = cornerOf(h.form, s);
        h.form.curX = static_cast<Int>(c.x);
        h.form.curY = static_cast<Int>(c.y);
        h.form.playerCol = static_cast<Int>(s.col);
        h.form.playerRow = static_cast<Int>(s.row);
    }

    PlayHarness h;
    std::size_t seen = 0;
};

const Square kEntrance{1, 0};
const Square kTop{1, 1};
const Square kDeadEnd{2, 1};
const Square kBottom{1, 2};
const Square kBelowExit{1, 3};

TEST_F(Painting, FirstPressPaintsOneBlueBoxOnTheEntranceAndNoLabel) {
    h.window.extra = "unchanged";
    newOps();
    pressOn(h, kEntrance);
    const std::vector<DrawOp> ops = newOps();
    ASSERT_EQ(ops.size(), 1U);
    expectInsetBox(ops[0], kEntrance, kPlayerBlue);
    EXPECT_EQ(h.window.moves, "0");
    EXPECT_EQ(h.window.extra, "unchanged");
    EXPECT_EQ(h.form.moveCount, 0);
    EXPECT_EQ(h.form.passes(1, 0), 1);
    EXPECT_EQ(h.form.passLabel, "");
}

TEST_F(Painting, FirstStepIntoRowOneLeavesTheEntranceBlue) {
    pressOn(h, kEntrance);
    h.window.extra = "unchanged";
    const std::vector<DrawOp> ops = stepInto(kTop);
    ASSERT_EQ(ops.size(), 2U);
    expectInsetBox(ops[0], kTop, kPlayerBlue);
    expectCentredLabel(ops[1], kTop, "1");
    EXPECT_EQ(onlyKind(ops, DrawOp::Box).size(), 1U);
    EXPECT_EQ(h.window.moves, "1");
    EXPECT_EQ(h.window.extra, "unchanged");
    EXPECT_EQ(h.form.passes(1, 1), 1);
    EXPECT_EQ(h.form.passLabel, "1");
}

TEST_F(Painting, LaterStepsRepaintTheSquareLeftGreenWithItsOwnCount) {
    pressOn(h, kEntrance);
    moveToward(h, kTop);
    const std::vector<DrawOp> ops = stepInto(kDeadEnd);
    ASSERT_EQ(ops.size(), 4U);
    expectInsetBox(ops[0], kTop, kTrailGreen);
    expectCentredLabel(ops[1], kTop, "1");
    expectInsetBox(ops[2], kDeadEnd, kPlayerBlue);
    expectCentredLabel(ops[3], kDeadEnd, "1");
    EXPECT_EQ(h.window.moves, "2");
}

TEST_F(Painting, SecondPassCostsTwoExtraAndThirdPassOne) {
    pressOn(h, kEntrance);
    moveToward(h, kTop);
    moveToward(h, kDeadEnd);
    EXPECT_EQ(h.window.extra, "");

    std::vector<DrawOp> ops = stepInto(kTop);  // second pass through (1, 1)
    ASSERT_EQ(ops.size(), 4U);
    expectInsetBox(ops[0], kDeadEnd, kTrailGreen);
    expectCentredLabel(ops[1], kDeadEnd, "1");
    expectCentredLabel(ops[3], kTop, "2");
    EXPECT_EQ(h.form.extraMoves, 2);
    EXPECT_EQ(h.window.extra, "2");
    EXPECT_EQ(h.window.moves, "3");

    moveToward(h, kDeadEnd);  // second pass through (2, 1)
    EXPECT_EQ(h.form.extraMoves, 4);
    EXPECT_EQ(h.window.extra, "4");

    ops = stepInto(kTop);  // third pass through (1, 1)
    ASSERT_EQ(ops.size(), 4U);
    expectCentredLabel(ops[1], kDeadEnd, "2");
    expectCentredLabel(ops[3], kTop, "3");
    EXPECT_EQ(h.form.extraMoves, 5);
    EXPECT_EQ(h.window.extra, "5");
    EXPECT_EQ(h.window.moves, "5");
    EXPECT_EQ(h.form.passLabel, "3");
}

TEST_F(Painting, FirstEntriesLeaveTheExtraBoxAlone) {
    pressOn(h, kEntrance);
    moveToward(h, kTop);
    moveToward(h, kDeadEnd);
    moveToward(h, kTop);
    ASSERT_EQ(h.window.extra, "2");
    h.window.extra = "unchanged";
    moveToward(h, kBottom);  // a square never entered before
    EXPECT_EQ(h.window.extra, "unchanged");
    EXPECT_EQ(h.form.extraMoves, 2);
    EXPECT_EQ(h.window.moves, "4");
}

TEST_F(Painting, ForwardAndBackCostsTwoMovesAndTwoExtra) {
    pressOn(h, kEntrance);
    moveToward(h, kTop);
    moveToward(h, kBottom);
    const Int moves = h.form.moveCount;
    const Int extra = h.form.extraMoves;
    moveToward(h, Square{2, 2});  // the dead end beside the bottom square
    const std::vector<DrawOp> ops = stepInto(kBottom);
    EXPECT_EQ(h.form.moveCount, moves + 2);
    EXPECT_EQ(h.form.extraMoves, extra + 2);
    ASSERT_EQ(ops.size(), 4U);
    expectCentredLabel(ops[3], kBottom, "2");
    EXPECT_EQ(h.form.passes(1, 2), 2);
}

TEST_F(Painting, TheSquareBelowTheExitIsAnOrdinaryStep) {
    pressOn(h, kEntrance);
    moveToward(h, kTop);
    moveToward(h, kBottom);
    const std::vector<DrawOp> ops = stepInto(kBelowExit);
    ASSERT_EQ(ops.size(), 4U);
    expectInsetBox(ops[0], kBottom, kTrailGreen);
    expectInsetBox(ops[2], kBelowExit, kPlayerBlue);
    expectCentredLabel(ops[3], kBelowExit, "1");
    EXPECT_EQ(h.window.moves, "3");
    EXPECT_EQ(h.form.passes(1, 3), 1);
}

// bpaint on its own, with the state a caller leaves: the label of the square left comes from
// passLabel, and labels of different lengths are each centred on their own measured width.
TEST_F(Painting, BpaintCentresEachLabelOnItsMeasuredSize) {
    Mazeform& f = h.form;
    const Point left = cornerOf(f, kTop);
    f.moveCount = 7;
    f.extraMoves = 11;
    f.passLabel = "123";
    f.paintX = static_cast<Int>(left.x);
    f.paintY = static_cast<Int>(left.y);
    putPlayer(kBottom);
    f.passes(1, 2) = 9;
    const std::vector<DrawOp> ops = paint();
    ASSERT_EQ(ops.size(), 4U);
    expectInsetBox(ops[0], kTop, kTrailGreen);
    expectCentredLabel(ops[1], kTop, "123");
    expectInsetBox(ops[2], kBottom, kPlayerBlue);
    expectCentredLabel(ops[3], kBottom, "10");
    EXPECT_EQ(f.moveCount, 8);
    EXPECT_EQ(f.extraMoves, 12);
    EXPECT_EQ(h.window.moves, "8");
    EXPECT_EQ(h.window.extra, "12");
    EXPECT_EQ(f.passLabel, "10");
}

TEST_F(Painting, BpaintDoesNotRepaintTheSquareLeftBeforeTheFirstMove) {
    Mazeform& f = h.form;
    f.moveCount = 0;
    f.passLabel = "9";
    f.paintX = 100;
    f.paintY = 100;
    putPlayer(kTop);
    const std::vector<DrawOp> ops = paint();
    ASSERT_EQ(ops.size(), 2U);
    expectInsetBox(ops[0], kTop, kPlayerBlue);
    expectCentredLabel(ops[1], kTop, "1");
}

// The square entered on the entrance row gets no label, and passLabel keeps the count of the
// last square that got one.
TEST_F(Painting, BpaintOnTheEntranceRowPrintsNoLabel) {
    Mazeform& f = h.form;
    f.moveCount = -1;
    f.passLabel = "4";
    f.passes(1, 0) = 1;
    f.extraMoves = 0;
    putPlayer(kEntrance);
    const std::vector<DrawOp> ops = paint();
    ASSERT_EQ(ops.size(), 1U);
    expectInsetBox(ops[0], kEntrance, kPlayerBlue);
    EXPECT_EQ(f.passLabel, "4");
    EXPECT_EQ(f.passes(1, 0), 2);
    EXPECT_EQ(f.extraMoves, 2);
    EXPECT_EQ(h.window.extra, "2");
    EXPECT_EQ(h.window.moves, "0");
}

}  // namespace
}  // namespace quorrel::testing
