#include <algorithm>

#include "board/drawing.h"
#include "game/command.h"
#include "play/play.h"

namespace quorrel {

namespace {

// Checks the item of the chosen radius, unchecks the other four and sets the radius.
void chooseVisibility(Mazeform& f, Int radius) {
    for (const VisibilityChoice& choice : kVisibilityChoices) {
        if (choice.radius != radius) {
            f.io.controls.setChecked(choice.item, false);
        }
    }
    f.visibility = radius;
    for (const VisibilityChoice& choice : kVisibilityChoices) {
        if (choice.radius == radius) {
            f.io.controls.setChecked(choice.item, true);
        }
    }
}

}  // namespace

void hide0_Click(Mazeform& f) {
    chooseVisibility(f, 0);
}
void hide1_Click(Mazeform& f) {
    chooseVisibility(f, 1);
}
void hide2_Click(Mazeform& f) {
    chooseVisibility(f, 2);
}
void hide4_Click(Mazeform& f) {
    chooseVisibility(f, 4);
}
void hide8_Click(Mazeform& f) {
    chooseVisibility(f, 8);
}

void visibilityRedraw(Mazeform& f) {
    const int v = f.visibility;
    if (v == 0 && f.lastVisibility == 0) {
        return;
    }
    if (v == 0) {
        printmaze(f, 1, f.mazeHeight, 1, f.mazeWidth, 0);
        return;
    }
    const auto t = static_cast<Int>(std::max(1, f.playerRow - v));
    const auto b = static_cast<Int>(std::min<int>(f.mazeHeight, f.playerRow + v));
    const auto l = static_cast<Int>(std::max(1, f.playerCol - v));
    const auto r = static_cast<Int>(std::min<int>(f.mazeWidth, f.playerCol + v));
    f.io.surface.clear();
    printmaze(f, t, b, l, r, 0);
}

}  // namespace quorrel
