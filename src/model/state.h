#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/grid.h"
#include "model/types.h"

namespace quorrel {

// Everything the main window remembers, as one plain record. Every member starts at zero,
// false or empty, which is the state before the first maze.
//
// Squares are numbered column 1..mazeWidth and row 1..mazeHeight. Row 0 holds only the
// entrance square (column entryCol); row mazeHeight + 1 holds the square below the exit.
// Corner pairs (entryX/entryY, curX/curY, paintX/paintY) hold a square's lower-right corner
// in twips.
struct State {
    // The maze, filled by the generator.
    Grid<bool> visited;      // columns 0..W+1, rows 0..H+1: the generator has reached it
    Grid<Int> openings;      // columns 0..W+1, rows 0..H+1: 1 bottom open, 2 right open, 3 both
    Grid<Int> passes;        // columns 0..W, rows 0..H+1: the player's passes through a square
    std::vector<Int> trail;  // 0..W*H: square codes in the order first reached, then the exit
    Int trailCount = 0;      // next free trail entry; once the exit is cut, the exit's entry
    Int genCol = 0;
    Int genRow = 0;
    Int entryCol = 0;    // column of the entrance square; 0 while no maze exists
    Int visitCount = 0;  // squares reached so far by the generator
    bool exitMade = false;
    bool exitArmed = false;  // while set, the south step cuts the exit instead of moving
    Int entryX = 0;
    Int entryY = 0;

    // Board geometry, fixed by NEW MAZE.
    Int mazeWidth = 0;
    Int mazeHeight = 0;
    Int squareSize = 0;
    Int inset = 0;
    Int originX = 0;  // left edge of the maze
    Int originY = 0;  // top edge of row 1

    // Play.
    Int moveCount = 0;
    Int extraMoves = 0;
    std::string passLabel;  // the count last printed in the player's square
    Int curX = 0;
    Int curY = 0;
    Int playerCol = 0;
    Int playerRow = 0;
    Int paintX = 0;
    Int paintY = 0;
    bool tracking = false;  // the left button holds the player
    Int visibility = 0;     // radius in squares; 0 is full visibility
    Int lastVisibility = 0;

    // Solve.
    std::vector<Int> solutionPath;
    Int solutionLength = 0;

    // File > Make file.
    bool makeFiles = false;

    // Empty grids and trail for a maze of mazeWidth by mazeHeight squares.
    void clearMaze() {
        visited = Grid<bool>(mazeWidth + 1, mazeHeight + 1);
        openings = Grid<Int>(mazeWidth + 1, mazeHeight + 1);
        passes = Grid<Int>(mazeWidth, mazeHeight + 1);
        trail.assign(static_cast<std::size_t>(mazeWidth * mazeHeight + 1), 0);
    }

    // Whether a square's own right or bottom side is open, read from its opening code.
    bool opensRight(int col, int row) const { return openings(col, row) >= 2; }
    bool opensDown(int col, int row) const { return openings(col, row) % 2 != 0; }

    // The lower-right corner of square (col, row), in twips.
    int cornerX(int col) const { return originX + col * squareSize; }
    int cornerY(int row) const { return originY + row * squareSize; }
    // Whether the corner a press must be on (curX, curY) lies below the maze: the player is
    // out through the exit, or Solve has left the corner there.
    bool cornerBelowMaze() const { return curY > cornerY(mazeHeight); }
};

// Puts the player and the corner a press must be on back on the entrance square and ends play:
// the game on the maze has not begun.
inline void backToEntrance(State& s) {
    s.tracking = false;
    s.curX = s.entryX;
    s.curY = s.entryY;
    s.playerCol = s.entryCol;
    s.playerRow = 0;
}

// Square code of (col, row) in a maze `width` squares wide.
inline int squareCode(int width, int col, int row) {
    return width * row + col - 1;
}
inline int codeCol(int width, int code) {
    return code % width + 1;
}
inline int codeRow(int width, int code) {
    return code / width;
}

}  // namespace quorrel
