#pragma once

#include <QString>
#include <string_view>

#include "game/ports.h"

class QWidget;

namespace quorrel::app {

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
