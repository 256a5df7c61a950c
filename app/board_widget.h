#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <optional>

#include "board_canvas.h"
#include "game/ports.h"

namespace quorrel::app {

// Twips per pixel of the screen a widget is on: 1440 divided by the screen's logical dots per
// inch, horizontally and vertically (15 at 96 dpi).
TwipsPerPixel twipsPerPixelOf(const QWidget& widget);

// A colour of the game (blue * 65536 + green * 256 + red) as Qt's, and back.
QColor toQColor(Colour colour);
Colour fromQColor(const QColor& colour);

// The client area of the main window: the board the game draws on. Everything is drawn into a
// persistent image with the screen's device pixel ratio, and the widget repaints from it, so
// covering, minimising or resizing the window never loses the picture. Growing the widget
// grows the image and keeps what is drawn; shrinking it keeps the image, so growing it again
// brings the picture back.
//
// The image is made at the first drawing (until then the board shows its background). The
// drawing of one event is one burst on the image: one painter stays open until the widget
// paints or the picture is read, and only the area drawn on is repainted.
class BoardWidget : public QWidget, public Surface {
    Q_OBJECT

  public:
    explicit BoardWidget(QWidget* parent = nullptr);

    // Surface: coordinates in twips from the widget's top-left corner.
    void clear() override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void box(float x1, float y1, float x2, float y2, Colour colour) override;
    void setFontSize(float points) override;
    TextExtent measureText(std::string_view text) override;
    void printText(float x, float y, std::string_view text) override;
    ClientSize clientSize() override;
    TwipsPerPixel twipsPerPixel() override;
    Colour backgroundColour() override;

    // The picture as drawn, in device pixels (see devicePixelRatio()).
    const QImage& image() const;
    const QFont& boardFont() const { return font_; }

  signals:
    // Mouse events over the board: button code (1 left, 2 right, 4 middle; for a move, the
    // buttons held), shift state (1 shift, 2 control, 4 alt) and position in twips.
    void mousePressed(int button, int shift, float x, float y);
    void mouseMoved(int button, int shift, float x, float y);
    void mouseReleased(int button, int shift, float x, float y);
    // One of the board's keys (the arrows, Space) while the board has the keyboard focus;
    // `repeated` for the auto-repeat of a key held down.
    void keyCommand(quorrel::Command command, bool repeated);
    // One of the board's keys let go while the board has the keyboard focus (not one of its
    // auto-repeats), whatever modifiers are held by then.
    void keyReleased(quorrel::Command command);
    // The board has lost the keyboard focus: to a control, a box, or another window, where
    // the board's keys will not be let go.
    void focusLeft();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // Makes the image at least as large as the widget, at the widget's device pixel ratio,
    // keeping what is drawn.
    void ensureImage() const;
    // The canvas to draw on. A burst under way keeps the image and the scale it started with:
    // everything that changes them (resizing, a new screen, painting) ends the burst first.
    BoardCanvas& canvas();
    const QFontMetricsF& metrics();
    double advanceOf(const QString& text);
    QPointF toPixels(double x, double y) const;
    QPointF toTwips(const QPointF& pixels);
    // Has the widget repaint an area drawn on, in device-independent pixels.
    void drawn(const QRectF& area);

    // The picture is drawn on demand, also when it is only looked at.
    mutable BoardCanvas canvas_;
    TwipsPerPixel scale_;  // of the burst under way
    QFont font_;
    std::optional<QFontMetricsF> metrics_;  // font_ on the image, while both stay the same
    int metricsDpmX_ = 0;
    int metricsDpmY_ = 0;
    // The text measured last and its width by metrics_: the game measures every text just
    // before it prints it.
    QString measured_;
    double measuredAdvance_ = 0;
    QRect dirty_;       // the area handed to update() since the widget last painted
    QRectF dirtyArea_;  // the same, to test drawings against without rounding them
};

}  // namespace quorrel::app
