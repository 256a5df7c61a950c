#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "board/drawing.h"
#include "play/play.h"
#include "play/steps.h"

namespace quorrel {

namespace {

// The way the pointer lies from the player's corner square: the first of right, left, below
// and above that holds, the two vertical ones only within the square's column. None while the
// pointer is on the square.
std::optional<Arrow> wayToward(const Mazeform& f, float x, float y) {
    const int s = f.squareSize;
    if (x > f.curX) {
        return Arrow::Right;
    }
    if (x < f.curX - s) {
        return Arrow::Left;
    }
    if (y > f.curY) {
        return Arrow::Down;
    }
    if (y < f.curY - s) {
        return Arrow::Up;
    }
    return std::nullopt;
}

// Moves the player one square toward the pointer when the maze is open that way.
void step(Mazeform& f, float x, float y) {
    const std::optional<Arrow> way = wayToward(f, x, y);
    if (!way || !canStep(f, f.playerCol, f.playerRow, *way)) {
        return;
    }
    const Offset d = offsetOf(*way);
    f.curX = static_cast<Int>(f.curX + d.col * f.squareSize);
    f.curY = static_cast<Int>(f.curY + d.row * f.squareSize);
    f.playerCol = static_cast<Int>(f.playerCol + d.col);
    f.playerRow = static_cast<Int>(f.playerRow + d.row);
}

void finish(Mazeform& f) {
    f.tracking = false;
    if (f.visibility != 0) {
        printmaze(f, 1, f.mazeHeight, 1, f.mazeWidth, -1);
    }
    if (f.extraMoves == 0) {
        f.io.messages.inform("Perfect!");
        return;
    }
    if (f.io.messages.ask(resultMessage(f.moveCount, f.extraMoves))) {
        retry_Click(f);
    }
}

}  // namespace

void Form_MouseDown(Mazeform& f, Int button, Int /*shift*/, float x, float y) {
    if (button != kLeftButton || f.entryCol == 0) {
        return;
    }
    const double s = f.squareSize;
    if (!(f.curX - s <= x && x <= f.curX && f.curY - s <= y && y <= f.curY)) {
        return;
    }
    if (f.moveCount == 0) {
        f.moveCount = -1;
        f.playerRow = 0;
        f.playerCol = f.entryCol;
        f.openings(f.entryCol, 0) = 1;
        bpaint(f);
    }
    f.tracking = true;
}

void Form_MouseMove(Mazeform& f, Int /*button*/, Int /*shift*/, float x, float y) {
    if (!f.tracking) {
        return;
    }
    f.paintX = f.curX;
    f.paintY = f.curY;
    step(f, x, y);
    if (std::abs(f.paintX - f.curX) + std::abs(f.paintY - f.curY) > 0) {
        visibilityRedraw(f);
        bpaint(f);
        f.lastVisibility = f.visibility;
    }
    if (f.cornerBelowMaze()) {
        finish(f);
    }
}

void Form_MouseUp(Mazeform& f, Int /*button*/, Int /*shift*/, float /*x*/, float /*y*/) {
    f.tracking = false;
}

std::string percentText(Int moves, Int extra) {
    if (moves <= 0) {
        return ".00";
    }
    // Hundredths of a per cent: (moves - extra) * 10000 / moves, halves away from zero.
    const long long part = (static_cast<long long>(moves) - extra) * 10000;
    const long long hundredths = (2 * std::llabs(part) + moves) / (2LL * moves);
    char digits[8];
    std::snprintf(digits, sizeof digits, ".%02lld", hundredths % 100);
    std::string text = part < 0 && hundredths > 0 ? "-" : "";
    if (hundredths >= 100) {
        text += std::to_string(hundredths / 100);
    }
    return text + digits;
}

std::string resultMessage(Int moves, Int extra) {
    return "You had " + std::to_string(extra) + " extra moves for a percentage " + "of " +
           percentText(moves, extra) + "; try again?";
}

}  // namespace quorrel
