// The board in words for a screen reader. The words themselves are pinned once, in the table
// below; the other tests read facts out of the words (a square, the open ways, the counters,
// the exit) and check them against the maze, and play whole games by the words alone.

#include "ui/board_description.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "play/play.h"
#include "support/play_helpers.h"
#include "ui/commands.h"

namespace quorrel::testing {
namespace {

// A script of events, one character each: L R U D an arrow key, ' ' the where-am-I key (Space),
// S Solve, T Retry, p a left press on the corner a press must be on, q its release, y a Yes to
// the next question, x NEW MAZE with a size it refuses. Gives what the last command said.
std::string play(PlayHarness& h, const std::string& script) {
    const std::map<char, Command> commands = {{'L', Command::StepLeft}, {'R', Command::StepRight},
                                              {'U', Command::StepUp},   {'D', Command::StepDown},
                                              {' ', Command::WhereAmI}, {'S', Command::Solve},
                                              {'T', Command::Retry},    {'x', Command::NewMaze}};
    std::string said;
    for (char c : script) {
        if (c == 'x') {
            h.window.width = "1";
        }
        if (const auto it = commands.find(c); it != commands.end()) {
            said = perform(h.form, it->second).words;
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
    const char* expected;
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

const Spoken kSpoken[] = {
    // Before any maze.
    {"board before a maze", Maze::None, "", describeBoard, "No maze yet. Press New maze."},
    {"refused size before a maze", Maze::None, "x", describeBoard, "No maze yet. Press New maze."},
    {"space before a maze", Maze::None, " ", nullptr, "No maze yet. Press New maze."},
    {"arrow before a maze", Maze::None, "D", nullptr, "No maze yet. Press New maze."},
    {"bump before a maze", Maze::None, "", describeBump, "No maze yet."},
    {"new maze before a maze", Maze::None, "", describeNewMaze, "No maze yet."},
    {"retry before a maze", Maze::None, "T", describeRetry, "Nothing to retry."},
    {"solve before a maze", Maze::None, "S", describeSolution, "No way out to show."},
    // The board taking the focus, and Space.
    {"board on a new maze", Maze::Worked, "", describeBoard,
     "2 by 2 maze. You have not started: the entrance is above column 1. Open: down. 0 moves, "
     "0 extra. The exit is below column 1. Arrow keys walk; Space says where you are."},
    {"space on a new maze", Maze::Worked, " ", nullptr,
     "You have not started: the entrance is above column 1. Open: down. 0 moves, 0 extra. The "
     "exit is below column 1."},
    {"pressed on the entrance", Maze::Worked, "p", describeWhereAmI,
     "You are at the entrance, above column 1. Open: down. 0 moves, 0 extra. The exit is below "
     "column 1."},
    {"pressed twice on the entrance", Maze::Worked, "pqp", describeWhereAmI,
     "You are at the entrance, above column 1. Open: down. 0 moves, 2 extra. The exit is below "
     "column 1."},
    {"arrow under a held button", Maze::Worked, "pD", describeWhereAmI,
     "You are on column 1, row 1. Open: down, right. 1 move, 0 extra. The exit is below column "
     "1."},
    {"space on row 2", Maze::Worked, "DD ", nullptr,
     "You are on column 1, row 2. Open: up, down to the exit, right. 2 moves, 0 extra. The exit "
     "is below column 1."},
    {"board in a dead end", Maze::Worked, "DRR", describeBoard,
     "2 by 2 maze. You are on column 2, row 1. Open: left. 2 moves, 0 extra. The exit is below "
     "column 1. Arrow keys walk; Space says where you are."},
    {"refused size after a walk", Maze::Worked, "DRx", describeWhereAmI,
     "You have not started: the entrance is above column 1. Open: down. 0 moves, 0 extra. The "
     "exit is below column 1."},
    // Steps and bumps.
    {"first step", Maze::Worked, "D", nullptr, "Open: down, right. Column 1, row 1."},
    {"dead end", Maze::Worked, "DR", nullptr, "Open: left. Column 2, row 1."},
    {"passed once", Maze::Worked, "DRL", nullptr,
     "Open: down, right. Column 1, row 1. Passed once before."},
    {"passed twice", Maze::Worked, "DRLRL", nullptr,
     "Open: down, right. Column 1, row 1. Passed 2 times before."},
    {"above the exit", Maze::Worked, "DD", nullptr,
     "Open: up, down to the exit, right. Column 1, row 2."},
    {"bump at the entrance", Maze::Worked, "L", nullptr, "Wall. Open: down."},
    {"bump in a dead end", Maze::Worked, "DRR", nullptr, "Wall. Open: left."},
    // The finish: once its box has closed, what the next arrow does.
    {"out through the exit", Maze::Worked, "DDD", nullptr,
     "You are below the exit, out of the maze. Up goes back into the maze; Retry starts again. "
     "3 moves, 0 extra. The exit is below column 1."},
    {"yes to try again", Maze::Worked, "yDRLDD", nullptr,
     "You have not started: the entrance is above column 1. Open: down. 0 moves, 0 extra. The "
     "exit is below column 1."},
    {"back up from the exit", Maze::Worked, "DDDU", nullptr,
     "Open: up, down to the exit, right. Column 1, row 2. Passed once before."},
    // NEW MAZE, Retry, Solve.
    {"new maze", Maze::Worked, "", describeNewMaze,
     "New 2 by 2 maze. The entrance is above column 1. The exit is below column 1."},
    {"new maze without an exit", Maze::NoExit, "", describeNewMaze,
     "New 2 by 2 maze. The entrance is above column 1. This maze has no exit."},
    {"space without an exit", Maze::NoExit, " ", nullptr,
     "You have not started: the entrance is above column 1. Open: down. 0 moves, 0 extra. This "
     "maze has no exit."},
    {"retry", Maze::Worked, "DRT", nullptr,
     "Back at the entrance, above column 1, with no moves. The exit is below column 1."},
    {"solve", Maze::Worked, "DS", nullptr,
     "Solved: the way out is 3 squares long: down 3. Retry to walk it from the entrance."},
    // After Solve the corner a press must be on is below the exit, the player where it was.
    {"solve before a step", Maze::Worked, "S ", nullptr,
     "You have not started: the entrance is above column 1. Open: down. 0 moves, 0 extra. The "
     "exit is below column 1. After Solve, any arrow ends the game; Retry starts again."},
    {"solve on row 2", Maze::Worked, "DDS ", nullptr,
     "You are on column 1, row 2. Open: up, down to the exit, right. 2 moves, 0 extra. The exit "
     "is below column 1. After Solve, an arrow down, left or right ends the game; Retry starts "
     "again."},
    {"step up after solve", Maze::Worked, "DDSU", nullptr,
     "Open: down, right. Column 1, row 1. Passed once before."},
    {"space after solve and a step", Maze::Worked, "DDSU ", nullptr,
     "You are on column 1, row 1. Open: down, right. 3 moves, 2 extra. The exit is below column "
     "1. After Solve, an arrow down ends the game; Retry starts again."},
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

// What a listener can take out of the words.
struct Heard {
    std::optional<Square> square;  // "column c, row r"
    std::set<Arrow> ways;          // "Open: ..."
    bool toTheExit = false;        // one of the ways is "down to the exit"
    std::optional<int> moves;
    std::optional<int> extra;
    std::optional<int> exitCol;  // "below column n"
};

Heard hear(const std::string& words) {
    Heard heard;
    std::smatch m;
    if (std::regex_search(words, m, std::regex("[Cc]olumn (\\d+), row (\\d+)"))) {
        heard.square = Square{std::stoi(m[1]), std::stoi(m[2])};
    }
    if (std::regex_search(words, m, std::regex("Open: ([a-z ,]+)\\."))) {
        const std::string ways = m[1];
        const std::pair<const char*, Arrow> kWords[] = {{"up", Arrow::Up},
                                                        {"down", Arrow::Down},
                                                        {"left", Arrow::Left},
                                                        {"right", Arrow::Right}};
        for (const auto& [word, way] : kWords) {
            if (ways.find(word) != std::string::npos) {
                heard.ways.insert(way);
            }
        }
        heard.toTheExit = ways.find("exit") != std::string::npos;
    }
    if (std::regex_search(words, m, std::regex("(\\d+) moves?, (\\d+) extra"))) {
        heard.moves = std::stoi(m[1]);
        heard.extra = std::stoi(m[2]);
    }
    if (std::regex_search(words, m, std::regex("exit is below column (\\d+)"))) {
        heard.exitCol = std::stoi(m[1]);
    }
    return heard;
}

// The ways open from a square of the maze, by the test's own reading of the openings.
std::set<Arrow> waysFrom(const State& f, Square s) {
    std::set<Arrow> ways;
    const std::pair<bool, Arrow> sides[] = {{opensUp(f, s), Arrow::Up},
                                            {opensDown(f, s), Arrow::Down},
                                            {opensLeft(f, s), Arrow::Left},
                                            {opensRight(f, s), Arrow::Right}};
    for (const auto& [open, way] : sides) {
        if (open) {
            ways.insert(way);
        }
    }
    return ways;
}

Arrow arrowBetween(Square from, Square to) {
    if (to.col != from.col) {
        return to.col > from.col ? Arrow::Right : Arrow::Left;
    }
    return to.row > from.row ? Arrow::Down : Arrow::Up;
}

// Along the way out with a detour into the first side branch and back, then Solve and a few
// more arrows, the step words and Space name the square the next arrow steps from, the ways
// the maze opens from it, the counters and the exit the test finds.
TEST(BoardWords, TellTheFactsOfSeededMazesAtEveryArrow) {
    for (std::uint64_t seed : {3, 31, 77}) {
        SCOPED_TRACE(seed);
        PlayHarness h;
        buildSeededMaze(h, 9, 7, seed);
        const Mazeform& f = h.form;
        const std::vector<Square> way = routeToExit(f);
        const std::optional<Branch> branch = firstBranch(f, way);
        ASSERT_TRUE(branch);
        std::vector<Square> walk = route(f, firstSquare(f), branch->from);
        walk.insert(walk.end(), {branch->into, branch->from});
        std::vector<Arrow> arrows = {Arrow::Down};
        for (std::size_t k = 1; k < walk.size(); ++k) {
            arrows.push_back(arrowBetween(walk[k - 1], walk[k]));
        }
        const auto check = [&](const std::string& words, bool counted) {
            const Heard heard = hear(words);
            const Square at{f.playerCol, f.playerRow};
            EXPECT_EQ(heard.square, std::optional<Square>(at)) << words;
            EXPECT_EQ(heard.ways, waysFrom(f, at)) << words;
            if (counted) {
                EXPECT_EQ(heard.moves, std::optional<int>(f.moveCount)) << words;
                EXPECT_EQ(heard.extra, std::optional<int>(f.extraMoves)) << words;
                EXPECT_EQ(heard.exitCol, std::optional<int>(exitColumn(f))) << words;
            }
        };
        for (std::size_t k = 0; k < arrows.size(); ++k) {
            check(perform(h.form, stepCommand(arrows[k])).words, false);
            check(perform(h.form, Command::WhereAmI).words, true);
        }
        EXPECT_EQ(f.extraMoves, 2);
        // Solve moves the corner below the exit; the words stay with the player's square.
        perform(h.form, Command::Solve);
        check(describeWhereAmI(f), true);
        const Said up = perform(h.form, Command::StepUp);
        if (!up.boxShown) {
            check(up.words, false);
            check(describeWhereAmI(f), true);
        }
    }
}

// Sizes 2 and 3 make mazes without an exit now and then: each is told as it is.
TEST(BoardWords, TellTheExitOrThatThereIsNone) {
    int without = 0;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        PlayHarness h;
        buildSeededMaze(h, 2 + static_cast<int>(seed % 2), 2 + static_cast<int>(seed % 3), seed);
        const int exit = exitColumn(h.form);
        without += exit == 0 ? 1 : 0;
        for (const std::string& words : {describeNewMaze(h.form), describeBoard(h.form)}) {
            EXPECT_EQ(hear(words).exitCol, exit == 0 ? std::nullopt : std::optional<int>(exit))
                << "seed " << seed << ": " << words;
            EXPECT_EQ(words.find("no exit") != std::string::npos, exit == 0) << words;
        }
    }
    EXPECT_GT(without, 0);
}

// A player who hears only the words finds the exit of an 8 by 8 maze by depth-first search:
// each step's words give the square and the ways open from it; a square already heard is not
// entered again, a dead end is left the way it was entered. At most 2 W H + 5 arrows.
TEST(BoardWords, AreEnoughToFindTheExitByDepthFirstSearch) {
    for (std::uint64_t seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE(seed);
        PlayHarness h;
        buildSeededMazeWhere(h, 8, 8, seed, [](const State& f) { return f.exitMade; });
        ASSERT_TRUE(h.form.exitMade);
        std::set<Square> heardSquares;
        std::vector<Arrow> cameBy;  // the arrows that led to each square of the present path
        int arrows = 1;
        Said said = perform(h.form, Command::StepDown);
        while (!said.boxShown && arrows <= 2 * 8 * 8 + 5) {
            const Heard heard = hear(said.words);
            ASSERT_TRUE(heard.square) << said.words;
            heardSquares.insert(*heard.square);
            std::optional<Arrow> next;
            if (heard.toTheExit) {
                next = Arrow::Down;
            }
            for (Arrow way : heard.ways) {
                const Offset d = offsetOf(way);
                const Square to{heard.square->col + d.col, heard.square->row + d.row};
                if (!next && !heardSquares.contains(to)) {
                    next = way;
                }
            }
            if (next) {
                cameBy.push_back(*next);
            } else {
                ASSERT_FALSE(cameBy.empty()) << "a dead end with nowhere to go back to";
                const Offset d = offsetOf(cameBy.back());
                cameBy.pop_back();
                next = arrowBetween({d.col, d.row}, {0, 0});
            }
            said = perform(h.form, stepCommand(*next));
            ++arrows;
        }
        EXPECT_TRUE(said.boxShown) << "no finish after " << arrows << " arrows";
        EXPECT_LE(arrows, 2 * 8 * 8 + 5);
        EXPECT_EQ(playerSquare(h.form), exitSquare(h.form));
    }
}

// Solve's runs, followed after Retry, lead straight out: "Perfect!".
TEST(BoardWords, SolvesRunsLeadOutAfterRetry) {
    for (std::uint64_t seed : {5, 12, 40}) {
        SCOPED_TRACE(seed);
        PlayHarness h;
        buildSeededMazeWhere(h, 12, 10, seed, [](const State& f) { return f.exitMade; });
        const std::string solved = perform(h.form, Command::Solve).words;
        perform(h.form, Command::Retry);
        const std::regex run("(up|down|left|right) (\\d+)");
        int steps = 0;
        for (auto it = std::sregex_iterator(solved.begin(), solved.end(), run);
             it != std::sregex_iterator(); ++it) {
            const std::string way = (*it)[1];
            const Arrow arrow = way == "up"     ? Arrow::Up
                                : way == "down" ? Arrow::Down
                                : way == "left" ? Arrow::Left
                                                : Arrow::Right;
            for (int n = std::stoi((*it)[2]); n > 0; --n, ++steps) {
                perform(h.form, stepCommand(arrow));
            }
        }
        EXPECT_EQ(steps, h.form.solutionLength) << solved;
        EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"}) << solved;
    }
}

}  // namespace
}  // namespace quorrel::testing
