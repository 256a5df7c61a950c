#pragma once

#include <string_view>

#include "game/mazeform.h"

namespace quorrel {

// Starts a maze of mazeWidth by mazeHeight squares and generates and draws it.
void main(Mazeform& f);
// The walk: carves until every square is reached, then finishes the maze.
void r260(Mazeform& f);
// Draws one random number and runs the step it picks among two or three names.
void branch(Mazeform& f, std::string_view a, std::string_view b, std::string_view c = {});

// Carving steps on the walker's square (genCol, genRow).
void setwa(Mazeform& f, Int a, Int b);  // records a newly reached square
void rsub1(Mazeform& f);                // west
void ssub1(Mazeform& f);                // north
void rplus1(Mazeform& f);               // east
void splus(Mazeform& f);                // south
void splus1(Mazeform& f);               // south, or the exit cut while exitArmed is set
void reset(Mazeform& f);                // cuts the exit below the walker
void f210(Mazeform& f);                 // scans forward to the next reached square

// Draws every wall, writes the maze file, closes it and paints the entrance square gray.
void fini(Mazeform& f);

}  // namespace quorrel
