#pragma once

#include <deque>

class QAccessibleInterface;
class QObject;
class QString;
class QWidget;

namespace quorrel::app {

// Assistive technology sees the board as a canvas, a picture the game draws on, rather than as
// a plain container; its name and description are the widget's own. Install with
// QAccessible::installFactory.
//
// The canvas has one child besides the controls on it: the latest thing the game has to say
// about the board (a step, a bump, a new maze). Screen readers do not speak changes to the
// focused board's name or description, but they speak an object that newly takes the focus;
// so every utterance is a new child, given the focus while the board has it. While the focus
// is elsewhere (on NEW MAZE, say) the child is a notification that shows up, which screen
// readers read without the focus moving.
QAccessibleInterface* boardAccessible(const QString& className, QObject* object);

// What the board says, one utterance after another.
class BoardSpeech {
  public:
    explicit BoardSpeech(QWidget& board) : board_(board) {}
    ~BoardSpeech();
    BoardSpeech(const BoardSpeech&) = delete;
    BoardSpeech& operator=(const BoardSpeech&) = delete;

    // Makes `text` the board's latest utterance: while the board has the keyboard focus it
    // takes the accessible focus, otherwise it shows up as a notification. Gives whether it
    // took the focus.
    bool say(const QString& text);

  private:
    QWidget& board_;
    // Utterances still known to assistive technology, newest last: a screen reader asks for
    // the name of an utterance some time after its focus event, so the last few stay.
    std::deque<unsigned> ids_;
};

}  // namespace quorrel::app
