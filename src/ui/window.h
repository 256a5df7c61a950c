#pragma once

#include <string>
#include <string_view>

#include "game/mazeform.h"

namespace quorrel {

inline constexpr std::string_view kCaption = "Quorrel 1.0";
inline constexpr std::string_view kAppTitle = "quorrel";
// The buttons of the message boxes, for a front end that has none of its own; an ampersand
// marks the access key.
inline constexpr std::string_view kOkButton = "OK";
inline constexpr std::string_view kYesButton = "&Yes";
inline constexpr std::string_view kNoButton = "&No";

// The entries of both size selectors, and the one shown at start.
inline constexpr std::string_view kSizeEntries[] = {"5", "10", "15", "20", "25", "30", "35", "40"};
inline constexpr int kInitialSizeEntry = 3;

// The client area at start, and the smallest it may be made: the strip of controls, in twips.
inline constexpr int kClientWidth = 8880;
inline constexpr int kClientHeight = 7305;
inline constexpr int kMinClientWidth = 6852;
inline constexpr int kMinClientHeight = 3000;
// Every control's top edge, in twips.
inline constexpr int kControlTop = 120;

enum class ControlKind { Label, Selector, Button, Box };

// One control of the strip along the top of the client area, left to right. Positions and
// sizes in twips; the accessible name and description are what a screen reader says of it.
struct ControlRow {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;  // a label's or the button's text
    int left;
    int width;
    int height;
    bool bold;
    std::string_view accessibleName;
    std::string_view description;  // for a selector, see controlDescription()
    std::string_view buddy;        // for a label: the control it names
};

inline constexpr ControlRow kControls[] = {
    {"Label1", ControlKind::Label, "Width", 120, 615, 255, true, {}, {}, "Combo1"},
    {"Combo1", ControlKind::Selector, {}, 720, 615, 315, false, "Maze width", {}, {}},
    {"Label2", ControlKind::Label, "Height", 1440, 615, 255, true, {}, {}, "Combo2"},
    {"Combo2", ControlKind::Selector, {}, 2040, 615, 315, false, "Maze height", {}, {}},
    {"Command1",
     ControlKind::Button,
     "NEW MAZE",
     3000,
     1215,
     375,
     true,
     "New maze",
     "Generate a new maze of the chosen width and height",
     {}},
    {"Label3", ControlKind::Label, "Moves", 4440, 735, 255, true, {}, {}, "Text1"},
    {"Text1", ControlKind::Box, {}, 5040, 492, 288, false, "Moves", "Moves made in this game", {}},
    {"Label4", ControlKind::Label, "Extra", 5760, 735, 255, true, {}, {}, "Text2"},
    {"Text2",
     ControlKind::Box,
     {},
     6240,
     492,
     288,
     false,
     "Extra moves",
     "Moves spent passing again through squares already walked",
     {}},
};

// The labels' and the button's font: MS Sans Serif 8.25 points, bold. Where that Windows font
// is missing, the fonts named after it have Arial's widths, which its bold face comes close to;
// a generic sans of other widths would run the labels into the controls beside them.
inline constexpr std::string_view kBoldFamilies[] = {"MS Sans Serif", "Liberation Sans", "Arimo",
                                                     "Arial"};
inline constexpr double kBoldPoints = 8.25;

// The order the keyboard focus goes round in; NEW MAZE has it when the window opens.
inline constexpr std::string_view kFocusOrder[] = {"Command1", "Text1",  "Text2",
                                                   "Combo1",   "Combo2", "board"};

// The board as a screen reader names it, and how a mouse player plays it.
inline constexpr std::string_view kBoardName = "Maze board";
inline constexpr std::string_view kBoardHelp =
    "Hold the left mouse button down on the gray entrance square and move through the maze to "
    "the gap in the bottom wall.";

// What the page says in place of the game when the game cannot run there: its files did not
// load, or the browser is older than the oldest the page is made for.
inline constexpr std::string_view kPageNotLoaded =
    "The game could not be loaded. Check the connection, then reload the page.";
inline constexpr std::string_view kPageTooOld =
    "This browser is too old for the game, which plays in Chrome and Edge 87, Firefox 78, Safari "
    "14.1 and their later versions.";

// What a screen reader says a control is for: for a size selector, "Maze width in squares:
// pick one or type a number from 2 to 50".
std::string controlDescription(const ControlRow& control);
// A size selector's tool tip: "Maze width: 2 to 50 squares".
std::string controlTip(const ControlRow& control);

// Sets the window up when it opens: no maze yet, full visibility.
void Form_Load(Mazeform& f);

// File > Make file: switches the writing of maze files on and off.
void mkfile_Click(Mazeform& f);

// HELP!: shows the rules.
void help_Click(Mazeform& f);

// The rules, ending in a credit for the program that names the front end it runs in.
std::string helpText(FrontEnd frontEnd = FrontEnd::Desktop);

}  // namespace quorrel
