// The board as the widget shows it on screens of any device pixel ratio (this file runs at 1,
// 2 and 1.5): walls with crisp edges and the pen's width in device pixels, labels rendered at
// the device's resolution; and the picture through shrinking and growing the window, with the
// next NEW MAZE fitted to the new size.

#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app_support.h"
#include "board/new_maze.h"
#include "ui/window.h"

namespace quorrel::apptest {
namespace {

// What the widget puts on the screen, one pixel per device pixel.
QImage shown(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

Colour colourOf(const QImage& image, int x, int y) {
    return app::fromQColor(image.pixelColor(x, y));
}

double ratioOf(const app::BoardWidget& board) {
    return board.devicePixelRatioF();
}

// A device pixel of the shown picture under a point given in twips.
QPoint deviceAt(const app::BoardWidget& board, double x, double y) {
    const TwipsPerPixel px = app::twipsPerPixelOf(board);
    const double ratio = ratioOf(board);
    return QPoint(static_cast<int>(std::floor(x / px.x * ratio)),
                  static_cast<int>(std::floor(y / px.y * ratio)));
}

// Across a wall at `at`, along x (a vertical wall) or y (a horizontal one), `reach` device
// pixels each way: every pixel must be black or the background, and the black ones one unbroken
// run. Gives the run's length, or -1 with `why` set when the crossing is not clean.
int blackRunAcross(const QImage& image, QPoint at, bool alongX, int reach, Colour background,
                   std::string& why) {
    std::optional<int> first;
    std::optional<int> last;
    for (int d = -reach; d <= reach; ++d) {
        const QPoint p = alongX ? QPoint(at.x() + d, at.y()) : QPoint(at.x(), at.y() + d);
        const Colour c = colourOf(image, p.x(), p.y());
        if (c == kBlack) {
            if (last && *last != d - 1) {
                why = "two black runs";
                return -1;
            }
            if (!first) {
                first = d;
            }
            last = d;
        } else if (c != background) {
            char text[64];
            std::snprintf(text, sizeof text, "colour %06X at offset %d", static_cast<unsigned>(c),
                          d);
            why = text;
            return -1;
        }
    }
    return first ? *last - *first + 1 : 0;
}

using BoardImageSharpness = WindowTest;

TEST_F(BoardImageSharpness, EveryWallIsTwoPixelsOfPureBlackWithNoFringe) {
    newMaze("10", "10");
    ASSERT_TRUE(messages.messages.empty());
    ASSERT_TRUE(form().exitMade);
    const QImage image = shown(board());
    const double ratio = ratioOf(board());
    ASSERT_EQ(image.width(), qRound(board().width() * ratio));
    const Colour background = board().backgroundColour();
    const Mazeform& f = form();
    const double s = f.squareSize;
    // Half a square each way reaches no other wall and no painted square.
    const int reach = static_cast<int>(std::floor(s / 15 * ratio / 2)) - 1;
    const int width = static_cast<int>(std::lround(2 * ratio));
    int walls = 0;
    const auto check = [&](double x, double y, bool vertical, int c, int r) {
        std::string why;
        const int run =
            blackRunAcross(image, deviceAt(board(), x, y), vertical, reach, background, why);
        ++walls;
        EXPECT_EQ(run, width) << (vertical ? "vertical" : "horizontal") << " wall of square (" << c
                              << ", " << r << ") " << why;
    };
    for (int r = 1; r <= f.mazeHeight; ++r) {
        check(f.originX, f.originY + (r - 0.5) * s, true, 0, r);
        for (int c = 1; c <= f.mazeWidth; ++c) {
            if (!f.opensRight(c, r)) {
                check(f.originX + c * s, f.originY + (r - 0.5) * s, true, c, r);
            }
            if (!f.opensDown(c, r)) {
                check(f.originX + (c - 0.5) * s, f.originY + r * s, false, c, r);
            }
        }
    }
    for (int c = 1; c <= f.mazeWidth; ++c) {
        if (c != f.entryCol) {
            check(f.originX + (c - 0.5) * s, f.originY, false, c, 0);
        }
    }
    // A 10 by 10 maze opens 99 of its 180 inner sides; its borders are closed but for the
    // entrance and the exit.
    EXPECT_EQ(walls, (180 - 99) + 10 + 10 + (10 - 1) + (10 - 1));
}

// The dark marks of text drawn in a square whose box is painted `paper`.
struct Ink {
    int dark = 0;          // pixels darker than the paper
    int fullyDark = 0;     // pixels as dark as the pen (at most a few levels off black)
    int splitLogical = 0;  // logical pixels whose device pixels are not all alike
};

Ink inkIn(const QImage& image, const QRect& box, Colour paper, double ratio) {
    Ink ink;
    const int paperGray = qGray(image.pixel(box.topLeft()));
    EXPECT_EQ(colourOf(image, box.left(), box.top()), paper);
    // Device pixels grouped by the logical pixel their centres fall in.
    std::map<std::pair<int, int>, std::vector<QRgb>> logical;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qGray(p) < paperGray) {
                ++ink.dark;
            }
            if (qGray(p) <= 8) {
                ++ink.fullyDark;
            }
            const auto key = std::pair{static_cast<int>(std::floor((x + 0.5) / ratio)),
                                       static_cast<int>(std::floor((y + 0.5) / ratio))};
            logical[key].push_back(p);
        }
    }
    for (const auto& [where, pixels] : logical) {
        for (const QRgb p : pixels) {
            if (p != pixels.front()) {
                ++ink.splitLogical;
                break;
            }
        }
    }
    return ink;
}

// The painted box of a square in device pixels, a little inside the box's outline.
QRect boxOf(const app::BoardWidget& board, const Mazeform& f, Square s) {
    const double right = f.originX + s.col * f.squareSize - f.inset;
    const double bottom = f.originY + s.row * f.squareSize - f.inset;
    const double left = right - f.squareSize + 2 * f.inset;
    const double top = bottom - f.squareSize + 2 * f.inset;
    const QPoint a = deviceAt(board, left, top);
    const QPoint b = deviceAt(board, right, bottom);
    const int margin = static_cast<int>(std::ceil(ratioOf(board))) + 1;
    return QRect(a, b).adjusted(margin, margin, -margin - 1, -margin - 1);
}

// Checks a label drawn on a box of colour `paper`; gives its number of fully dark pixels.
int expectSharpLabel(const QImage& image, const QRect& box, Colour paper, double ratio,
                     const std::string& what) {
    SCOPED_TRACE(what);
    const Ink ink = inkIn(image, box, paper, ratio);
    EXPECT_GT(ink.dark, 4) << "no label";
    if (ratio > 1) {
        // Stems a logical pixel wide cover whole device pixels: black, not a blurred gray.
        EXPECT_GT(ink.fullyDark, 0) << "no pixel of the label is black: blurred";
        // A label drawn at one pixel per logical pixel and scaled up would repeat each logical
        // pixel over the device pixels under it.
        EXPECT_GT(ink.splitLogical, 0) << "no detail finer than a logical pixel";
    }
    return ink.fullyDark;
}

TEST_F(BoardImageSharpness, SolveLettersAreDrawnAtTheDevicesResolution) {
    newMaze("10", "10");
    ASSERT_TRUE(form().exitMade);
    action("cheat").trigger();
    const QImage image = shown(board());
    const double ratio = ratioOf(board());
    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 4U);
    int fullyDark = 0;
    for (std::size_t i = 1; i < route.size() && i <= 6; ++i) {
        fullyDark += expectSharpLabel(image, boxOf(board(), form(), route[i]), kPlayerBlue, ratio,
                                      "letter of path square " + std::to_string(i));
    }
    // Even at one device pixel a logical pixel, some of the letters' stems are black.
    EXPECT_GT(fullyDark, 0);
}

TEST_F(BoardImageSharpness, PassCountsAreDrawnAtTheDevicesResolution) {
    newMaze("10", "10");
    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 5U);
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    for (std::size_t i = 1; i <= 4; ++i) {
        QTest::mouseMove(&board(), centreOf(route[i]));
    }
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(route[4]));
    ASSERT_EQ(form().moveCount, 4);
    const QImage image = shown(board());
    // Squares 1 to 3 of the walk are green with the count 1; square 4 is the player's.
    int fullyDark = 0;
    for (std::size_t i = 1; i <= 3; ++i) {
        fullyDark +=
            expectSharpLabel(image, boxOf(board(), form(), route[i]), kTrailGreen, ratioOf(board()),
                             "count of walked square " + std::to_string(i));
    }
    EXPECT_GT(fullyDark, 0);
}

using BoardImageResizing = WindowTest;

// A partly walked 20 by 20 maze: walls, green squares with their counts, the player's square.
void walkPartly(app::BoardWidget& board, const Mazeform& f,
                const std::function<QPoint(Square)>& centre) {
    const std::vector<Square> route = wayOut(f);
    ASSERT_GE(route.size(), 8U);
    QTest::mousePress(&board, Qt::LeftButton, {}, centre(route[0]));
    for (std::size_t i = 1; i < 8; ++i) {
        QTest::mouseMove(&board, centre(route[i]));
    }
    QTest::mouseRelease(&board, Qt::LeftButton, {}, centre(route[7]));
}

TEST_F(BoardImageResizing, ShrinkingAndGrowingBackNeverLosesOrDistortsThePicture) {
    newMaze("20", "20");
    ASSERT_TRUE(wallMismatches(board(), form(), board().backgroundColour()).empty());
    walkPartly(board(), form(), [this](Square s) { return centreOf(s); });
    ASSERT_EQ(form().moveCount, 7);
    const QImage before = shown(board());
    const QSize boardBefore = board().size();
    const QSize windowBefore = window->size();
    const double ratio = ratioOf(board());

    // Down to the board's smallest size: what is still shown is the same picture, unscaled.
    window->resize(windowBefore - (boardBefore - board().minimumSize()));
    QApplication::processEvents();
    ASSERT_EQ(board().size(), board().minimumSize());
    const QImage small = shown(board());
    ASSERT_EQ(small.size(),
              QSize(qRound(board().width() * ratio), qRound(board().height() * ratio)));
    EXPECT_EQ(small, before.copy(QRect(QPoint(0, 0), small.size())));

    // Back to the old size: the whole picture, pixel for pixel.
    window->resize(windowBefore);
    QApplication::processEvents();
    ASSERT_EQ(board().size(), boardBefore);
    EXPECT_EQ(shown(board()), before);

    // Larger, then back again: the picture is kept, and the new room is background.
    window->resize(windowBefore + QSize(200, 150));
    QApplication::processEvents();
    const QImage large = shown(board());
    EXPECT_EQ(large.copy(QRect(QPoint(0, 0), before.size())), before);
    EXPECT_EQ(colourOf(large, large.width() - 3, large.height() - 3), board().backgroundColour());
    window->resize(windowBefore);
    QApplication::processEvents();
    EXPECT_EQ(shown(board()), before);
}

TEST_F(BoardImageResizing, NewMazeAfterShrinkingFitsTheSmallerBoard) {
    newMaze("20", "20");
    const Int designSquare = form().squareSize;
    window->resize(window->size() - QSize(120, 250));
    QApplication::processEvents();
    const ClientSize client = board().clientSize();
    ASSERT_LT(client.height, kClientHeight);
    newMaze("20", "20");
    ASSERT_TRUE(messages.messages.empty());
    const std::optional<Geometry> fitted = fitBoard(20, 20, client, board().twipsPerPixel());
    ASSERT_TRUE(fitted);
    EXPECT_EQ(form().squareSize, fitted->squareSize);
    EXPECT_EQ(form().originX, fitted->originX);
    EXPECT_EQ(form().originY, fitted->originY);
    EXPECT_LT(form().squareSize, designSquare);
    // The whole maze, the square below the exit included, lies on the board, centred.
    EXPECT_GE(form().originX, 0);
    EXPECT_LE(form().originX + 20 * form().squareSize, client.width);
    EXPECT_LE(form().originY + 21 * form().squareSize, client.height);
    EXPECT_NEAR(form().originX, client.width - (form().originX + 20 * form().squareSize), 1);
    const auto wrong = wallMismatches(board(), form(), board().backgroundColour());
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " differences";
    // And the widget shows it as drawn.
    const QImage image = shown(board());
    const QImage& kept = board().image();
    EXPECT_EQ(image.copy(0, image.height() / 2, image.width(), image.height() / 2),
              kept.copy(0, image.height() / 2, image.width(), image.height() / 2)
                  .convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace quorrel::apptest
