#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QFontMetricsF;

namespace quorrel::app {

// The picture of the board: an image at the screen's device pixel ratio with one painter kept
// open on it for a whole burst of drawing (opening a painter costs more than drawing a wall).
// Lines in a row of one colour are gathered and drawn by one call when anything else is drawn
// or the picture is read; the pixels are the same as drawing them one by one.
//
// Coordinates are device-independent pixels. Every drawing call returns the area it may have
// changed, so that the widget can repaint just that.
class BoardCanvas {
  public:
    // Lines and box outlines: this many pixels wide, square ends, mitred corners.
    static constexpr double kPenWidth = 2;

    BoardCanvas() = default;
    BoardCanvas(const BoardCanvas&) = delete;
    BoardCanvas& operator=(const BoardCanvas&) = delete;

    // True until the first cover().
    bool isNull() const { return image_.isNull(); }
    // The area the image covers, in device-independent pixels.
    QSize covered() const { return covered_; }
    // True while a burst of drawing is under way: a painter is open on the image or lines wait
    // to be drawn.
    bool drawing() const { return painter_.isActive() || !pending_.empty(); }

    // Makes the image cover at least `size` at `ratio` and the given resolution (which sizes
    // text in points), keeping what is drawn; a new area starts in `background`.
    void cover(QSize size, qreal ratio, int dotsPerMeterX, int dotsPerMeterY,
               const QColor& background);

    // Paints the whole image in one colour. Gives the area that changed: only what was drawn
    // since the last fill, when the image was all that colour but for it.
    QRectF fill(const QColor& colour);
    // Each drawing gives the area it may have changed.
    QRectF line(const QPointF& from, const QPointF& to, const QColor& colour);
    // A box between two opposite corners, outline and interior in one colour.
    QRectF box(const QPointF& corner, const QPointF& opposite, const QColor& colour);
    // Text with its top-left corner at `topLeft`, in black on a transparent background;
    // `metrics` are the font's on this image and `advance` the text's width by them.
    QRectF text(const QPointF& topLeft, const QString& text, const QFont& font,
                const QFontMetricsF& metrics, double advance);

    // Ends the burst: draws the lines waiting and closes the painter.
    void settle();
    // The picture with everything drawn so far (ends the burst).
    const QImage& image();
    // The image as a device to measure text on, without ending the burst; its pixels may not
    // show the latest lines yet.
    const QImage& device() const { return image_; }

  private:
    enum class Pen { None, Wall, Text };

    QPainter& painter();
    void drawPendingLines();
    void useWallPen(const QColor& colour);
    // Notes an area drawn on.
    QRectF inked(const QRectF& area);

    QImage image_;
    QSize covered_;
    QPainter painter_;
    Pen pen_ = Pen::None;
    QColor penColour_;
    QFont font_;
    bool fontSet_ = false;
    std::vector<QLineF> pending_;
    QColor pendingColour_;
    // The one colour of every pixel outside ink_, unless there are several.
    std::optional<QColor> plain_;
    QRectF ink_;  // all drawn since the last fill
};

}  // namespace quorrel::app
