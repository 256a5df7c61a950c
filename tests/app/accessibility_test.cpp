// What a screen reader learns from the window: the board's name and its description of the
// game, kept current through NEW MAZE, steps, Retry and Solve with an accessibility event at
// every change, and names for the controls that say what they are for.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QRegularExpression>
#include <QSignalSpy>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app_support.h"
#include "ui/board_description.h"

namespace quorrel::apptest {
namespace {

QString textOf(QObject& object, QAccessible::Text which) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&object);
    if (iface == nullptr) {
        return QStringLiteral("(no accessible interface)");
    }
    return iface->text(which);
}

QString describedBoard(QObject& board) {
    return textOf(board, QAccessible::Description);
}

// The descriptions the window announced, in order: the window signals each one as it changes the
// description, which sends the accessibility event for it. (Qt hands such events to observers
// only on platforms with an accessibility bridge, which the offscreen platform lacks; the
// end-to-end test accessibility_e2e.py hears the events themselves over AT-SPI.)
class Announced {
  public:
    explicit Announced(app::MainWindow& window) : spy_(&window, &app::MainWindow::boardDescribed) {}

    QStringList texts() const {
        QStringList out;
        for (const QList<QVariant>& arguments : spy_) {
            out << arguments.at(0).toString();
        }
        return out;
    }
    QString last() const { return spy_.isEmpty() ? QString() : texts().back(); }

  private:
    QSignalSpy spy_;
};

QString notStarted(int width, int height, int entryCol) {
    return QStringLiteral(
               "%1 by %2 maze. You have not started: the entrance is above column "
               "%3. Open: down. 0 moves, 0 extra.")
        .arg(width)
        .arg(height)
        .arg(entryCol);
}

using BoardAccessibility = WindowTest;

TEST_F(BoardAccessibility, BoardIsNamedAndSaysThereIsNoMazeYet) {
    EXPECT_EQ(textOf(board(), QAccessible::Name), "Maze board");
    EXPECT_EQ(describedBoard(board()), "No maze yet. Press New maze.");
}

TEST_F(BoardAccessibility, DescriptionFollowsNewMazeAndEveryStepWithAnEventEachTime) {
    Announced events(*window);
    newMaze("10", "10");
    ASSERT_TRUE(form().exitMade);
    const QString fresh = notStarted(10, 10, form().entryCol);
    EXPECT_EQ(describedBoard(board()), fresh);
    ASSERT_FALSE(events.texts().isEmpty());
    EXPECT_EQ(events.last(), fresh);

    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 4U);
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    const QString atEntrance =
        QStringLiteral(
            "10 by 10 maze. You are at the entrance, above column %1. Open: down. 0 moves, 0 "
            "extra.")
            .arg(form().entryCol);
    EXPECT_EQ(describedBoard(board()), atEntrance);
    EXPECT_EQ(events.last(), atEntrance);
    for (std::size_t i = 1; i + 1 < route.size(); ++i) {
        QTest::mouseMove(&board(), centreOf(route[i]));
        // The square, the ways open from it (their words are the core's tests' business) and
        // the counters.
        const QRegularExpression expected(
            QStringLiteral("^10 by 10 maze\\. You are on column %1, row %2\\. Open: [a-z, ]+\\. "
                           "%3 %4, 0 extra\\.$")
                .arg(route[i].col)
                .arg(route[i].row)
                .arg(i)
                .arg(i == 1 ? "move" : "moves"));
        ASSERT_TRUE(expected.match(describedBoard(board())).hasMatch())
            << "step " << i << ": " << describedBoard(board()).toStdString();
        ASSERT_EQ(events.last(), describedBoard(board())) << "step " << i;
    }
    // The Moves box says the same count under its own name.
    EXPECT_EQ(textOf(text1(), QAccessible::Value), QString::number(route.size() - 2));
    // Every announcement is a different description: nothing is announced that did not change.
    const QStringList all = events.texts();
    for (qsizetype i = 1; i < all.size(); ++i) {
        EXPECT_NE(all[i], all[i - 1]);
    }
    // And every one of them is what the board's description then said: one per step.
    EXPECT_EQ(all.size(), static_cast<qsizetype>(route.size()));
}

TEST_F(BoardAccessibility, RetryAndSolveAreAnnounced) {
    newMaze("8", "6");
    ASSERT_TRUE(form().exitMade);
    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 2U);
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    QTest::mouseMove(&board(), centreOf(route[1]));
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(route[1]));
    ASSERT_TRUE(describedBoard(board()).contains("1 move, 0 extra."));

    Announced events(*window);
    action("retry").trigger();
    const QString fresh = notStarted(8, 6, form().entryCol);
    EXPECT_EQ(describedBoard(board()), fresh);
    EXPECT_EQ(events.texts(), QStringList{fresh});

    action("cheat").trigger();
    const QString solved =
        QStringLiteral("8 by 6 maze. You are below the exit, out of the maze. 0 moves, 0 extra.");
    EXPECT_EQ(describedBoard(board()), solved);
    EXPECT_EQ(events.texts(), (QStringList{fresh, solved}));
}

TEST_F(BoardAccessibility, RefusedSizeGoesBackToTheStartOfTheOldMaze) {
    newMaze("6", "7");
    ASSERT_TRUE(form().exitMade);
    const std::vector<Square> route = wayOut(form());
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    QTest::mouseMove(&board(), centreOf(route[1]));
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(route[1]));
    newMaze("6", "51");
    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_EQ(describedBoard(board()), notStarted(6, 7, form().entryCol));
}

// Message boxes that note what the board's description said when each box was shown.
class NotingMessages : public FakeWindow {
  public:
    void inform(std::string_view text) override {
        said.push_back(look());
        FakeWindow::inform(text);
    }
    bool ask(std::string_view text) override {
        said.push_back(look());
        return FakeWindow::ask(text);
    }

    std::function<QString()> look;
    QStringList said;
};

TEST_F(BoardAccessibility, TheFinishIsDescribedBeforeTheResultIsShown) {
    NotingMessages noting;
    open(app::Services{&noting, &random, &files});
    noting.look = [this] { return describedBoard(board()); };
    newMaze("10", "10");
    ASSERT_TRUE(form().exitMade);
    const std::vector<Square> route = wayOut(form());
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    for (std::size_t i = 1; i < route.size(); ++i) {
        QTest::mouseMove(&board(), centreOf(route[i]));
    }
    ASSERT_EQ(noting.messages, std::vector<std::string>{"Perfect!"});
    const QString below = QStringLiteral(
                              "10 by 10 maze. You are below the exit, out of the maze. "
                              "%1 moves, 0 extra.")
                              .arg(route.size() - 1);
    EXPECT_EQ(noting.said, QStringList{below});
    EXPECT_EQ(describedBoard(board()), below);
}

TEST_F(BoardAccessibility, DescriptionIsTheGamesOwnWordsAfterEveryKindOfEvent) {
    newMaze("20", "20");
    EXPECT_EQ(describedBoard(board()).toStdString(), describeBoard(form()));
    ASSERT_TRUE(form().exitMade);
    action("hide2").trigger();
    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 2U);
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    QTest::mouseMove(&board(), centreOf(route[1]));
    EXPECT_EQ(describedBoard(board()).toStdString(), describeBoard(form()));
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(route[1]));
    action("hide0").trigger();
    EXPECT_EQ(describedBoard(board()).toStdString(), describeBoard(form()));
    action("help").trigger();
    EXPECT_EQ(describedBoard(board()).toStdString(), describeBoard(form()));
}

TEST_F(BoardAccessibility, BoardIsACanvas) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&board());
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Canvas);
    EXPECT_EQ(iface->object(), &board());
}

// The interface of the label that labels a control, if any.
QObject* labelOf(QWidget& control) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&control);
    const auto relations = iface->relations(QAccessible::Label);
    return relations.isEmpty() ? nullptr : relations.front().first->object();
}

TEST_F(BoardAccessibility, ControlsHaveNamesRolesLabelsAndDescriptions) {
    struct Expected {
        QWidget* control;
        const char* name;
        QAccessible::Role role;
        const char* label;
    };
    const Expected controls[] = {
        {&combo1(), "Maze width", QAccessible::ComboBox, "Label1"},
        {&combo2(), "Maze height", QAccessible::ComboBox, "Label2"},
        {&command1(), "New maze", QAccessible::Button, nullptr},
        {&text1(), "Moves", QAccessible::EditableText, "Label3"},
        {&text2(), "Extra moves", QAccessible::EditableText, "Label4"},
    };
    for (const Expected& e : controls) {
        SCOPED_TRACE(e.name);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(e.control);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(e.control->accessibleName(), e.name);
        EXPECT_EQ(iface->role(), e.role);
        EXPECT_FALSE(iface->text(QAccessible::Description).isEmpty());
        if (e.label != nullptr) {
            EXPECT_EQ(labelOf(*e.control), &child<QLabel>(e.label));
        }
    }
    // The button and the boxes are spoken by their names.
    EXPECT_EQ(textOf(command1(), QAccessible::Name), "New maze");
    EXPECT_EQ(textOf(text1(), QAccessible::Name), "Moves");
    EXPECT_EQ(textOf(text2(), QAccessible::Name), "Extra moves");
    // A selector is spoken by its value and its label; its description says what it sets.
    EXPECT_EQ(textOf(combo1(), QAccessible::Value), "20");
    EXPECT_TRUE(textOf(combo1(), QAccessible::Description).startsWith("Maze width"));
    EXPECT_TRUE(textOf(combo2(), QAccessible::Description).startsWith("Maze height"));
    // The boxes are read-only: the game writes them, the user reads them.
    for (QLineEdit* box : {&text1(), &text2()}) {
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(box)->state().readOnly);
    }
}

}  // namespace
}  // namespace quorrel::apptest
