#pragma once

#include "model/types.h"

namespace quorrel {

// Every command of the window: the NEW MAZE button, the menu items in the order of the menu
// bar, and the keys of the board and the window. Their captions, shortcuts and words are in
// the table of ui/commands.h.
enum class Command {
    NewMaze,
    MakeFile,
    Retry,
    Solve,
    Hide1,
    Hide2,
    Hide4,
    Hide8,
    Hide0,
    Blank,
    Help,
    StepLeft,
    StepRight,
    StepUp,
    StepDown,
    WhereAmI,
    Quit,
};

// A Visibility item and the radius in squares it chooses; 0 shows the whole maze.
struct VisibilityChoice {
    Command item;
    Int radius;
};

inline constexpr VisibilityChoice kVisibilityChoices[] = {
    {Command::Hide1, 1}, {Command::Hide2, 2}, {Command::Hide4, 4},
    {Command::Hide8, 8}, {Command::Hide0, 0},
};

// The radius an item chooses, or -1 for an item that is not a Visibility item.
constexpr Int radiusOf(Command item) {
    for (const VisibilityChoice& choice : kVisibilityChoices) {
        if (choice.item == item) {
            return choice.radius;
        }
    }
    return -1;
}

}  // namespace quorrel
