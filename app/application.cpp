#include "application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLatin1String>
#include <QString>

namespace quorrel::app {

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("quorrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    const QString appId = QStringLiteral("io.github.quorrel.Quorrel");
    QGuiApplication::setDesktopFileName(appId);
    // The icon built into the program: asking the icon theme for the installed one would read
    // the theme's folders at every start. The sizes a panel or a window switcher shows; the
    // launcher and software centres take the installed icons, 256 pixels included.
    QIcon icon;
    for (const char* size : {"48", "128"}) {
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(size)));
    }
    QApplication::setWindowIcon(icon);
}

}  // namespace quorrel::app
