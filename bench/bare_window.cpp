#include "bare_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "bold_font.h"

namespace quorrel::bench {

namespace {

// Twips to pixels at the screen's resolution of the widget.
int pixelsX(const QWidget& widget, int twips) {
    return static_cast<int>(std::lround(twips * widget.logicalDpiX() / 1440.0));
}

int pixelsY(const QWidget& widget, int twips) {
    return static_cast<int>(std::lround(twips * widget.logicalDpiY() / 1440.0));
}

}  // namespace

BareBoard::BareBoard(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& BareBoard::image() {
    if (image_.isNull()) {
        const qreal ratio = devicePixelRatioF();
        image_ = QImage(static_cast<int>(std::ceil(width() * ratio)),
                        static_cast<int>(std::ceil(height() * ratio)), QImage::Format_RGB32);
        image_.setDevicePixelRatio(ratio);
        image_.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
        image_.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
        image_.fill(palette().color(QPalette::Window));
    }
    return image_;
}

void BareBoard::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (image_.isNull()) {
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        return;
    }
    painter.drawImage(QPointF(0, 0), image_);
}

BareWindow::BareWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quorrel 1.0"));
    board_ = new BareBoard(this);
    setCentralWidget(board_);

    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("Make file"))->setCheckable(true);
    bar->addAction(QStringLiteral("&Retry"));
    bar->addAction(QStringLiteral("&Solve"));
    QMenu* hide = bar->addMenu(QStringLiteral("&Visibility"));
    for (const char* caption : {"1 square visibility", "2 square visibility", "4 square visibility",
                                "8 square visibility", "Full visibility"}) {
        QAction* item = hide->addAction(QString::fromLatin1(caption));
        item->setCheckable(true);
        item->setChecked(QLatin1String(caption) == QLatin1String("Full visibility"));
    }
    bar->addAction(QString());
    bar->addAction(QStringLiteral("&HELP!"));

    // The game's own font for the labels and the button.
    const QFont bold = app::boldFont();
    const auto place = [this](QWidget* control, int left, int width, int height) {
        control->setGeometry(pixelsX(*this, left), pixelsY(*this, 120), pixelsX(*this, width),
                             pixelsY(*this, height));
    };
    const auto label = [&](const char* caption, int left, int width) {
        auto* created = new QLabel(QString::fromLatin1(caption), board_);
        place(created, left, width, 255);
        created->setFont(bold);
        created->setAutoFillBackground(true);
    };
    const auto selector = [&](int left) {
        auto* created = new QComboBox(board_);
        place(created, left, 615, 315);
        created->setEditable(true);
        for (int size = 5; size <= 40; size += 5) {
            created->addItem(QString::number(size));
        }
        created->setCurrentIndex(3);
    };
    const auto box = [&](int left) {
        auto* created = new QLineEdit(board_);
        place(created, left, 492, 288);
        created->setReadOnly(true);
        return created;
    };
    label("Width", 120, 615);
    selector(720);
    label("Height", 1440, 615);
    selector(2040);
    auto* button = new QPushButton(QStringLiteral("NEW MAZE"), board_);
    place(button, 3000, 1215, 375);
    button->setFont(bold);
    label("Moves", 4440, 735);
    moves_ = box(5040);
    label("Extra", 5760, 735);
    extra_ = box(6240);

    resize(pixelsX(*this, 8880), pixelsY(*this, 7305) + bar->sizeHint().height());
    button->setFocus();
}

}  // namespace quorrel::bench
