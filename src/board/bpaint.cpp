#include <algorithm>
#include <string>

#include "board/drawing.h"

namespace quorrel {

namespace {

// Counters stop at the largest 16-bit value instead of wrapping round to negative numbers.
Int saturatingAdd(Int value, int amount) {
    return static_cast<Int>(std::min<int>(value + amount, kIntMax));
}

}  // namespace

void bpaint(Mazeform& f) {
    if (f.moveCount > 0) {
        paintSquare(f, f.paintX, f.paintY, kTrailGreen);
        centreText(f, f.paintX, f.paintY, f.passLabel);
    }
    paintSquare(f, f.curX, f.curY, kPlayerBlue);
    f.moveCount = saturatingAdd(f.moveCount, 1);
    f.io.controls.setMovesText(std::to_string(f.moveCount));
    Int& passes = f.passes(f.playerCol, f.playerRow);
    passes = saturatingAdd(passes, 1);
    const Int n = passes;
    if (n == 2) {
        f.extraMoves = saturatingAdd(f.extraMoves, 2);
    } else if (n > 2) {
        f.extraMoves = saturatingAdd(f.extraMoves, 1);
    }
    if (n > 1) {
        f.io.controls.setExtraText(std::to_string(f.extraMoves));
    }
    if (f.playerRow != 0) {
        f.passLabel = std::to_string(n);
        centreText(f, f.curX, f.curY, f.passLabel);
    }
}

}  // namespace quorrel
