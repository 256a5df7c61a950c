#include "window_ports.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>

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
