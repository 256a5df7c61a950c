#include "board_widget.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <initializer_list>
#include <string_view>

#include "qt_text.h"
#include "ui/commands.h"
#include "ui/window.h"

namespace quorrel::app {

namespace {

constexpr double kTwipsPerInch = 1440;

int dotsPerMetre(int dpi) {
    return qRound(dpi / 0.0254);
}

// The game's code for Qt's flags: bit i for flag i of `flags`, added up for several held.
template <typename Flags>
int codeOf(Flags held, std::initializer_list<typename Flags::enum_type> flags) {
    int code = 0;
    int bit = 1;
    for (auto flag : flags) {
        code |= held.testFlag(flag) ? bit : 0;
        bit <<= 1;
    }
    return code;
}

// Button codes of the game: 1 left, 2 right, 4 middle; shift state: 1 shift, 2 control, 4 alt.
int buttonCode(Qt::MouseButtons buttons) {
    return codeOf(buttons, {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton});
}
int shiftCode(Qt::KeyboardModifiers modifiers) {
    return codeOf(modifiers, {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier});
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
    // The last stop of the Tab chain; a click on the board leaves the focus where it is.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(toQString(kBoardName));
    setAccessibleDescription(toQString(kBoardHelp));
}

void BoardWidget::ensureImage() const {
    // The image's resolution is the screen's, so that text on it is sized like text on the
    // window.
    canvas_.cover(size(), devicePixelRatioF(), dotsPerMetre(logicalDpiX()),
                  dotsPerMetre(logicalDpiY()), palette().color(QPalette::Window));
}

const QImage& BoardWidget::image() const {
    ensureImage();
    return canvas_.image();
}

BoardCanvas& BoardWidget::canvas() {
    if (!canvas_.drawing()) {
        ensureImage();
        scale_ = twipsPerPixel();
    }
    return canvas_;
}

const QFontMetricsF& BoardWidget::metrics() {
    const QImage& device = canvas().device();
    if (!metrics_ || metricsDpmX_ != device.dotsPerMeterX() ||
        metricsDpmY_ != device.dotsPerMeterY()) {
        metrics_.emplace(font_, &device);
        metricsDpmX_ = device.dotsPerMeterX();
        metricsDpmY_ = device.dotsPerMeterY();
        measured_.clear();
    }
    return *metrics_;
}

double BoardWidget::advanceOf(const QString& text) {
    const QFontMetricsF& m = metrics();
    if (measured_.isEmpty() || text != measured_) {
        measuredAdvance_ = m.horizontalAdvance(text);
        measured_ = text;
    }
    return measuredAdvance_;
}

QPointF BoardWidget::toPixels(double x, double y) const {
    return {x / scale_.x, y / scale_.y};
}

QPointF BoardWidget::toTwips(const QPointF& pixels) {
    const TwipsPerPixel px = twipsPerPixel();
    return {pixels.x() * px.x, pixels.y() * px.y};
}

void BoardWidget::drawn(const QRectF& area) {
    if (area.isEmpty() || dirtyArea_.contains(area)) {
        return;
    }
    // A pixel more each way for the rounding of fractional pixel ratios.
    dirty_ |= area.toAlignedRect().adjusted(-1, -1, 1, 1);
    dirtyArea_ = QRectF(dirty_);
    update(dirty_);
}

void BoardWidget::clear() {
    drawn(canvas().fill(toQColor(backgroundColour())));
}

void BoardWidget::line(float x1, float y1, float x2, float y2, Colour colour) {
    BoardCanvas& c = canvas();
    drawn(c.line(toPixels(x1, y1), toPixels(x2, y2), toQColor(colour)));
}

void BoardWidget::box(float x1, float y1, float x2, float y2, Colour colour) {
    BoardCanvas& c = canvas();
    drawn(c.box(toPixels(x1, y1), toPixels(x2, y2), toQColor(colour)));
}

void BoardWidget::setFontSize(float points) {
    if (points > 0 && font_.pointSizeF() != points) {
        font_.setPointSizeF(points);
        metrics_.reset();
    }
}

TextExtent BoardWidget::measureText(std::string_view text) {
    const double advance = advanceOf(toQString(text));
    const TwipsPerPixel px = twipsPerPixel();
    return {advance * px.x, metrics().height() * px.y};
}

void BoardWidget::printText(float x, float y, std::string_view text) {
    const QString qtext = toQString(text);
    const double advance = advanceOf(qtext);
    drawn(canvas_.text(toPixels(x, y), qtext, font_, metrics(), advance));
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

bool BoardWidget::event(QEvent* event) {
    // On another screen the image may need another pixel ratio or resolution.
    if (event->type() == QEvent::ScreenChangeInternal) {
        canvas_.settle();
    }
    return QWidget::event(event);
}

void BoardWidget::paintEvent(QPaintEvent* event) {
    dirty_ = QRect();
    dirtyArea_ = QRectF();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (canvas_.isNull()) {
        // Nothing has been drawn yet.
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        return;
    }
    painter.drawImage(QPointF(0, 0), image());
}

void BoardWidget::resizeEvent(QResizeEvent* event) {
    if (!canvas_.isNull()) {
        ensureImage();
    }
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

void BoardWidget::keyPressEvent(QKeyEvent* event) {
    // Keys pressed in a control on the board come here when the control ignores them: only the
    // board's own keys walk, and only while it has the focus.
    const Qt::KeyboardModifiers held =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    const QKeySequence pressed(QKeyCombination(held, Qt::Key(event->key())));
    if (hasFocus()) {
        for (const CommandRow& row : commands()) {
            if (row.scope == KeyScope::Board &&
                pressed == QKeySequence::fromString(toQString(row.shortcut))) {
                emit keyCommand(row.id, event->isAutoRepeat());
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

void BoardWidget::keyReleaseEvent(QKeyEvent* event) {
    // Releases that the controls on the board ignore come here too.
    if (!event->isAutoRepeat() && hasFocus()) {
        for (const CommandRow& row : commands()) {
            if (row.scope == KeyScope::Board &&
                QKeySequence::fromString(toQString(row.shortcut))[0].key() == event->key()) {
                emit keyReleased(row.id);
                break;
            }
        }
    }
    QWidget::keyReleaseEvent(event);
}

void BoardWidget::focusOutEvent(QFocusEvent* event) {
    emit focusLeft();
    QWidget::focusOutEvent(event);
}

}  // namespace quorrel::app
