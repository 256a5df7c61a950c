// Quorrel: the maze game's window. The game takes no command-line options of its own.
#include <QApplication>

#include "main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    quorrel::app::MainWindow window;
    window.show();
    return QApplication::exec();
}
