// What a person does on the board, timed in the real window on the offscreen platform, each
// beside its floor: the same picture drawn with plain QPainter calls on a bare window with the
// same menus and controls. The floor of NEW MAZE repaints the whole board; the floors of a step
// and of Solve write the Moves and Extra boxes as the game does and repaint the area they drew
// on. Every iteration ends with the widget painted: the update requests posted are delivered at
// once, as the event loop would deliver them next.
//
// Times are the process's CPU time (all threads), with the wall time beside it; the goals are
// judged on CPU time, which other work on the machine does not inflate.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bare_window.h"
#include "board/new_maze.h"
#include "board_widget.h"
#include "game/mazeform.h"
#include "game/ports.h"
#include "judged_run.h"
#include "main_window.h"
#include "model/state.h"
#include "model/types.h"
#include "play/play.h"
#include "solve/solve.h"
#include "support/doubles.h"
#include "support/maze_geometry.h"
#include "ui/commands.h"

namespace quorrel::bench {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    long count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count;
        }
        return false;
    }
};

// Has every widget with an update pending paint now: delivers the posted update requests as
// the event loop would next.
void paintPending() {
    QCoreApplication::sendPostedEvents();
}

// Shows a window and waits for its first paint.
void showAndWait(QWidget& window, const PaintCounter& paints) {
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (paints.count == 0 && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    if (paints.count == 0) {
        throw std::runtime_error("the window was never painted");
    }
}

using testing::Square;

// Lower-right corner of a square, in twips.
QPointF cornerOf(const Mazeform& f, Square s) {
    const testing::Point corner = testing::cornerOf(f, s);
    return {corner.x, corner.y};
}

// The way through the maze from the square below the entrance to `goal`.
std::vector<Square> wayTo(const Mazeform& f, Square goal) {
    return testing::route(f, testing::firstSquare(f), goal);
}

// The pointer position, in twips, that steps the player from its square into `to`: the
// centre of `to`.
QPointF pointerFor(const Mazeform& f, Square to) {
    return cornerOf(f, to) - QPointF(f.squareSize / 2.0, f.squareSize / 2.0);
}

// The game's window, shown, making the same 50 by 50 maze at every NEW MAZE.
struct Game {
    explicit Game(std::uint64_t seed) {
        random.restart(seed);
        random.sameEachMaze = true;
        showAndWait(window, paints);
        for (const char* name : {"Combo1", "Combo2"}) {
            window.findChild<QComboBox*>(QString::fromLatin1(name))
                ->setEditText(QStringLiteral("50"));
        }
        Command1_Click(form());
        paintPending();
        if (form().mazeWidth != 50 || form().mazeHeight != 50 || !form().exitMade) {
            throw std::runtime_error("NEW MAZE did not make a 50 by 50 maze with an exit");
        }
    }

    Mazeform& form() { return window.form(); }
    app::BoardWidget& board() { return window.board(); }

    // Starts a new game and walks the player to `target` along the way there, with the
    // button held at the end.
    void walkTo(Square target) {
        retry_Click(form());
        Mazeform& f = form();
        const QPointF entrance = cornerOf(f, {f.entryCol, 0}) - QPointF(1, 1);
        Form_MouseDown(f, kLeftButton, 0, static_cast<float>(entrance.x()),
                       static_cast<float>(entrance.y()));
        for (Square s : wayTo(f, target)) {
            step(s);
        }
        paintPending();
    }

    void step(Square to) {
        const QPointF p = pointerFor(form(), to);
        Form_MouseMove(form(), kLeftButton, 0, static_cast<float>(p.x()),
                       static_cast<float>(p.y()));
    }

    bool standsOn(Square s) { return form().playerCol == s.col && form().playerRow == s.row; }

    testing::ScriptedRandom random;
    testing::FakeWindow messages;
    testing::MemoryFileStore files;
    app::MainWindow window{app::Services{&messages, &random, &files}};
    PaintCounter paints{window.board()};
};

// The bare window the floors draw on.
struct Bare {
    Bare() { showAndWait(window, paints); }

    BareWindow window;
    PaintCounter paints{window.board()};
};

QPen wallPen(const QColor& colour) {
    return QPen(colour, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

QColor qcolour(Colour c) {
    return app::toQColor(c);
}

// Plain QPainter versions of what the game draws, in the board's pixels.
struct Floor {
    explicit Floor(const Mazeform& f, const QFont& boardFont, TwipsPerPixel scale)
        : form(f), font(boardFont), px(scale) {}

    QPointF pixels(double x, double y) const { return {x / px.x, y / px.y}; }

    // The walls of rows t..b and columns l..r as the game draws them (borders only at the
    // maze's own edges).
    std::vector<QLineF> walls(int t, int b, int l, int r) const {
        const Mazeform& f = form;
        const int s = f.squareSize;
        const int x0 = f.originX;
        const int y0 = f.originY;
        std::vector<QLineF> lines;
        for (int c = l; c <= r; ++c) {
            if (t == 1 && c != f.entryCol) {
                lines.emplace_back(pixels(x0 + (c - 1) * s, y0), pixels(x0 + c * s, y0));
            }
        }
        for (int j = t; j <= b; ++j) {
            if (l == 1) {
                lines.emplace_back(pixels(x0, y0 + (j - 1) * s), pixels(x0, y0 + j * s));
            }
            for (int c = l; c <= r; ++c) {
                if (!f.opensRight(c, j)) {
                    lines.emplace_back(pixels(x0 + c * s, y0 + (j - 1) * s),
                                       pixels(x0 + c * s, y0 + j * s));
                }
                if (!f.opensDown(c, j)) {
                    lines.emplace_back(pixels(x0 + (c - 1) * s, y0 + j * s),
                                       pixels(x0 + c * s, y0 + j * s));
                }
            }
        }
        return lines;
    }

    // The painted box of a square, shrunk by the inset.
    QRectF squareBox(Square sq) const {
        const QPointF corner = cornerOf(form, sq);
        const double in = form.inset;
        const double s = form.squareSize;
        return QRectF(pixels(corner.x() - s + in, corner.y() - s + in),
                      pixels(corner.x() - in, corner.y() - in));
    }

    // The whole square.
    QRectF squareArea(Square sq) const {
        const QPointF corner = cornerOf(form, sq);
        const double s = form.squareSize;
        return QRectF(pixels(corner.x() - s, corner.y() - s), pixels(corner.x(), corner.y()));
    }

    // A box and a centred label, as a square of the walk or of Solve's path.
    void paintSquare(QPainter& p, const QFontMetricsF& metrics, Square sq, const QColor& colour,
                     const QString& label) const {
        p.setPen(wallPen(colour));
        p.setBrush(colour);
        p.drawRect(squareBox(sq));
        p.setPen(Qt::black);
        const QRectF area = squareArea(sq);
        const QPointF topLeft(area.center().x() - metrics.horizontalAdvance(label) / 2,
                              area.center().y() - metrics.height() / 2);
        p.drawText(topLeft + QPointF(0, metrics.ascent()), label);
    }

    const Mazeform& form;
    QFont font;
    TwipsPerPixel px;
};

// Every case and floor, on windows made once and kept for the whole run.
class BoardBenchmarks {
  public:
    void registerAll();

  private:
    Game& newMazeGame() { return made(newMazeGame_, 1); }
    Game& stepGame() { return made(stepGame_, 2); }
    Game& solveGame();
    Bare& bare() {
        if (!bare_) {
            bare_ = std::make_unique<Bare>();
        }
        return *bare_;
    }
    static Game& made(std::unique_ptr<Game>& game, std::uint64_t seed) {
        if (!game) {
            game = std::make_unique<Game>(seed);
        }
        return *game;
    }

    void newMaze(benchmark::State& state);
    void newMazeFloor(benchmark::State& state);
    // Prepares the step game: the player mid-maze with the button held, on `a` with `b` open
    // beside it.
    void prepareStep(Int visibility, Square& a, Square& b);
    void step(benchmark::State& state, Int visibility);
    void stepFloor(benchmark::State& state, Int visibility);
    void solve(benchmark::State& state);
    void solveFloor(benchmark::State& state);

    std::unique_ptr<Game> newMazeGame_;
    std::unique_ptr<Game> stepGame_;
    std::unique_ptr<Game> solveGame_;
    std::unique_ptr<Bare> bare_;
};

// Fails the benchmark unless the widget painted at every iteration.
void expectPainted(benchmark::State& state, long before, long after) {
    if (after - before < static_cast<long>(state.iterations())) {
        state.SkipWithError("the widget did not paint at every iteration");
    }
}

// Runs a command on the game and paints at every iteration, failing unless the widget painted.
void paintEach(benchmark::State& state, Game& game, void (*command)(Mazeform&)) {
    const long before = game.paints.count;
    for (auto _ : state) {
        command(game.form());
        paintPending();
    }
    expectPainted(state, before, game.paints.count);
}

void BoardBenchmarks::newMaze(benchmark::State& state) {
    paintEach(state, newMazeGame(), Command1_Click);
}

void BoardBenchmarks::newMazeFloor(benchmark::State& state) {
    Game& game = newMazeGame();
    Bare& b = bare();
    const Mazeform& f = game.form();
    const Floor floor(f, game.board().boardFont(), game.board().twipsPerPixel());
    // The walls in the order the game draws them; only drawing is timed.
    const std::vector<QLineF> walls = floor.walls(1, f.mazeHeight, 1, f.mazeWidth);
    const QRectF entrance = floor.squareArea({f.entryCol, 0});
    const QColor background = b.window.palette().color(QPalette::Window);
    const QColor gray = qcolour(kEntranceGray);
    QImage& image = b.window.board().image();
    const long before = b.paints.count;
    for (auto _ : state) {
        image.fill(background);
        QPainter p(&image);
        p.setPen(wallPen(Qt::black));
        for (const QLineF& wall : walls) {
            p.drawLine(wall);
        }
        p.setPen(wallPen(gray));
        p.setBrush(gray);
        p.drawRect(entrance);
        p.end();
        b.window.board().update();
        paintPending();
    }
    expectPainted(state, before, b.paints.count);
}

void BoardBenchmarks::prepareStep(Int visibility, Square& a, Square& b) {
    Game& game = stepGame();
    Mazeform& f = game.form();
    perform(f, visibilityItem(visibility)->id);
    // Leaves full visibility behind before the timed steps, so that no step redraws it all.
    f.lastVisibility = visibility;
    const std::vector<Square> way = wayTo(f, {25, 25});
    a = way.back();
    b = way[way.size() - 2];
    game.walkTo(a);
    if (!game.standsOn(a) || !f.tracking) {
        throw std::runtime_error("the walk did not reach the middle of the maze");
    }
}

void BoardBenchmarks::step(benchmark::State& state, Int visibility) {
    Square a;
    Square b;
    prepareStep(visibility, a, b);
    Game& game = stepGame();
    const long before = game.paints.count;
    bool toB = true;
    for (auto _ : state) {
        game.step(toB ? b : a);
        paintPending();
        toB = !toB;
    }
    expectPainted(state, before, game.paints.count);
    if (!game.standsOn(toB ? a : b)) {
        state.SkipWithError("the player did not step at every iteration");
    }
}

void BoardBenchmarks::stepFloor(benchmark::State& state, Int visibility) {
    Square a;
    Square b;
    prepareStep(visibility, a, b);
    Game& game = stepGame();
    const Mazeform& f = game.form();
    Bare& bare = this->bare();
    const Floor floor(f, game.board().boardFont(), game.board().twipsPerPixel());
    // The walls around each of the two squares, as the view of a player standing there.
    const auto block = [&](Square s) {
        return floor.walls(
            std::max(1, s.row - visibility), std::min<int>(f.mazeHeight, s.row + visibility),
            std::max(1, s.col - visibility), std::min<int>(f.mazeWidth, s.col + visibility));
    };
    const std::vector<QLineF> aroundA = block(a);
    const std::vector<QLineF> aroundB = block(b);
    const QColor background = bare.window.palette().color(QPalette::Window);
    const QColor green = qcolour(kTrailGreen);
    const QColor blue = qcolour(kPlayerBlue);
    QImage& image = bare.window.board().image();
    const QFontMetricsF metrics(floor.font, &image);
    // The counts the game shows, kept the same way.
    int passesA = f.passes(a.col, a.row);
    int passesB = f.passes(b.col, b.row);
    int moves = f.moveCount;
    int extra = f.extraMoves;
    const QRect steppedArea =
        floor.squareArea(a).united(floor.squareArea(b)).toAlignedRect().adjusted(-2, -2, 2, 2);
    const long before = bare.paints.count;
    bool toB = true;
    for (auto _ : state) {
        const Square from = toB ? a : b;
        const Square to = toB ? b : a;
        int& left = toB ? passesA : passesB;
        int& entered = toB ? passesB : passesA;
        ++moves;
        ++entered;
        extra += entered == 2 ? 2 : 1;
        QPainter p(&image);
        if (visibility > 0) {
            image.fill(background);
            p.setPen(wallPen(Qt::black));
            for (const QLineF& wall : toB ? aroundB : aroundA) {
                p.drawLine(wall);
            }
        }
        p.setFont(floor.font);
        floor.paintSquare(p, metrics, from, green, QString::number(left));
        floor.paintSquare(p, metrics, to, blue, QString::number(entered));
        p.end();
        bare.window.moves().setText(QString::number(moves));
        bare.window.extra().setText(QString::number(extra));
        if (visibility > 0) {
            bare.window.board().update();
        } else {
            bare.window.board().update(steppedArea);
        }
        paintPending();
        toB = !toB;
    }
    expectPainted(state, before, bare.paints.count);
}

Game& BoardBenchmarks::solveGame() {
    if (!solveGame_) {
        // Of the first mazes, the one with the longest way through.
        solveGame_ = std::make_unique<Game>(1);
        Game& game = *solveGame_;
        std::uint64_t longest = 1;
        Int longestLength = 0;
        for (std::uint64_t seed = 1; seed <= 30; ++seed) {
            game.random.restart(seed);
            Command1_Click(game.form());
            cheat_Click(game.form());
            if (game.form().solutionLength > longestLength) {
                longestLength = game.form().solutionLength;
                longest = seed;
            }
        }
        game.random.restart(longest);
        Command1_Click(game.form());
        cheat_Click(game.form());
        paintPending();
    }
    return *solveGame_;
}

void BoardBenchmarks::solve(benchmark::State& state) {
    Game& game = solveGame();
    paintEach(state, game, cheat_Click);
    state.counters["squares"] = game.form().solutionLength;
}

void BoardBenchmarks::solveFloor(benchmark::State& state) {
    Game& game = solveGame();
    const Mazeform& f = game.form();
    Bare& bare = this->bare();
    const Floor floor(f, game.board().boardFont(), game.board().twipsPerPixel());
    std::vector<Square> path;
    QRectF pathArea;
    for (int n = 1; n <= f.solutionLength; ++n) {
        const int code = f.solutionPath.at(static_cast<std::size_t>(f.solutionLength + 1 - n));
        const Square s{codeCol(f.mazeWidth, code), codeRow(f.mazeWidth, code)};
        path.push_back(s);
        pathArea |= floor.squareArea(s);
    }
    const QRect dirty = pathArea.toAlignedRect().adjusted(-2, -2, 2, 2);
    const QColor blue = qcolour(kPlayerBlue);
    QImage& image = bare.window.board().image();
    const QFontMetricsF metrics(floor.font, &image);
    const QString length = QString::number(f.solutionLength);
    const QString extra = QString::number(f.moveCount - f.solutionLength);
    const long before = bare.paints.count;
    for (auto _ : state) {
        QPainter p(&image);
        p.setFont(floor.font);
        for (std::size_t n = 0; n < path.size(); ++n) {
            floor.paintSquare(p, metrics, path[n], blue,
                              QString(QChar::fromLatin1(pathLetter(static_cast<int>(n) + 1))));
        }
        p.end();
        bare.window.moves().setText(length);
        bare.window.extra().setText(extra);
        bare.window.board().update(dirty);
        paintPending();
    }
    expectPainted(state, before, bare.paints.count);
    state.counters["squares"] = static_cast<double>(path.size());
}

void BoardBenchmarks::registerAll() {
    const auto add = [](const char* name, auto run) {
        withSpread(benchmark::RegisterBenchmark(name, run))
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMicrosecond);
    };
    add("NewMaze50/game", [this](benchmark::State& s) { newMaze(s); });
    add("NewMaze50/floor", [this](benchmark::State& s) { newMazeFloor(s); });
    add("Step8/game", [this](benchmark::State& s) { step(s, 8); });
    add("Step8/floor", [this](benchmark::State& s) { stepFloor(s, 8); });
    add("StepFull/game", [this](benchmark::State& s) { step(s, 0); });
    add("StepFull/floor", [this](benchmark::State& s) { stepFloor(s, 0); });
    add("Solve50/game", [this](benchmark::State& s) { solve(s); });
    add("Solve50/floor", [this](benchmark::State& s) { solveFloor(s); });
}

// The goals on CPU time, and the same on wall time for reference.
std::vector<Goal> goals() {
    std::vector<Goal> all;
    for (const char* field : {"cpu_time", "real_time"}) {
        const bool wall = std::string(field) == "real_time";
        const std::string clock = wall ? ", wall (ms)" : ", CPU (ms)";
        const auto ratio = [&](const char* title, const char* name, double limit) {
            Goal goal{title + clock, Goal::Kind::RatioAtMost,
                      Measure{std::string(name) + "/game", field},
                      Measure{std::string(name) + "/floor", field}, limit};
            goal.forReference = wall;
            all.push_back(goal);
        };
        const auto within = [&](const char* title, const char* name, double ms) {
            Goal goal{title + clock, Goal::Kind::AtMost,
                      Measure{std::string(name) + "/game", field}, std::nullopt, ms};
            goal.forReference = wall;
            all.push_back(goal);
        };
        ratio("NEW MAZE 50x50, game / floor", "NewMaze50", 1.5);
        within("NEW MAZE 50x50, game", "NewMaze50", 1.7);
        ratio("Step, 8-square visibility, game / floor", "Step8", 2);
        within("Step, 8-square visibility, game", "Step8", 0.8);
        ratio("Step, full visibility, game / floor", "StepFull", 3);
        ratio("Solve 50x50 long path, game / floor", "Solve50", 2);
    }
    return all;
}

}  // namespace
}  // namespace quorrel::bench

namespace {

// The offscreen platform says on every new window that it cannot pass size hints on.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("does not support propagateSizeHints"))) {
        qt_message_output(type, context, message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The goals hold for the offscreen platform: drawing on the raster surface in memory.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(quietHandler);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    quorrel::bench::BoardBenchmarks benchmarks;
    benchmarks.registerAll();
    std::printf("Platform: %s\n", qPrintable(QGuiApplication::platformName()));
    return quorrel::bench::runJudged(argc, argv, quorrel::bench::goals());
}
