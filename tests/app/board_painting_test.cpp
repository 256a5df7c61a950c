// How the board draws: however it gathers its drawing (one painter for a burst of calls, the
// lines of a burst drawn together, only the area drawn on repainted), the picture is exactly
// the one drawn call by call with a painter of its own each, and the widget shows every pixel
// that changed. Like the other BoardImage tests, these run at device pixel ratios 1, 2 and 1.5.

#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QRegion>

#include "app_support.h"
#include "board/new_maze.h"
#include "play/play.h"
#include "solve/solve.h"
#include "support/play_helpers.h"
#include "ui/window.h"

namespace quorrel::apptest {
namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The board drawn the plain way, every call with a painter of its own, on an image of its own
// that starts as a copy of the board's picture.
class CallByCallBoard : public Surface {
  public:
    explicit CallByCallBoard(app::BoardWidget& board)
        : image(board.image().copy()), board_(board), font_(board.boardFont()) {}

    void clear() override { image.fill(app::toQColor(board_.backgroundColour())); }
    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        QPainter painter(&image);
        painter.setPen(pen(colour));
        painter.drawLine(pixels(x1, y1), pixels(x2, y2));
    }
    void box(float x1, float y1, float x2, float y2, Colour colour) override {
        QPainter painter(&image);
        painter.setPen(pen(colour));
        painter.setBrush(app::toQColor(colour));
        painter.drawRect(QRectF(pixels(x1, y1), pixels(x2, y2)).normalized());
    }
    void setFontSize(float points) override {
        if (points > 0) {
            font_.setPointSizeF(points);
        }
    }
    TextExtent measureText(std::string_view text) override {
        const QFontMetricsF metrics(font_, &image);
        const TwipsPerPixel px = twipsPerPixel();
        return {metrics.horizontalAdvance(toQString(text)) * px.x, metrics.height() * px.y};
    }
    void printText(float x, float y, std::string_view text) override {
        QPainter painter(&image);
        painter.setFont(font_);
        painter.setPen(Qt::black);
        painter.setBackgroundMode(Qt::TransparentMode);
        const QFontMetricsF metrics(font_, &image);
        painter.drawText(pixels(x, y) + QPointF(0, metrics.ascent()), toQString(text));
    }
    ClientSize clientSize() override { return board_.clientSize(); }
    TwipsPerPixel twipsPerPixel() override { return board_.twipsPerPixel(); }
    Colour backgroundColour() override { return board_.backgroundColour(); }

    QImage image;

  private:
    static QPen pen(Colour colour) {
        return QPen(app::toQColor(colour), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    }
    QPointF pixels(double x, double y) {
        const TwipsPerPixel px = twipsPerPixel();
        return {x / px.x, y / px.y};
    }

    app::BoardWidget& board_;
    QFont font_;
};

// Every call to both boards; text is measured by both, and the two must agree.
class BothBoards : public Surface {
  public:
    BothBoards(Surface& board, Surface& plain) : board_(board), plain_(plain) {}

    void clear() override {
        board_.clear();
        plain_.clear();
    }
    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        board_.line(x1, y1, x2, y2, colour);
        plain_.line(x1, y1, x2, y2, colour);
    }
    void box(float x1, float y1, float x2, float y2, Colour colour) override {
        board_.box(x1, y1, x2, y2, colour);
        plain_.box(x1, y1, x2, y2, colour);
    }
    void setFontSize(float points) override {
        board_.setFontSize(points);
        plain_.setFontSize(points);
    }
    TextExtent measureText(std::string_view text) override {
        const TextExtent got = board_.measureText(text);
        const TextExtent plain = plain_.measureText(text);
        EXPECT_EQ(got.width, plain.width) << text;
        EXPECT_EQ(got.height, plain.height) << text;
        return got;
    }
    void printText(float x, float y, std::string_view text) override {
        board_.printText(x, y, text);
        plain_.printText(x, y, text);
    }
    ClientSize clientSize() override { return board_.clientSize(); }
    TwipsPerPixel twipsPerPixel() override { return board_.twipsPerPixel(); }
    Colour backgroundColour() override { return board_.backgroundColour(); }

  private:
    Surface& board_;
    Surface& plain_;
};

// The number of pixels in which two pictures differ, or -1 when their sizes do.
int differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return -1;
    }
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.pixel(x, y) != b.pixel(x, y);
        }
    }
    return count;
}

// A game of its own on the window's board, every call also drawn call by call.
class BoardImagePainting : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        plain = std::make_unique<CallByCallBoard>(board());
        both = std::make_unique<BothBoards>(board(), *plain);
        game = std::make_unique<Mazeform>(Ports{*both, controls, controls, gameRandom, gameFiles});
        Form_Load(*game);
    }

    void expectSamePicture(const std::string& when) {
        EXPECT_EQ(differences(board().image(), plain->image), 0) << when;
    }

    void newGameMaze(const char* width, const char* height) {
        controls.width = width;
        controls.height = height;
        Command1_Click(*game);
        ASSERT_TRUE(controls.messages.empty());
        ASSERT_TRUE(game->exitMade);
    }

    void moveTo(Square s) {
        const Mazeform& f = *game;
        Form_MouseMove(*game, kLeftButton, 0,
                       static_cast<float>(f.originX + (s.col - 0.5) * f.squareSize),
                       static_cast<float>(f.originY + (s.row - 0.5) * f.squareSize));
    }

    void pressOnEntrance() {
        const Mazeform& f = *game;
        Form_MouseDown(*game, kLeftButton, 0,
                       static_cast<float>(f.originX + (f.entryCol - 0.5) * f.squareSize),
                       static_cast<float>(f.originY - 0.5 * f.squareSize));
    }

    FakeWindow controls;
    SeededRandom gameRandom{77};
    MemoryFileStore gameFiles;
    std::unique_ptr<CallByCallBoard> plain;
    std::unique_ptr<BothBoards> both;
    std::unique_ptr<Mazeform> game;
};

TEST_F(BoardImagePainting, NewMazeWalkSolveAndVisibilityLookAsWhenDrawnCallByCall) {
    newGameMaze("50", "50");
    expectSamePicture("after NEW MAZE");

    const std::vector<Square> route = wayOut(*game);
    ASSERT_GE(route.size(), 52U);
    pressOnEntrance();
    expectSamePicture("after the first press");
    for (std::size_t i = 1; i < route.size(); ++i) {
        moveTo(route[i]);
        if (i % 9 == 0 || i + 1 == route.size()) {
            expectSamePicture("after step " + std::to_string(i));
        }
    }
    ASSERT_EQ(controls.messages.size(), 1U);  // the walk reached the exit

    cheat_Click(*game);
    expectSamePicture("after Solve");

    testing::chooseRadius(*game, 8);
    retry_Click(*game);
    expectSamePicture("after Retry under 8-square visibility");
    pressOnEntrance();
    for (std::size_t i = 1; i < 12; ++i) {
        moveTo(route[i]);
        expectSamePicture("after step " + std::to_string(i) + " under 8-square visibility");
    }
    // Back to full visibility: the next step draws the whole maze again.
    testing::chooseRadius(*game, 0);
    moveTo(route[12]);
    expectSamePicture("after the step back to full visibility");
}

TEST_F(BoardImagePainting, LargeSquaresAndTheirLabelsLookAsWhenDrawnCallByCall) {
    for (const auto& [w, h] : {std::pair{"10", "10"}, std::pair{"2", "2"}, std::pair{"30", "20"}}) {
        SCOPED_TRACE(std::string(w) + " x " + h);
        newGameMaze(w, h);
        expectSamePicture("after NEW MAZE");
        const std::vector<Square> route = wayOut(*game);
        ASSERT_GE(route.size(), 4U);
        pressOnEntrance();
        // There and back again, short of the exit, so that squares carry counts of 2.
        const std::size_t far = std::min<std::size_t>(route.size() - 2, 5);
        for (std::size_t i = 1; i <= far; ++i) {
            moveTo(route[i]);
        }
        for (std::size_t i = far - 1; i >= 1; --i) {
            moveTo(route[i]);
        }
        ASSERT_TRUE(controls.messages.empty());
        expectSamePicture("after walking there and back");
        cheat_Click(*game);
        expectSamePicture("after Solve");
    }
}

TEST_F(BoardImagePainting, MixedCallsOfOneBurstKeepTheirOrderAndTheirFontSizes) {
    BothBoards& b = *both;
    b.clear();
    // A line under a box, a line over it, lines of two colours in a row, text in two sizes.
    b.line(1500, 1500, 4500, 1500, kBlack);
    b.box(2000, 1200, 3000, 1800, kTrailGreen);
    b.line(2500, 1000, 2500, 2000, kBlack);
    b.line(1500, 2500, 4500, 2500, kBlack);
    b.line(1500, 2500, 4500, 2500, kWhite);
    b.setFontSize(12);
    b.printText(1500, 3000, "12");
    b.setFontSize(6.4F);
    b.printText(3000, 3000, "3");
    b.line(1500, 3000, 4500, 3500, kPlayerBlue);
    expectSamePicture("after the burst");

    const TwipsPerPixel px = board().twipsPerPixel();
    const auto at = [&](double x, double y) { return colourAt(board(), x, y); };
    EXPECT_EQ(at(2200, 1500), kTrailGreen);  // the box hides the line drawn before it
    EXPECT_EQ(at(2500, 1500), kBlack);       // the line drawn after it crosses it
    EXPECT_EQ(at(2000, 2500), kWhite);       // the white line went over the black one
    EXPECT_NE(at(1400 - 3 * px.x, 1500), kBlack);
}

TEST_F(BoardImagePainting, APictureTakenStaysAsItWasWhileTheBoardDrawsOn) {
    newGameMaze("10", "10");
    const QImage taken = board().image();
    const QImage copy = taken.copy();
    pressOnEntrance();
    moveTo({game->entryCol, 1});
    board().box(100, 100, 3000, 3000, kPlayerBlue);
    EXPECT_EQ(differences(taken, copy), 0);
    EXPECT_GT(differences(board().image(), copy), 0);
}

TEST_F(BoardImagePainting, GrowingTheWindowInTheMiddleOfABurstKeepsWhatWasDrawn) {
    board().clear();
    board().line(1500, 6000, 7500, 6000, kBlack);  // waiting to be drawn
    window->resize(window->width() + 200, window->height() + 150);
    QApplication::processEvents();
    board().line(1500, 6600, 7500, 6600, kBlack);
    const double right = (board().width() - 20) * board().twipsPerPixel().x;
    board().line(1500, 7000, right, 7000, kBlack);
    EXPECT_EQ(colourAt(board(), 4500, 6000), kBlack);
    EXPECT_EQ(colourAt(board(), 4500, 6600), kBlack);
    EXPECT_EQ(colourAt(board(), right - 30, 7000), kBlack);
}

// Every paint the board receives, by the area it repaints.
class PaintedArea : public QObject {
  public:
    explicit PaintedArea(QWidget& widget) { widget.installEventFilter(this); }
    QRegion region;
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            region += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

using BoardImageRepaint = WindowTest;

// Runs `action` on the shown window, lets the board paint and checks that every pixel of the
// picture that changed and is not under a control was repainted. Gives the area repainted (none
// when nothing changed).
QRegion expectChangesRepainted(app::BoardWidget& board, const std::function<void()>& action,
                               const std::string& what) {
    QApplication::processEvents();
    const QImage before = board.image().copy();
    PaintedArea painted(board);
    action();
    QApplication::processEvents();
    const QImage& after = board.image();
    EXPECT_EQ(before.size(), after.size()) << what;
    const double ratio = after.devicePixelRatio();
    // The controls on the board hide what lies under them.
    const QRegion hidden = board.childrenRegion();
    int changed = 0;
    int missed = 0;
    for (int y = 0; y < after.height() && y < before.height(); ++y) {
        for (int x = 0; x < after.width() && x < before.width(); ++x) {
            if (after.pixel(x, y) == before.pixel(x, y)) {
                continue;
            }
            ++changed;
            const QPoint logical(static_cast<int>(std::floor(x / ratio)),
                                 static_cast<int>(std::floor(y / ratio)));
            if (board.rect().contains(logical) && !hidden.contains(logical) &&
                !painted.region.contains(logical)) {
                ++missed;
            }
        }
    }
    EXPECT_EQ(missed, 0) << what << ": pixels changed and not repainted";
    if (changed > 0) {
        EXPECT_GT(painted.paints, 0) << what;
    }
    return painted.region;
}

TEST_F(BoardImageRepaint, EveryChangedPixelIsRepaintedAndAStepRepaintsLittle) {
    expectChangesRepainted(
        board(), [this] { newMaze("20", "20"); }, "NEW MAZE");
    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 8U);
    // A left-button event at a square's centre, in twips.
    const auto mouse = [this](void (*event)(Mazeform&, Int, Int, float, float), Square s) {
        const QPoint at = centreOf(s);
        const TwipsPerPixel px = board().twipsPerPixel();
        event(form(), kLeftButton, 0, static_cast<float>(at.x() * px.x),
              static_cast<float>(at.y() * px.y));
    };
    const auto step = [&mouse](Square s) { mouse(Form_MouseMove, s); };
    expectChangesRepainted(
        board(), [&] { mouse(Form_MouseDown, route[0]); }, "first press");
    for (std::size_t i = 1; i < 5; ++i) {
        const QRegion area = expectChangesRepainted(
            board(), [&] { step(route[i]); }, "step " + std::to_string(i));
        // Two squares and their labels, not the whole board (the Moves and Extra boxes
        // above the maze repaint on their own).
        const QRect bounds =
            (area & QRect(0, 40, board().width(), board().height())).boundingRect();
        const int square = static_cast<int>(form().squareSize / board().twipsPerPixel().x);
        EXPECT_LE(bounds.width() * bounds.height(), 12 * square * square) << "step " << i;
    }
    expectChangesRepainted(
        board(), [this] { cheat_Click(form()); }, "Solve");
    expectChangesRepainted(
        board(), [this] { retry_Click(form()); }, "Retry");
    testing::chooseRadius(form(), 2);
    expectChangesRepainted(
        board(), [&] { mouse(Form_MouseDown, route[0]); }, "first press after Retry");
    expectChangesRepainted(
        board(), [&] { step(route[1]); }, "step under 2-square visibility");
}

TEST_F(BoardImageRepaint, ClearingRepaintsWhatWasDrawnOrAllOfANewBackground) {
    newMaze("10", "10");
    QApplication::processEvents();
    // Clearing a maze repaints the maze, not the strip of controls above it.
    const QRegion cleared = expectChangesRepainted(
        board(), [this] { board().clear(); }, "clearing the maze");
    EXPECT_FALSE(cleared.contains(QPoint(board().width() / 2, 5)));
    const QRegion again = expectChangesRepainted(
        board(), [this] { board().clear(); }, "clearing a clear board");
    EXPECT_TRUE(again.isEmpty());
    // A new background colour changes every pixel, and every pixel is repainted.
    QPalette palette = board().palette();
    palette.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
    board().setPalette(palette);
    QApplication::processEvents();
    expectChangesRepainted(
        board(), [this] { board().clear(); }, "clearing to a new colour");
    const QImage& image = board().image();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(0x12, 0x34, 0x56));
}

TEST_F(BoardImageRepaint, ABoardWithNothingDrawnShowsItsBackground) {
    const QImage shown = board().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const Colour background = board().backgroundColour();
    // Below the strip of controls.
    const int strip = static_cast<int>(40 * shown.devicePixelRatio());
    int other = 0;
    for (int y = strip; y < shown.height(); y += 3) {
        for (int x = 0; x < shown.width(); x += 3) {
            other += app::fromQColor(shown.pixelColor(x, y)) != background;
        }
    }
    EXPECT_EQ(other, 0);
}

}  // namespace
}  // namespace quorrel::apptest
