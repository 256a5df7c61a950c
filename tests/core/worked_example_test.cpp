#include <gtest/gtest.h>

#include "gen/generator.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

// The 2 by 2 maze built from the draws 0.1, 0.75, 0.75.
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

}  // namespace
}  // namespace quorrel::testing
