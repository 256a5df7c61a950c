#pragma once

namespace quorrel::app {

// Names the application, ties it to its installed launcher (io.github.quorrel.Quorrel.desktop)
// on desktops that match windows to launchers by it, and gives its windows the launcher's icon,
// the one built into the program (":/icons", from app/quorrel.qrc, which every program calling
// this must be built with). Call it after making the
// QApplication and before making the main window.
void setUpApplication();

}  // namespace quorrel::app
