// Keyboard play in the window: the board as the last Tab stop, arrow keys that walk exactly as
// the mouse does, the window-wide keys, and what the board says at each key.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QKeySequence>
#include <QSignalSpy>
#include <string>
#include <vector>

#include "app_support.h"
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

// The way out with a detour: into the first side square off the way and back.
std::vector<Square> walkWithDetour(const Mazeform& f) {
    std::vector<Square> way = wayOut(f);
    for (std::size_t k = 1; k + 1 < way.size(); ++k) {
        const Square s = way[k];
        const Square sides[] = {{s.col + 1, s.row}, {s.col - 1, s.row}, {s.col, s.row + 1}};
        const bool open[] = {s.col < f.mazeWidth && f.opensRight(s.col, s.row),
                             s.col > 1 && f.opensRight(s.col - 1, s.row),
                             s.row < f.mazeHeight && f.opensDown(s.col, s.row)};
        for (int i = 0; i < 3; ++i) {
            if (open[i] && !(sides[i] == way[k - 1]) && !(sides[i] == way[k + 1])) {
                way.insert(way.begin() + static_cast<std::ptrdiff_t>(k) + 1, {sides[i], s});
                return way;
            }
        }
    }
    return way;
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
    const std::vector<Square> walk = walkWithDetour(form());
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

TEST_F(Keyboard, EachKeySaysOneThingAndItIsHeardWhileTheBoardHasTheFocus) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QSignalSpy spoke(window.get(), &app::MainWindow::boardSpoke);
    const auto last = [&spoke] { return spoke.back(); };

    // Before any maze an arrow says there is none.
    board().setFocus(Qt::TabFocusReason);
    QTest::keyClick(&board(), Qt::Key_Down);
    ASSERT_EQ(spoke.size(), 1);
    EXPECT_EQ(last().at(0).toString(), "No maze yet. Press New maze.");

    QTest::keyClick(&board(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(spoke.size(), 2);
    EXPECT_TRUE(last().at(0).toString().startsWith("New 20 by 20 maze."));
    EXPECT_TRUE(last().at(1).toBool());

    const std::vector<Square> way = wayOut(form());
    QTest::keyClick(&board(), Qt::Key_Up);
    ASSERT_EQ(spoke.size(), 3);
    EXPECT_EQ(last().at(0).toString(), "Wall. Open: down.");
    for (std::size_t k = 1; k <= 3 && k + 1 < way.size(); ++k) {
        QTest::keyClick(&board(), arrowBetween(way[k - 1], way[k]));
        ASSERT_EQ(spoke.size(), static_cast<qsizetype>(3 + k));
        const QString said = last().at(0).toString();
        EXPECT_TRUE(said.startsWith(
            QStringLiteral("Column %1, row %2. Open: ").arg(way[k].col).arg(way[k].row)))
            << said.toStdString();
        EXPECT_TRUE(last().at(1).toBool());
        // The board's newest child says it, and has the accessible focus.
        EXPECT_EQ(utteranceOf(board()), said);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&board());
        ASSERT_NE(iface->focusChild(), nullptr);
        EXPECT_EQ(iface->focusChild()->text(QAccessible::Name), said);
        EXPECT_TRUE(iface->focusChild()->state().focused);
    }
    // The controls on the board are still its children, after the utterance.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&board());
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(&command1());
    EXPECT_GT(iface->indexOfChild(button), 0);
    EXPECT_EQ(iface->child(iface->indexOfChild(button))->object(), &command1());
    EXPECT_EQ(iface->text(QAccessible::Name), "Maze board");

    action("cheat").trigger();
    EXPECT_TRUE(last().at(0).toString().startsWith(
        QStringLiteral("Solved: the way out is %1 squares long.").arg(way.size() - 1)));
    action("retry").trigger();
    EXPECT_TRUE(last().at(0).toString().startsWith("Back at the entrance"));

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

}  // namespace
}  // namespace quorrel::apptest
