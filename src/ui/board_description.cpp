#include "ui/board_description.h"

namespace quorrel {

namespace {

std::string count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A game has not begun while the player stands on the entrance corner without a move and the
// entrance square has not been pressed yet: the first press gives it its first pass.
bool notStarted(const State& s) {
    return s.moveCount == 0 && s.curX == s.entryX && s.curY == s.entryY &&
           s.passes.contains(s.entryCol, 0) && s.passes(s.entryCol, 0) == 0;
}

// Where the player stands: the square whose lower-right corner is (curX, curY). A press must
// be made there to go on, so it is the square to tell, also after Solve has moved the corner
// to the square below the exit.
std::string whereThePlayerIs(const State& s) {
    if (notStarted(s)) {
        return "You have not started: the entrance is above column " + std::to_string(s.entryCol) +
               ".";
    }
    if (s.squareSize <= 0) {
        return "";
    }
    const int col = (s.curX - s.originX) / s.squareSize;
    const int row = (s.curY - s.originY) / s.squareSize;
    if (row <= 0) {
        return "You are at the entrance, above column " + std::to_string(col) + ".";
    }
    if (row > s.mazeHeight) {
        return "You are below the exit, out of the maze.";
    }
    return "You are on column " + std::to_string(col) + ", row " + std::to_string(row) + ".";
}

}  // namespace

std::string describeBoard(const State& s) {
    if (s.entryCol == 0) {
        return "No maze yet. Press New maze.";
    }
    std::string text =
        std::to_string(s.mazeWidth) + " by " + std::to_string(s.mazeHeight) + " maze. ";
    const std::string where = whereThePlayerIs(s);
    if (!where.empty()) {
        text += where + " ";
    }
    text += count(s.moveCount, "move", "moves") + ", " + std::to_string(s.extraMoves) + " extra.";
    return text;
}

}  // namespace quorrel
