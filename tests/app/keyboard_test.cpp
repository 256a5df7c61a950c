// Keyboard play in the window: the board as the last Tab stop, arrow keys that walk exactly as
// the mouse does, the window-wide keys, and what the board says at each key.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QKeyEvent>
#include <QKeySequence>
#include <QSignalSpy>
#include <string>
#include <vector>

#include "app_support.h"
#include "ui/board_description.h"
#include "ui/window.h"

namespace quorrel::apptest {
namespace {

using Keyboard = WindowTest;

Qt::Key arrowBetween(Square from, Square to) {
    if (to.col != from.col) {
        return to.col > from.col ? Qt::Key_Right : Qt::Key_Left;
    }
    return to.row > from.row ? Qt::Key_Down : Qt::Key_Up;
}

struct Played {
    Int moves, extra;
    QString text1, text2;
    std::vector<std::string> messages, questions;
    QImage picture;
};

TEST_F(Keyboard, TheSameWalkByMouseAndByArrowsEndsTheSame) {
    newMaze("10", "10");
    ASSERT_TRUE(form().exitMade);
    std::vector<Square> walk = testing::wayWithDetour(form(), 1);
    walk.insert(walk.begin(), testing::entranceSquare(form()));
    ASSERT_GT(walk.size(), wayOut(form()).size()) << "no detour on this maze";
    const auto played = [this](const FakeWindow& shown) {
        return Played{form().moveCount, form().extraMoves, text1().text(),        text2().text(),
                      shown.messages,   shown.questions,   board().image().copy()};
    };

    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(walk[0]));
    for (std::size_t i = 1; i < walk.size(); ++i) {
        QTest::mouseMove(&board(), centreOf(walk[i]));
    }
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(walk.back()));
    const Played byMouse = played(messages);

    // The same maze in a new window: the same seed and the same sizes.
    FakeWindow keyed;
    SeededRandom same{20240607};
    MemoryFileStore otherFiles;
    open(app::Services{&keyed, &same, &otherFiles});
    newMaze("10", "10");
    ASSERT_EQ(wayOut(form()).size() + 2, walk.size());
    // The board walks only while it has the keyboard focus.
    window->show();
    window->activateWindow();
    board().setFocus(Qt::TabFocusReason);
    for (std::size_t i = 1; i < walk.size(); ++i) {
        QTest::keyClick(&board(), arrowBetween(walk[i - 1], walk[i]));
        ASSERT_EQ(form().moveCount, static_cast<Int>(i)) << "arrow " << i;
    }
    const Played byKeys = played(keyed);

    EXPECT_EQ(byKeys.moves, byMouse.moves);
    EXPECT_EQ(byKeys.extra, 2);
    EXPECT_EQ(byKeys.extra, byMouse.extra);
    EXPECT_EQ(byKeys.text1, byMouse.text1);
    EXPECT_EQ(byKeys.text2, byMouse.text2);
    EXPECT_EQ(byKeys.messages, byMouse.messages);
    ASSERT_EQ(byKeys.questions.size(), 1U);
    EXPECT_EQ(byKeys.questions, byMouse.questions);
    EXPECT_TRUE(byKeys.picture == byMouse.picture) << "the boards' pictures differ";
}

TEST_F(Keyboard, TheBoardIsTheLastTabStopAndAClickLeavesTheFocus) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    newMaze("10", "10");
    const QImage before = board().image().copy();
    combo2().setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &board());
    // Focus does not show on the picture.
    EXPECT_TRUE(board().image() == before);
    QTest::keyClick(&board(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &command1());
    QTest::keyClick(&command1(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &board());
    // A click on the board plays, and leaves the focus where it was.
    command1().setFocus();
    QTest::mouseClick(&board(), Qt::LeftButton, {}, centreOf({form().entryCol, 0}));
    EXPECT_EQ(QApplication::focusWidget(), &command1());
}

TEST_F(Keyboard, WindowWideKeysRunNewMazeHelpAndClose) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    typeInto(combo1(), "7");
    typeInto(combo2(), "6");
    // From inside a selector: NEW MAZE with the sizes typed.
    QTest::keyClick(combo1().lineEdit(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(form().mazeWidth, 7);
    EXPECT_EQ(form().mazeHeight, 6);
    EXPECT_NE(form().entryCol, 0);
    EXPECT_TRUE(messages.messages.empty());
    QTest::keyClick(&command1(), Qt::Key_F1);
    EXPECT_EQ(messages.messages, std::vector<std::string>{helpText()});
    // The menus keep their captions: no shortcut text is added to them.
    EXPECT_TRUE(action("help").shortcut().isEmpty());
    QTest::keyClick(&command1(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

QString utteranceOf(app::BoardWidget& board) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&board);
    QAccessibleInterface* said = iface->child(0);
    if (said == nullptr || said->role() != QAccessible::Whitespace) {
        return QString();
    }
    return said->text(QAccessible::Name);
}

// The words the game has for the state the window's game is in.
QString said(std::string (*describe)(const State&), const Mazeform& f) {
    return QString::fromStdString(describe(f));
}

TEST_F(Keyboard, EachKeySaysOneThingAndItIsHeardWhileTheBoardHasTheFocus) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QSignalSpy spoke(window.get(), &app::MainWindow::boardSpoke);
    const auto last = [&spoke] { return spoke.back(); };

    // Before any maze an arrow says there is none.
    board().setFocus(Qt::TabFocusReason);
    QTest::keyClick(&board(), Qt::Key_Down);
    ASSERT_EQ(spoke.size(), 1);
    EXPECT_EQ(last().at(0).toString(), said(describeBoard, form()));

    QTest::keyClick(&board(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(spoke.size(), 2);
    EXPECT_EQ(last().at(0).toString(), said(describeNewMaze, form()));
    EXPECT_TRUE(last().at(1).toBool());

    const std::vector<Square> way = wayOut(form());
    QTest::keyClick(&board(), Qt::Key_Up);
    ASSERT_EQ(spoke.size(), 3);
    EXPECT_EQ(last().at(0).toString(), said(describeBump, form()));
    QTest::keyClick(&board(), Qt::Key_Space);
    ASSERT_EQ(spoke.size(), 4);
    EXPECT_EQ(last().at(0).toString(), said(describeWhereAmI, form()));
    EXPECT_EQ(form().moveCount, 0);
    for (std::size_t k = 1; k <= 3 && k + 1 < way.size(); ++k) {
        QTest::keyClick(&board(), arrowBetween(way[k - 1], way[k]));
        ASSERT_EQ(spoke.size(), static_cast<qsizetype>(4 + k));
        ASSERT_EQ(form().moveCount, static_cast<Int>(k));
        const QString words = last().at(0).toString();
        EXPECT_EQ(words, said(describeSquare, form()));
        EXPECT_TRUE(last().at(1).toBool());
        // The board's newest child says it, and has the accessible focus.
        EXPECT_EQ(utteranceOf(board()), words);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&board());
        ASSERT_NE(iface->focusChild(), nullptr);
        EXPECT_EQ(iface->focusChild()->text(QAccessible::Name), words);
        EXPECT_TRUE(iface->focusChild()->state().focused);
    }
    // The controls on the board are still its children, after the utterance.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&board());
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(&command1());
    EXPECT_GT(iface->indexOfChild(button), 0);
    EXPECT_EQ(iface->child(iface->indexOfChild(button))->object(), &command1());
    EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), kBoardName);

    action("cheat").trigger();
    EXPECT_EQ(last().at(0).toString(), said(describeSolution, form()));
    action("retry").trigger();
    EXPECT_EQ(last().at(0).toString(), said(describeRetry, form()));

    // With the focus on NEW MAZE the focus stays there: the words come as a notification.
    command1().setFocus();
    const qsizetype before = spoke.size();
    QTest::keyClick(&command1(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(spoke.size(), before + 1);
    EXPECT_FALSE(last().at(1).toBool());
    QAccessibleInterface* shown = iface->child(0);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->role(), QAccessible::Notification);
    EXPECT_EQ(shown->text(QAccessible::Name), last().at(0).toString());
    EXPECT_FALSE(shown->state().focused);
    EXPECT_EQ(QApplication::focusWidget(), &command1());
    // A refused size speaks through its message box only.
    typeInto(combo1(), "99");
    QTest::keyClick(combo1().lineEdit(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(spoke.size(), before + 1);
    EXPECT_EQ(messages.messages.size(), 1U);
}

// Under key repeat the steps are taken at once but only the last one's words are said, when
// the key is let go on the board: where the run stopped, also when it stopped at a wall.
TEST_F(Keyboard, AHeldArrowSaysOnlyWhereItStopped) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    newMaze("10", "10");
    board().setFocus(Qt::TabFocusReason);
    QSignalSpy spoke(window.get(), &app::MainWindow::boardSpoke);
    const auto key = [](QWidget* to, QEvent::Type type, Qt::Key k, bool repeated) {
        QKeyEvent event(type, k, Qt::NoModifier, QString(), repeated);
        QApplication::sendEvent(to, &event);
    };
    // Down from the entrance, said at once; then its repeats down the column and once into the
    // wall, each step taken, nothing said until Down itself is let go.
    key(&board(), QEvent::KeyPress, Qt::Key_Down, false);
    ASSERT_EQ(spoke.size(), 1);
    for (Int moves = -1; moves != form().moveCount;) {
        moves = form().moveCount;
        key(&board(), QEvent::KeyRelease, Qt::Key_Down, true);
        key(&board(), QEvent::KeyPress, Qt::Key_Down, true);
    }
    key(&board(), QEvent::KeyRelease, Qt::Key_Right, false);
    EXPECT_EQ(spoke.size(), 1);
    key(&board(), QEvent::KeyRelease, Qt::Key_Down, false);
    ASSERT_EQ(spoke.size(), 2);
    EXPECT_EQ(spoke.back().at(0).toString().toStdString(), "Wall. " + describeSquare(form()));
    // Held again, then Tab: let go on NEW MAZE, Down leaves the button's name to be heard.
    key(&board(), QEvent::KeyPress, Qt::Key_Down, true);
    QTest::keyClick(&board(), Qt::Key_Tab);
    key(&command1(), QEvent::KeyRelease, Qt::Key_Down, false);
    EXPECT_EQ(spoke.size(), 2);
    // A plain key afterwards is said at once, and its release says nothing more.
    board().setFocus(Qt::TabFocusReason);
    QTest::keyClick(&board(), Qt::Key_Space);
    EXPECT_EQ(spoke.size(), 3);
}

// Once the result box of the finish has closed, the board says where that leaves the player,
// by keys and by the mouse alike.
TEST_F(Keyboard, AfterTheResultBoxTheBoardSaysWhatTheNextArrowDoes) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    newMaze("10", "10");
    const std::vector<Square> route = wayOut(form());
    board().setFocus(Qt::TabFocusReason);
    QSignalSpy spoke(window.get(), &app::MainWindow::boardSpoke);
    for (std::size_t k = 1; k < route.size(); ++k) {
        QTest::keyClick(&board(), arrowBetween(route[k - 1], route[k]));
    }
    ASSERT_EQ(messages.messages, std::vector<std::string>{"Perfect!"});
    ASSERT_EQ(spoke.size(), static_cast<qsizetype>(route.size() - 1));
    EXPECT_EQ(spoke.back().at(0).toString(), said(describeWhereAmI, form()));
    // Up goes back into the maze; by the mouse, out again, and words for the box's No.
    QTest::keyClick(&board(), Qt::Key_Up);
    EXPECT_EQ(form().playerRow, form().mazeHeight);
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[route.size() - 2]));
    QTest::mouseMove(&board(), centreOf(route.back()));
    // Back in and out again costs two extra moves: the result now asks to try again.
    ASSERT_EQ(messages.questions.size(), 1U);
    EXPECT_EQ(spoke.back().at(0).toString(), said(describeWhereAmI, form()));
}

}  // namespace
}  // namespace quorrel::apptest
