#include "ui/window.h"

namespace quorrel {

void Form_Load(Mazeform& f) {
    f.tracking = false;
    f.visibility = 0;
}

std::string controlDescription(const ControlRow& control) {
    if (control.kind != ControlKind::Selector) {
        return std::string(control.description);
    }
    return std::string(control.accessibleName) + " in squares: pick one or type a number from " +
           std::to_string(kMinSide) + " to " + std::to_string(kMaxSide);
}

std::string controlTip(const ControlRow& control) {
    if (control.kind != ControlKind::Selector) {
        return {};
    }
    return std::string(control.accessibleName) + ": " + std::to_string(kMinSide) + " to " +
           std::to_string(kMaxSide) + " squares";
}

void mkfile_Click(Mazeform& f) {
    f.makeFiles = !f.makeFiles;
    f.io.controls.setChecked(Command::MakeFile, f.makeFiles);
}

std::string helpText(FrontEnd frontEnd) {
    const std::string br = "\r\n";
    return "     To create a new maze, first set the width and height. To solve it, hold down the "
           "left mouse button over the (gray) entry square and move through the maze. You may "
           "interrupt play at any time; hold down the button to resume play where you left off. "
           "The number in each square indicates the number of times you have passed through "
           "it." +
           br +
           "     Click Retry to replay the same maze. If you give up, click Solve and follow the "
           "letters for the solution." +
           br +
           "     To save your mazes to printable (ASCII) files, click File on the menu. All mazes "
           "created while this option is in force will be saved. Files will be named "
           "'maze_nnn.txt' in the current directory." +
           br +
           "     To make play more challenging, you may restrict your visibility to from 1 to 8 "
           "squares in each direction: visibility may be changed at any time." +
           br + br +
           (frontEnd == FrontEnd::Page
                ? "Quorrel 1.0, a maze game for the web browser, written in C++."
                : "Quorrel 1.0, a maze game for the desktop, written in C++ with Qt.");
}

void help_Click(Mazeform& f) {
    f.io.messages.inform(helpText(f.frontEnd));
}

}  // namespace quorrel
