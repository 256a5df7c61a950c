// What a screen reader learns from the window: the board's name and its description of the
// game, kept current through NEW MAZE, steps, Retry and Solve with an accessibility event at
// every change, and names for the controls that say what they are for.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QSignalSpy>
#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app_support.h"
#include "ui/board_description.h"
#include "ui/window.h"

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

// The game's own words for the board as it stands.
QString coreWords(const Mazeform& f) {
    return QString::fromStdString(describeBoard(f));
}

using BoardAccessibility = WindowTest;

TEST_F(BoardAccessibility, BoardIsNamedAndDescribedBeforeAnyMaze) {
    EXPECT_EQ(textOf(board(), QAccessible::Name).toStdString(), kBoardName);
    EXPECT_EQ(describedBoard(board()), coreWords(form()));
}

TEST_F(BoardAccessibility, DescriptionFollowsNewMazeAndEveryStepWithAnEventEachTime) {
    Announced events(*window);
    newMaze("10", "10");
    ASSERT_TRUE(form().exitMade);
    EXPECT_EQ(describedBoard(board()), coreWords(form()));
    ASSERT_FALSE(events.texts().isEmpty());
    EXPECT_EQ(events.last(), coreWords(form()));

    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 4U);
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    EXPECT_EQ(describedBoard(board()), coreWords(form()));
    EXPECT_EQ(events.last(), coreWords(form()));
    for (std::size_t i = 1; i + 1 < route.size(); ++i) {
        QTest::mouseMove(&board(), centreOf(route[i]));
        ASSERT_EQ(form().moveCount, static_cast<Int>(i));
        ASSERT_EQ(describedBoard(board()), coreWords(form())) << "step " << i;
        ASSERT_EQ(events.last(), coreWords(form())) << "step " << i;
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
    ASSERT_EQ(form().moveCount, 1);

    Announced events(*window);
    action("retry").trigger();
    const QString fresh = coreWords(form());
    EXPECT_EQ(describedBoard(board()), fresh);
    EXPECT_EQ(events.texts(), QStringList{fresh});

    action("cheat").trigger();
    EXPECT_EQ(describedBoard(board()), coreWords(form()));
    EXPECT_EQ(events.texts(), (QStringList{fresh, coreWords(form())}));
}

TEST_F(BoardAccessibility, RefusedSizeGoesBackToTheStartOfTheOldMaze) {
    newMaze("6", "7");
    ASSERT_TRUE(form().exitMade);
    const std::vector<Square> route = wayOut(form());
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    QTest::mouseMove(&board(), centreOf(route[1]));
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(route[1]));
    const QString walked = describedBoard(board());
    newMaze("6", "51");
    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_EQ(form().moveCount, 0);
    EXPECT_EQ(describedBoard(board()), coreWords(form()));
    EXPECT_NE(describedBoard(board()), walked);
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
    // The box leaves the game as it found it: the words it was shown with are the game's now.
    EXPECT_EQ(noting.said, QStringList{coreWords(form())});
    EXPECT_EQ(describedBoard(board()), coreWords(form()));
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

// Each control of the core's table as a screen reader finds it: its name, a role for its
// kind, the label that names it and its description.
TEST_F(BoardAccessibility, ControlsHaveNamesRolesLabelsAndDescriptions) {
    const std::map<ControlKind, QAccessible::Role> roles = {
        {ControlKind::Selector, QAccessible::ComboBox},
        {ControlKind::Button, QAccessible::Button},
        {ControlKind::Box, QAccessible::EditableText}};
    int named = 0;
    for (const ControlRow& row : kControls) {
        if (row.accessibleName.empty()) {
            continue;
        }
        SCOPED_TRACE(std::string(row.name));
        ++named;
        auto& control = child<QWidget>(std::string(row.name).c_str());
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&control);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(control.accessibleName().toStdString(), row.accessibleName);
        EXPECT_EQ(iface->role(), roles.at(row.kind));
        EXPECT_EQ(iface->text(QAccessible::Description).toStdString(), controlDescription(row));
        const auto label = std::find_if(std::begin(kControls), std::end(kControls),
                                        [&](const ControlRow& r) { return r.buddy == row.name; });
        if (label != std::end(kControls)) {
            EXPECT_EQ(labelOf(control), &child<QLabel>(std::string(label->name).c_str()));
        }
        if (row.kind == ControlKind::Selector) {
            // A selector is spoken by its value and its label.
            EXPECT_EQ(iface->text(QAccessible::Value), "20");
        } else {
            // The button and the boxes are spoken by their names.
            EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), row.accessibleName);
        }
        // The boxes are read-only: the game writes them, the user reads them.
        EXPECT_EQ(iface->state().readOnly, row.kind == ControlKind::Box);
    }
    EXPECT_EQ(named, 5);
}

}  // namespace
}  // namespace quorrel::apptest
