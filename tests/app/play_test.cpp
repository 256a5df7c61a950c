// Playing with the mouse on the board, Retry and Solve, through the window's events.

#include "app_support.h"
#include "solve/solve.h"

namespace quorrel::apptest {
namespace {

using Play = WindowTest;

// Presses on the entrance square and moves the pointer from square centre to square centre
// along the route; releases at the end.
void walk(app::BoardWidget& board, const std::vector<Square>& route,
          const std::function<QPoint(Square)>& centre) {
    QTest::mousePress(&board, Qt::LeftButton, {}, centre(route.front()));
    for (std::size_t i = 1; i < route.size(); ++i) {
        QTest::mouseMove(&board, centre(route[i]));
    }
    QTest::mouseRelease(&board, Qt::LeftButton, {}, centre(route.back()));
}

TEST_F(Play, WalkingStraightToTheExitIsPerfect) {
    newMaze("10", "10");
    ASSERT_TRUE(form().exitMade);
    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 12U);
    walk(board(), route, [this](Square s) { return centreOf(s); });
    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_EQ(messages.messages[0], "Perfect!");
    EXPECT_EQ(text1().text(), QString::number(route.size() - 1));
    EXPECT_EQ(text2().text(), "");
    // The player stands below the exit in blue; the squares walked are green, the entrance
    // square keeps the player's blue.
    EXPECT_EQ(boxColourOf(board(), form(), route.back()), kPlayerBlue);
    EXPECT_EQ(boxColourOf(board(), form(), route.front()), kPlayerBlue);
    for (std::size_t i = 1; i + 1 < route.size(); ++i) {
        EXPECT_EQ(boxColourOf(board(), form(), route[i]), kTrailGreen)
            << route[i].col << "," << route[i].row;
    }
}

TEST_F(Play, FirstPressShowsZeroMovesAndPaintsTheEntranceBlue) {
    newMaze("10", "10");
    const Square entrance{form().entryCol, 0};
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(entrance));
    EXPECT_EQ(text1().text(), "0");
    EXPECT_EQ(text2().text(), "");
    EXPECT_TRUE(form().tracking);
    EXPECT_EQ(boxColourOf(board(), form(), entrance), kPlayerBlue);
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(entrance));
    EXPECT_FALSE(form().tracking);
}

TEST_F(Play, RightAndMiddleButtonsDoNotStartPlay) {
    newMaze("10", "10");
    const Square entrance{form().entryCol, 0};
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(&board(), button, {}, centreOf(entrance));
        QTest::mouseMove(&board(), centreOf({form().entryCol, 1}));
        QTest::mouseRelease(&board(), button, {}, centreOf({form().entryCol, 1}));
    }
    EXPECT_EQ(text1().text(), "");
    EXPECT_FALSE(form().tracking);
    EXPECT_EQ(form().moveCount, 0);
    EXPECT_EQ(boxColourOf(board(), form(), entrance), kEntranceGray);
}

TEST_F(Play, PressesBeforeAnyMazeAreIgnored) {
    QTest::mousePress(&board(), Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(&board(), QPoint(310, 330));
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, QPoint(310, 330));
    EXPECT_EQ(text1().text(), "");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Play, PositionsReachTheGameInTwips) {
    newMaze("10", "10");
    // A press exactly on the entrance square's lower-right corner counts as on the square.
    const double x = form().curX / 15.0;
    const double y = form().curY / 15.0;
    ASSERT_EQ(x, std::floor(x));
    QTest::mousePress(&board(), Qt::LeftButton, {},
                      QPoint(static_cast<int>(x), static_cast<int>(y)));
    EXPECT_TRUE(form().tracking);
    EXPECT_EQ(text1().text(), "0");
}

TEST_F(Play, RetryAfterAWalkClearsTheCountsAndWhitensTheEntrance) {
    newMaze("10", "10");
    const std::vector<Square> route = wayOut(form());
    walk(board(), route, [this](Square s) { return centreOf(s); });
    action("retry").trigger();
    EXPECT_EQ(text1().text(), "");
    EXPECT_EQ(text2().text(), "");
    EXPECT_EQ(boxColourOf(board(), form(), route.front()), kWhite);
    EXPECT_EQ(boxColourOf(board(), form(), route[1]), board().backgroundColour());
    EXPECT_TRUE(wallMismatches(board(), form(), board().backgroundColour(), kWhite).empty());
}

TEST_F(Play, SolvePaintsTheWayFromBelowTheEntranceToBelowTheExitInBlue) {
    newMaze("20", "20");
    ASSERT_TRUE(form().exitMade);
    action("cheat").trigger();
    const std::vector<Square> route = wayOut(form());
    // The route without the entrance square is the solution path.
    ASSERT_EQ(static_cast<std::size_t>(form().solutionLength), route.size() - 1);
    EXPECT_EQ(text1().text(), QString::number(form().solutionLength));
    for (std::size_t i = 1; i < route.size(); ++i) {
        EXPECT_EQ(boxColourOf(board(), form(), route[i]), kPlayerBlue)
            << route[i].col << "," << route[i].row;
    }
    EXPECT_EQ(boxColourOf(board(), form(), route.front()), kEntranceGray);
    // A square off the path stays blank.
    int blank = 0;
    for (int c = 1; c <= form().mazeWidth; ++c) {
        for (int r = 1; r <= form().mazeHeight; ++r) {
            const bool onPath = std::find(route.begin(), route.end(), Square{c, r}) != route.end();
            if (!onPath) {
                blank += boxColourOf(board(), form(), {c, r}) == board().backgroundColour();
            }
        }
    }
    EXPECT_EQ(blank, 400 - static_cast<int>(route.size()) + 2);
}

TEST_F(Play, RestrictedVisibilityShowsOnlyTheNeighbourhoodAfterAStep) {
    newMaze("20", "20");
    action("hide1").trigger();
    const std::vector<Square> route = wayOut(form());
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    QTest::mouseMove(&board(), centreOf(route[1]));
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(route[1]));
    EXPECT_EQ(text1().text(), "1");
    // The gray entrance square is gone, and so are the walls far from the player.
    EXPECT_EQ(boxColourOf(board(), form(), route[0]), board().backgroundColour());
    const double farY = form().originY + (form().mazeHeight - 0.5) * form().squareSize;
    EXPECT_EQ(colourAt(board(), form().originX, farY), board().backgroundColour());
    EXPECT_EQ(boxColourOf(board(), form(), route[1]), kPlayerBlue);
}

}  // namespace
}  // namespace quorrel::apptest
