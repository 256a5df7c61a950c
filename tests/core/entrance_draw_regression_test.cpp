// The entrance draw at the top of [0, 1): the largest double below 1, which the clock-seeded
// generator can return, once made floor(r * W + 1) come out as W + 1 for W = 2, 4, 8, 16 and
// 32, putting the entrance outside the maze. Found by the event storm.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "board/new_maze.h"
#include "gen/generator.h"
#include "gen/random_source.h"
#include "support/doubles.h"
#include "support/invariants.h"

namespace quorrel::testing {
namespace {

constexpr double kLargestDraw = 0x1.fffffffffffffp-1;

TEST(EntranceDraw, TheLargestDrawTheClockGeneratorGivesIsBelowOne) {
    EXPECT_EQ(unitInterval(~0ULL), kLargestDraw);
    EXPECT_LT(kLargestDraw, 1.0);
}

class EntranceDrawAtTheTop : public ::testing::TestWithParam<int> {};

TEST_P(EntranceDrawAtTheTop, PutsTheEntranceOverTheLastColumn) {
    const int w = GetParam();
    Harness h;
    h.window.typeSizes(std::to_string(w), "3");
    h.random.script = {kLargestDraw};
    Command1_Click(h.form);

    ASSERT_EQ(h.form.mazeWidth, w);
    EXPECT_EQ(h.form.entryCol, w);
    EXPECT_EQ(h.form.entryX, h.form.originX + w * h.form.squareSize);
    EXPECT_TRUE(h.window.messages.empty());
    Faults faults;
    checkMaze(h.form, faults);
    EXPECT_TRUE(faults.empty()) << faults.front();
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwoAndNeighbours, EntranceDrawAtTheTop,
                         ::testing::Values(2, 3, 4, 5, 8, 16, 31, 32, 33, 50));

TEST(EntranceDraw, ADrawOfZeroStillGivesTheFirstColumn) {
    Harness h;
    h.window.typeSizes("32", "2");
    h.random.script = {0.0};
    Command1_Click(h.form);
    EXPECT_EQ(h.form.entryCol, 1);
}

}  // namespace
}  // namespace quorrel::testing
