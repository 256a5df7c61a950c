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

namespace quorrel::testing {
namespace {

// Which variable a check mark shows.
enum class Mark { None, MakeFiles, Visibility };

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

constexpr KeyScope kNoKey = KeyScope::None;

// In the order of the menu bar, then of the keys.
constexpr Pinned kPinned[] = {
    {Command::NewMaze,
     Place::Button,
     {},
     "NEW MAZE",
     "Command1",
     Mark::None,
     -1,
     "Ctrl+N",
     KeyScope::DesktopWindow},
    {Command::MakeFile,
     Place::InMenu,
     "mkfil",
     "Make file",
     "mkfile",
     Mark::MakeFiles,
     -1,
     {},
     kNoKey},
    {Command::Retry, Place::MenuBar, {}, "&Retry", "retry", Mark::None, -1, {}, kNoKey},
    {Command::Solve, Place::MenuBar, {}, "&Solve", "cheat", Mark::None, -1, {}, kNoKey},
    {Command::Hide1,
     Place::InMenu,
     "hide",
     "1 square visibility",
     "hide1",
     Mark::Visibility,
     1,
     {},
     kNoKey},
    {Command::Hide2,
     Place::InMenu,
     "hide",
     "2 square visibility",
     "hide2",
     Mark::Visibility,
     2,
     {},
     kNoKey},
    {Command::Hide4,
     Place::InMenu,
     "hide",
     "4 square visibility",
     "hide4",
     Mark::Visibility,
     4,
     {},
     kNoKey},
    {Command::Hide8,
     Place::InMenu,
     "hide",
     "8 square visibility",
     "hide8",
     Mark::Visibility,
     8,
     {},
     kNoKey},
    {Command::Hide0,
     Place::InMenu,
     "hide",
     "Full visibility",
     "hide0",
     Mark::Visibility,
     0,
     {},
     kNoKey},
    {Command::Blank, Place::MenuBar, {}, {}, "nul", Mark::None, -1, {}, kNoKey},
    {Command::Help, Place::MenuBar, {}, "&HELP!", "help", Mark::None, -1, "F1", KeyScope::Window},
    {Command::StepLeft, Place::Key, {}, {}, "stepLeft", Mark::None, -1, "Left", KeyScope::Board},
    {Command::StepRight, Place::Key, {}, {}, "stepRight", Mark::None, -1, "Right", KeyScope::Board},
    {Command::StepUp, Place::Key, {}, {}, "stepUp", Mark::None, -1, "Up", KeyScope::Board},
    {Command::StepDown, Place::Key, {}, {}, "stepDown", Mark::None, -1, "Down", KeyScope::Board},
    {Command::WhereAmI, Place::Key, {}, {}, "whereAmI", Mark::None, -1, "Space", KeyScope::Board},
    {Command::Quit, Place::Key, {}, {}, "quit", Mark::None, -1, "Ctrl+Q", KeyScope::DesktopWindow},
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
    ASSERT_EQ(row.checked != nullptr, p.mark != Mark::None);
    // The check mark follows its own variable and no other.
    for (const bool makeFiles : {false, true}) {
        for (const Int visibility : {0, 1, 2, 3, 4, 8}) {
            State s;
            s.makeFiles = makeFiles;
            s.visibility = visibility;
            if (p.mark == Mark::MakeFiles) {
                EXPECT_EQ(row.checked(s), makeFiles) << visibility;
            } else if (p.mark == Mark::Visibility) {
                EXPECT_EQ(row.checked(s), visibility == p.radius) << makeFiles;
            }
        }
    }
    if (p.mark == Mark::Visibility) {
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
        const std::string_view entry = row.place == Place::InMenu ? row.menu : row.name;
        if ((row.place == Place::MenuBar || row.place == Place::InMenu) &&
            (bar.empty() || bar.back() != entry)) {
            bar.push_back(entry);
        }
    }
    EXPECT_EQ(bar,
              (std::vector<std::string_view>{"mkfil", "retry", "cheat", "hide", "nul", "help"}));
}

TEST(CommandTable, FindsTheItemOfARadiusAndTheCommandOfAnArrow) {
    EXPECT_EQ(visibilityItem(3), nullptr);
    EXPECT_EQ(stepCommand(Arrow::Left), Command::StepLeft);
    EXPECT_EQ(stepCommand(Arrow::Right), Command::StepRight);
    EXPECT_EQ(stepCommand(Arrow::Up), Command::StepUp);
    EXPECT_EQ(stepCommand(Arrow::Down), Command::StepDown);
}

// perform() after some commands on the worked 2 by 2 maze (down, down and out is the way).
struct Performed {
    const char* what;
    std::vector<Command> before;  // performed first, on the worked maze unless NEW MAZE is first
    Command id;
    bool box;
    std::string_view width = "5";  // typed into the width selector
};

constexpr Command kDown = Command::StepDown;

const Performed kPerformed[] = {
    {"HELP! shows the rules", {}, Command::Help, true},
    {"NEW MAZE refuses the size typed", {}, Command::NewMaze, true, "1"},
    {"NEW MAZE makes a maze", {}, Command::NewMaze, false},
    {"out through the exit: Perfect!", {kDown, kDown}, kDown, true},
    {"out after a detour: the result question",
     {kDown, Command::StepRight, Command::StepLeft, kDown},
     kDown,
     true},
    {"a step", {kDown}, kDown, false},
    {"a wall", {kDown}, Command::StepLeft, false},
    {"Solve", {kDown}, Command::Solve, false},
    {"Retry", {kDown}, Command::Retry, false},
    {"a Visibility item", {}, Command::Hide2, false},
    {"Make file", {}, Command::MakeFile, false},
    {"where am I", {kDown}, Command::WhereAmI, false},
    {"the blank item", {kDown}, Command::Blank, false},
    {"Quit, which only a front end carries out", {kDown}, Command::Quit, false},
};

TEST(Perform, ReportsAMessageBoxAndSaysNothingAfterIt) {
    for (const Performed& c : kPerformed) {
        SCOPED_TRACE(c.what);
        PlayHarness h;
        buildWorkedMaze(h);
        h.window.typeSizes(std::string(c.width), "5");
        for (const Command id : c.before) {
            ASSERT_FALSE(perform(h.form, id).boxShown);
        }
        const long calls = h.surface.calls;
        const Said said = perform(h.form, c.id);
        EXPECT_EQ(said.boxShown, c.box);
        EXPECT_EQ(h.window.shown.size(), c.box ? 1U : 0U);
        if (c.box) {
            EXPECT_EQ(said.words, "");
        }
        if (commandRow(c.id).handler == nullptr) {
            EXPECT_EQ(said.words, "");
            EXPECT_EQ(h.surface.calls, calls) << "a command without a handler drew";
        }
    }
}

}  // namespace
}  // namespace quorrel::testing
