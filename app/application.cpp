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
    QIcon fallback;
    for (const char* size : {"48", "128", "256"}) {
        fallback.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(size)));
    }
    QApplication::setWindowIcon(QIcon::fromTheme(appId, fallback));
}

}  // namespace quorrel::app
