#pragma once

#include <gtest/gtest.h>

#include "model/state.h"
#include "support/invariants.h"
#include "support/maze_geometry.h"

namespace quorrel::testing {

// Checks everything a maze fresh from the generator must satisfy, whatever the random draws
// were: all that holds of every maze, and the border ring closed all round, the entrance too,
// as no press has opened it yet.
inline void expectFinishedMaze(const State& s) {
    SCOPED_TRACE(::testing::Message() << s.mazeWidth << " by " << s.mazeHeight << " maze");
    Faults faults;
    checkMaze(s, faults);
    EXPECT_EQ(faults, Faults{});
    ASSERT_EQ(s.openings.lastRow(), s.mazeHeight + 1);
    ASSERT_EQ(s.openings.lastCol(), s.mazeWidth + 1);
    for (int r = 0; r <= s.mazeHeight + 1; ++r) {
        for (int c = 0; c <= s.mazeWidth + 1; ++c) {
            const bool inside = c >= 1 && c <= s.mazeWidth && r >= 1 && r <= s.mazeHeight;
            EXPECT_TRUE(inside || s.openings(c, r) == 0) << "openings(" << c << ", " << r << ")";
        }
    }
}

}  // namespace quorrel::testing
