#include "play/keys.h"

#include "play/play.h"

namespace quorrel {

ArrowResult arrowKey(Mazeform& f, Arrow way) {
    if (f.entryCol == 0) {
        return ArrowResult::NoMaze;
    }
    const bool below = f.cornerBelowMaze();
    if (!below) {
        const bool allowed =
            f.moveCount == 0 ? way == Arrow::Down : canStep(f, f.playerCol, f.playerRow, way);
        if (!allowed) {
            return ArrowResult::Wall;
        }
    }
    const float s = f.squareSize;
    const float x = static_cast<float>(f.curX) - s / 2;
    const float y = static_cast<float>(f.curY) - s / 2;
    const Offset d = offsetOf(way);
    // With the left button already held the player is tracking: a press of its own would run
    // the first press again on the entrance. The release ends that drag too, since the pointer
    // is left behind on the square the arrow stepped from.
    if (!f.tracking) {
        Form_MouseDown(f, kLeftButton, 0, x, y);
    }
    const Int col = f.playerCol;
    const Int row = f.playerRow;
    Form_MouseMove(f, kLeftButton, 0, x + d.col * s, y + d.row * s);
    // Tracking is set; only the finish clears it during the movement.
    const bool finished = !f.tracking;
    const bool stepped = f.playerCol != col || f.playerRow != row;
    Form_MouseUp(f, kLeftButton, 0, x, y);
    if (finished) {
        return ArrowResult::Finished;
    }
    return stepped ? ArrowResult::Stepped : ArrowResult::Wall;
}

}  // namespace quorrel
