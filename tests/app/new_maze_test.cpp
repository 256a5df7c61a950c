// NEW MAZE through the window: the board geometry on the design-size client area,
// and the sizes typed into the selectors that are accepted or refused.

#include "board/new_maze.h"

#include "app_support.h"

namespace quorrel::apptest {
namespace {

using NewMaze = WindowTest;

struct GeometryRow {
    const char* width;
    const char* height;
    int squareSize;
    int inset;
    float fontSize;
    int originX;
    int originY;
};

// The known board geometries for a client area of 8880 x 7305 twips at 15 twips a pixel.
constexpr GeometryRow kGeometry[] = {
    {"10", "10", 375, 75, 8.5F, 2565, 1025},
    {"20", "20", 290, 58, static_cast<float>(96.0 / 15), 1540, 940},
    {"30", "20", 246, 49, static_cast<float>(82.0 / 15), 750, 896},
    {"50", "50", 116, 23, static_cast<float>(38.0 / 15), 1540, 766},
};

TEST_F(NewMaze, FitsTheBoardAsTheWorkedExamplesSay) {
    ASSERT_EQ(board().size(), QSize(592, 487));
    for (const GeometryRow& row : kGeometry) {
        SCOPED_TRACE(std::string(row.width) + " x " + row.height);
        newMaze(row.width, row.height);
        EXPECT_TRUE(messages.messages.empty());
        EXPECT_EQ(form().mazeWidth, std::stoi(row.width));
        EXPECT_EQ(form().mazeHeight, std::stoi(row.height));
        EXPECT_EQ(form().squareSize, row.squareSize);
        EXPECT_EQ(form().inset, row.inset);
        EXPECT_FLOAT_EQ(static_cast<float>(board().boardFont().pointSizeF()), row.fontSize);
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

struct Entry {
    const char* text;
    int side;  // the size NEW MAZE takes from it, 0 when it is refused
};

constexpr Entry kEntries[] = {
    {"", 0},      {"abc", 0},  {"1.4", 0},    {"0.5", 0}, {"1.5", 2},   {"2.5", 2},  {"3.5", 4},
    {"50.5", 50}, {"50.6", 0}, {"100000", 0}, {"-3", 0},  {" 2 0", 20}, {"1e1", 10},
};

TEST_F(NewMaze, AcceptsOrRefusesEachTypedSize) {
    for (const bool widthSide : {true, false}) {
        for (const Entry& entry : kEntries) {
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
