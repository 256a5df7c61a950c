#pragma once

#include <QString>
#include <map>

#include "ui/controls.h"

class QAction;
class QComboBox;
class QLineEdit;
class QWidget;

namespace quorrel::app {

// The window's controls as the game sees them: the size selectors Combo1 and Combo2, the Moves
// and Extra boxes Text1 and Text2 and the check marks of the menu items.
class ControlsPort : public Controls {
  public:
    ControlsPort(QComboBox& width, QComboBox& height, QLineEdit& moves, QLineEdit& extra,
                 std::map<Command, QAction*> checkable);

    std::string widthText() override;
    std::string heightText() override;
    void setMovesText(std::string_view text) override;
    void setExtraText(std::string_view text) override;
    void setChecked(Command item, bool checked) override;

  private:
    QComboBox& width_;
    QComboBox& height_;
    QLineEdit& moves_;
    QLineEdit& extra_;
    std::map<Command, QAction*> checkable_;
};

// Modal message boxes over the main window: titled "quorrel", no icon, OK only or Yes and No.
// Texts are shown as plain text; a carriage return and line feed is one line break.
class MessageBoxes : public Messages {
  public:
    explicit MessageBoxes(QWidget* parent) : parent_(parent) {}

    void inform(std::string_view text) override;
    bool ask(std::string_view text) override;

    // The text as the box shows it.
    static QString displayText(std::string_view text);

  private:
    QWidget* parent_;
};

}  // namespace quorrel::app
