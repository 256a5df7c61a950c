#pragma once

// What the widget tests share: a main window with test doubles for its message boxes, random
// numbers and files; the named controls; pixels of the board's image at points in twips; the
// walls of the maze as the image shows them; and a hand that answers a real message box.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "board_widget.h"
#include "main_window.h"
#include "support/doubles.h"
#include "support/maze_geometry.h"

namespace quorrel::apptest {

using quorrel::testing::FakeWindow;
using quorrel::testing::MemoryFileStore;

using quorrel::testing::Square;

// The main window, shown, with message boxes that only record what they were asked to show
// (and answer No), a fixed-seed random source and files kept in memory.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { open(app::Services{&messages, &random, &files}); }

    void open(app::Services services) {
        window = std::make_unique<app::MainWindow>(services);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T>
    T& child(const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            throw std::runtime_error(std::string("no child named ") + name);
        }
        return *found;
    }
    QComboBox& combo1() { return child<QComboBox>("Combo1"); }
    QComboBox& combo2() { return child<QComboBox>("Combo2"); }
    QPushButton& command1() { return child<QPushButton>("Command1"); }
    QLineEdit& text1() { return child<QLineEdit>("Text1"); }
    QLineEdit& text2() { return child<QLineEdit>("Text2"); }
    QAction& action(const char* name) { return child<QAction>(name); }
    app::BoardWidget& board() { return window->board(); }
    Mazeform& form() { return window->form(); }

    // Types a text into a size selector as a person would, replacing what was there.
    static void typeInto(QComboBox& combo, const QString& text) {
        combo.lineEdit()->selectAll();
        QTest::keyClick(combo.lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(combo.lineEdit(), text);
    }

    // Types the sizes and clicks NEW MAZE.
    void newMaze(const QString& width, const QString& height) {
        typeInto(combo1(), width);
        typeInto(combo2(), height);
        QTest::mouseClick(&command1(), Qt::LeftButton);
    }

    // Centre of a square of the maze, in the board's pixels.
    QPoint centreOf(Square s) {
        const Mazeform& f = form();
        const TwipsPerPixel px = board().twipsPerPixel();
        const double x = f.originX + (s.col - 0.5) * f.squareSize;
        const double y = f.originY + (s.row - 0.5) * f.squareSize;
        return QPoint(static_cast<int>(std::lround(x / px.x)),
                      static_cast<int>(std::lround(y / px.y)));
    }

    FakeWindow messages;
    SeededRandom random{20240607};
    MemoryFileStore files;
    std::unique_ptr<app::MainWindow> window;
};

// The image's pixel under a point of the board given in twips.
inline QPoint devicePixel(const app::BoardWidget& board, double x, double y) {
    const TwipsPerPixel px = app::twipsPerPixelOf(board);
    const double ratio = board.image().devicePixelRatio();
    return QPoint(static_cast<int>(std::floor(x / px.x * ratio)),
                  static_cast<int>(std::floor(y / px.y * ratio)));
}

inline Colour colourAt(const app::BoardWidget& board, QPoint pixel) {
    return app::fromQColor(board.image().pixelColor(pixel));
}

inline Colour colourAt(const app::BoardWidget& board, double x, double y) {
    return colourAt(board, devicePixel(board, x, y));
}

// A point inside the painted box of a square (the square shrunk by the inset) that its
// centred label does not reach: just inside the box's top-left corner.
inline Colour boxColourOf(const app::BoardWidget& board, const Mazeform& f, Square s) {
    const double left = f.originX + (s.col - 1) * f.squareSize + f.inset;
    const double top = f.originY + (s.row - 1) * f.squareSize + f.inset;
    const double step = app::twipsPerPixelOf(board).x * 0.5;
    return colourAt(board, left + step, top + step);
}

// Compares every wall of the maze with the image: black at the middle of each closed side,
// background across the middle of each open side, the entrance gap covered by the entrance
// square (gray on a new maze, white after Retry), the exit gap open. Gives a description of
// each difference.
inline std::vector<std::string> wallMismatches(const app::BoardWidget& board, const Mazeform& f,
                                               Colour background, Colour entrance = kEntranceGray) {
    std::vector<std::string> wrong;
    const double s = f.squareSize;
    const double x0 = f.originX;
    const double y0 = f.originY;
    const double ratio = board.image().devicePixelRatio();
    const auto describe = [](const char* what, int c, int r, Colour got) {
        char text[96];
        std::snprintf(text, sizeof text, "%s of square (%d, %d): colour %06X", what, c, r,
                      static_cast<unsigned>(got));
        return std::string(text);
    };
    // A closed side: the pixel under the line's middle is black.
    const auto closed = [&](const char* what, int c, int r, double x, double y) {
        const Colour got = colourAt(board, x, y);
        if (got != kBlack) {
            wrong.push_back(describe(what, c, r, got));
        }
    };
    // An open side: the pixel under the middle and its neighbours across the line are the
    // background.
    const auto open = [&](const char* what, int c, int r, double x, double y, bool vertical) {
        const QPoint at = devicePixel(board, x, y);
        const int reach = static_cast<int>(std::ceil(ratio));
        for (int d = -reach; d <= reach; ++d) {
            const QPoint p = vertical ? QPoint(at.x() + d, at.y()) : QPoint(at.x(), at.y() + d);
            const Colour got = colourAt(board, p);
            if (got != background) {
                wrong.push_back(describe(what, c, r, got));
                return;
            }
        }
    };
    for (int c = 1; c <= f.mazeWidth; ++c) {
        const double x = x0 + (c - 0.5) * s;
        if (c == f.entryCol) {
            const Colour got = colourAt(board, x, y0);
            if (got != entrance) {
                wrong.push_back(describe("entrance gap above", c, 1, got));
            }
        } else {
            closed("top edge", c, 1, x, y0);
        }
    }
    for (int r = 1; r <= f.mazeHeight; ++r) {
        const double midY = y0 + (r - 0.5) * s;
        closed("left edge", 1, r, x0, midY);
        for (int c = 1; c <= f.mazeWidth; ++c) {
            const double rightX = x0 + c * s;
            if (!f.opensRight(c, r)) {
                closed("right side", c, r, rightX, midY);
            } else {
                open("right side", c, r, rightX, midY, true);
            }
            const double midX = x0 + (c - 0.5) * s;
            const double bottomY = y0 + r * s;
            if (!f.opensDown(c, r)) {
                closed("bottom side", c, r, midX, bottomY);
            } else {
                open("bottom side", c, r, midX, bottomY, false);
            }
        }
    }
    // The entrance square is light gray all over.
    for (const double fx : {0.2, 0.5, 0.8}) {
        for (const double fy : {0.2, 0.5, 0.8}) {
            const Colour got = colourAt(board, x0 + (f.entryCol - 1 + fx) * s, y0 - s + fy * s);
            if (got != entrance) {
                wrong.push_back(describe("entrance square", f.entryCol, 0, got));
            }
        }
    }
    return wrong;
}

// The way from the entrance square to the square below the exit, found from the openings:
// the entrance square (row 0), then squares of rows 1..H, then the square of row H + 1.
inline std::vector<Square> wayOut(const Mazeform& f) {
    std::vector<Square> way = testing::routeToExit(f);
    if (!way.empty()) {
        way.insert(way.begin(), testing::entranceSquare(f));
    }
    return way;
}

// Waits for the next message box, lets `inspect` look at it and then clicks `button` on it.
// Gives up after about ten seconds without a box.
inline void answerNextBox(std::function<void(QMessageBox&)> inspect,
                          QMessageBox::StandardButton button) {
    auto* timer = new QTimer(qApp);
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, inspect, button, ticks] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            if (++*ticks > 1000) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        inspect(*box);
        if (QAbstractButton* chosen = box->button(button)) {
            chosen->click();
        } else {
            box->reject();
        }
    });
    timer->start();
}

}  // namespace quorrel::apptest
