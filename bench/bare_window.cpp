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
#include <map>
#include <string_view>

#include "bold_font.h"
#include "model/state.h"
#include "qt_text.h"
#include "ui/commands.h"
#include "ui/window.h"

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
    setWindowTitle(app::toQString(kCaption));
    board_ = new BareBoard(this);
    setCentralWidget(board_);

    // The menus of the command table, with their check marks as the window opens.
    QMenuBar* bar = menuBar();
    std::map<std::string_view, QMenu*> lists;
    for (const MenuRow& menu : kMenus) {
        lists[menu.name] = new QMenu(app::toQString(menu.caption), bar);
    }
    for (const CommandRow& row : commands()) {
        QAction* item = nullptr;
        if (row.place == Place::MenuBar) {
            item = bar->addAction(app::toQString(row.caption));
        } else if (row.place == Place::InMenu) {
            QMenu* list = lists.at(row.menu);
            if (list->isEmpty()) {  // the list stands where its first item does
                bar->addMenu(list);
            }
            item = list->addAction(app::toQString(row.caption));
        }
        if (item != nullptr && row.checked != nullptr) {
            item->setCheckable(true);
            item->setChecked(row.checked(State{}));
        }
    }

    // The controls of the strip along the top, in the game's own font.
    const QFont bold = app::boldFont();
    std::map<std::string_view, QWidget*> made;
    for (const ControlRow& row : kControls) {
        QWidget* control = nullptr;
        if (row.kind == ControlKind::Label) {
            auto* label = new QLabel(app::toQString(row.caption), board_);
            label->setAutoFillBackground(true);
            control = label;
        } else if (row.kind == ControlKind::Selector) {
            auto* selector = new QComboBox(board_);
            selector->setEditable(true);
            for (std::string_view entry : kSizeEntries) {
                selector->addItem(app::toQString(entry));
            }
            selector->setCurrentIndex(kInitialSizeEntry);
            control = selector;
        } else if (row.kind == ControlKind::Button) {
            control = new QPushButton(app::toQString(row.caption), board_);
        } else {
            auto* box = new QLineEdit(board_);
            box->setReadOnly(true);
            control = box;
        }
        control->setGeometry(pixelsX(*this, row.left), pixelsY(*this, kControlTop),
                             pixelsX(*this, row.width), pixelsY(*this, row.height));
        if (row.bold) {
            control->setFont(bold);
        }
        made[row.name] = control;
    }
    moves_ = static_cast<QLineEdit*>(made.at("Text1"));
    extra_ = static_cast<QLineEdit*>(made.at("Text2"));

    resize(pixelsX(*this, kClientWidth), pixelsY(*this, kClientHeight) + bar->sizeHint().height());
    made.at("Command1")->setFocus();
}

}  // namespace quorrel::bench
