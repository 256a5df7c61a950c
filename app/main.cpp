// Quorrel: the maze game's window. The game takes no command-line options of its own.
#include <QApplication>

#include "application.h"
#include "main_window.h"
#include "termination.h"

int main(int argc, char* argv[]) {
    quorrel::app::TerminationSignals termination;
    QApplication application(argc, argv);
    termination.watch(&QApplication::quit);
    quorrel::app::setUpApplication();
    quorrel::app::MainWindow window;
    window.show();
    return QApplication::exec();
}
