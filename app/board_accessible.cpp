#include "board_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <cstddef>
#include <utility>

#include "board_widget.h"

namespace quorrel::app {

namespace {

constexpr const char* kSpokenProperty = "quorrelSpoken";
constexpr std::size_t kKeptUtterances = 4;

// One utterance: a piece of the board without a role of its own (screen readers say no role
// word for it), named by what it says.
class Utterance : public QAccessibleInterface {
  public:
    Utterance(QWidget* board, QString text, QAccessible::Role role)
        : board_(board), text_(std::move(text)), role_(role) {}

    bool isValid() const override { return !board_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return board_ ? board_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return board_ ? QAccessible::queryAccessibleInterface(board_.data()) : nullptr;
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? text_ : QString();
    }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}
    QRect rect() const override {
        // The board's own area: the utterance is about all of it.
        QAccessibleInterface* p = parent();
        return p != nullptr ? p->rect() : QRect();
    }
    QAccessible::Role role() const override { return role_; }
    QAccessible::State state() const override {
        // Only an utterance made to take the focus has it, and only while it is the board's
        // latest and the board has the keyboard focus.
        QAccessible::State s;
        const bool takesFocus = role_ != QAccessible::Notification;
        s.focusable = takesFocus;
        s.focused = takesFocus && board_ && board_->hasFocus() &&
                    board_->property(kSpokenProperty).toUInt() == id_;
        s.readOnly = true;
        return s;
    }

    // Its number with QAccessible, given when it is registered.
    void setId(unsigned id) { id_ = id; }

  private:
    QPointer<QWidget> board_;
    QString text_;
    QAccessible::Role role_;
    unsigned id_ = 0;
};

// The board: its widget children (the controls on it) after the latest utterance, which is
// child 0 once there is one.
class BoardInterface : public QAccessibleWidget {
  public:
    explicit BoardInterface(QWidget* board) : QAccessibleWidget(board, QAccessible::Canvas) {}

    QAccessibleInterface* utterance() const {
        const unsigned id = widget()->property(kSpokenProperty).toUInt();
        return id == 0 ? nullptr : QAccessible::accessibleInterface(id);
    }
    int shift() const { return utterance() != nullptr ? 1 : 0; }

    int childCount() const override { return QAccessibleWidget::childCount() + shift(); }
    QAccessibleInterface* child(int index) const override {
        if (QAccessibleInterface* u = utterance(); u != nullptr) {
            if (index == 0) {
                return u;
            }
            return QAccessibleWidget::child(index - 1);
        }
        return QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        QAccessibleInterface* u = utterance();
        if (u != nullptr && c == u) {
            return 0;
        }
        const int i = QAccessibleWidget::indexOfChild(c);
        return i < 0 ? i : i + shift();
    }
    QAccessibleInterface* focusChild() const override {
        QAccessibleInterface* u = utterance();
        if (u != nullptr && u->state().focused) {
            return u;
        }
        return QAccessibleWidget::focusChild();
    }
};

}  // namespace

QAccessibleInterface* boardAccessible(const QString& /*className*/, QObject* object) {
    if (auto* board = qobject_cast<BoardWidget*>(object)) {
        return new BoardInterface(board);
    }
    return nullptr;
}

BoardSpeech::~BoardSpeech() {
    board_.setProperty(kSpokenProperty, QVariant());
    for (unsigned id : ids_) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

bool BoardSpeech::say(const QString& text) {
    // On the focused board the utterance takes the focus; elsewhere it is a notification that
    // shows up, which screen readers read out without moving the focus.
    const bool focused = board_.hasFocus();
    auto* utterance =
        new Utterance(&board_, text, focused ? QAccessible::Whitespace : QAccessible::Notification);
    const unsigned id = QAccessible::registerAccessibleInterface(utterance);
    utterance->setId(id);
    board_.setProperty(kSpokenProperty, id);
    ids_.push_back(id);
    while (ids_.size() > kKeptUtterances) {
        QAccessible::deleteAccessibleInterface(ids_.front());
        ids_.pop_front();
    }
    QAccessibleEvent event(&board_, focused ? QAccessible::Focus : QAccessible::ObjectShow);
    event.setChild(0);
    QAccessible::updateAccessibility(&event);
    return focused;
}

}  // namespace quorrel::app
