#include "main_window.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <cmath>
#include <functional>
#include <utility>

#include "board/new_maze.h"
#include "board_accessible.h"
#include "board_widget.h"
#include "bold_font.h"
#include "play/keys.h"
#include "play/play.h"
#include "solve/solve.h"
#include "ui/board_description.h"
#include "ui/window.h"
#include "window_ports.h"

namespace quorrel::app {

namespace {

// Every control's top edge, in twips.
constexpr int kControlTop = 120;

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* checkableItem(QMenu* menu, const QString& caption, const char* name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    return action;
}

// Message boxes that first bring the board's description up to date, so that a screen reader
// knows where the player stands when the result of a walk is shown.
class DescribedMessages : public Messages {
  public:
    DescribedMessages(Messages& shown, std::function<void()> describe)
        : shown_(shown), describe_(std::move(describe)) {}

    void inform(std::string_view text) override {
        describe_();
        shown_.inform(text);
    }
    bool ask(std::string_view text) override {
        describe_();
        return shown_.ask(text);
    }

  private:
    Messages& shown_;
    std::function<void()> describe_;
};

}  // namespace

MainWindow::MainWindow(Services services, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mazeform"));
    setWindowTitle(toQString(kCaption));
    // Installing the same factory again is a no-op.
    QAccessible::installFactory(boardAccessible);

    board_ = new BoardWidget(this);
    setCentralWidget(board_);
    buildMenus();
    buildControls();

    Messages* messages = services.messages;
    if (messages == nullptr) {
        ownMessages_ = std::make_unique<MessageBoxes>(this);
        messages = ownMessages_.get();
    }
    describedMessages_ = std::make_unique<DescribedMessages>(*messages, [this] {
        ++messagesShown_;
        updateBoardDescription();
    });
    messages = describedMessages_.get();
    RandomSource* random = services.random;
    if (random == nullptr) {
        ownRandom_ = std::make_unique<ClockRandom>();
        random = ownRandom_.get();
    }
    FileStore* files = services.files;
    if (files == nullptr) {
        ownFiles_ = std::make_unique<PosixFileStore>(".");
        files = ownFiles_.get();
    }
    controls_ = std::make_unique<ControlsPort>(*combo1_, *combo2_, *text1_, *text2_,
                                               std::map<MenuItem, QAction*>{
                                                   {MenuItem::MakeFile, mkfile_},
                                                   {MenuItem::Hide1, hide1_},
                                                   {MenuItem::Hide2, hide2_},
                                                   {MenuItem::Hide4, hide4_},
                                                   {MenuItem::Hide8, hide8_},
                                                   {MenuItem::Hide0, hide0_},
                                               });
    form_ = std::make_unique<Mazeform>(Ports{*board_, *controls_, *messages, *random, *files});

    speech_ = std::make_unique<BoardSpeech>(*board_);
    connectEvents();
    connectKeys();
    formLoad();
    updateBoardDescription();

    // The client area starts at its design size; the user may resize the window, down to the
    // width of the strip of controls.
    board_->setMinimumSize(pixelsX(6852), pixelsY(3000));
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
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mkfil"));
    file->menuAction()->setObjectName(QStringLiteral("mkfil"));
    mkfile_ = checkableItem(file, tr("Make file"), "mkfile");

    retry_ = bar->addAction(tr("&Retry"));
    retry_->setObjectName(QStringLiteral("retry"));
    cheat_ = bar->addAction(tr("&Solve"));
    cheat_->setObjectName(QStringLiteral("cheat"));

    QMenu* hide = bar->addMenu(tr("&Visibility"));
    hide->setObjectName(QStringLiteral("hide"));
    hide->menuAction()->setObjectName(QStringLiteral("hide"));
    hide1_ = checkableItem(hide, tr("1 square visibility"), "hide1");
    hide2_ = checkableItem(hide, tr("2 square visibility"), "hide2");
    hide4_ = checkableItem(hide, tr("4 square visibility"), "hide4");
    hide8_ = checkableItem(hide, tr("8 square visibility"), "hide8");
    hide0_ = checkableItem(hide, tr("Full visibility"), "hide0");
    hide0_->setChecked(true);

    // A blank entry between Visibility and HELP! that does nothing.
    nul_ = bar->addAction(QString());
    nul_->setObjectName(QStringLiteral("nul"));

    help_ = bar->addAction(tr("&HELP!"));
    help_->setObjectName(QStringLiteral("help"));
}

void MainWindow::buildControls() {
    const QFont bold = boldFont();
    const auto place = [this](QWidget* control, const char* name, int left, int width, int height) {
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(pixelsX(left), pixelsY(kControlTop), pixelsX(width), pixelsY(height));
    };
    const auto label = [&](const QString& caption, const char* name, int left, int width) {
        auto* created = new QLabel(caption, board_);
        place(created, name, left, width, 255);
        created->setFont(bold);
        created->setAutoFillBackground(true);
        return created;
    };
    const auto selector = [&](const char* name, int left, const QString& accessible) {
        auto* created = new QComboBox(board_);
        place(created, name, left, 615, 315);
        created->setEditable(true);
        // Typed sizes are read as they stand: not completed from the list, not added to it.
        created->setCompleter(nullptr);
        created->setInsertPolicy(QComboBox::NoInsert);
        created->setAccessibleName(accessible);
        // Screen readers on Linux speak a selector's value as its name and its label's text
        // beside it; the description says what the number is for.
        created->setAccessibleDescription(
            tr("%1 in squares: pick one or type a number from 2 to 50").arg(accessible));
        created->setToolTip(tr("%1: 2 to 50 squares").arg(accessible));
        return created;
    };
    const auto box = [&](const char* name, int left, const QString& accessible,
                         const QString& description) {
        auto* created = new QLineEdit(board_);
        place(created, name, left, 492, 288);
        created->setReadOnly(true);
        created->setAccessibleName(accessible);
        created->setAccessibleDescription(description);
        return created;
    };

    label1_ = label(tr("Width"), "Label1", 120, 615);
    combo1_ = selector("Combo1", 720, tr("Maze width"));
    label2_ = label(tr("Height"), "Label2", 1440, 615);
    combo2_ = selector("Combo2", 2040, tr("Maze height"));
    command1_ = new QPushButton(tr("NEW MAZE"), board_);
    place(command1_, "Command1", 3000, 1215, 375);
    command1_->setFont(bold);
    command1_->setAccessibleName(tr("New maze"));
    command1_->setAccessibleDescription(tr("Generate a new maze of the chosen width and height"));
    label3_ = label(tr("Moves"), "Label3", 4440, 735);
    text1_ = box("Text1", 5040, tr("Moves"), tr("Moves made in this game"));
    label4_ = label(tr("Extra"), "Label4", 5760, 735);
    text2_ = box("Text2", 6240, tr("Extra moves"),
                 tr("Moves spent passing again through squares already walked"));

    label1_->setBuddy(combo1_);
    label2_->setBuddy(combo2_);
    label3_->setBuddy(text1_);
    label4_->setBuddy(text2_);

    setTabOrder(command1_, text1_);
    setTabOrder(text1_, text2_);
    setTabOrder(text2_, combo1_);
    setTabOrder(combo1_, combo2_);
    // The board comes last, so Tab from Height reaches it and Tab from it goes on to NEW MAZE.
    setTabOrder(combo2_, board_);
}

void MainWindow::connectEvents() {
    Mazeform& f = *form_;
    // Each handler of the game, followed by the update of the board's description.
    const auto handle = [this](auto* sender, auto signal, void (*handler)(Mazeform&)) {
        connect(sender, signal, this, [this, handler] {
            handler(*form_);
            updateBoardDescription();
        });
    };
    connect(command1_, &QPushButton::clicked, this, &MainWindow::newMaze);
    handle(mkfile_, &QAction::triggered, mkfile_Click);
    // Retry and Solve, each saying what it changed.
    const auto spoken = [this](QAction* action, void (*handler)(Mazeform&),
                               std::string (*words)(const State&)) {
        connect(action, &QAction::triggered, this, [this, handler, words] {
            const int shown = messagesShown_;
            handler(*form_);
            updateBoardDescription();
            if (messagesShown_ == shown) {
                announce(words(*form_));
            }
        });
    };
    spoken(retry_, retry_Click, describeRetry);
    spoken(cheat_, cheat_Click, describeSolution);
    handle(hide1_, &QAction::triggered, hide1_Click);
    handle(hide2_, &QAction::triggered, hide2_Click);
    handle(hide4_, &QAction::triggered, hide4_Click);
    handle(hide8_, &QAction::triggered, hide8_Click);
    handle(hide0_, &QAction::triggered, hide0_Click);
    handle(help_, &QAction::triggered, help_Click);
    connect(board_, &BoardWidget::mousePressed, this,
            [this, &f](int button, int shift, float x, float y) {
                Form_MouseDown(f, static_cast<Int>(button), static_cast<Int>(shift), x, y);
                updateBoardDescription();
            });
    connect(board_, &BoardWidget::mouseMoved, this,
            [this, &f](int button, int shift, float x, float y) {
                Form_MouseMove(f, static_cast<Int>(button), static_cast<Int>(shift), x, y);
                updateBoardDescription();
            });
    connect(board_, &BoardWidget::mouseReleased, this,
            [this, &f](int button, int shift, float x, float y) {
                Form_MouseUp(f, static_cast<Int>(button), static_cast<Int>(shift), x, y);
                updateBoardDescription();
            });
}

void MainWindow::newMaze() {
    const int shown = messagesShown_;
    Command1_Click(*form_);
    updateBoardDescription();
    // A refused size or a maze file that could not be saved has told its own message.
    if (messagesShown_ == shown) {
        announce(describeNewMaze(*form_));
    }
}

void MainWindow::connectKeys() {
    connect(board_, &BoardWidget::arrowPressed, this, [this](int way) {
        constexpr Arrow kWays[] = {Arrow::Left, Arrow::Right, Arrow::Up, Arrow::Down};
        const int shown = messagesShown_;
        const ArrowResult result = arrowKey(*form_, kWays[way & 3]);
        updateBoardDescription();
        if (messagesShown_ != shown) {
            return;
        }
        switch (result) {
            case ArrowResult::Stepped:
                announce(describeSquare(*form_));
                break;
            case ArrowResult::Wall:
                announce(describeBump(*form_));
                break;
            case ArrowResult::NoMaze:
                announce(describeBoard(*form_));
                break;
            case ArrowResult::Finished:
                break;
        }
    });
    // Window-wide keys: they work wherever the focus is in the window, and leave the menus as
    // they are.
    const auto shortcut = [this](QKeySequence keys, const char* name) {
        auto* created = new QShortcut(keys, this);
        created->setObjectName(QString::fromLatin1(name));
        return created;
    };
    connect(shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), "newMazeKey"), &QShortcut::activated, this,
            &MainWindow::newMaze);
    connect(shortcut(QKeySequence(Qt::Key_F1), "helpKey"), &QShortcut::activated, this, [this] {
        help_Click(*form_);
        updateBoardDescription();
    });
    connect(shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), "quitKey"), &QShortcut::activated, this,
            &QWidget::close);
}

void MainWindow::announce(const std::string& text) {
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
    for (std::string_view entry : kSizeEntries) {
        combo1_->addItem(toQString(entry));
    }
    combo1_->setCurrentIndex(kInitialSizeEntry);
    for (std::string_view entry : kSizeEntries) {
        combo2_->addItem(toQString(entry));
    }
    combo2_->setCurrentIndex(kInitialSizeEntry);
    Form_Load(*form_);
}

}  // namespace quorrel::app
