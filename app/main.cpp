// Quorrel: the maze game's window. The game takes no command-line options of its own.
#include <QApplication>
#include <QIcon>

#include "main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Ties the window to the installed launcher (io.github.quorrel.Quorrel.desktop) on desktops
    // that match windows to launchers by it, and gives it the launcher's icon.
    const QString appId = QStringLiteral("io.github.quorrel.Quorrel");
    QGuiApplication::setDesktopFileName(appId);
    QIcon fallback;
    for (const char* size : {"48", "128", "256"}) {
        fallback.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(size)));
    }
    QApplication::setWindowIcon(QIcon::fromTheme(appId, fallback));
    quorrel::app::MainWindow window;
    window.show();
    return QApplication::exec();
}
