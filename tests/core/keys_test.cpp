// Keyboard play: each arrow key is a press on the player's square, one movement toward the
// neighbouring square and a release, and an arrow that cannot step presses nothing.

#include "play/keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "solve/solve.h"
#include "support/play_helpers.h"
#include "support/try_again.h"

namespace quorrel::testing {
namespace {

// Before the arrows of a case: nothing, the worked maze, or the worked maze and Solve.
enum class Setup { NoMaze, Maze, MazeThenSolve };

struct ArrowCase {
    const char* name;
    Setup setup;
    std::vector<Arrow> before;  // arrows pressed first (and Yes answers to give)
    Arrow arrow;
    ArrowResult result;
    Square player;  // (playerCol, playerRow) afterwards
    int moves;
    int extra;
    int entrancePasses;  // passes of the entrance square afterwards
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answerYes = false;
    bool held = false;  // the left button held after `before`, moved a twip after the arrow
};

constexpr Arrow L = Arrow::Left;
constexpr Arrow R = Arrow::Right;
constexpr Arrow U = Arrow::Up;
constexpr Arrow D = Arrow::Down;

const std::string kTwoExtra = tryAgain(2, "60.00");

// The worked 2 by 2 maze: entrance above (1, 1); (1, 1) opens right and down, (1, 2) opens
// right and down through the exit below it; (2, 1) and (2, 2) are dead ends.
const ArrowCase kCases[] = {
    {"no maze: nothing", Setup::NoMaze, {}, D, ArrowResult::NoMaze, {0, 0}, 0, 0, -1, {}, {}},
    {"entrance: left is a bump", Setup::Maze, {}, L, ArrowResult::Wall, {0, 0}, 0, 0, 0, {}, {}},
    {"entrance: up is a bump", Setup::Maze, {}, U, ArrowResult::Wall, {0, 0}, 0, 0, 0, {}, {}},
    {"entrance: bumps cost nothing",
     Setup::Maze,
     {R, L, U},
     R,
     ArrowResult::Wall,
     {0, 0},
     0,
     0,
     0,
     {},
     {}},
    {"entrance: down goes in", Setup::Maze, {L}, D, ArrowResult::Stepped, {1, 1}, 1, 0, 1, {}, {}},
    {"row 1: no way back up", Setup::Maze, {D}, U, ArrowResult::Wall, {1, 1}, 1, 0, 1, {}, {}},
    {"left border", Setup::Maze, {D}, L, ArrowResult::Wall, {1, 1}, 1, 0, 1, {}, {}},
    {"into a dead end", Setup::Maze, {D}, R, ArrowResult::Stepped, {2, 1}, 2, 0, 1, {}, {}},
    {"right border", Setup::Maze, {D, R}, R, ArrowResult::Wall, {2, 1}, 2, 0, 1, {}, {}},
    {"closed bottom", Setup::Maze, {D, R}, D, ArrowResult::Wall, {2, 1}, 2, 0, 1, {}, {}},
    {"back out of it", Setup::Maze, {D, R}, L, ArrowResult::Stepped, {1, 1}, 3, 2, 1, {}, {}},
    {"route out", Setup::Maze, {D, D}, D, ArrowResult::Finished, {1, 3}, 3, 0, 1, {"Perfect!"}, {}},
    {"out after a detour",
     Setup::Maze,
     {D, R, L, D},
     D,
     ArrowResult::Finished,
     {1, 3},
     5,
     2,
     1,
     {},
     {kTwoExtra}},
    {"Yes starts again",
     Setup::Maze,
     {D, R, L, D, D},
     D,
     ArrowResult::Stepped,
     {1, 1},
     1,
     0,
     1,
     {},
     {kTwoExtra},
     true},
    {"after the finish: up goes back in",
     Setup::Maze,
     {D, D, D},
     U,
     ArrowResult::Stepped,
     {1, 2},
     4,
     2,
     1,
     {"Perfect!"},
     {}},
    {"after the finish: down finishes again",
     Setup::Maze,
     {D, D, D},
     D,
     ArrowResult::Finished,
     {1, 3},
     3,
     0,
     1,
     {"Perfect!", "Perfect!"},
     {}},
    {"after the finish: left finishes again",
     Setup::Maze,
     {D, D, D},
     L,
     ArrowResult::Finished,
     {1, 3},
     3,
     0,
     1,
     {"Perfect!", "Perfect!"},
     {}},
    // Solve leaves the corner below the exit; a press there before any step is a first press.
    // Under a held button an arrow is the movement alone: the entrance is not pressed again,
    // and the drag ends, so the pointer left behind does not walk the player back.
    {"held on the entrance: down, no second pass",
     Setup::Maze,
     {},
     D,
     ArrowResult::Stepped,
     {1, 1},
     1,
     0,
     1,
     {},
     {},
     false,
     true},
    {"held: the pointer left behind walks nothing",
     Setup::Maze,
     {D},
     R,
     ArrowResult::Stepped,
     {2, 1},
     2,
     0,
     1,
     {},
     {},
     false,
     true},
    {"held: out through the exit",
     Setup::Maze,
     {D, D},
     D,
     ArrowResult::Finished,
     {1, 3},
     3,
     0,
     1,
     {"Perfect!"},
     {},
     false,
     true},
    {"after Solve before a step",
     Setup::MazeThenSolve,
     {},
     L,
     ArrowResult::Finished,
     {1, 0},
     0,
     0,
     1,
     {"Perfect!"},
     {}},
};

class ArrowKeys : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(ArrowKeys, StepOrBumpAsTheMouseRulesSay) {
    const ArrowCase& c = GetParam();
    PlayHarness h;
    if (c.setup != Setup::NoMaze) {
        buildWorkedMaze(h);
    }
    if (c.setup == Setup::MazeThenSolve) {
        cheat_Click(h.form);
    }
    if (c.answerYes) {
        h.window.answers.push_back(true);
    }
    for (Arrow a : c.before) {
        arrowKey(h.form, a);
    }
    const float x = static_cast<float>(h.form.curX - h.form.squareSize / 2);
    const float y = static_cast<float>(h.form.curY - h.form.squareSize / 2);
    if (c.held) {
        Form_MouseDown(h.form, kLeftButton, 0, x, y);
    }
    const std::size_t ops = h.surface.ops.size();
    const GameState was = gameState(h);
    EXPECT_EQ(arrowKey(h.form, c.arrow), c.result);
    EXPECT_EQ(h.form.tracking, c.held && c.result == ArrowResult::Wall);
    if (c.held) {
        Form_MouseMove(h.form, kLeftButton, 0, x + 1, y);
    }
    EXPECT_EQ(playerSquare(h.form), c.player);
    EXPECT_EQ(h.form.moveCount, c.moves);
    EXPECT_EQ(h.form.extraMoves, c.extra);
    EXPECT_EQ(h.window.messages, c.messages);
    EXPECT_EQ(h.window.questions, c.questions);
    if (c.entrancePasses >= 0) {
        EXPECT_EQ(h.form.passes(h.form.entryCol, 0), c.entrancePasses);
    }
    if (c.result == ArrowResult::Wall || c.result == ArrowResult::NoMaze) {
        // A bump presses nothing: nothing drawn, nothing counted, the corner where it was.
        EXPECT_EQ(h.surface.ops.size(), ops);
        EXPECT_EQ(gameState(h), was);
    }
}

INSTANTIATE_TEST_SUITE_P(WorkedMaze, ArrowKeys, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ArrowCase>& p) {
                             return caseName(p.param.name);
                         });

}  // namespace
}  // namespace quorrel::testing
