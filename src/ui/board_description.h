#pragma once

#include <string>

#include "model/state.h"

namespace quorrel {

// The board in words, for a screen reader: the maze's size, where the player stands and the
// two counters, e.g. "20 by 20 maze. You are on column 3, row 5. 14 moves, 2 extra.", or
// "No maze yet. Press New maze." before the first maze.
std::string describeBoard(const State& s);

}  // namespace quorrel
