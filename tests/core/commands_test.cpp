// The command table, row by row: where each command sits and in which order, its caption with
// the access key, its object name, the variable its check mark shows, the radius a Visibility
// item chooses, its shortcut and where that works; and what perform() reports of a message
// box. The words said after a command are pinned with the board's words.

#include "ui/commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/play_helpers.h"
#include "ui/board_description.h"
#include "ui/window.h"

namespace quorrel::testing {
namespace {

// Which variable a check mark shows: none, the file option, or the visibility's radius.
enum class Mark { NoMark, MakeFiles, Radius };

struct Pinned {
    Command id;
    Place place;
    std::string_view menu;
    std::string_view caption;
    std::string_view name;
    Mark mark;
    Int radius;
    std::string_view shortcut;
    KeyScope scope;
};

void PrintTo(const Pinned& p, std::ostream* os) {
    *os << p.name;
}

using C = Command;
using enum Place;
using enum Mark;
using enum KeyScope;

// In the order of the menu bar, then of the keys.
constexpr Pinned kPinned[] = {
    {C::NewMaze, Button, {}, "NEW MAZE", "Command1", NoMark, -1, "Ctrl+N", DesktopWindow},
    {C::MakeFile, InMenu, "mkfil", "Make file", "mkfile", MakeFiles, -1, {}, None},
    {C::Retry, MenuBar, {}, "&Retry", "retry", NoMark, -1, {}, None},
    {C::Solve, MenuBar, {}, "&Solve", "cheat", NoMark, -1, {}, None},
    {C::Hide1, InMenu, "hide", "1 square visibility", "hide1", Radius, 1, {}, None},
    {C::Hide2, InMenu, "hide", "2 square visibility", "hide2", Radius, 2, {}, None},
    {C::Hide4, InMenu, "hide", "4 square visibility", "hide4", Radius, 4, {}, None},
    {C::Hide8, InMenu, "hide", "8 square visibility", "hide8", Radius, 8, {}, None},
    {C::Hide0, InMenu, "hide", "Full visibility", "hide0", Radius, 0, {}, None},
    {C::Blank, MenuBar, {}, {}, "nul", NoMark, -1, {}, None},
    {C::Help, MenuBar, {}, "&HELP!", "help", NoMark, -1, "F1", Window},
    {C::StepLeft, Key, {}, {}, "stepLeft", NoMark, -1, "Left", Board},
    {C::StepRight, Key, {}, {}, "stepRight", NoMark, -1, "Right", Board},
    {C::StepUp, Key, {}, {}, "stepUp", NoMark, -1, "Up", Board},
    {C::StepDown, Key, {}, {}, "stepDown", NoMark, -1, "Down", Board},
    {C::WhereAmI, Key, {}, {}, "whereAmI", NoMark, -1, "Space", Board},
    {C::Quit, Key, {}, {}, "quit", NoMark, -1, "Ctrl+Q", DesktopWindow},
};

class CommandRows : public ::testing::TestWithParam<Pinned> {};

TEST_P(CommandRows, AreAsTheWindowShowsThem) {
    const Pinned& p = GetParam();
    // Its place in the table is its place here.
    const auto at =
        static_cast<std::size_t>(std::find_if(std::begin(kPinned), std::end(kPinned),
                                              [&](const Pinned& q) { return q.id == p.id; }) -
                                 std::begin(kPinned));
    ASSERT_EQ(commands().size(), std::size(kPinned));
    const CommandRow& row = commands()[at];
    EXPECT_EQ(&commandRow(p.id), &row);
    const auto fields = [](const auto& r) {
        return std::tuple(r.id, r.place, r.menu, r.caption, r.name, r.radius, r.shortcut, r.scope);
    };
    EXPECT_EQ(fields(row), fields(p));
    ASSERT_EQ(row.checked != nullptr, p.mark != NoMark);
    // The check mark follows its own variable and no other.
    for (const bool makeFiles : {false, true}) {
        for (const Int visibility : {0, 1, 2, 3, 4, 8}) {
            State s;
            s.makeFiles = makeFiles;
            s.visibility = visibility;
            if (p.mark == MakeFiles) {
                EXPECT_EQ(row.checked(s), makeFiles) << visibility;
            } else if (p.mark == Radius) {
                EXPECT_EQ(row.checked(s), visibility == p.radius) << makeFiles;
            }
        }
    }
    if (p.mark == Radius) {
        EXPECT_EQ(visibilityItem(p.radius), &row);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CommandRows, ::testing::ValuesIn(kPinned),
                         [](const ::testing::TestParamInfo<Pinned>& p) {
                             return std::string(p.param.name);
                         });

TEST(CommandTable, BuildsTheMenuBarInItsOrder) {
    EXPECT_EQ(std::size(kMenus), 2U);
    EXPECT_EQ(kMenus[0].name, "mkfil");
    EXPECT_EQ(kMenus[0].caption, "&File");
    EXPECT_EQ(kMenus[1].name, "hide");
    EXPECT_EQ(kMenus[1].caption, "&Visibility");
    // The entries of the menu bar as a front end adds them: a list where its first item stands.
    std::vector<std::string_view> bar;
    for (const CommandRow& row : commands()) {
        const std::string_view entry = row.place == InMenu ? row.menu : row.name;
        if ((row.place == MenuBar || row.place == InMenu) && (bar.empty() || bar.back() != entry)) {
            bar.push_back(entry);
        }
    }
    EXPECT_EQ(bar,
              (std::vector<std::string_view>{"mkfil", "retry", "cheat", "hide", "nul", "help"}));
}

// What a screen reader says of a size selector, and its tip, give the limits low to high.
TEST(ControlTable, SelectorsTellTheirLimits) {
    EXPECT_EQ(controlDescription(kControls[1]),
              "Maze width in squares: pick one or type a number from 2 to 50");
    EXPECT_EQ(controlTip(kControls[3]), "Maze height: 2 to 50 squares");
    EXPECT_EQ(controlDescription(kControls[4]), kControls[4].description);
    EXPECT_EQ(controlTip(kControls[4]), "");
}

// HELP! ends in a credit for the program: the desktop's names its toolkit, the page's none.
TEST(Help, EndsInTheCreditOfItsFrontEnd) {
    const std::string rules = helpText().substr(0, helpText().rfind("\r\n\r\n") + 4);
    EXPECT_EQ(helpText(),
              rules + "Quorrel 1.0, a maze game for the desktop, written in C++ with Qt.");
    EXPECT_EQ(helpText(FrontEnd::Page),
              rules + "Quorrel 1.0, a maze game for the web browser, written in C++.");
}

TEST(CommandTable, FindsTheItemOfARadiusAndTheCommandOfAnArrow) {
    EXPECT_EQ(visibilityItem(3), nullptr);
    EXPECT_EQ(visibilityItem(-1), nullptr) << "an item that chooses no radius";
    EXPECT_EQ(stepCommand(Arrow::Left), C::StepLeft);
    EXPECT_EQ(stepCommand(Arrow::Right), C::StepRight);
    EXPECT_EQ(stepCommand(Arrow::Up), C::StepUp);
    EXPECT_EQ(stepCommand(Arrow::Down), C::StepDown);
}

// perform() after some commands on the worked 2 by 2 maze (down, down and out is the way).
struct Performed {
    const char* what;
    std::vector<Command> before;  // performed first, on the worked maze unless NEW MAZE is first
    Command id;
    bool box;
    std::string_view width = "5";  // typed into the width selector
    bool fileFails = false;        // Make file on, and the maze file cannot be created
};

constexpr Command kDown = C::StepDown;

const Performed kPerformed[] = {
    {"HELP! shows the rules", {}, C::Help, true},
    {"NEW MAZE refuses the size typed", {}, C::NewMaze, true, "1"},
    {"NEW MAZE makes a maze", {}, C::NewMaze, false},
    {"NEW MAZE whose file fails", {C::MakeFile}, C::NewMaze, true, "5", true},
    {"out through the exit: Perfect!", {kDown, kDown}, kDown, true},
    {"out after a detour: the result question",
     {kDown, C::StepRight, C::StepLeft, kDown},
     kDown,
     true},
    {"a step", {kDown}, kDown, false},
    {"a wall", {kDown}, C::StepLeft, false},
    {"Solve", {kDown}, C::Solve, false},
    {"Retry", {kDown}, C::Retry, false},
    {"a Visibility item", {}, C::Hide2, false},
    {"Make file", {}, C::MakeFile, false},
    {"where am I", {kDown}, C::WhereAmI, false},
    {"the blank item", {kDown}, C::Blank, false},
    {"Quit, which only a front end carries out", {kDown}, C::Quit, false},
};

// A box speaks for itself; only after the finish's box the words say where that leaves the
// player, for the next key, and after a maze file's box what NEW MAZE made.
TEST(Perform, ReportsAMessageBoxAndSaysNothingAfterItButTheFinishs) {
    for (const Performed& c : kPerformed) {
        SCOPED_TRACE(c.what);
        PlayHarness h;
        buildWorkedMaze(h);
        h.window.typeSizes(std::string(c.width), "5");
        h.files.failNextCreate = c.fileFails;
        for (const Command id : c.before) {
            ASSERT_FALSE(perform(h.form, id).boxShown);
        }
        const long calls = h.surface.calls;
        const Said said = perform(h.form, c.id);
        EXPECT_EQ(said.boxShown, c.box);
        EXPECT_EQ(h.window.shown.size(), c.box ? 1U : 0U);
        if (c.box) {
            const bool finish = c.id == kDown;
            EXPECT_EQ(said.words, finish        ? describeWhereAmI(h.form)
                                  : c.fileFails ? describeNewMaze(h.form)
                                                : "");
        }
        if (commandRow(c.id).handler == nullptr) {
            EXPECT_EQ(said.words, "");
            EXPECT_EQ(h.surface.calls, calls) << "a command without a handler drew";
        }
    }
}

}  // namespace
}  // namespace quorrel::testing
