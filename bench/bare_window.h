#pragma once

#include <QImage>
#include <QMainWindow>
#include <QWidget>

class QLineEdit;
class QPaintEvent;

namespace quorrel::bench {

// A plain widget showing an image it keeps, repainting from it as the game's board does; the
// floors of the drawing benchmarks draw on it with QPainter alone.
class BareBoard : public QWidget {
  public:
    explicit BareBoard(QWidget* parent = nullptr);

    // The image, made at the first call to cover the widget at its pixel ratio and resolution,
    // in the window's background colour.
    QImage& image();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

// The floor of the game's window: a main window with the same menus and the same controls, at
// the same places on a bare board of the same size, and no game behind them.
class BareWindow : public QMainWindow {
  public:
    explicit BareWindow(QWidget* parent = nullptr);

    BareBoard& board() { return *board_; }
    QLineEdit& moves() { return *moves_; }
    QLineEdit& extra() { return *extra_; }

  private:
    BareBoard* board_ = nullptr;
    QLineEdit* moves_ = nullptr;
    QLineEdit* extra_ = nullptr;
};

}  // namespace quorrel::bench
