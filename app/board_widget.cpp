#include "board_widget.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace quorrel::app {

namespace {

constexpr double kTwipsPerInch = 1440;
// The pen of every line and box outline, in (device-independent) pixels.
constexpr double kPenWidth = 2;

int dotsPerMetre(int dpi) {
    return qRound(dpi / 0.0254);
}

// Button codes of the game: 1 left, 2 right, 4 middle, added up for several buttons.
int buttonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) {
        code |= 1;
    }
    if (buttons & Qt::RightButton) {
        code |= 2;
    }
    if (buttons & Qt::MiddleButton) {
        code |= 4;
    }
    return code;
}

// Shift state of the game: 1 shift, 2 control, 4 alt.
int shiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier) {
        code |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        code |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        code |= 4;
    }
    return code;
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPen wallPen(const QColor& colour) {
    return QPen(colour, kPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

}  // namespace

TwipsPerPixel twipsPerPixelOf(const QWidget& widget) {
    return {kTwipsPerInch / widget.logicalDpiX(), kTwipsPerInch / widget.logicalDpiY()};
}

QColor toQColor(Colour colour) {
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

Colour fromQColor(const QColor& colour) {
    return colour.blue() * 65536 + colour.green() * 256 + colour.red();
}

BoardWidget::BoardWidget(QWidget* parent) : QWidget(parent), font_(QApplication::font()) {
    setObjectName(QStringLiteral("board"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAccessibleName(tr("Maze board"));
    setAccessibleDescription(
        tr("Hold the left mouse button down on the gray entrance square and move through the "
           "maze to the gap in the bottom wall."));
    ensureImage();
}

void BoardWidget::ensureImage() {
    const qreal ratio = devicePixelRatioF();
    const QSize want = covered_.expandedTo(size()).expandedTo(QSize(1, 1));
    const int dpmX = dotsPerMetre(logicalDpiX());
    const int dpmY = dotsPerMetre(logicalDpiY());
    if (!image_.isNull() && want == covered_ && image_.devicePixelRatio() == ratio &&
        image_.dotsPerMeterX() == dpmX && image_.dotsPerMeterY() == dpmY) {
        return;
    }
    QImage next(static_cast<int>(std::ceil(want.width() * ratio)),
                static_cast<int>(std::ceil(want.height() * ratio)), QImage::Format_RGB32);
    next.setDevicePixelRatio(ratio);
    // Text on the image is sized at the screen's resolution, like text on the window.
    next.setDotsPerMeterX(dpmX);
    next.setDotsPerMeterY(dpmY);
    next.fill(toQColor(backgroundColour()));
    if (!image_.isNull()) {
        QPainter painter(&next);
        painter.drawImage(QPointF(0, 0), image_);
    }
    image_ = std::move(next);
    covered_ = want;
}

QPointF BoardWidget::toPixels(double x, double y) {
    const TwipsPerPixel px = twipsPerPixel();
    return {x / px.x, y / px.y};
}

QPointF BoardWidget::toTwips(const QPointF& pixels) {
    const TwipsPerPixel px = twipsPerPixel();
    return {pixels.x() * px.x, pixels.y() * px.y};
}

void BoardWidget::clear() {
    ensureImage();
    image_.fill(toQColor(backgroundColour()));
    update();
}

void BoardWidget::line(float x1, float y1, float x2, float y2, Colour colour) {
    ensureImage();
    QPainter painter(&image_);
    painter.setPen(wallPen(toQColor(colour)));
    painter.drawLine(toPixels(x1, y1), toPixels(x2, y2));
    update();
}

void BoardWidget::box(float x1, float y1, float x2, float y2, Colour colour) {
    ensureImage();
    const QColor qcolour = toQColor(colour);
    QPainter painter(&image_);
    painter.setPen(wallPen(qcolour));
    painter.setBrush(qcolour);
    painter.drawRect(QRectF(toPixels(x1, y1), toPixels(x2, y2)).normalized());
    update();
}

void BoardWidget::setFontSize(float points) {
    if (points > 0) {
        font_.setPointSizeF(points);
    }
}

TextExtent BoardWidget::measureText(std::string_view text) {
    ensureImage();
    const QFontMetricsF metrics(font_, &image_);
    const TwipsPerPixel px = twipsPerPixel();
    return {metrics.horizontalAdvance(toQString(text)) * px.x, metrics.height() * px.y};
}

void BoardWidget::printText(float x, float y, std::string_view text) {
    ensureImage();
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetricsF metrics(font_, &image_);
    painter.drawText(toPixels(x, y) + QPointF(0, metrics.ascent()), toQString(text));
    update();
}

ClientSize BoardWidget::clientSize() {
    const TwipsPerPixel px = twipsPerPixel();
    return {width() * px.x, height() * px.y};
}

TwipsPerPixel BoardWidget::twipsPerPixel() {
    return twipsPerPixelOf(*this);
}

Colour BoardWidget::backgroundColour() {
    return fromQColor(palette().color(QPalette::Window));
}

void BoardWidget::paintEvent(QPaintEvent* event) {
    ensureImage();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPointF(0, 0), image_);
}

void BoardWidget::resizeEvent(QResizeEvent* event) {
    ensureImage();
    QWidget::resizeEvent(event);
}

void BoardWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF at = toTwips(event->position());
    emit mousePressed(buttonCode(event->button()), shiftCode(event->modifiers()),
                      static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void BoardWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = toTwips(event->position());
    emit mouseMoved(buttonCode(event->buttons()), shiftCode(event->modifiers()),
                    static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void BoardWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = toTwips(event->position());
    emit mouseReleased(buttonCode(event->button()), shiftCode(event->modifiers()),
                       static_cast<float>(at.x()), static_cast<float>(at.y()));
}

}  // namespace quorrel::app
