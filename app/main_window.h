#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "game/mazeform.h"
#include "game/ports.h"
#include "ui/commands.h"

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace quorrel::app {

class BoardSpeech;
class BoardWidget;
class MessageBoxes;

// What the window reaches outside itself. Each one left empty is the real thing: message
// boxes over the window, random numbers reseeded from the clock, files in the current
// directory. Tests put their own in.
struct Services {
    Messages* messages = nullptr;
    RandomSource* random = nullptr;
    FileStore* files = nullptr;
};

// The main window `mazeform`: the menu bar, the strip of controls along the top of the client
// area and the board under it. It holds the game's state and turns every event into a call of
// the game's handler for it. Its controls are the game's Controls port.
class MainWindow : public QMainWindow, public Controls {
    Q_OBJECT

  public:
    explicit MainWindow(Services services = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    Mazeform& form() { return *form_; }
    BoardWidget& board() { return *board_; }

    // Puts the game's state in words into the board's accessible description and tells
    // assistive technology when the words change. Every event that can move the player or
    // change a counter ends here, and so does the moment before a message box is shown.
    void updateBoardDescription();

    // Has the board say what an event did: handed to assistive technology as the board's
    // latest utterance, given the focus while the board has it and shown as a notification
    // otherwise. Nothing is said for an event that showed a message box, which speaks for
    // itself.
    void announce(const std::string& text);

    // Performs a command of the game's table and says what it did. The words of an
    // auto-repeated key wait for the key's release, each replacing the one before: a key held
    // down says only where it stopped. They are said only at the release of that key on the
    // focused board, and only if nothing else happened since: another command, the mouse
    // moving the player, or the board losing the focus forgets them.
    void perform(Command command, bool repeated = false);

    // Controls: the size selectors Combo1 and Combo2, the Moves and Extra boxes Text1 and Text2
    // and the check marks of the menu items.
    std::string widthText() override;
    std::string heightText() override;
    void setMovesText(std::string_view text) override;
    void setExtraText(std::string_view text) override;
    void setChecked(Command item, bool checked) override;

  signals:
    // The board's description has changed to `text`; sent with the accessibility event.
    void boardDescribed(const QString& text);
    // The board said `text`: `focused` when it took the focus on the focused board, as a
    // notification otherwise.
    void boardSpoke(const QString& text, bool focused);

  private:
    void buildMenus();
    void buildControls();
    void buildKeys();
    void connectMouse();
    // Form_Load: fills the size selectors and sets the game up with no maze.
    void formLoad();
    int pixelsX(int twips) const;
    int pixelsY(int twips) const;

    BoardWidget* board_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QPushButton* command1_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    std::map<Command, QAction*> checkable_;

    std::unique_ptr<BoardSpeech> speech_;
    HeldKey held_;  // the words of the last auto-repeated key, until its release

    std::unique_ptr<MessageBoxes> ownMessages_;
    std::unique_ptr<RandomSource> ownRandom_;
    std::unique_ptr<FileStore> ownFiles_;
    std::unique_ptr<Mazeform> form_;
};

}  // namespace quorrel::app
