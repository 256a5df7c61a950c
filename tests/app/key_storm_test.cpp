// A storm of keys delivered the way Qt delivers them, to whichever widget has the focus, with
// the focus moved about, the left button now and then held on the board and the result boxes
// answered by the test double. A key pressed anywhere but on the board never moves the player
// or changes a counter, and what the board says is the game's own words for what happened.

#include <QSignalSpy>
#include <random>
#include <string>
#include <tuple>

#include "app_support.h"
#include "ui/board_description.h"

namespace quorrel::apptest {
namespace {

using KeyStorm = WindowTest;

TEST_F(KeyStorm, OnlyTheFocusedBoardWalksAndItSaysTheGamesWords) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    std::mt19937 draw(20240611);
    const auto pick = [&draw](int n) {
        return static_cast<int>(draw() % static_cast<unsigned>(n));
    };
    const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Space,
                            Qt::Key_Tab,  Qt::Key_A,     Qt::Key_Q,  Qt::Key_0,    Qt::Key_9};
    QWidget* const focusable[] = {&command1(), &text1(), &text2(), &combo1(), &combo2(), &board()};
    QSignalSpy spoke(window.get(), &app::MainWindow::boardSpoke);
    const auto play = [this] {
        const Mazeform& f = form();
        return std::tuple(f.moveCount, f.extraMoves, f.playerCol, f.playerRow, f.curX, f.curY,
                          f.passes(f.entryCol, 0), text1().text(), text2().text());
    };
    int spokeOnBoard = 0;
    int elsewhere = 0;
    newMaze("4", "4");
    for (int i = 0; i < 2500; ++i) {
        const int what = pick(100);
        if (what < 2) {
            newMaze(QString::number(3 + pick(4)), QString::number(3 + pick(4)));
        } else if (what < 8) {
            focusable[pick(6)]->setFocus(Qt::OtherFocusReason);
        } else if (what < 11) {
            // The left button pressed on the square a press must be on, or let go.
            const Square at{(form().curX - form().originX) / form().squareSize,
                            (form().curY - form().originY) / form().squareSize};
            form().tracking ? QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(at))
                            : QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(at));
        }
        if (what < 11) {
            continue;
        }
        if (pick(20) == 0) {
            messages.answers.push_back(true);
        }
        const Qt::Key key = keys[pick(10)];
        QWidget* target = QApplication::focusWidget();
        const auto was = play();
        const std::size_t boxes = messages.messages.size() + messages.questions.size();
        const qsizetype said = spoke.size();
        QTest::keyClick(target, key, pick(4) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        const std::string where =
            "key " + std::to_string(i) + " in " + target->objectName().toStdString();
        if (target != &board()) {
            ++elsewhere;
            // Space on the button is its own click: NEW MAZE.
            if (target != &command1() || key != Qt::Key_Space) {
                ASSERT_TRUE(play() == was) << where;
                ASSERT_EQ(spoke.size(), said) << where;
            }
        } else if (spoke.size() != said) {
            // The game's words for what the key did, judged by the test from what changed.
            ++spokeOnBoard;
            const Mazeform& f = form();
            const bool boxShown = messages.messages.size() + messages.questions.size() != boxes;
            const std::string words = key == Qt::Key_Space || boxShown  ? describeWhereAmI(f)
                                      : f.moveCount != std::get<0>(was) ? describeSquare(f)
                                                                        : describeBump(f);
            ASSERT_EQ(spoke.size(), said + 1) << where;
            ASSERT_EQ(spoke.back().at(0).toString().toStdString(), words) << where;
        }
        ASSERT_EQ(board().accessibleDescription().toStdString(), describeBoard(form())) << where;
    }
    // The storm reached every part: keys on the board that spoke, keys elsewhere.
    EXPECT_GT(spokeOnBoard, 100);
    EXPECT_GT(elsewhere, 300);
}

}  // namespace
}  // namespace quorrel::apptest
