// NEW MAZE through the window: the board geometry on the design-size client area,
// and the sizes typed into the selectors that are accepted or refused.

#include "board/new_maze.h"

#include <string_view>

#include "app_support.h"
#include "support/odd_values.h"

namespace quorrel::apptest {
namespace {

using NewMaze = WindowTest;

TEST_F(NewMaze, FitsTheBoardAsTheWorkedExamplesSay) {
    ASSERT_EQ(board().size(), QSize(592, 487));
    for (const testing::DesignBoard& row : testing::kDesignBoards) {
        SCOPED_TRACE(std::to_string(row.w) + " x " + std::to_string(row.h));
        newMaze(QString::number(row.w), QString::number(row.h));
        EXPECT_TRUE(messages.messages.empty());
        EXPECT_EQ(form().mazeWidth, row.w);
        EXPECT_EQ(form().mazeHeight, row.h);
        EXPECT_EQ(form().squareSize, row.squareSize);
        EXPECT_EQ(form().inset, row.inset);
        EXPECT_FLOAT_EQ(static_cast<float>(board().boardFont().pointSizeF()),
                        static_cast<float>(row.fontSize));
        EXPECT_EQ(form().originX, row.originX);
        EXPECT_EQ(form().originY, row.originY);
    }
}

TEST_F(NewMaze, TwoByTwoOnTheDesignSizeHasSquaresOfTwentyFivePixels) {
    newMaze("2", "2");
    EXPECT_EQ(form().squareSize, 375);
    EXPECT_EQ(form().inset, 75);
    EXPECT_FLOAT_EQ(static_cast<float>(board().boardFont().pointSizeF()), 8.5F);
}

TEST_F(NewMaze, AcceptsOrRefusesEachTypedSize) {
    for (const bool widthSide : {true, false}) {
        for (const testing::SizeEntry& entry : testing::kSizeEntries) {
            if (std::string_view(entry.text).find_first_of("\t\n") != std::string_view::npos) {
                continue;  // a tab or a line feed would leave the selector
            }
            SCOPED_TRACE(std::string(widthSide ? "width " : "height ") + "\"" + entry.text + "\"");
            // A maze with a game begun, so that the board and the Moves box are not blank.
            newMaze("10", "10");
            ASSERT_TRUE(messages.messages.empty());
            QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf({form().entryCol, 0}));
            QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf({form().entryCol, 0}));
            ASSERT_EQ(text1().text(), "0");

            typeInto(widthSide ? combo1() : combo2(), QString::fromLatin1(entry.text));
            typeInto(widthSide ? combo2() : combo1(), "20");
            QTest::mouseClick(&command1(), Qt::LeftButton);

            EXPECT_EQ(text1().text(), "");
            EXPECT_EQ(text2().text(), "");
            if (entry.side == 0) {
                ASSERT_EQ(messages.messages.size(), 1U);
                EXPECT_EQ(messages.messages[0], "Maze dimensions must fall between 2 and 50");
                // The board is blank: every pixel is the background.
                const QImage& image = board().image();
                const QColor background = window->palette().color(QPalette::Window);
                int other = 0;
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        other += image.pixelColor(x, y) != background;
                    }
                }
                EXPECT_EQ(other, 0);
                EXPECT_EQ(form().mazeWidth, 10);
                EXPECT_EQ(form().mazeHeight, 10);
            } else {
                EXPECT_TRUE(messages.messages.empty());
                EXPECT_EQ(widthSide ? form().mazeWidth : form().mazeHeight, entry.side);
                EXPECT_EQ(widthSide ? form().mazeHeight : form().mazeWidth, 20);
            }
            messages.messages.clear();
        }
    }
}

TEST_F(NewMaze, SelectorsKeepWhatWasTyped) {
    newMaze("1e1", " 2 0");
    EXPECT_EQ(combo1().currentText(), "1e1");
    EXPECT_EQ(combo2().currentText(), " 2 0");
    EXPECT_EQ(combo1().count(), 8);
    EXPECT_EQ(combo2().count(), 8);
}

TEST_F(NewMaze, RefusedSizeLeavesSolveAndRetryOnTheOldMazeHarmless) {
    newMaze("10", "10");
    newMaze("abc", "10");
    ASSERT_EQ(messages.messages.size(), 1U);
    action("cheat").trigger();
    action("retry").trigger();
    EXPECT_EQ(form().mazeWidth, 10);
}

}  // namespace
}  // namespace quorrel::apptest
