#include "window_ports.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <utility>

#include "qt_text.h"
#include "ui/window.h"

namespace quorrel::app {

namespace {

// Runs a modal box over the main window and gives the button chosen.
QMessageBox::StandardButton runBox(QWidget* parent, std::string_view text,
                                   QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton byDefault) {
    QMessageBox box(QMessageBox::NoIcon, toQString(kAppTitle), MessageBoxes::displayText(text),
                    buttons, parent);
    box.setObjectName(QStringLiteral("quorrelMessage"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(byDefault);
    // Some styles and desktop themes put icons on dialog buttons (a check mark on OK); the
    // game's boxes have none.
    for (QAbstractButton* button : box.buttons()) {
        button->setIcon(QIcon());
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

ControlsPort::ControlsPort(QComboBox& width, QComboBox& height, QLineEdit& moves, QLineEdit& extra,
                           std::map<Command, QAction*> checkable)
    : width_(width),
      height_(height),
      moves_(moves),
      extra_(extra),
      checkable_(std::move(checkable)) {}

std::string ControlsPort::widthText() {
    return width_.currentText().toStdString();
}

std::string ControlsPort::heightText() {
    return height_.currentText().toStdString();
}

void ControlsPort::setMovesText(std::string_view text) {
    moves_.setText(toQString(text));
}

void ControlsPort::setExtraText(std::string_view text) {
    extra_.setText(toQString(text));
}

void ControlsPort::setChecked(Command item, bool checked) {
    const auto found = checkable_.find(item);
    if (found != checkable_.end()) {
        found->second->setChecked(checked);
    }
}

QString MessageBoxes::displayText(std::string_view text) {
    QString shown = toQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

void MessageBoxes::inform(std::string_view text) {
    runBox(parent_, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBoxes::ask(std::string_view text) {
    return runBox(parent_, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

}  // namespace quorrel::app
