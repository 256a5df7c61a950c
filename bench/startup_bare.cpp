// The floor of the start-up benchmark: a bare window with the game's menus and controls and no
// game, shown until its first paint, then the program quits.
#include <QApplication>

#include "bare_window.h"
#include "first_paint.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quorrel::bench::BareWindow window;
    const quorrel::bench::QuitAfterFirstPaint quit(*window.centralWidget());
    window.show();
    return QApplication::exec();
}
