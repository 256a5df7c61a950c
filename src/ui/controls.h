#pragma once

#include <string>
#include <string_view>

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

// The window's controls as the game sees them: the two size selectors, the Moves and Extra
// boxes and the check marks of the menu.
class Controls {
  public:
    virtual ~Controls() = default;

    virtual std::string widthText() = 0;                   // Combo1
    virtual std::string heightText() = 0;                  // Combo2
    virtual void setMovesText(std::string_view text) = 0;  // Text1
    virtual void setExtraText(std::string_view text) = 0;  // Text2
    virtual void setChecked(Command item, bool checked) = 0;
};

// Modal message boxes titled with the application's name, without an icon.
class Messages {
  public:
    virtual ~Messages() = default;

    virtual void inform(std::string_view text) = 0;  // OK only
    virtual bool ask(std::string_view text) = 0;     // Yes (true) or No (false)
};

}  // namespace quorrel
