#include "play/keys.h"

#include "play/play.h"

namespace quorrel {

Offset offsetOf(Arrow way) {
    switch (way) {
        case Arrow::Left:
            return {-1, 0};
        case Arrow::Right:
            return {1, 0};
        case Arrow::Up:
            return {0, -1};
        case Arrow::Down:
            return {0, 1};
    }
    return {};
}

bool canStep(const State& s, int col, int row, Arrow way) {
    switch (way) {
        case Arrow::Right:
            return s.opensRight(col, row) && col < s.mazeWidth;
        case Arrow::Left:
            return col > 1 && s.opensRight(col - 1, row);
        case Arrow::Down:
            return row < s.mazeHeight + 1 && s.opensDown(col, row);
        case Arrow::Up:
            return row > 1 && s.opensDown(col, row - 1);
    }
    return false;
}

bool cornerBelowMaze(const State& s) {
    return s.curY > s.originY + s.mazeHeight * s.squareSize;
}

ArrowResult arrowKey(Mazeform& f, Arrow way) {
    if (f.entryCol == 0) {
        return ArrowResult::NoMaze;
    }
    const bool below = cornerBelowMaze(f);
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
    Form_MouseDown(f, kLeftButton, 0, x, y);
    const Int col = f.playerCol;
    const Int row = f.playerRow;
    Form_MouseMove(f, kLeftButton, 0, x + d.col * s, y + d.row * s);
    // The press set tracking; only the finish clears it during the movement.
    const bool finished = !f.tracking;
    const bool stepped = f.playerCol != col || f.playerRow != row;
    Form_MouseUp(f, kLeftButton, 0, x, y);
    if (finished) {
        return ArrowResult::Finished;
    }
    return stepped ? ArrowResult::Stepped : ArrowResult::Wall;
}

}  // namespace quorrel
