#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

#include "ui/surface.h"

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
    const QImage& image() const { return image_; }
    const QFont& boardFont() const { return font_; }

  signals:
    // Mouse events over the board: button code (1 left, 2 right, 4 middle; for a move, the
    // buttons held), shift state (1 shift, 2 control, 4 alt) and position in twips.
    void mousePressed(int button, int shift, float x, float y);
    void mouseMoved(int button, int shift, float x, float y);
    void mouseReleased(int button, int shift, float x, float y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Makes the image at least as large as the widget, at the widget's device pixel ratio,
    // keeping what is drawn.
    void ensureImage();
    QPointF toPixels(double x, double y);
    QPointF toTwips(const QPointF& pixels);

    QImage image_;
    QSize covered_;  // the part of the board the image covers, in device-independent pixels
    QFont font_;
};

}  // namespace quorrel::app
