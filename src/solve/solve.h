#pragma once

#include "game/mazeform.h"

namespace quorrel {

// Solve: finds the way from row 1 to the exit, paints and letters it, and shows its length.
void cheat_Click(Mazeform& f);

// True when (a, b) and (s, t) are neighbours with the wall between them open.
bool ptest(const Mazeform& f, Int a, Int b, Int s, Int t);

// The letter of the n-th square of a path: a..z, then A..Z, repeating every 52 squares.
char pathLetter(int n);

}  // namespace quorrel
