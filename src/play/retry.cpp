#include "board/drawing.h"
#include "play/play.h"

namespace quorrel {

void retry_Click(Mazeform& f) {
    if (!f.exitMade) {
        return;
    }
    if (f.visibility > 0) {
        printmaze(f, 1, f.mazeHeight, 1, f.mazeWidth, 0);
    }
    f.moveCount = 0;
    f.extraMoves = 0;
    f.io.controls.setMovesText("");
    f.io.controls.setExtraText("");
    const Colour background = f.io.surface.backgroundColour();
    for (int c = 1; c <= f.mazeWidth; ++c) {
        for (int r = 0; r <= f.mazeHeight + 1; ++r) {
            f.passes(c, r) = 0;
            paintSquare(f, f.cornerX(c), f.cornerY(r), background);
        }
    }
    // A button still held must not walk on from the old square (a keyboard Retry mid-drag).
    backToEntrance(f);
    f.io.surface.box(f.entryX, f.entryY, f.entryX - f.squareSize, f.entryY - f.squareSize, kWhite);
}

}  // namespace quorrel
