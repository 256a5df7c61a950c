#pragma once

#include <string>

#include "model/state.h"

namespace quorrel {

// The board in words, for a screen reader. Every sentence that speaks of the player speaks of
// the square the next arrow key steps from: the entrance until the first step of a game, the
// player's square after it.

// What a screen reader says when the board takes the keyboard focus: the maze's size, then
// describeWhereAmI, then how to play by keys. "No maze yet. Press New maze." before the first
// maze.
std::string describeBoard(const State& s);

// Where the player stands and the ways open from there, the two counters and where the exit
// is: what Space says on the board, and what is said after a result box closes.
std::string describeWhereAmI(const State& s);

// The player's square after a step, the open ways first: "Open: down, right. Column 4, row
// 2.", and when the square had been passed before, how often, e.g. " Passed 2 times before.".
std::string describeSquare(const State& s);

// An arrow into a wall: "Wall." and the ways that are open.
std::string describeBump(const State& s);

// Where a held arrow stopped against a wall, said when the key is let go: "Wall." and then
// describeSquare, which names the square ("The entrance, above column 3." before the first
// step).
std::string describeWallStop(const State& s);

// What NEW MAZE made, or what Retry put back: the size or the fresh start, the way in and
// where the exit is.
std::string describeNewMaze(const State& s);
std::string describeRetry(const State& s);

// What Solve showed: the length of the way out and the way itself as runs from the entrance,
// "down 3, right 2, down 1".
std::string describeSolution(const State& s);

}  // namespace quorrel
