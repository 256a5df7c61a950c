#include "board_canvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <cmath>

namespace quorrel::app {

void BoardCanvas::cover(QSize size, qreal ratio, int dotsPerMeterX, int dotsPerMeterY,
                        const QColor& background) {
    const QSize want = covered_.expandedTo(size).expandedTo(QSize(1, 1));
    if (!image_.isNull() && want == covered_ && image_.devicePixelRatio() == ratio &&
        image_.dotsPerMeterX() == dotsPerMeterX && image_.dotsPerMeterY() == dotsPerMeterY) {
        return;
    }
    settle();
    QImage next(static_cast<int>(std::ceil(want.width() * ratio)),
                static_cast<int>(std::ceil(want.height() * ratio)), QImage::Format_RGB32);
    next.setDevicePixelRatio(ratio);
    next.setDotsPerMeterX(dotsPerMeterX);
    next.setDotsPerMeterY(dotsPerMeterY);
    next.fill(background);
    if (image_.isNull()) {
        plain_ = background;
    } else {
        QPainter copier(&next);
        copier.drawImage(QPointF(0, 0), image_);
        if (plain_ != background) {
            plain_.reset();
        }
    }
    image_ = std::move(next);
    covered_ = want;
}

QPainter& BoardCanvas::painter() {
    if (!painter_.isActive()) {
        painter_.begin(&image_);
        painter_.setBackgroundMode(Qt::TransparentMode);
        pen_ = Pen::None;
        fontSet_ = false;
    }
    return painter_;
}

void BoardCanvas::useWallPen(const QColor& colour) {
    if (pen_ != Pen::Wall || penColour_ != colour) {
        painter_.setPen(QPen(colour, kPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        pen_ = Pen::Wall;
        penColour_ = colour;
    }
}

void BoardCanvas::drawPendingLines() {
    if (pending_.empty()) {
        return;
    }
    painter();
    useWallPen(pendingColour_);
    painter_.drawLines(pending_.data(), static_cast<int>(pending_.size()));
    pending_.clear();
}

void BoardCanvas::settle() {
    drawPendingLines();
    if (painter_.isActive()) {
        painter_.end();
    }
}

const QImage& BoardCanvas::image() {
    settle();
    return image_;
}

QRectF BoardCanvas::fill(const QColor& colour) {
    // Whatever waits to be drawn would be painted over.
    pending_.clear();
    settle();
    image_.fill(colour);
    const QRectF changed = plain_ == colour ? ink_ : QRectF(QPointF(0, 0), covered_);
    plain_ = colour;
    ink_ = QRectF();
    return changed;
}

QRectF BoardCanvas::inked(const QRectF& area) {
    ink_ |= area;
    return area;
}

QRectF BoardCanvas::line(const QPointF& from, const QPointF& to, const QColor& colour) {
    if (!pending_.empty() && pendingColour_ != colour) {
        drawPendingLines();
    }
    pendingColour_ = colour;
    pending_.emplace_back(from, to);
    return inked(
        QRectF(from, to).normalized().adjusted(-kPenWidth, -kPenWidth, kPenWidth, kPenWidth));
}

QRectF BoardCanvas::box(const QPointF& corner, const QPointF& opposite, const QColor& colour) {
    drawPendingLines();
    QPainter& p = painter();
    useWallPen(colour);
    p.setBrush(colour);
    const QRectF rect = QRectF(corner, opposite).normalized();
    p.drawRect(rect);
    return inked(rect.adjusted(-kPenWidth, -kPenWidth, kPenWidth, kPenWidth));
}

QRectF BoardCanvas::text(const QPointF& topLeft, const QString& text, const QFont& font,
                         const QFontMetricsF& metrics, double advance) {
    drawPendingLines();
    QPainter& p = painter();
    if (pen_ != Pen::Text) {
        p.setPen(Qt::black);
        pen_ = Pen::Text;
    }
    if (!fontSet_ || font_ != font) {
        p.setFont(font);
        font_ = font;
        fontSet_ = true;
    }
    p.drawText(topLeft + QPointF(0, metrics.ascent()), text);
    // Glyphs may reach a little outside their advance and line height; half a line each way
    // covers every overhang and the smoothing of their edges.
    const double height = metrics.height();
    const double margin = height / 2 + 1;
    return inked(
        QRectF(topLeft, QSizeF(advance, height)).adjusted(-margin, -margin, margin, margin));
}

}  // namespace quorrel::app
