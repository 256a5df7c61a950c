// Quorrel: the maze game's window. The game takes no command-line options of its own.
#include <QApplication>

#include "application.h"
#include "main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quorrel::app::setUpApplication();
    quorrel::app::MainWindow window;
    window.show();
    return QApplication::exec();
}
