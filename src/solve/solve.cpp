#include "solve/solve.h"

#include <cstdlib>
#include <string>

#include "board/drawing.h"

namespace quorrel {

bool ptest(const Mazeform& f, Int a, Int b, Int s, Int t) {
    const bool across = std::abs(a - s) == 1 && b == t;
    const bool upDown = std::abs(b - t) == 1 && a == s;
    if (!across && !upDown) {
        return false;
    }
    if (a == s + 1) {
        return f.opensRight(s, t);
    }
    if (a == s - 1) {
        return f.opensRight(a, t);
    }
    if (b == t + 1) {
        return f.opensDown(s, t);
    }
    return f.opensDown(s, b);
}

char pathLetter(int n) {
    const int m = n - 1;
    const char first = m % 52 <= 25 ? 'a' : 'A';
    return static_cast<char>(first + m % 26);
}

namespace {

// Walks the trail backwards from the exit, collecting each square that leads to the last.
void findPath(Mazeform& f) {
    const int w = f.mazeWidth;
    Int code = f.trail.at(static_cast<std::size_t>(f.trailCount));
    auto col = static_cast<Int>(codeCol(w, code));
    auto row = static_cast<Int>(codeRow(w, code));
    f.solutionLength = 1;
    f.solutionPath.at(1) = code;
    for (int k = f.trailCount - 1; k >= 1; --k) {
        const Int candidate = f.trail.at(static_cast<std::size_t>(k));
        const auto a = static_cast<Int>(codeCol(w, candidate));
        const auto b = static_cast<Int>(codeRow(w, candidate));
        if (ptest(f, a, b, col, row)) {
            col = a;
            row = b;
            ++f.solutionLength;
            f.solutionPath.at(static_cast<std::size_t>(f.solutionLength)) = candidate;
        }
    }
}

}  // namespace

void cheat_Click(Mazeform& f) {
    const int w = f.mazeWidth;
    const int h = f.mazeHeight;
    f.solutionPath.assign(static_cast<std::size_t>(w * h + 1), 0);
    if (!f.exitMade) {
        return;
    }
    if (f.visibility > 0) {
        printmaze(f, 1, f.mazeHeight, 1, f.mazeWidth, 0);
    }
    findPath(f);
    f.io.controls.setMovesText(std::to_string(f.solutionLength));
    if (f.cornerBelowMaze()) {
        f.io.controls.setExtraText(std::to_string(f.moveCount - f.solutionLength));
    }
    for (int n = 1; n <= f.solutionLength; ++n) {
        const Int code = f.solutionPath.at(static_cast<std::size_t>(f.solutionLength + 1 - n));
        f.curX = static_cast<Int>(f.cornerX(codeCol(w, code)));
        f.curY = static_cast<Int>(f.cornerY(codeRow(w, code)));
        paintSquare(f, f.curX, f.curY, kPlayerBlue);
        centreText(f, f.curX, f.curY, std::string(1, pathLetter(n)));
    }
}

}  // namespace quorrel
