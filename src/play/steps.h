#pragma once

#include "model/state.h"

namespace quorrel {

// The four ways the player can go, as the arrow keys name them.
enum class Arrow { Left, Right, Up, Down };

inline constexpr Arrow kArrows[] = {Arrow::Left, Arrow::Right, Arrow::Up, Arrow::Down};

// One square that way, in columns and rows.
struct Offset {
    int col = 0;
    int row = 0;
};
Offset offsetOf(Arrow way);

// Whether the player on square (col, row) may step one square that way: never left of
// column 1, right of the last column, up from row 0 or 1, or down from the square below the
// exit, and only through an open side. Mouse play, keys, Solve, Retry and the board's words
// all step by these rules.
bool canStep(const State& s, int col, int row, Arrow way);

}  // namespace quorrel
