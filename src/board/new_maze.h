#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/mazeform.h"

namespace quorrel {

// The message for a size outside kMinSide..kMaxSide: "Maze dimensions must fall between 2 and 50".
std::string sizeMessage();

// NEW MAZE: resets the counters, reads and checks the size, fits the board into the client
// area and generates the maze.
void Command1_Click(Mazeform& f);
// The same, giving whether a maze was made: false when the size was refused.
bool makeMaze(Mazeform& f);

// The number at the start of a text. Blanks, tabs and line feeds are ignored wherever they
// stand; reading stops at the first character that cannot continue the number; a text that
// does not begin with a number reads as 0.
double readNumber(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour.
double roundHalfEven(double x);

struct Geometry {
    Int squareSize = 0;
    Int inset = 0;
    float fontSize = 0;
    Int originX = 0;
    Int originY = 0;
};

// Fits a board of w by h squares into a client area (twips) at the given twips per pixel.
// Empty when the squares would come out too small to see or a corner would not fit in
// 16 bits.
std::optional<Geometry> fitBoard(int w, int h, ClientSize client, TwipsPerPixel px);

}  // namespace quorrel
