#include "ui/commands.h"

#include <array>
#include <string>
#include <utility>

#include "board/new_maze.h"
#include "play/keys.h"
#include "play/play.h"
#include "solve/solve.h"
#include "ui/board_description.h"
#include "ui/window.h"

namespace quorrel {

namespace {

// A handler of the window that reports nothing of its own.
template <void (*Handler)(Mazeform&)>
Outcome run(Mazeform& f) {
    Handler(f);
    return Outcome::Done;
}

template <Arrow Way>
Outcome step(Mazeform& f) {
    switch (arrowKey(f, Way)) {
        case ArrowResult::NoMaze:
            return Outcome::NoMaze;
        case ArrowResult::Wall:
            return Outcome::Wall;
        case ArrowResult::Stepped:
            return Outcome::Stepped;
        case ArrowResult::Finished:
            return Outcome::Finished;
    }
    return Outcome::Done;
}

Outcome newMaze(Mazeform& f) {
    return makeMaze(f) ? Outcome::Made : Outcome::Done;
}

Outcome nothing(Mazeform& /*f*/) {
    return Outcome::Done;
}

template <std::string (*Describe)(const State&)>
std::string say(const State& s, Outcome /*outcome*/) {
    return Describe(s);
}

// After an arrow: the square stepped into, the wall bumped into, the board before any maze,
// or, once the result box has closed, where that leaves the player.
std::string stepWords(const State& s, Outcome outcome) {
    switch (outcome) {
        case Outcome::Stepped:
            return describeSquare(s);
        case Outcome::Wall:
            return describeBump(s);
        case Outcome::NoMaze:
            return describeBoard(s);
        case Outcome::Finished:
            return describeWhereAmI(s);
        case Outcome::Done:
        case Outcome::Made:
            break;
    }
    return "";
}

bool makingFiles(const State& s) {
    return s.makeFiles;
}

template <Int Radius>
bool seeing(const State& s) {
    return s.visibility == Radius;
}

// A Visibility item, checked while the radius it chooses is in force.
template <Command Id, void (*Handler)(Mazeform&)>
constexpr CommandRow visibilityRow(std::string_view caption, std::string_view name) {
    return {Id,           Place::InMenu, "hide", caption,        name,   seeing<radiusOf(Id)>,
            radiusOf(Id), run<Handler>,  {},     KeyScope::None, nullptr};
}

constexpr CommandRow stepRow(Command id, std::string_view name, Outcome (*handler)(Mazeform&),
                             std::string_view key) {
    return {id, Place::Key, {}, {}, name, nullptr, -1, handler, key, KeyScope::Board, stepWords};
}

constexpr std::array kTable = {
    CommandRow{Command::NewMaze,
               Place::Button,
               {},
               "NEW MAZE",
               "Command1",
               nullptr,
               -1,
               newMaze,
               "Ctrl+N",
               KeyScope::DesktopWindow,
               say<describeNewMaze>},
    CommandRow{Command::MakeFile,
               Place::InMenu,
               "mkfil",
               "Make file",
               "mkfile",
               makingFiles,
               -1,
               run<mkfile_Click>,
               {},
               KeyScope::None,
               nullptr},
    CommandRow{Command::Retry,
               Place::MenuBar,
               {},
               "&Retry",
               "retry",
               nullptr,
               -1,
               run<retry_Click>,
               {},
               KeyScope::None,
               say<describeRetry>},
    CommandRow{Command::Solve,
               Place::MenuBar,
               {},
               "&Solve",
               "cheat",
               nullptr,
               -1,
               run<cheat_Click>,
               {},
               KeyScope::None,
               say<describeSolution>},
    visibilityRow<Command::Hide1, hide1_Click>("1 square visibility", "hide1"),
    visibilityRow<Command::Hide2, hide2_Click>("2 square visibility", "hide2"),
    visibilityRow<Command::Hide4, hide4_Click>("4 square visibility", "hide4"),
    visibilityRow<Command::Hide8, hide8_Click>("8 square visibility", "hide8"),
    visibilityRow<Command::Hide0, hide0_Click>("Full visibility", "hide0"),
    // A blank entry between Visibility and HELP! that does nothing.
    CommandRow{Command::Blank,
               Place::MenuBar,
               {},
               {},
               "nul",
               nullptr,
               -1,
               nullptr,
               {},
               KeyScope::None,
               nullptr},
    CommandRow{Command::Help,
               Place::MenuBar,
               {},
               "&HELP!",
               "help",
               nullptr,
               -1,
               run<help_Click>,
               "F1",
               KeyScope::Window,
               nullptr},
    stepRow(Command::StepLeft, "stepLeft", step<Arrow::Left>, "Left"),
    stepRow(Command::StepRight, "stepRight", step<Arrow::Right>, "Right"),
    stepRow(Command::StepUp, "stepUp", step<Arrow::Up>, "Up"),
    stepRow(Command::StepDown, "stepDown", step<Arrow::Down>, "Down"),
    CommandRow{Command::WhereAmI,
               Place::Key,
               {},
               {},
               "whereAmI",
               nullptr,
               -1,
               nothing,
               "Space",
               KeyScope::Board,
               say<describeWhereAmI>},
    CommandRow{Command::Quit,
               Place::Key,
               {},
               {},
               "quit",
               nullptr,
               -1,
               nullptr,
               "Ctrl+Q",
               KeyScope::DesktopWindow,
               nullptr},
};

// The table is in the order of the commands, so that a command finds its row by its number.
constexpr bool inOrder() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (static_cast<std::size_t>(kTable[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inOrder());
static_assert(kTable.size() == static_cast<std::size_t>(Command::Quit) + 1);

}  // namespace

std::span<const CommandRow> commands() {
    return kTable;
}

const CommandRow& commandRow(Command id) {
    return kTable.at(static_cast<std::size_t>(id));
}

const CommandRow* visibilityItem(Int radius) {
    for (const CommandRow& row : kTable) {
        if (row.radius >= 0 && row.radius == radius) {
            return &row;
        }
    }
    return nullptr;
}

Command stepCommand(Arrow way) {
    switch (way) {
        case Arrow::Left:
            return Command::StepLeft;
        case Arrow::Right:
            return Command::StepRight;
        case Arrow::Up:
            return Command::StepUp;
        case Arrow::Down:
            return Command::StepDown;
    }
    return Command::StepDown;
}

Said perform(Mazeform& f, Command id) {
    const CommandRow& row = commandRow(id);
    if (row.handler == nullptr) {
        return {};
    }
    const long shown = f.messagesShown();
    const Outcome outcome = row.handler(f);
    Said said;
    said.boxShown = f.messagesShown() != shown;
    // A box speaks for itself; after the finish's box, what the next key does is still said,
    // and after a maze file's box the maze made.
    const bool afterBox = outcome == Outcome::Finished || outcome == Outcome::Made;
    if (row.words != nullptr && (!said.boxShown || afterBox)) {
        said.words = row.words(f, outcome);
    }
    said.atRelease = outcome == Outcome::Wall ? describeWallStop(f) : said.words;
    return said;
}

std::string HeldKey::after(Command id, const Said& said, bool repeated) {
    const bool held = repeated && !said.boxShown;
    command_ = id;
    words_ = held ? said.atRelease : std::string();
    return held ? std::string() : said.words;
}

std::string HeldKey::released(Command id) {
    return id == command_ ? std::exchange(words_, {}) : std::string();
}

void showCheckMarks(Mazeform& f) {
    for (const CommandRow& row : kTable) {
        if (row.checked != nullptr) {
            f.io.controls.setChecked(row.id, row.checked(f));
        }
    }
}

}  // namespace quorrel
