#include "main_window.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <cmath>

#include "board/new_maze.h"
#include "board_widget.h"
#include "play/play.h"
#include "solve/solve.h"
#include "ui/window.h"
#include "window_ports.h"

namespace quorrel::app {

namespace {

// Every control's top edge, in twips.
constexpr int kControlTop = 120;

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The labels' and the button's font: MS Sans Serif 8.25 points, bold, upright, not underlined
// (fontconfig puts the nearest installed font in its place).
QFont boldFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Bold);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

QAction* checkableItem(QMenu* menu, const QString& caption, const char* name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    return action;
}

}  // namespace

MainWindow::MainWindow(Services services, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mazeform"));
    setWindowTitle(toQString(kCaption));

    board_ = new BoardWidget(this);
    setCentralWidget(board_);
    buildMenus();
    buildControls();

    Messages* messages = services.messages;
    if (messages == nullptr) {
        ownMessages_ = std::make_unique<MessageBoxes>(this);
        messages = ownMessages_.get();
    }
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

    connectEvents();
    formLoad();

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
        created->setAccessibleDescription(tr("Pick or type a number of squares from 2 to 50"));
        created->setToolTip(tr("%1: 2 to 50 squares").arg(accessible));
        return created;
    };
    const auto box = [&](const char* name, int left, const QString& accessible) {
        auto* created = new QLineEdit(board_);
        place(created, name, left, 492, 288);
        created->setReadOnly(true);
        created->setAccessibleName(accessible);
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
    text1_ = box("Text1", 5040, tr("Moves"));
    label4_ = label(tr("Extra"), "Label4", 5760, 735);
    text2_ = box("Text2", 6240, tr("Extra moves"));

    label1_->setBuddy(combo1_);
    label2_->setBuddy(combo2_);
    label3_->setBuddy(text1_);
    label4_->setBuddy(text2_);

    setTabOrder(command1_, text1_);
    setTabOrder(text1_, text2_);
    setTabOrder(text2_, combo1_);
    setTabOrder(combo1_, combo2_);
}

void MainWindow::connectEvents() {
    Mazeform& f = *form_;
    connect(command1_, &QPushButton::clicked, this, [&f] { Command1_Click(f); });
    connect(mkfile_, &QAction::triggered, this, [&f] { mkfile_Click(f); });
    connect(retry_, &QAction::triggered, this, [&f] { retry_Click(f); });
    connect(cheat_, &QAction::triggered, this, [&f] { cheat_Click(f); });
    connect(hide1_, &QAction::triggered, this, [&f] { hide1_Click(f); });
    connect(hide2_, &QAction::triggered, this, [&f] { hide2_Click(f); });
    connect(hide4_, &QAction::triggered, this, [&f] { hide4_Click(f); });
    connect(hide8_, &QAction::triggered, this, [&f] { hide8_Click(f); });
    connect(hide0_, &QAction::triggered, this, [&f] { hide0_Click(f); });
    connect(help_, &QAction::triggered, this, [&f] { help_Click(f); });
    connect(board_, &BoardWidget::mousePressed, this,
            [&f](int button, int shift, float x, float y) {
                Form_MouseDown(f, static_cast<Int>(button), static_cast<Int>(shift), x, y);
            });
    connect(board_, &BoardWidget::mouseMoved, this, [&f](int button, int shift, float x, float y) {
        Form_MouseMove(f, static_cast<Int>(button), static_cast<Int>(shift), x, y);
    });
    connect(board_, &BoardWidget::mouseReleased, this,
            [&f](int button, int shift, float x, float y) {
                Form_MouseUp(f, static_cast<Int>(button), static_cast<Int>(shift), x, y);
            });
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
