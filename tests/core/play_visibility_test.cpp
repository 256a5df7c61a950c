#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "play/play.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

// ---- Menu ---------------------------------------------------------------------------------

// The Visibility items of the command table that are checked.
std::vector<Command> checkedItems(const FakeWindow& w) {
    std::vector<Command> out;
    for (const auto& [item, on] : w.checks) {
        if (on && commandRow(item).radius >= 0) {
            out.push_back(item);
        }
    }
    return out;
}

TEST(VisibilityMenu, ExactlyTheChosenItemIsChecked) {
    PlayHarness h;
    buildWorkedMaze(h);
    h.window.checks[Command::MakeFile] = true;
    const std::size_t ops = h.surface.ops.size();
    int items = 0;
    for (const CommandRow& first : commands()) {
        for (const CommandRow& c : commands()) {
            if (first.radius < 0 || c.radius < 0) {
                continue;
            }
            ++items;
            perform(h.form, first.id);
            perform(h.form, c.id);
            EXPECT_EQ(checkedItems(h.window), std::vector<Command>{c.id});
            EXPECT_EQ(h.form.visibility, c.radius);
            const auto checks = h.window.checks;
            perform(h.form, c.id);  // choosing the checked item again
            EXPECT_EQ(h.window.checks, checks);
            EXPECT_EQ(h.form.visibility, c.radius);
        }
    }
    EXPECT_GE(items, 4) << "fewer than two Visibility items";
    EXPECT_TRUE(h.window.checks[Command::MakeFile]);
    EXPECT_EQ(h.surface.ops.size(), ops);
    EXPECT_EQ(h.form.lastVisibility, 0);
}

// ---- The neighbourhood drawn at a step ----------------------------------------------------

struct Block {
    int col, row, radius;  // the player's square and the radius
    int t, b, l, r;        // the squares that must show
};

// A 20 by 20 maze with every wall closed, so each square of the range shows its right and
// bottom sides and the range can be read straight off the board.
TEST(VisibilityRedraw, ShowsTheBlockAroundThePlayerClippedToTheMaze) {
    const std::vector<Block> blocks = {
        {10, 10, 1, 9, 11, 9, 11},  // 3 by 3 in the middle
        {10, 10, 8, 2, 18, 2, 18},  // 17 by 17
        {10, 10, 2, 8, 12, 8, 12},   {10, 10, 4, 6, 14, 6, 14},
        {1, 1, 1, 1, 2, 1, 2},        // top-left corner
        {20, 20, 2, 18, 20, 18, 20},  // bottom-right corner
        {20, 1, 4, 1, 5, 16, 20},     // top-right corner
        {1, 20, 8, 12, 20, 1, 9},     // bottom-left corner
        {5, 1, 8, 1, 9, 1, 13},       // the first step of a game
        {3, 21, 4, 17, 20, 1, 7},     // the square below the exit
        {12, 21, 1, 20, 20, 11, 13}, {17, 4, 8, 1, 12, 9, 20},
    };
    for (const Block& k : blocks) {
        PlayHarness h;
        buildSeededMaze(h, 20, 20, 7);
        Mazeform& f = h.form;
        for (int c = 0; c <= 21; ++c) {
            for (int r = 1; r <= 20; ++r) {
                f.openings(c, r) = 0;
            }
        }
        f.visibility = static_cast<Int>(k.radius);
        f.playerCol = static_cast<Int>(k.col);
        f.playerRow = static_cast<Int>(k.row);
        const std::size_t before = h.surface.ops.size();
        visibilityRedraw(f);
        const std::vector<DrawOp> ops = opsSince(h.surface, before);
        ASSERT_FALSE(ops.empty());
        EXPECT_EQ(ops.front().kind, DrawOp::Clear);
        EXPECT_EQ(onlyKind(ops, DrawOp::Clear).size(), 1U);
        EXPECT_EQ(onlyKind(ops, DrawOp::Line).size(), ops.size() - 1);

        EXPECT_EQ(segmentsOf(ops), wallsOf(f, k.t, k.b, k.l, k.r))
            << "player (" << k.col << "," << k.row << ") radius " << k.radius;
    }
}

TEST(VisibilityRedraw, DoesNothingUnderFullVisibilityAfterFullVisibility) {
    PlayHarness h;
    buildWorkedMaze(h);
    const std::size_t before = h.surface.ops.size();
    h.form.playerCol = 1;
    h.form.playerRow = 1;
    visibilityRedraw(h.form);
    EXPECT_EQ(h.surface.ops.size(), before);
}

// On a real maze, walked with the mouse: after each step the board shows the walls of the
// block around the player, as the opening codes give them, and the two squares bpaint paints.
TEST(VisibilityRedraw, EachStepShowsOnlyTheWallsAroundThePlayer) {
    for (Int radius : {1, 2, 4, 8}) {
        PlayHarness h;
        buildSeededMaze(h, 15, 12, 3);
        ASSERT_TRUE(h.form.exitMade);
        h.form.visibility = radius;
        pressOn(h, entranceSquare(h.form));
        std::vector<Square> way = routeToExit(h.form);
        way.pop_back();  // the step out through the exit also ends the game
        int steps = 0;
        for (Square next : way) {
            const Square from = playerSquare(h.form);
            const std::size_t before = h.surface.ops.size();
            moveToward(h, next);
            ASSERT_EQ(playerSquare(h.form), next);
            std::vector<DrawOp> ops = opsSince(h.surface, before);
            ASSERT_FALSE(ops.empty());
            EXPECT_EQ(ops.front().kind, DrawOp::Clear);
            EXPECT_EQ(onlyKind(ops, DrawOp::Clear).size(), 1U);
            const int t = std::max(1, next.row - radius);
            const int b = std::min<int>(h.form.mazeHeight, next.row + radius);
            const int l = std::max(1, next.col - radius);
            const int r = std::min<int>(h.form.mazeWidth, next.col + radius);
            // Stop at the paint of the square left (or, on the first step, the square entered).
            const auto firstBox = std::find_if(
                ops.begin(), ops.end(), [](const DrawOp& op) { return op.kind == DrawOp::Box; });
            const std::vector<DrawOp> redraw(ops.begin(), firstBox);
            EXPECT_EQ(segmentsOf(redraw), wallsOf(h.form, t, b, l, r))
                << "radius " << radius << " step " << steps;
            const std::vector<DrawOp> boxes = onlyKind({firstBox, ops.end()}, DrawOp::Box);
            EXPECT_EQ(boxes.size(), steps == 0 ? 1U : 2U);
            if (steps > 0) {
                EXPECT_EQ(boxes.front().colour, kTrailGreen);
                EXPECT_FLOAT_EQ(boxes.front().x1,
                                cornerOf(h.form, from).x - static_cast<float>(h.form.inset));
            }
            EXPECT_EQ(boxes.back().colour, kPlayerBlue);
            EXPECT_EQ(h.form.lastVisibility, radius);
            ++steps;
        }
        EXPECT_EQ(steps, static_cast<int>(way.size()));
    }
}

TEST(VisibilityRedraw, ChoosingARadiusShowsOnlyAtTheNextStep) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(pressIntoSeededWay(h, 10, 10, 5, 4, way));
    moveToward(h, way[0]);
    std::size_t before = h.surface.ops.size();
    chooseRadius(h.form, 1);
    release(h);
    pressOn(h, way[0]);
    moveToward(h, way[0]);  // a movement without a step
    EXPECT_EQ(h.surface.ops.size(), before);

    moveToward(h, way[1]);
    std::vector<DrawOp> ops = opsSince(h.surface, before);
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.front().kind, DrawOp::Clear);
    const std::size_t radiusOneLines = onlyKind(ops, DrawOp::Line).size();

    // From one restricted radius to another: the wider block shows at the next step.
    chooseRadius(h.form, 8);
    before = h.surface.ops.size();
    moveToward(h, way[2]);
    ops = opsSince(h.surface, before);
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.front().kind, DrawOp::Clear);
    EXPECT_GT(onlyKind(ops, DrawOp::Line).size(), radiusOneLines);
}

TEST(VisibilityRedraw, ARadiusChosenBeforeTheFirstStepLeavesTheWholeMazeUntilThatStep) {
    PlayHarness h;
    buildSeededMaze(h, 10, 10, 5);
    const std::size_t before = h.surface.ops.size();
    chooseRadius(h.form, 4);
    pressOn(h, entranceSquare(h.form));
    std::vector<DrawOp> ops = opsSince(h.surface, before);
    EXPECT_EQ(onlyKind(ops, DrawOp::Clear).size(), 0U);
    EXPECT_EQ(onlyKind(ops, DrawOp::Line).size(), 0U);
    moveToward(h, firstSquare(h.form));
    ops = opsSince(h.surface, before);
    EXPECT_EQ(onlyKind(ops, DrawOp::Clear).size(), 1U);
}

TEST(VisibilityRedraw, FullVisibilityComingBackDrawsTheWholeMazeOnce) {
    PlayHarness h;
    std::vector<Square> way;
    ASSERT_NO_FATAL_FAILURE(buildSeededWay(h, 10, 10, 5, 5, way));
    chooseRadius(h.form, 2);
    pressOn(h, entranceSquare(h.form));
    moveToward(h, way[0]);
    moveToward(h, way[1]);
    chooseRadius(h.form, 0);

    std::size_t before = h.surface.ops.size();
    moveToward(h, way[2]);
    std::vector<DrawOp> ops = opsSince(h.surface, before);
    EXPECT_EQ(onlyKind(ops, DrawOp::Clear).size(), 0U);
    EXPECT_EQ(segmentsOf(ops), segmentsOf(h.mazeLines));
    EXPECT_EQ(onlyKind(ops, DrawOp::Box).size(), 2U);
    EXPECT_EQ(h.form.lastVisibility, 0);

    before = h.surface.ops.size();
    moveToward(h, way[3]);
    ops = opsSince(h.surface, before);
    EXPECT_EQ(onlyKind(ops, DrawOp::Line).size(), 0U);
    EXPECT_EQ(onlyKind(ops, DrawOp::Clear).size(), 0U);
}

// The radius of the previous step is remembered across games: the first step of a game under
// full visibility redraws the whole maze once if the step before it was restricted.
TEST(VisibilityRedraw, FirstStepUnderFullVisibilityAfterARestrictedGameRedrawsOnce) {
    for (bool newMaze : {false, true}) {
        PlayHarness h;
        buildSeededMaze(h, 10, 10, 5);
        chooseRadius(h.form, 1);
        pressOn(h, entranceSquare(h.form));
        moveToward(h, firstSquare(h.form));
        release(h);
        chooseRadius(h.form, 0);
        if (newMaze) {
            buildSeededMaze(h, 8, 9, 11);
        } else {
            retry_Click(h.form);
        }
        EXPECT_EQ(h.form.lastVisibility, 1);
        const std::vector<Square> way = routeToExit(h.form);
        pressOn(h, entranceSquare(h.form));
        std::size_t before = h.surface.ops.size();
        moveToward(h, way[0]);
        std::vector<DrawOp> ops = opsSince(h.surface, before);
        EXPECT_EQ(onlyKind(ops, DrawOp::Clear).size(), 0U);
        EXPECT_EQ(segmentsOf(ops), segmentsOf(h.mazeLines)) << "new maze " << newMaze;

        before = h.surface.ops.size();
        moveToward(h, way[1]);
        EXPECT_EQ(onlyKind(opsSince(h.surface, before), DrawOp::Line).size(), 0U);
    }
}

TEST(VisibilityRedraw, FirstStepUnderFullVisibilityAfterAFullGameDoesNotRedraw) {
    PlayHarness h;
    buildSeededMaze(h, 10, 10, 5);
    pressOn(h, entranceSquare(h.form));
    const std::size_t before = h.surface.ops.size();
    moveToward(h, firstSquare(h.form));
    const std::vector<DrawOp> ops = opsSince(h.surface, before);
    EXPECT_EQ(onlyKind(ops, DrawOp::Line).size(), 0U);
    EXPECT_EQ(onlyKind(ops, DrawOp::Clear).size(), 0U);
    EXPECT_EQ(ops.size(), 2U);  // the player's square and its count
}

// At the finish under a restricted radius the whole maze, with every square walked and its
// count, is on the board before the result is shown.
struct FinishCase {
    bool detour;
    Int radius;
};

TEST(VisibilityRedraw, TheFinishShowsTheWholeWalkBeforeTheMessage) {
    const std::vector<FinishCase> cases = {{false, 2}, {true, 1}, {true, 8}, {false, 4}};
    for (const auto& [detour, radius] : cases) {
        PlayHarness h;
        buildSeededMaze(h, 12, 10, 9);
        ASSERT_TRUE(h.form.exitMade);
        chooseRadius(h.form, radius);
        const std::vector<Square> way = routeToExit(h.form);
        const std::optional<Branch> branch = firstBranch(h.form, way);
        ASSERT_TRUE(branch);
        walkFromEntranceTo(h, branch->from);
        if (detour) {
            dragAlong(h, {branch->into, branch->from});
        }
        std::vector<Square> rest = route(h.form, branch->from, exitSquare(h.form));
        rest.pop_back();
        dragAlong(h, rest);
        const std::size_t before = h.surface.ops.size();
        moveToward(h, exitSquare(h.form));
        ASSERT_EQ(h.window.opsAtMessage.size(), 1U);
        EXPECT_EQ(h.window.opsAtMessage.front(), h.surface.ops.size());
        const std::vector<DrawOp> ops = opsSince(h.surface, before);
        // The step: Clear, the block, the square left and the exit square with their counts.
        const auto blue = std::find_if(ops.begin(), ops.end(), [](const DrawOp& op) {
            return op.kind == DrawOp::Box && op.colour == kPlayerBlue;
        });
        ASSERT_NE(blue, ops.end());
        ASSERT_GE(ops.end() - blue, 2);
        const std::vector<DrawOp> finish(blue + 2, ops.end());
        EXPECT_EQ(onlyKind(finish, DrawOp::Clear).size(), 0U);
        EXPECT_EQ(segmentsOf(finish), segmentsOf(h.mazeLines));

        std::vector<std::tuple<float, float, std::string>> painted;
        std::vector<std::tuple<float, float, std::string>> expected;
        for (std::size_t i = 0; i + 1 < finish.size(); ++i) {
            if (finish[i].kind == DrawOp::Box) {
                EXPECT_EQ(finish[i].colour, kTrailGreen);
                ASSERT_EQ(finish[i + 1].kind, DrawOp::Text);
                painted.emplace_back(finish[i].x1, finish[i].y1, finish[i + 1].text);
            }
        }
        const Mazeform& f = h.form;
        for (int r = 1; r <= f.mazeHeight; ++r) {
            for (int c = 1; c <= f.mazeWidth; ++c) {
                if (f.passes(c, r) > 0) {
                    const Point corner = cornerOf(f, {c, r});
                    expected.emplace_back(corner.x - static_cast<float>(f.inset),
                                          corner.y - static_cast<float>(f.inset),
                                          std::to_string(f.passes(c, r)));
                }
            }
        }
        EXPECT_EQ(painted, expected);
        EXPECT_EQ(expected.size(), detour ? way.size() : way.size() - 1);
        if (detour) {
            EXPECT_EQ(h.window.questions.size(), 1U);
        } else {
            EXPECT_EQ(h.window.messages, std::vector<std::string>{"Perfect!"});
        }
    }
}

TEST(VisibilityRedraw, TheFinishUnderFullVisibilityDrawsNothingMore) {
    PlayHarness h;
    buildWorkedMaze(h);
    pressOn(h, {1, 0});
    dragAlong(h, {{1, 1}, {1, 2}});
    const std::size_t before = h.surface.ops.size();
    moveToward(h, {1, 3});
    EXPECT_EQ(opsSince(h.surface, before).size(), 4U);  // the two squares and their counts
    EXPECT_EQ(h.window.opsAtMessage.front(), h.surface.ops.size());
}

}  // namespace
}  // namespace quorrel::testing
