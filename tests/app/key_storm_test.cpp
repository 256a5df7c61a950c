// A storm of keys delivered the way Qt delivers them, to whichever widget has the focus, with
// the focus moved about, the left button now and then held on the board and the result boxes
// answered by the test double. A key pressed anywhere but on the board never moves the player
// or changes a counter, and what the board says is the game's own words for what happened.

#include <QSignalSpy>
#include <random>
#include <string>
#include <vector>

#include "app_support.h"
#include "ui/board_description.h"

namespace quorrel::apptest {
namespace {

// What a stray key must leave alone.
struct Play {
    Int moves, extra, col, row, curX, curY;
    std::vector<Int> passes;
    QString text1, text2;
    bool operator==(const Play&) const = default;
};

class KeyStorm : public WindowTest {
  protected:
    Play play() {
        const Mazeform& f = form();
        Play p{f.moveCount, f.extraMoves, f.playerCol,    f.playerRow,   f.curX,
               f.curY,      {},           text1().text(), text2().text()};
        for (int c = 0; c <= f.passes.lastCol(); ++c) {
            for (int r = 0; r <= f.passes.lastRow(); ++r) {
                p.passes.push_back(f.passes(c, r));
            }
        }
        return p;
    }
    std::size_t boxes() const { return messages.messages.size() + messages.questions.size(); }

    // The game's words for what a key on the board did, judged by the test from the change.
    QString expectedWords(Qt::Key key, const Play& was, std::size_t boxesWere) {
        const Mazeform& f = form();
        std::string words;
        if (key == Qt::Key_Space || boxes() != boxesWere) {
            words = describeWhereAmI(f);
        } else if (f.entryCol == 0) {
            words = describeBoard(f);
        } else if (f.moveCount != was.moves) {
            words = describeSquare(f);
        } else {
            words = describeBump(f);
        }
        return QString::fromStdString(words);
    }
};

TEST_F(KeyStorm, OnlyTheFocusedBoardWalksAndItSaysTheGamesWords) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    std::mt19937 draw(20240611);
    const auto pick = [&draw](int n) {
        return static_cast<int>(draw() % static_cast<unsigned>(n));
    };
    std::vector<Qt::Key> keys = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,  Qt::Key_Down,
                                 Qt::Key_Down, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Backtab,
                                 Qt::Key_A,    Qt::Key_Q,     Qt::Key_Z,   Qt::Key_0,
                                 Qt::Key_5,    Qt::Key_9};
    QWidget* const focusable[] = {&command1(), &text1(), &text2(), &combo1(), &combo2(), &board()};
    QSignalSpy spoke(window.get(), &app::MainWindow::boardSpoke);
    bool held = false;
    int onBoard = 0;
    int elsewhere = 0;
    int steps = 0;
    newMaze("4", "4");
    for (int i = 0; i < 2500; ++i) {
        const int what = pick(100);
        if (what < 2) {
            newMaze(QString::number(3 + pick(4)), QString::number(3 + pick(4)));
            continue;
        }
        if (what < 8) {
            focusable[pick(6)]->setFocus(Qt::OtherFocusReason);
            continue;
        }
        if (what < 11 && form().squareSize > 0) {
            // The left button pressed on the square a press must be on, or let go.
            const Square corner{(form().curX - form().originX) / form().squareSize,
                                (form().curY - form().originY) / form().squareSize};
            held ? QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(corner))
                 : QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(corner));
            held = !held;
            continue;
        }
        if (pick(20) == 0) {
            messages.answers.push_back(true);
        }
        const Qt::Key key = keys[static_cast<std::size_t>(pick(static_cast<int>(keys.size())))];
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        const Play was = play();
        const std::size_t boxesWere = boxes();
        const qsizetype said = spoke.size();
        QTest::keyClick(target, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        const std::string where =
            "key " + std::to_string(i) + " in " + target->objectName().toStdString();
        if (target != &board()) {
            ++elsewhere;
            // Space on the button is its own click: NEW MAZE.
            if (target != &command1() || key != Qt::Key_Space) {
                ASSERT_TRUE(play() == was) << where;
                ASSERT_EQ(spoke.size(), said) << where;
            }
        } else if (key != Qt::Key_Tab && key != Qt::Key_Backtab && spoke.size() != said) {
            ++onBoard;
            steps += form().moveCount != was.moves ? 1 : 0;
            ASSERT_EQ(spoke.size(), said + 1) << where;
            ASSERT_EQ(spoke.back().at(0).toString(), expectedWords(key, was, boxesWere)) << where;
        }
        ASSERT_EQ(board().accessibleDescription().toStdString(), describeBoard(form())) << where;
    }
    if (held) {
        QTest::mouseRelease(&board(), Qt::LeftButton);
    }
    // The storm reached every part: keys on the board that spoke and stepped, keys elsewhere.
    EXPECT_GT(onBoard, 100);
    EXPECT_GT(steps, 50);
    EXPECT_GT(elsewhere, 300);
}

}  // namespace
}  // namespace quorrel::apptest
