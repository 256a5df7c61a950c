// The window as it opens: caption, client area, controls, menus, focus and tab order, and
// the menu items that only change check marks.

#include "ui/window.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app_support.h"
#include "qt_text.h"
#include "ui/commands.h"

namespace quorrel::apptest {
namespace {

using WindowStart = WindowTest;

int px(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

TEST_F(WindowStart, HasItsCaptionAndName) {
    EXPECT_EQ(window->windowTitle(), "Quorrel 1.0");
    EXPECT_EQ(window->objectName(), "mazeform");
}

TEST_F(WindowStart, OffscreenScreenHasFifteenTwipsPerPixel) {
    EXPECT_EQ(board().logicalDpiX(), 96);
    EXPECT_EQ(board().logicalDpiY(), 96);
    const TwipsPerPixel tpp = board().twipsPerPixel();
    EXPECT_DOUBLE_EQ(tpp.x, 15);
    EXPECT_DOUBLE_EQ(tpp.y, 15);
}

TEST_F(WindowStart, ClientAreaIsTheDesignSizeDirectlyBelowTheMenuBar) {
    EXPECT_EQ(board().size(), QSize(592, 487));
    const ClientSize client = board().clientSize();
    EXPECT_DOUBLE_EQ(client.width, 8880);
    EXPECT_DOUBLE_EQ(client.height, 7305);
    EXPECT_EQ(window->centralWidget(), &board());
    EXPECT_EQ(board().mapTo(window.get(), QPoint(0, 0)),
              QPoint(0, window->menuBar()->geometry().bottom() + 1));
}

TEST_F(WindowStart, BoardIsBlankInTheWindowsBackgroundColour) {
    const Colour background = board().backgroundColour();
    EXPECT_EQ(background, app::fromQColor(window->palette().color(QPalette::Window)));
    const QImage& image = board().image();
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            ASSERT_EQ(app::fromQColor(image.pixelColor(x, y)), background) << x << "," << y;
        }
    }
}

struct ControlRow {
    const char* name;
    const char* text;
    int left;
    int width;
    int height;
};

constexpr ControlRow kControls[] = {
    {"Label1", "Width", 120, 615, 255},
    {"Combo1", "20", 720, 615, 315},
    {"Label2", "Height", 1440, 615, 255},
    {"Combo2", "20", 2040, 615, 315},
    {"Command1", "NEW MAZE", 3000, 1215, 375},
    {"Label3", "Moves", 4440, 735, 255},
    {"Text1", "", 5040, 492, 288},
    {"Label4", "Extra", 5760, 735, 255},
    {"Text2", "", 6240, 492, 288},
};

TEST_F(WindowStart, ControlsSitAtTheirTwipPositionsOnTopOfTheBoard) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        QWidget& control = child<QWidget>(row.name);
        EXPECT_EQ(control.parentWidget(), &board());
        EXPECT_TRUE(control.isVisible());
        EXPECT_EQ(control.geometry(), QRect(px(row.left), px(120), px(row.width), px(row.height)));
    }
}

TEST_F(WindowStart, ControlsShowTheirInitialContent) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        QWidget& control = child<QWidget>(row.name);
        if (auto* label = qobject_cast<QLabel*>(&control)) {
            EXPECT_EQ(label->text(), row.text);
        } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
            EXPECT_EQ(combo->currentText(), row.text);
        } else if (auto* button = qobject_cast<QPushButton*>(&control)) {
            EXPECT_EQ(button->text(), row.text);
        } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
            EXPECT_EQ(edit->text(), row.text);
        } else {
            ADD_FAILURE() << "unexpected kind of control";
        }
    }
}

// Also when a desktop makes the application's font italic and underlined.
TEST_F(WindowStart, LabelsAndButtonAreBoldMsSansSerif) {
    const QFont plain = QApplication::font();
    QFont slanted = plain;
    slanted.setItalic(true);
    slanted.setUnderline(true);
    QApplication::setFont(slanted);
    open(app::Services{&messages, &random, &files});
    for (const char* name : {"Label1", "Label2", "Command1", "Label3", "Label4"}) {
        SCOPED_TRACE(name);
        const QFont font = child<QWidget>(name).font();
        EXPECT_EQ(font.families().value(0), "MS Sans Serif");
        EXPECT_TRUE(font.families().contains("Liberation Sans")) << "no metric-compatible fallback";
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.25);
        EXPECT_EQ(font.weight(), QFont::Bold);
        EXPECT_EQ(static_cast<int>(font.weight()), 700);
        EXPECT_FALSE(font.italic());
        EXPECT_FALSE(font.underline());
    }
    for (const char* name : {"Combo1", "Combo2", "Text1", "Text2"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(child<QWidget>(name).font(), window->font());
    }
    QApplication::setFont(plain);
}

// The rightmost column of a widget's own rendering, in its parent's pixels, holding a pixel
// that differs from the widget's background; -1 for none.
int rightmostInk(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    const QColor background = widget.palette().color(widget.backgroundRole());
    const double ratio = image.devicePixelRatio();
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) != background) {
                return widget.x() + static_cast<int>(std::floor(x / ratio));
            }
        }
    }
    return -1;
}

TEST_F(WindowStart, EachLabelsTextEndsClearOfTheControlBesideIt) {
    const std::pair<const char*, const char*> pairs[] = {
        {"Label1", "Combo1"}, {"Label2", "Combo2"}, {"Label3", "Text1"}, {"Label4", "Text2"}};
    for (const auto& [label, beside] : pairs) {
        SCOPED_TRACE(label);
        const int ink = rightmostInk(child<QLabel>(label));
        const int next = child<QWidget>(beside).x();
        ASSERT_GE(ink, child<QLabel>(label).x()) << "the label shows no text";
        // At least one column of background between the text and the control.
        EXPECT_LE(ink, next - 2) << "text ends at x " << ink << ", " << beside << " starts at "
                                 << next;
        std::printf("%s: text ends at x %d, %s starts at x %d\n", label, ink, beside, next);
    }
}

TEST_F(WindowStart, SelectorsAreEditableListsOfFiveToForty) {
    const QStringList sizes = {"5", "10", "15", "20", "25", "30", "35", "40"};
    for (QComboBox* combo : {&combo1(), &combo2()}) {
        SCOPED_TRACE(combo->objectName().toStdString());
        EXPECT_TRUE(combo->isEditable());
        ASSERT_EQ(combo->count(), 8);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(combo->itemText(i), sizes[i]);
        }
        EXPECT_EQ(combo->currentIndex(), 3);
        EXPECT_EQ(combo->currentText(), "20");
    }
}

TEST_F(WindowStart, TypedSizeIsKeptAsTypedAndNotAddedToTheList) {
    typeInto(combo1(), "2");
    EXPECT_EQ(combo1().currentText(), "2");
    QTest::keyClick(combo1().lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo1().currentText(), "2");
    EXPECT_EQ(combo1().count(), 8);
    typeInto(combo2(), "4");
    EXPECT_EQ(combo2().currentText(), "4");
    QTest::mouseClick(&command1(), Qt::LeftButton);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(form().mazeWidth, 2);
    EXPECT_EQ(form().mazeHeight, 4);
}

TEST_F(WindowStart, MovesAndExtraBoxesAreEmptyAndReadOnly) {
    EXPECT_EQ(text1().text(), "");
    EXPECT_EQ(text2().text(), "");
    EXPECT_TRUE(text1().isReadOnly());
    EXPECT_TRUE(text2().isReadOnly());
}

TEST_F(WindowStart, ControlsHaveNamesAScreenReaderCanSay) {
    EXPECT_EQ(combo1().accessibleName(), "Maze width");
    EXPECT_EQ(combo2().accessibleName(), "Maze height");
    EXPECT_EQ(command1().accessibleName(), "New maze");
    EXPECT_EQ(text1().accessibleName(), "Moves");
    EXPECT_EQ(text2().accessibleName(), "Extra moves");
    EXPECT_EQ(board().accessibleName(), "Maze board");
    EXPECT_EQ(child<QLabel>("Label1").buddy(), &combo1());
    EXPECT_EQ(child<QLabel>("Label2").buddy(), &combo2());
    EXPECT_EQ(child<QLabel>("Label3").buddy(), &text1());
    EXPECT_EQ(child<QLabel>("Label4").buddy(), &text2());
}

// The widget that holds the keyboard focus for a control: an editable selector's line edit
// counts as the selector.
QWidget* focusOwner() {
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr) {
        if (auto* combo = qobject_cast<QComboBox*>(focus->parentWidget())) {
            if (combo->lineEdit() == focus) {
                return combo;
            }
        }
    }
    return focus;
}

TEST_F(WindowStart, NewMazeHasTheFocusAndTabGoesThroughTheBoxesThenTheSelectorsThenTheBoard) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(focusOwner(), &command1());
    for (QWidget* next : std::initializer_list<QWidget*>{&text1(), &text2(), &combo1(), &combo2(),
                                                         &board(), &command1()}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focusOwner(), next) << "expected " << next->objectName().toStdString();
    }
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
        EXPECT_EQ(child<QWidget>(name).focusPolicy(), Qt::NoFocus) << name;
    }
}

// The menus as the command table lays them out: the menu bar's entries in the table's order, a
// list where its first item stands, and each item with its caption, object name and check mark
// as the window opens (the state before the first maze checks only full visibility).
TEST_F(WindowStart, MenusFollowTheCommandTable) {
    const QList<QAction*> top = window->menuBar()->actions();
    std::vector<QAction*> entries;
    std::map<std::string_view, int> items;  // of each list
    for (const CommandRow& row : commands()) {
        if (row.place != Place::MenuBar && row.place != Place::InMenu) {
            continue;
        }
        SCOPED_TRACE(std::string(row.name));
        QAction& item = action(std::string(row.name).c_str());
        if (row.place == Place::MenuBar) {
            entries.push_back(&item);
            EXPECT_EQ(item.menu(), nullptr);
        } else {
            QMenu& list = child<QMenu>(std::string(row.menu).c_str());
            if (items[row.menu] == 0) {
                entries.push_back(list.menuAction());
                const auto menu =
                    std::find_if(std::begin(kMenus), std::end(kMenus),
                                 [&](const MenuRow& m) { return m.name == row.menu; });
                EXPECT_EQ(list.menuAction()->text(), app::toQString(menu->caption));
                EXPECT_EQ(list.menuAction()->objectName(), app::toQString(row.menu));
            }
            ASSERT_LT(items[row.menu], list.actions().size());
            EXPECT_EQ(list.actions().at(items[row.menu]++), &item);
        }
        EXPECT_EQ(item.text(), app::toQString(row.caption));
        EXPECT_EQ(item.isCheckable(), row.checked != nullptr);
        EXPECT_EQ(item.isChecked(), row.checked != nullptr && row.checked(State{}));
        EXPECT_TRUE(item.isEnabled());
    }
    EXPECT_EQ(std::vector<QAction*>(top.begin(), top.end()), entries);
    for (QAction* entry : top) {
        EXPECT_TRUE(entry->isVisible());
        EXPECT_FALSE(entry->isChecked());
        if (entry->menu() != nullptr) {
            EXPECT_EQ(entry->menu()->actions().size(), items[entry->objectName().toStdString()]);
        }
    }
    EXPECT_EQ(form().visibility, 0);
}

TEST_F(WindowStart, NoMazeExistsAfterLoad) {
    EXPECT_EQ(form().mazeWidth, 0);
    EXPECT_EQ(form().mazeHeight, 0);
    EXPECT_EQ(form().entryCol, 0);
    EXPECT_EQ(form().squareSize, 0);
    EXPECT_FALSE(form().exitMade);
    EXPECT_FALSE(form().makeFiles);
    EXPECT_FALSE(form().tracking);
}

using Menus = WindowTest;

// Each Visibility item in turn, then one chosen again and again.
TEST_F(Menus, VisibilityItemsCheckOnlyTheOneChosen) {
    std::vector<const CommandRow*> items;
    for (const CommandRow& row : commands()) {
        if (row.radius >= 0) {
            items.push_back(&row);
        }
    }
    ASSERT_GE(items.size(), 2U);
    std::vector<const CommandRow*> chosen = items;
    chosen.insert(chosen.end(), 2, items[items.size() / 2]);
    for (const CommandRow* item : chosen) {
        SCOPED_TRACE(std::string(item->name));
        action(std::string(item->name).c_str()).trigger();
        EXPECT_EQ(form().visibility, item->radius);
        for (const CommandRow* other : items) {
            EXPECT_EQ(action(std::string(other->name).c_str()).isChecked(), other == item)
                << other->name;
        }
    }
}

TEST_F(Menus, MakeFileTogglesItsCheckMarkAndTheFilesWritten) {
    action("mkfile").trigger();
    EXPECT_TRUE(action("mkfile").isChecked());
    EXPECT_TRUE(form().makeFiles);
    newMaze("5", "5");
    EXPECT_EQ(files.files.size(), 1U);
    EXPECT_EQ(files.files.count("./maze_001.txt"), 1U);
    action("mkfile").trigger();
    EXPECT_FALSE(action("mkfile").isChecked());
    EXPECT_FALSE(form().makeFiles);
    newMaze("5", "5");
    EXPECT_EQ(files.files.size(), 1U);
}

TEST_F(Menus, BlankEntryChangesNothing) {
    newMaze("10", "10");
    const QImage before = board().image();
    action("nul").trigger();
    EXPECT_EQ(board().image(), before);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(text1().text(), "");
    EXPECT_EQ(form().visibility, 0);
    EXPECT_FALSE(form().makeFiles);
    EXPECT_TRUE(action("hide0").isChecked());
}

TEST_F(Menus, HelpShowsTheRulesBeforeAnyMaze) {
    action("help").trigger();
    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_EQ(messages.messages[0], helpText());
    EXPECT_EQ(board().image().pixelColor(10, 100), window->palette().color(QPalette::Window));
}

TEST_F(Menus, RetryAndSolveDoNothingBeforeAnyMaze) {
    const QImage before = board().image();
    action("retry").trigger();
    action("cheat").trigger();
    EXPECT_EQ(board().image(), before);
    EXPECT_EQ(text1().text(), "");
    EXPECT_EQ(text2().text(), "");
    EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace quorrel::apptest
