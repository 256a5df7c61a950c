// The board's picture: the walls on the image match the maze, the drawing primitives cover
// what they should, and the picture survives hiding, minimising and resizing the window.
// These tests run at device pixel ratios of 1, 2 and 1.5.

#include "app_support.h"

namespace quorrel::apptest {
namespace {

using BoardImage = WindowTest;

std::string firstFew(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i) {
        text += lines[i] + "\n";
    }
    return text;
}

TEST_F(BoardImage, HasTheScreensPixelRatioAndCoversTheBoard) {
    const QImage& image = board().image();
    const qreal ratio = board().devicePixelRatioF();
    EXPECT_EQ(image.devicePixelRatio(), ratio);
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QLatin1String("2")) {
        EXPECT_EQ(ratio, 2.0);
    }
    EXPECT_GE(image.width(), board().width() * ratio);
    EXPECT_GE(image.height(), board().height() * ratio);
}

TEST_F(BoardImage, WallsOfATenByTenMazeAreWhereTheMazeSaysAndTheEntranceIsGray) {
    newMaze("10", "10");
    ASSERT_TRUE(messages.messages.empty());
    const auto wrong = wallMismatches(board(), form(), board().backgroundColour());
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " differences, first:\n" << firstFew(wrong);
}

TEST_F(BoardImage, WallsOfAFiftyByFiftyMazeAreWhereTheMazeSays) {
    newMaze("50", "50");
    ASSERT_TRUE(messages.messages.empty());
    ASSERT_EQ(form().squareSize, 116);
    const auto wrong = wallMismatches(board(), form(), board().backgroundColour());
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " differences, first:\n" << firstFew(wrong);
}

TEST_F(BoardImage, WallsOfMazesOfOtherShapesAndOfANewMazeOverAnOldOne) {
    for (const auto& [w, h] : {std::pair{"20", "20"}, std::pair{"30", "20"}, std::pair{"2", "2"},
                               std::pair{"40", "5"}, std::pair{"20", "20"}}) {
        SCOPED_TRACE(std::string(w) + " x " + h);
        newMaze(w, h);
        ASSERT_TRUE(messages.messages.empty());
        const auto wrong = wallMismatches(board(), form(), board().backgroundColour());
        EXPECT_TRUE(wrong.empty()) << wrong.size() << " differences, first:\n" << firstFew(wrong);
    }
}

TEST_F(BoardImage, ExitIsAGapInTheBottomWall) {
    newMaze("10", "10");
    ASSERT_TRUE(form().exitMade);
    int exits = 0;
    for (int c = 1; c <= form().mazeWidth; ++c) {
        const double x = form().originX + (c - 0.5) * form().squareSize;
        const double y = form().originY + form().mazeHeight * form().squareSize;
        const bool open = form().opensDown(c, form().mazeHeight);
        exits += open;
        EXPECT_EQ(colourAt(board(), x, y), open ? board().backgroundColour() : kBlack) << c;
    }
    EXPECT_EQ(exits, 1);
}

TEST_F(BoardImage, PenIsTwoPixelsWide) {
    newMaze("10", "10");
    // Across the maze's left edge, halfway down row 1, nothing else is drawn nearby.
    const double ratio = board().image().devicePixelRatio();
    const QPoint middle =
        devicePixel(board(), form().originX, form().originY + form().squareSize / 2.0);
    int black = 0;
    for (int x = middle.x() - 6; x <= middle.x() + 6; ++x) {
        black += colourAt(board(), QPoint(x, middle.y())) == kBlack;
    }
    EXPECT_EQ(black, static_cast<int>(2 * ratio));
}

TEST_F(BoardImage, FilledBoxCoversItsRectangleAndOutlineInOneColour) {
    board().clear();
    // A box 10 by 6 pixels with its corners given the wrong way round.
    board().box(150 * 15, 86 * 15, 140 * 15, 80 * 15, kPlayerBlue);
    const double ratio = board().image().devicePixelRatio();
    const QRect inner(QPoint(static_cast<int>(140 * ratio), static_cast<int>(80 * ratio)),
                      QPoint(static_cast<int>(150 * ratio) - 1, static_cast<int>(86 * ratio) - 1));
    // Half the pen's width lies outside the rectangle on each side: `ratio` device pixels,
    // which at a fractional ratio may come out one pixel either way.
    const int sure = static_cast<int>(std::floor(ratio));
    const int most = static_cast<int>(std::ceil(ratio));
    const QRect must = inner.adjusted(-sure, -sure, sure, sure);
    const QRect may = inner.adjusted(-most, -most, most, most);
    const QImage& image = board().image();
    for (int y = may.top() - 3; y <= may.bottom() + 3; ++y) {
        for (int x = may.left() - 3; x <= may.right() + 3; ++x) {
            const Colour got = app::fromQColor(image.pixelColor(x, y));
            if (must.contains(x, y)) {
                ASSERT_EQ(got, kPlayerBlue) << x << "," << y;
            } else if (!may.contains(x, y)) {
                ASSERT_EQ(got, board().backgroundColour()) << x << "," << y;
            } else {
                ASSERT_TRUE(got == kPlayerBlue || got == board().backgroundColour())
                    << x << "," << y;
            }
        }
    }
}

TEST_F(BoardImage, TextIsBlackWithItsTopLeftAtThePointAndMeasuredInTwips) {
    board().clear();
    board().setFontSize(12);
    const TextExtent extent = board().measureText("88");
    EXPECT_GT(extent.width, 15 * 8);
    EXPECT_GT(extent.height, 15 * 12);
    const float x = 150 * 15;
    const float y = 100 * 15;
    board().printText(x, y, "88");
    const QImage& image = board().image();
    const double ratio = image.devicePixelRatio();
    const QRect area(QPoint(static_cast<int>(150 * ratio), static_cast<int>(100 * ratio)),
                     QSize(static_cast<int>(std::ceil(extent.width / 15 * ratio)),
                           static_cast<int>(std::ceil(extent.height / 15 * ratio))));
    int inside = 0;
    int outside = 0;
    for (int py = area.top() - 20; py <= area.bottom() + 20; ++py) {
        for (int pxl = area.left() - 20; pxl <= area.right() + 20; ++pxl) {
            const bool dark = qGray(image.pixel(pxl, py)) < 64;
            (area.contains(pxl, py) ? inside : outside) += dark;
        }
    }
    EXPECT_GT(inside, 10);
    EXPECT_EQ(outside, 0);
}

TEST_F(BoardImage, SurvivesHidingAndShowingAndMinimising) {
    newMaze("20", "20");
    const QImage drawn = board().image();
    window->hide();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(board().image(), drawn);
    window->showMinimized();
    QApplication::processEvents();
    window->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(board().image(), drawn);
    EXPECT_TRUE(wallMismatches(board(), form(), board().backgroundColour()).empty());
}

TEST_F(BoardImage, WidgetShowsThePictureItKeeps) {
    newMaze("20", "20");
    const QImage shown = board().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& kept = board().image();
    ASSERT_EQ(shown.size(), QSize(qRound(board().width() * kept.devicePixelRatio()),
                                  qRound(board().height() * kept.devicePixelRatio())));
    // Below the strip of controls, the widget shows exactly the kept picture.
    const int strip = static_cast<int>(40 * kept.devicePixelRatio());
    int differ = 0;
    for (int y = strip; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            differ += shown.pixel(x, y) != kept.pixel(x, y);
        }
    }
    EXPECT_EQ(differ, 0);
}

TEST_F(BoardImage, GrowingTheWindowGrowsThePictureAndKeepsWhatIsDrawn) {
    newMaze("20", "20");
    const QImage drawn = board().image();
    const QSize before = board().size();
    window->resize(window->width() + 150, window->height() + 120);
    QApplication::processEvents();
    ASSERT_EQ(board().size(), before + QSize(150, 120));
    const QImage& grown = board().image();
    const double ratio = grown.devicePixelRatio();
    EXPECT_GE(grown.width(), board().width() * ratio);
    EXPECT_GE(grown.height(), board().height() * ratio);
    EXPECT_EQ(grown.copy(QRect(QPoint(0, 0), drawn.size())), drawn);
    EXPECT_EQ(app::fromQColor(grown.pixelColor(grown.width() - 2, grown.height() - 2)),
              board().backgroundColour());
    // Shrinking and growing again brings the same picture back.
    window->resize(window->width() - 250, window->height() - 200);
    QApplication::processEvents();
    window->resize(window->width() + 250, window->height() + 200);
    QApplication::processEvents();
    EXPECT_EQ(board().image().copy(QRect(QPoint(0, 0), drawn.size())), drawn);
    EXPECT_TRUE(wallMismatches(board(), form(), board().backgroundColour()).empty());
}

TEST_F(BoardImage, NewMazeOnAGrownWindowFitsTheNewClientArea) {
    window->resize(window->width() + 300, window->height() + 300);
    QApplication::processEvents();
    newMaze("50", "50");
    ASSERT_TRUE(messages.messages.empty());
    const ClientSize client = board().clientSize();
    EXPECT_DOUBLE_EQ(client.width, (592 + 300) * 15);
    EXPECT_EQ(form().squareSize, static_cast<int>(std::floor((client.height - 1500) / 50)));
    const auto wrong = wallMismatches(board(), form(), board().backgroundColour());
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " differences, first:\n" << firstFew(wrong);
}

}  // namespace
}  // namespace quorrel::apptest
