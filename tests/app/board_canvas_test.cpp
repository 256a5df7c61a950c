// The board's canvas on its own: lines gathered and drawn together give the pixels of lines
// drawn one by one at any pixel ratio, every drawing gives an area holding every pixel it
// changed, and a fill gives just the area drawn on since the last fill.

#include "board_canvas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace quorrel::apptest {
namespace {

using app::BoardCanvas;

constexpr int kDotsPerMetre = 3780;  // 96 dots per inch
const QColor kPaper(0xF0, 0xF0, 0xF0);

// Pixels of `after` that differ from `before` and lie outside `area` (device-independent
// pixels, on an image of the given ratio).
int changedOutside(const QImage& before, const QImage& after, const QRectF& area, double ratio) {
    int outside = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y)) {
                continue;
            }
            // The device pixel, in device-independent pixels.
            const QRectF pixel(x / ratio, y / ratio, 1 / ratio, 1 / ratio);
            outside += !area.intersects(pixel);
        }
    }
    return outside;
}

TEST(BoardImageCanvas, LinesDrawnTogetherAreTheLinesDrawnOneByOneAtAnyPixelRatio) {
    std::mt19937 random(7);
    const QPen black(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    const QPen green(QColor(0, 0xFF, 0x88), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
        SCOPED_TRACE(ratio);
        BoardCanvas canvas;
        canvas.cover(QSize(300, 200), ratio, kDotsPerMetre, kDotsPerMetre, kPaper);
        canvas.fill(kPaper);
        QImage plain = canvas.image().copy();
        // Walls of squares of 116 twips at 15 twips a pixel, from an origin in whole twips, in
        // two colours with runs of each.
        const double s = 116 / 15.0;
        for (int i = 0; i < 400; ++i) {
            const double x = (random() % 3000) / 15.0 + 10;
            const double y = (random() % 2000) / 15.0 + 10;
            const QLineF line = random() % 2 ? QLineF(x, y, x + s, y) : QLineF(x, y, x, y + s);
            const bool isGreen = (i / 17) % 3 == 2;
            canvas.line(line.p1(), line.p2(), isGreen ? green.color() : Qt::black);
            QPainter painter(&plain);
            painter.setPen(isGreen ? green : black);
            painter.drawLine(line);
        }
        EXPECT_EQ(canvas.image(), plain);
    }
}

TEST(BoardImageCanvas, EveryDrawingGivesAnAreaHoldingEveryPixelItChanged) {
    std::mt19937 random(11);
    QFont font = QApplication::font();
    for (const double ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        BoardCanvas canvas;
        canvas.cover(QSize(400, 300), ratio, kDotsPerMetre, kDotsPerMetre, kPaper);
        for (int i = 0; i < 60; ++i) {
            const QImage before = canvas.image().copy();
            const QPointF at((random() % 3000) / 10.0 + 20, (random() % 2000) / 10.0 + 20);
            const QPointF to = at + QPointF((random() % 800) / 10.0, (random() % 800) / 10.0);
            QRectF area;
            switch (i % 3) {
                case 0:
                    area = canvas.line(at, QPointF(to.x(), at.y()), Qt::black);
                    break;
                case 1:
                    area = canvas.box(to, at, QColor(0xFF, 0x88, 0));
                    break;
                default: {
                    font.setPointSizeF(2 + (random() % 100) / 10.0);
                    const QFontMetricsF metrics(font, &canvas.device());
                    const QString text = QString::number(random() % 1000) + QChar('a' + i % 26);
                    area = canvas.text(at, text, font, metrics, metrics.horizontalAdvance(text));
                    break;
                }
            }
            EXPECT_EQ(changedOutside(before, canvas.image(), area, ratio), 0) << "drawing " << i;
        }
    }
}

TEST(BoardImageCanvas, AFillGivesWhatWasDrawnSinceTheLastFillOrEverythingInANewColour) {
    BoardCanvas canvas;
    EXPECT_TRUE(canvas.isNull());
    canvas.cover(QSize(200, 100), 1, kDotsPerMetre, kDotsPerMetre, kPaper);
    EXPECT_FALSE(canvas.isNull());
    EXPECT_TRUE(canvas.fill(kPaper).isEmpty());  // nothing drawn yet

    const QRectF line = canvas.line(QPointF(10, 10), QPointF(50, 10), Qt::black);
    const QRectF box = canvas.box(QPointF(100, 60), QPointF(120, 80), Qt::green);
    EXPECT_EQ(canvas.fill(kPaper), line.united(box));
    EXPECT_TRUE(canvas.fill(kPaper).isEmpty());
    EXPECT_EQ(canvas.image().pixelColor(30, 10), kPaper);

    canvas.line(QPointF(10, 10), QPointF(50, 10), Qt::black);
    EXPECT_EQ(canvas.fill(Qt::white), QRectF(0, 0, 200, 100));
    EXPECT_EQ(canvas.image().pixelColor(30, 10), QColor(Qt::white));
    EXPECT_EQ(canvas.image().pixelColor(199, 99), QColor(Qt::white));
}

TEST(BoardImageCanvas, GrowingInAnotherColourMakesTheNextFillChangeEverything) {
    BoardCanvas canvas;
    canvas.cover(QSize(100, 100), 1, kDotsPerMetre, kDotsPerMetre, kPaper);
    canvas.cover(QSize(150, 120), 1, kDotsPerMetre, kDotsPerMetre, Qt::white);
    EXPECT_EQ(canvas.covered(), QSize(150, 120));
    EXPECT_EQ(canvas.fill(kPaper), QRectF(0, 0, 150, 120));
    // Growing in the same colour keeps the fill to what was drawn.
    canvas.cover(QSize(160, 130), 1, kDotsPerMetre, kDotsPerMetre, kPaper);
    EXPECT_TRUE(canvas.fill(kPaper).isEmpty());
}

TEST(BoardImageCanvas, ABurstLastsUntilThePictureIsReadOrSettled) {
    BoardCanvas canvas;
    canvas.cover(QSize(100, 100), 2, kDotsPerMetre, kDotsPerMetre, kPaper);
    EXPECT_FALSE(canvas.drawing());
    canvas.line(QPointF(10, 50), QPointF(90, 50), Qt::black);
    EXPECT_TRUE(canvas.drawing());  // the line waits
    EXPECT_EQ(canvas.image().pixelColor(100, 100), QColor(Qt::black));
    EXPECT_FALSE(canvas.drawing());
    canvas.box(QPointF(10, 10), QPointF(20, 20), Qt::green);
    EXPECT_TRUE(canvas.drawing());  // the painter stays open
    canvas.settle();
    EXPECT_FALSE(canvas.drawing());
    EXPECT_EQ(canvas.image().pixelColor(30, 30), QColor(Qt::green));
    // Growing keeps what was drawn, at the same place.
    canvas.line(QPointF(10, 80), QPointF(90, 80), Qt::black);
    canvas.cover(QSize(140, 140), 2, kDotsPerMetre, kDotsPerMetre, kPaper);
    EXPECT_EQ(canvas.image().pixelColor(100, 160), QColor(Qt::black));
    EXPECT_EQ(canvas.image().pixelColor(30, 30), QColor(Qt::green));
    EXPECT_EQ(canvas.image().size(), QSize(280, 280));
}

}  // namespace
}  // namespace quorrel::apptest
