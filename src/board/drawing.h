#pragma once

#include <string_view>

#include "game/mazeform.h"

namespace quorrel {

// Redraws the walls of rows t..b and columns l..r; unless nops is 0, also paints every
// square of the range the player has passed, with its count.
void printmaze(Mazeform& f, Int t, Int b, Int l, Int r, Int nops);

// Paints the player's step: the square left in the trail colour with its count, the square
// entered in the player colour; counts the move and the pass.
void bpaint(Mazeform& f);

// Fills the square with lower-right corner (x, y), shrunk by inset on every side.
void paintSquare(Mazeform& f, int x, int y, Colour colour);

// Draws text centred in the square with lower-right corner (x, y).
void centreText(Mazeform& f, int x, int y, std::string_view text);

}  // namespace quorrel
