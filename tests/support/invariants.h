#pragma once

// Properties of the window's state that hold after every event, whatever the user did. The
// event storm test and the event fuzzer check them after each event they feed the game.

#include <string>
#include <string_view>
#include <vector>

#include "game/ports.h"
#include "model/state.h"
#include "support/maze_geometry.h"

namespace quorrel::testing {

// Everything found wrong, one line each; empty when all is well.
using Faults = std::vector<std::string>;

// The faults, one a line.
std::string describe(const Faults& faults);

// The maze, once one exists: sizes and grid extents, a perfect maze over rows 1..H, the right
// border closed, one exit exactly when one was cut, nothing open in the border ring but the
// entrance, every square reached, the generator's trail (each square once, first reached from
// a neighbour reached before it, the square below the exit last and nothing after it), and a
// geometry whose corners fit 16 bits.
void checkMaze(const State& s, Faults& out);

// Counters within 0..32767, pass counts never negative, and, while a game is under way on
// this maze, the player on a square that exists: the entrance, a square of rows 1..H, or
// the square below the exit.
void checkPlayer(const State& s, Faults& out);

// The Moves and Extra boxes against the counters and Solve's path length.
void checkBoxes(const State& s, std::string_view moves, std::string_view extra, Faults& out);

// A maze file's text against the maze: four empty lines, then 2H + 1 lines of 3W + 1
// characters, each ended by CR LF and none by a blank, that draw the top border with the gap
// of the entrance, each square's right and bottom side as the opening codes say, and the
// borders, with the characters ". - : I" and blanks.
void checkMazeText(std::string_view text, const State& s, Faults& out);

// Solve's path, right after Solve ran on a maze with an exit: from the square below the
// first row's entrance square down to the square below the exit, each square joined to the
// next by an open side, no square twice, and the player's corner left on the exit square.
void checkSolution(const State& s, Faults& out);

// The pass counts against the move counters. Every painted step adds one move and one pass,
// and the n-th pass through a square costs n - g(n - 1) extra moves where g(n) is 0 for n
// below 2 and n otherwise; so, as long as nothing saturates,
//   moveCount  == (sum of the pass counts of rows 1..H+1) - base
//   extraMoves == (sum of g(pass count) over every square) - base
// The bases are 0 whenever the pass counts were last cleared together with the counters
// (a new maze, Retry, a refused NEW MAZE). Where the counters are zeroed and the pass counts
// kept, rebase() takes the pass counts of that moment as the base.
class CounterLedger {
  public:
    void rebase(const State& s);
    void check(const State& s, Faults& out);

  private:
    long moveBase_ = 0;
    long extraBase_ = 0;
};

// The number a selector's text stands for, read independently of the game: blanks, tabs
// and line feeds dropped, then the longest prefix of the form
//   [+|-] (digits [. digits] | . digits) [(e|E|d|D) [+|-] digits]
// converted with strtod (the tests and fuzzers run in the "C" locale, whose decimal
// separator is the point); 0 when there is no such prefix. Infinite for huge exponents.
double referenceNumber(std::string_view text);

// Rounds half to even, by hand.
double referenceRound(double x);

// The board NEW MAZE should set up for two selector values on a client area, worked out step
// by step from the rules of the command: sizes rounded half to even within 2..50, twips per
// pixel within 1..1440, the maze centred in the whole client area or, where a corner would
// then pass 32767 twips, in the part of it up to 32767 twips each way, squares of 25 pixels
// at most and 3 twips at least, and every corner within 16-bit twips. Not accepted otherwise.
struct ReferenceBoard {
    bool accepted = false;
    int w = 0, h = 0, square = 0, inset = 0;
    float font = 0;
    double originX = 0, originY = 0;
};
ReferenceBoard referenceBoard(double wValue, double hValue, ClientSize c, TwipsPerPixel p);

// Plain decimal digits without sign, blank or leading zero (0 itself is "0").
bool isPlainNumber(std::string_view text);

}  // namespace quorrel::testing
