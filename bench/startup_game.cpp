// The game's start-up, for the start-up benchmark: what app/main.cpp does, up to the window's
// first paint; then the program quits. Not part of the game.
#include <QApplication>

#include "application.h"
#include "first_paint.h"
#include "main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quorrel::app::setUpApplication();
    quorrel::app::MainWindow window;
    const quorrel::bench::QuitAfterFirstPaint quit(*window.centralWidget());
    window.show();
    return QApplication::exec();
}
