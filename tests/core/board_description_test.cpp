// The board in words for a screen reader, pinned once, in the table below; and Solve's words
// followed by keys.

#include "ui/board_description.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "play/play.h"
#include "support/play_helpers.h"
#include "ui/commands.h"

namespace quorrel::testing {
namespace {

// A script of events, one character each: L R U D an arrow key, ' ' the where-am-I key (Space),
// S Solve, T Retry, p a left press on the corner a press must be on, q its release, y a Yes to
// the next question, x NEW MAZE with a size it refuses, '.' the release of the last command's
// key after its auto-repeats. Gives what the last command or release said.
std::string play(PlayHarness& h, const std::string& script) {
    const std::map<char, Command> commands = {{'L', Command::StepLeft}, {'R', Command::StepRight},
                                              {'U', Command::StepUp},   {'D', Command::StepDown},
                                              {' ', Command::WhereAmI}, {'S', Command::Solve},
                                              {'T', Command::Retry},    {'x', Command::NewMaze}};
    std::string said;
    Said last;
    for (char c : script) {
        if (c == 'x') {
            h.window.width = "1";
        }
        if (const auto it = commands.find(c); it != commands.end()) {
            said = (last = perform(h.form, it->second)).words;
        } else if (c == '.') {
            said = last.atRelease;
        } else if (c == 'p') {
            Form_MouseDown(h.form, kLeftButton, 0, h.form.curX - 1.0F, h.form.curY - 1.0F);
        } else if (c == 'q') {
            release(h);
        } else if (c == 'y') {
            h.window.answers.push_back(true);
        } else {
            ADD_FAILURE() << "no event '" << c << "'";
        }
    }
    return said;
}

// The words of each situation, on the worked 2 by 2 maze: entrance above (1, 1); (1, 1) opens
// down and right, (1, 2) down through the exit below it and right; (2, 1) and (2, 2) are dead
// ends. `say` null means the words the last command of the script said.
enum class Maze { None, Worked, NoExit };

struct Spoken {
    const char* name;
    Maze maze;
    const char* script;
    std::string (*say)(const State&);
    std::string expected;
};

class SpokenWords : public ::testing::TestWithParam<Spoken> {};

TEST_P(SpokenWords, SayWhatHappened) {
    const Spoken& c = GetParam();
    PlayHarness h;
    if (c.maze != Maze::None) {
        buildWorkedMaze(h, c.maze == Maze::Worked ? kWorkedDraws : kNoExitDraws);
    }
    const std::string said = play(h, c.script);
    EXPECT_EQ(c.say != nullptr ? c.say(h.form) : said, c.expected);
}

// Sentences that many of the words below share.
const std::string kNotStarted =
    "You have not started: the entrance is above column 1. Open: down. 0 moves, 0 extra.";
const std::string kExit = " The exit is below column 1.";
const std::string kKeys = " Arrow keys walk; Space says where you are.";
const std::string kNoMaze = "No maze yet. Press New maze.";
const std::string kRow1 = "Open: down, right. Column 1, row 1.";
const std::string kRow2 = "Open: up, down to the exit, right. Column 1, row 2.";
const std::string kAgain = " Passed once before.";

const Spoken kSpoken[] = {
    // Before any maze.
    {"board before a maze", Maze::None, "", describeBoard, kNoMaze},
    {"refused size before a maze", Maze::None, "x", describeBoard, kNoMaze},
    {"space before a maze", Maze::None, " ", nullptr, kNoMaze},
    {"arrow before a maze", Maze::None, "D", nullptr, kNoMaze},
    {"bump before a maze", Maze::None, "", describeBump, "No maze yet."},
    {"new maze before a maze", Maze::None, "", describeNewMaze, "No maze yet."},
    {"retry before a maze", Maze::None, "T", describeRetry, "Nothing to retry."},
    {"solve before a maze", Maze::None, "S", describeSolution, "No way out to show."},
    // The board taking the focus, and Space.
    {"board on a new maze", Maze::Worked, "", describeBoard,
     "2 by 2 maze. " + kNotStarted + kExit + kKeys},
    {"space on a new maze", Maze::Worked, " ", nullptr, kNotStarted + kExit},
    {"pressed on the entrance", Maze::Worked, "p", describeWhereAmI,
     "You are at the entrance, above column 1. Open: down. 0 moves, 0 extra." + kExit},
    {"pressed twice on the entrance", Maze::Worked, "pqp", describeWhereAmI,
     "You are at the entrance, above column 1. Open: down. 0 moves, 2 extra." + kExit},
    {"arrow under a held button", Maze::Worked, "pD", describeWhereAmI,
     "You are on column 1, row 1. Open: down, right. 1 move, 0 extra." + kExit},
    {"space on row 2", Maze::Worked, "DD ", nullptr,
     "You are on column 1, row 2. Open: up, down to the exit, right. 2 moves, 0 extra." + kExit},
    {"board in a dead end", Maze::Worked, "DRR", describeBoard,
     "2 by 2 maze. You are on column 2, row 1. Open: left. 2 moves, 0 extra." + kExit + kKeys},
    {"refused size after a walk", Maze::Worked, "DRx", describeWhereAmI, kNotStarted + kExit},
    // Steps and bumps.
    {"first step", Maze::Worked, "D", nullptr, kRow1},
    {"dead end", Maze::Worked, "DR", nullptr, "Open: left. Column 2, row 1."},
    {"passed once", Maze::Worked, "DRL", nullptr, kRow1 + kAgain},
    {"passed twice", Maze::Worked, "DRLRL", nullptr, kRow1 + " Passed 2 times before."},
    {"above the exit", Maze::Worked, "DD", nullptr, kRow2},
    {"bump at the entrance", Maze::Worked, "L", nullptr, "Wall. Open: down."},
    {"bump in a dead end", Maze::Worked, "DRR", nullptr, "Wall. Open: left."},
    {"held into a dead end", Maze::Worked, "DRR.", nullptr, "Wall. Open: left. Column 2, row 1."},
    // The finish: once its box has closed, what the next arrow does.
    {"out through the exit", Maze::Worked, "DDD", nullptr,
     "You are below the exit, out of the maze. Up goes back into the maze; Retry starts again. 3 "
     "moves, 0 extra." +
         kExit},
    {"yes to try again", Maze::Worked, "yDRLDD", nullptr, kNotStarted + kExit},
    {"back up from the exit", Maze::Worked, "DDDU", nullptr, kRow2 + kAgain},
    // NEW MAZE, Retry, Solve.
    {"new maze", Maze::Worked, "", describeNewMaze,
     "New 2 by 2 maze. The entrance is above column 1." + kExit},
    {"new maze without an exit", Maze::NoExit, "", describeNewMaze,
     "New 2 by 2 maze. The entrance is above column 1. This maze has no exit."},
    {"space without an exit", Maze::NoExit, " ", nullptr, kNotStarted + " This maze has no exit."},
    {"retry", Maze::Worked, "DRT", nullptr,
     "Back at the entrance, above column 1, with no moves." + kExit},
    {"solve", Maze::Worked, "DS", nullptr,
     "Solved: the way out is 3 squares long: down 3. Retry to walk it from the entrance."},
    // After Solve the corner a press must be on is below the exit, the player where it was.
    {"solve before a step", Maze::Worked, "S ", nullptr,
     kNotStarted + kExit + " After Solve, any arrow ends the game; Retry starts again."},
    {"solve on row 2", Maze::Worked, "DDS ", nullptr,
     "You are on column 1, row 2. Open: up, down to the exit, right. 2 moves, 0 extra." + kExit +
         " After Solve, an arrow down, left or right ends the game; Retry starts again."},
    {"step up after solve", Maze::Worked, "DDSU", nullptr, kRow1 + kAgain},
    {"space after solve and a step", Maze::Worked, "DDSU ", nullptr,
     "You are on column 1, row 1. Open: down, right. 3 moves, 2 extra." + kExit +
         " After Solve, an arrow down ends the game; Retry starts again."},
};

INSTANTIATE_TEST_SUITE_P(WorkedMaze, SpokenWords, ::testing::ValuesIn(kSpoken),
                         [](const ::testing::TestParamInfo<Spoken>& p) {
                             return caseName(p.param.name);
                         });

// Space says where the player is and changes nothing: no drawing, no count, no message.
TEST(WhereAmIKey, MovesNothingAndCountsNothing) {
    PlayHarness h;
    buildWorkedMaze(h);
    for (const char* script : {"", "p", "DR", "DRq", "DDD", "DS"}) {
        play(h, script);
        const GameState was = gameState(h);
        const std::size_t ops = h.surface.ops.size();
        const std::size_t boxes = h.window.messages.size() + h.window.questions.size();
        EXPECT_FALSE(play(h, " ").empty()) << script;
        EXPECT_EQ(gameState(h), was) << script;
        EXPECT_EQ(h.surface.ops.size(), ops) << script;
        EXPECT_EQ(h.window.messages.size() + h.window.questions.size(), boxes) << script;
        retry_Click(h.form);
    }
}

// Solve's runs, followed after Retry, lead straight out: "Perfect!".
TEST(SolveWords, RunsFollowedAfterRetryLeadStraightOut) {
    PlayHarness h;
    buildSeededMazeWhere(h, 12, 10, 5, [](const State& f) { return f.exitMade; });
    const std::string solved = play(h, "S");
    const std::map<std::string, char> keys = {
        {"up", 'U'}, {"down", 'D'}, {"left", 'L'}, {"right", 'R'}};
    std::string script = "T";
    // Each run is a way and a count: "down 3,".
    std::istringstream words(solved);
    std::string word;
    std::string count;
    while (words >> word) {
        const auto way = keys.find(word);
        if (way != keys.end() && words >> count && std::isdigit(count.front()) != 0) {
            script += std::string(std::stoul(count), way->second);
        }
    }
    play(h, script);
    EXPECT_EQ(script.size() - 1, static_cast<std::size_t>(h.form.solutionLength)) << solved;
    EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"}) << solved;
}

}  // namespace
}  // namespace quorrel::testing
