#include "main_window.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "board_accessible.h"
#include "board_widget.h"
#include "bold_font.h"
#include "gen/random_source.h"
#include "mazefile/posix_file_store.h"
#include "play/play.h"
#include "qt_text.h"
#include "ui/board_description.h"
#include "ui/commands.h"
#include "ui/window.h"
#include "window_ports.h"

namespace quorrel::app {

MainWindow::MainWindow(Services services, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mazeform"));
    setWindowTitle(toQString(kCaption));
    // Installing the same factory again is a no-op.
    QAccessible::installFactory(boardAccessible);

    board_ = new BoardWidget(this);
    setCentralWidget(board_);
    buildMenus();
    buildControls();

    // The real message boxes, random numbers and files where a test has put in none.
    if (services.messages == nullptr) {
        services.messages = (ownMessages_ = std::make_unique<MessageBoxes>(this)).get();
    }
    if (services.random == nullptr) {
        services.random = (ownRandom_ = std::make_unique<ClockRandom>()).get();
    }
    if (services.files == nullptr) {
        services.files = (ownFiles_ = std::make_unique<PosixFileStore>(".")).get();
    }
    form_ = std::make_unique<Mazeform>(
        Ports{*board_, *this, *services.messages, *services.random, *services.files});
    // A screen reader knows where the player stands when the result of a walk is shown.
    form_->counted.beforeBox = [this] { updateBoardDescription(); };

    speech_ = std::make_unique<BoardSpeech>(*board_);
    connectMouse();
    buildKeys();
    formLoad();
    updateBoardDescription();

    // The client area starts at its design size; the user may resize the window, down to the
    // width of the strip of controls.
    board_->setMinimumSize(pixelsX(kMinClientWidth), pixelsY(kMinClientHeight));
    resize(pixelsX(kClientWidth), pixelsY(kClientHeight) + menuBar()->sizeHint().height());
    command1_->setFocus();
}

MainWindow::~MainWindow() = default;

int MainWindow::pixelsX(int twips) const {
    return static_cast<int>(std::lround(twips / twipsPerPixelOf(*this).x));
}

int MainWindow::pixelsY(int twips) const {
    return static_cast<int>(std::lround(twips / twipsPerPixelOf(*this).y));
}

void MainWindow::buildMenus() {
    std::map<std::string_view, QMenu*> lists;
    for (const CommandRow& row : commands()) {
        QAction* action = nullptr;
        if (row.place == Place::MenuBar) {
            action = menuBar()->addAction(toQString(row.caption));
        } else if (row.place == Place::InMenu) {
            QMenu*& list = lists[row.menu];
            if (list == nullptr) {
                const auto& menu =
                    *std::find_if(std::begin(kMenus), std::end(kMenus),
                                  [&](const MenuRow& m) { return m.name == row.menu; });
                list = menuBar()->addMenu(toQString(menu.caption));
                list->setObjectName(toQString(menu.name));
                list->menuAction()->setObjectName(toQString(menu.name));
            }
            action = list->addAction(toQString(row.caption));
        } else {
            continue;
        }
        action->setObjectName(toQString(row.name));
        if (row.checked != nullptr) {
            action->setCheckable(true);
            checkable_[row.id] = action;
        }
        connect(action, &QAction::triggered, this, [this, id = row.id] { perform(id); });
    }
}

void MainWindow::buildControls() {
    const QFont bold = boldFont();
    std::map<std::string_view, QWidget*> made;
    for (const ControlRow& row : kControls) {
        QWidget* control = nullptr;
        switch (row.kind) {
            case ControlKind::Label: {
                auto* label = new QLabel(toQString(row.caption), board_);
                label->setAutoFillBackground(true);
                control = label;
                break;
            }
            case ControlKind::Selector: {
                auto* selector = new QComboBox(board_);
                selector->setEditable(true);
                // Typed sizes are read as they stand: not completed from the list, not added to it.
                selector->setCompleter(nullptr);
                selector->setInsertPolicy(QComboBox::NoInsert);
                selector->setToolTip(toQString(controlTip(row)));
                control = selector;
                break;
            }
            case ControlKind::Button: {
                auto* button = new QPushButton(toQString(row.caption), board_);
                connect(button, &QPushButton::clicked, this, [this] { perform(Command::NewMaze); });
                control = button;
                break;
            }
            case ControlKind::Box: {
                auto* box = new QLineEdit(board_);
                box->setReadOnly(true);
                control = box;
                break;
            }
        }
        control->setObjectName(toQString(row.name));
        control->setGeometry(pixelsX(row.left), pixelsY(kControlTop), pixelsX(row.width),
                             pixelsY(row.height));
        if (row.bold) {
            control->setFont(bold);
        }
        if (!row.accessibleName.empty()) {
            control->setAccessibleName(toQString(row.accessibleName));
            control->setAccessibleDescription(toQString(controlDescription(row)));
        }
        made[row.name] = control;
    }
    for (const ControlRow& row : kControls) {
        if (!row.buddy.empty()) {
            static_cast<QLabel*>(made[row.name])->setBuddy(made[row.buddy]);
        }
    }
    combo1_ = static_cast<QComboBox*>(made["Combo1"]);
    combo2_ = static_cast<QComboBox*>(made["Combo2"]);
    command1_ = static_cast<QPushButton*>(made["Command1"]);
    text1_ = static_cast<QLineEdit*>(made["Text1"]);
    text2_ = static_cast<QLineEdit*>(made["Text2"]);
    made[kFocusOrder[std::size(kFocusOrder) - 1]] = board_;
    // The board comes last, so Tab from Height reaches it and Tab from it goes on to NEW MAZE.
    for (std::size_t i = 1; i < std::size(kFocusOrder); ++i) {
        setTabOrder(made[kFocusOrder[i - 1]], made[kFocusOrder[i]]);
    }
}

void MainWindow::connectMouse() {
    using Handler = void (*)(Mazeform&, Int, Int, float, float);
    const auto forward = [this](auto signal, Handler handler) {
        connect(board_, signal, this, [this, handler](int button, int shift, float x, float y) {
            const long shown = form_->messagesShown();
            const Int moves = form_->moveCount;
            handler(*form_, static_cast<Int>(button), static_cast<Int>(shift), x, y);
            if (form_->moveCount != moves) {
                held_.forget();  // a key held down no longer knows where the player is
            }
            updateBoardDescription();
            // The finish's result box has closed: where that leaves the player.
            if (form_->messagesShown() != shown) {
                announce(describeWhereAmI(*form_));
            }
        });
    };
    forward(&BoardWidget::mousePressed, Form_MouseDown);
    forward(&BoardWidget::mouseMoved, Form_MouseMove);
    forward(&BoardWidget::mouseReleased, Form_MouseUp);
}

void MainWindow::buildKeys() {
    connect(board_, &BoardWidget::keyCommand, this, &MainWindow::perform);
    connect(board_, &BoardWidget::keyReleased, this,
            [this](Command command) { announce(held_.released(command)); });
    connect(board_, &BoardWidget::focusLeft, this, [this] { held_.forget(); });
    // Window-wide keys: they work wherever the focus is in the window, and leave the menus as
    // they are.
    for (const CommandRow& row : commands()) {
        if (row.scope != KeyScope::Window && row.scope != KeyScope::DesktopWindow) {
            continue;
        }
        auto* shortcut = new QShortcut(QKeySequence::fromString(toQString(row.shortcut)), this);
        shortcut->setObjectName(toQString(row.name) + QStringLiteral("Key"));
        connect(shortcut, &QShortcut::activated, this, [this, id = row.id] { perform(id); });
    }
}

void MainWindow::perform(Command command, bool repeated) {
    if (command == Command::Quit) {
        close();
        return;
    }
    const Said said = quorrel::perform(*form_, command);
    updateBoardDescription();
    announce(held_.after(command, said, repeated));
}

std::string MainWindow::widthText() {
    return combo1_->currentText().toStdString();
}

std::string MainWindow::heightText() {
    return combo2_->currentText().toStdString();
}

void MainWindow::setMovesText(std::string_view text) {
    text1_->setText(toQString(text));
}

void MainWindow::setExtraText(std::string_view text) {
    text2_->setText(toQString(text));
}

void MainWindow::setChecked(Command item, bool checked) {
    if (const auto found = checkable_.find(item); found != checkable_.end()) {
        found->second->setChecked(checked);
    }
}

void MainWindow::announce(const std::string& text) {
    if (text.empty()) {
        return;
    }
    const QString words = toQString(text);
    emit boardSpoke(words, speech_->say(words));
}

void MainWindow::updateBoardDescription() {
    const QString text = toQString(describeBoard(*form_));
    if (text == board_->accessibleDescription()) {
        return;
    }
    // Sends the QAccessible::DescriptionChanged event itself; one more would have screen
    // readers say every change twice.
    board_->setAccessibleDescription(text);
    emit boardDescribed(text);
}

void MainWindow::formLoad() {
    // The pen width of 2 pixels and the twips of the coordinates belong to the board itself.
    for (QComboBox* combo : {combo1_, combo2_}) {
        for (std::string_view entry : kSizeEntries) {
            combo->addItem(toQString(entry));
        }
        combo->setCurrentIndex(kInitialSizeEntry);
    }
    Form_Load(*form_);
    showCheckMarks(*form_);
}

}  // namespace quorrel::app
