#pragma once

#include <string>

#include "model/state.h"

namespace quorrel {

// The board in words, for a screen reader: the maze's size, where the player stands, the ways
// open from there and the two counters, e.g. "20 by 20 maze. You are on column 3, row 5. Open:
// up, right. 14 moves, 2 extra.", or "No maze yet. Press New maze." before the first maze.
// It is what a screen reader says when the board takes the keyboard focus.
std::string describeBoard(const State& s);

// The player's square after a step: "Column 4, row 2. Open: down, right.", and when the square
// had been passed before, how often, e.g. " Passed 2 times before.".
std::string describeSquare(const State& s);

// An arrow into a wall: "Wall." and the ways that are open.
std::string describeBump(const State& s);

// What NEW MAZE made, or what Retry put back: the size or the fresh start, and the way in.
std::string describeNewMaze(const State& s);
std::string describeRetry(const State& s);

// What Solve showed: the length of the way out, its first turn, and that the player now
// stands below the exit.
std::string describeSolution(const State& s);

}  // namespace quorrel
