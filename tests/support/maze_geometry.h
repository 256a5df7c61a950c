#pragma once

// Squares, corners and ways through a maze, worked out from the opening codes alone and
// independently of the game's own play and Solve.

#include <optional>
#include <ostream>
#include <vector>

#include "model/state.h"

namespace quorrel::testing {

struct Square {
    int col = 0;
    int row = 0;
    auto operator<=>(const Square&) const = default;
};

inline void PrintTo(const Square& s, std::ostream* os) {
    *os << '(' << s.col << ", " << s.row << ')';
}

struct Point {
    float x = 0;
    float y = 0;
};

// Lower-right corner of a square on the board, in twips.
Point cornerOf(const State& f, Square s);
Point centreOf(const State& f, Square s);

inline Square playerSquare(const State& f) {
    return {f.playerCol, f.playerRow};
}

// Puts a board of w by h squares of `square` twips with the given inset and top-left corner.
void placeBoard(State& f, int w, int h, Int square, Int inset, Int originX, Int originY);

// Column of the bottom-row square whose bottom side is open, or 0 when the maze has none.
int exitColumn(const State& f);

inline Square exitSquare(const State& f) {
    return {exitColumn(f), f.mazeHeight + 1};
}
inline Square entranceSquare(const State& f) {
    return {f.entryCol, 0};
}
inline Square firstSquare(const State& f) {
    return {f.entryCol, 1};
}

// Which sides of a square of rows 1..H are open: a square owns its right and bottom sides;
// its left and top sides are its neighbours'.
bool opensRight(const State& f, Square s);
bool opensLeft(const State& f, Square s);
bool opensDown(const State& f, Square s);
bool opensUp(const State& f, Square s);

// Whether two squares are neighbours joined by an opening (the exit joins row H to H + 1).
bool joined(const State& f, Square a, Square b);

// The squares joined to s by an open side, among rows 1..H and the square below the exit.
// Row 0 is left out: once inside, a walker never goes back to the entrance.
std::vector<Square> openNeighbours(const State& f, Square s);

// The shortest way from one square to another by breadth-first search over the openings,
// both ends included; empty when there is none. In a perfect maze it is the only way.
std::vector<Square> route(const State& f, Square from, Square to);

// From the square below the entrance to the square below the exit; empty without an exit.
inline std::vector<Square> routeToExit(const State& f) {
    return route(f, firstSquare(f), exitSquare(f));
}

// The number of squares of rows 1..H that can be reached from (1, 1) through openings.
int reachableSquares(const State& f);

// The number of openings between two squares of rows 1..H (the exit does not count).
int innerOpenings(const State& f);

// A dead-end branch leaving the given route: the first square off the route next to a route
// square, with the route square it hangs from.
struct Branch {
    Square from;
    Square into;
};

std::optional<Branch> firstBranch(const State& f, const std::vector<Square>& path);

// The way out from the square below the entrance with a detour into the first side branch off
// it and back: `depth` squares deep, or as deep as the branch goes if less (0: all the way).
// Just the way out where no branch leaves it.
std::vector<Square> wayWithDetour(const State& f, int depth);

}  // namespace quorrel::testing
