#pragma once

#include <span>
#include <string>
#include <string_view>

#include "game/mazeform.h"
#include "model/types.h"
#include "play/steps.h"

namespace quorrel {

// Where a command sits: the NEW MAZE button, an item of the menu bar, an item in one of the
// menu bar's lists, or a key alone.
enum class Place { Button, MenuBar, InMenu, Key };

// Where a command's shortcut works: nowhere (it has none), on the board only while it has the
// keyboard focus, anywhere in the window, or anywhere in the desktop window only (a browser
// keeps the key for itself: Ctrl+N opens a window, Ctrl+Q quits it).
enum class KeyScope { None, Board, Window, DesktopWindow };

// What a command's handler did, for the words said after it; Made is a new maze.
enum class Outcome { Done, NoMaze, Wall, Stepped, Finished, Made };

// One command of the window. The front ends build their menus, shortcuts and controls from
// these rows and perform every command through perform().
struct CommandRow {
    Command id;
    Place place;
    std::string_view menu;     // for InMenu: the name of the list it sits in (see kMenus)
    std::string_view caption;  // an ampersand marks the access key
    std::string_view name;     // the object name of the button, item or key
    // The check mark's variable; null for an item without one.
    bool (*checked)(const State& s);
    Int radius;  // for a Visibility item: the radius it chooses; -1 otherwise
    // Runs the command; null for a command that does nothing (the blank item) or that only the
    // front end can carry out (quitting).
    Outcome (*handler)(Mazeform& f);
    std::string_view shortcut;  // in the portable form "Ctrl+N", "F1", "Left", "Space"
    KeyScope scope;
    // What is said after the command when it showed no message box; null for nothing.
    std::string (*words)(const State& s, Outcome outcome);
};

// A list of the menu bar: its name and caption.
struct MenuRow {
    std::string_view name;
    std::string_view caption;
};

inline constexpr MenuRow kMenus[] = {{"mkfil", "&File"}, {"hide", "&Visibility"}};

// What a screen reader calls the blank item of the menu bar, which has no caption to say.
inline constexpr std::string_view kBlankItemName = "Blank";

// Every command, in the order of the menu bar and then of the keys.
std::span<const CommandRow> commands();
const CommandRow& commandRow(Command id);
// The Visibility item that chooses `radius`, or null.
const CommandRow* visibilityItem(Int radius);
// The command an arrow key walks with.
Command stepCommand(Arrow way);

// What performing a command came to: whether it showed a message box (which speaks for
// itself) and otherwise the words to say. After the result box of the finish the words say
// where that leaves the player, and after the box of a maze file that could not be written
// they say what NEW MAZE made, to be said once the box has closed.
//
// A key held down says nothing at its auto-repeats, only atRelease of its last one when it is
// let go: where the run stopped. For an arrow stopped by a wall that is the square and its
// open ways after "Wall.", since the wall alone names no square.
struct Said {
    bool boxShown = false;
    std::string words;
    std::string atRelease;
};

// Performs a command: runs its handler, notes whether a message box appeared and returns the
// words to say.
Said perform(Mazeform& f, Command id);

// The words a key held down keeps for its release: each auto-repeat replaces them, the release
// of that key says them once, and anything else that happens (another command, the mouse
// moving the player, the board losing the focus) forgets them.
class HeldKey {
  public:
    // The words to say now for a command performed: none at an auto-repeat that showed no
    // box, whose words for the release are kept instead.
    std::string after(Command id, const Said& said, bool repeated);
    // The key of this command let go: the kept words, once, if they are that key's.
    std::string released(Command id);
    void forget() { words_.clear(); }

  private:
    Command command_ = Command::Blank;
    std::string words_;
};

// Sets every check mark of the menus from its variable.
void showCheckMarks(Mazeform& f);

}  // namespace quorrel
