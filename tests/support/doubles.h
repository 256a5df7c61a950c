#pragma once

// One test double per port of the game: a board that records or counts every call, the
// controls and message boxes, scripted or seeded random draws, and maze files kept in memory.
// The unit tests, the event driver, the fuzzers and the benchmarks all use these.

#include <cstdint>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/mazeform.h"
#include "game/ports.h"
#include "gen/random_source.h"
#include "model/state.h"

namespace quorrel::testing {

// One call made on the board.
struct DrawOp {
    enum Kind { Clear, Line, Box, Text, Font };

    DrawOp(Kind k, float ax1 = 0, float ay1 = 0, float ax2 = 0, float ay2 = 0, Colour c = 0)
        : kind(k), x1(ax1), y1(ay1), x2(ax2), y2(ay2), colour(c) {}

    bool operator==(const DrawOp&) const = default;

    Kind kind;
    float x1, y1, x2, y2;
    Colour colour;
    std::string text;
    float points = 0;
};

// The calls of one kind among `ops`, in order.
std::vector<DrawOp> onlyKind(const std::vector<DrawOp>& ops, DrawOp::Kind kind);

// A board that counts every call and, while `recording`, keeps each one in `ops`. Text
// measures 60 twips per character by 180 twips. Once it watches a state it also notes what
// no sound game draws: walls that are not one black square side within 16-bit twips,
// coordinates or font sizes that are not finite numbers.
class RecordingSurface : public Surface {
  public:
    // The state whose square size the walls are measured against.
    void watch(const State& s) { state_ = &s; }

    ClientSize clientSize() override { return client; }
    TwipsPerPixel twipsPerPixel() override { return pixel; }
    Colour backgroundColour() override { return background; }
    void clear() override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void box(float x1, float y1, float x2, float y2, Colour colour) override;
    void setFontSize(float points) override;
    void printText(float x, float y, std::string_view text) override;
    TextExtent measureText(std::string_view text) override;

    // The calls of one kind, in order.
    std::vector<DrawOp> of(DrawOp::Kind kind) const;

    bool recording = true;
    std::vector<DrawOp> ops;
    ClientSize client{8880, 7305};
    TwipsPerPixel pixel{15, 15};
    Colour background = 0xF0F0F0;
    float fontSize = 0;  // the latest font size set
    long calls = 0;      // every drawing call
    long lines = 0;
    long boxes = 0;
    long clears = 0;
    Colour lastBox = -1;  // colour of the latest box, -1 before any
    std::vector<std::string> faults;

  private:
    void keep(DrawOp op);
    void fault(std::string text);

    const State* state_ = nullptr;
};

// A message box as it was shown, with what the window held at that moment.
struct Shown {
    std::string text;
    bool question = false;
    std::string moves;  // the Moves and Extra boxes
    std::string extra;
    Int moveCount = 0;
    Int extraMoves = 0;
    bool tracking = false;
    long surfaceCalls = 0;
    Colour lastBox = -1;
};

// The controls and message boxes, recording what the game shows and answering Yes or No from
// `answers` (No when it is empty). Once it watches the board, it notes how many calls the
// board had recorded when each message box appeared, so a test can tell what was on the board
// in front of the message; once it watches a state, `shown` also keeps the counters.
class FakeWindow : public Controls, public Messages {
  public:
    void watch(const RecordingSurface& surface) { surface_ = &surface; }
    void watch(const State& s, const RecordingSurface& surface) {
        state_ = &s;
        surface_ = &surface;
    }
    // What the player typed in the two size boxes. Taken as strings, not assigned from literals,
    // which GCC 12 misreads as overlapping copies in optimised builds.
    void typeSizes(std::string w, std::string h) {
        width = std::move(w);
        height = std::move(h);
    }
    // The check marks as the window is designed: "Full visibility" checked, nothing else.
    void markAsDesigned();

    std::string widthText() override { return width; }
    std::string heightText() override { return height; }
    void setMovesText(std::string_view text) override { moves = text; }
    void setExtraText(std::string_view text) override { extra = text; }
    void setChecked(Command item, bool checked) override { checks[item] = checked; }
    void inform(std::string_view text) override;
    bool ask(std::string_view text) override;

    std::string width = "20";
    std::string height = "20";
    std::string moves;
    std::string extra;
    std::map<Command, bool> checks;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    std::vector<std::size_t> opsAtMessage;  // board calls recorded before each message box
    std::vector<Shown> shown;               // every message box, until a test empties it

  private:
    void note(std::string_view text, bool question);

    const State* state_ = nullptr;
    const RecordingSurface* surface_ = nullptr;
};

// Draws from a script first; once it runs out, from a fixed-seed generator, or after
// restart() from a Mersenne Twister of the given seed. "Edgy" restarts make the first draw,
// and one draw in eight after it, a value at the edge of [0, 1): 0, the largest double below
// 1, or one just below a half or a third. With `sameEachMaze`, every maze restarts the
// generator at its seed, so every maze comes out alike.
class ScriptedRandom : public RandomSource {
  public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<double> draws) : script(draws.begin(), draws.end()) {}
    void restart(std::uint64_t seed, bool edgy = false);
    void reseed() override;
    double next() override;

    std::deque<double> script;
    SeededRandom fallback{12345};
    bool sameEachMaze = false;
    int reseeds = 0;
    int drawn = 0;

  private:
    std::mt19937_64 engine_{1};
    std::uint64_t seed_ = 1;
    bool restarted_ = false;
    bool edgy_ = false;
    bool first_ = false;
};

// Files kept in memory. Names listed in `taken` exist already; names in `failing` cannot be
// created; `failWrite` makes writing fail. `failNextCreate` and `failNextWrite` make only the
// next creation or write fail.
class MemoryFileStore : public FileStore {
  public:
    CreateResult create(const std::string& name, std::string& reason) override;
    bool writeAndClose(std::string_view bytes, std::string& reason) override;
    void remove(const std::string& name) override { files.erase(name); }

    // The name the next maze file should get: the first free number from 1.
    std::string nextFreeName() const;

    std::map<std::string, std::string> files;
    std::map<std::string, bool> taken;
    std::map<std::string, bool> failing;
    std::string open;
    bool failWrite = false;
    bool failNextCreate = false;
    bool failNextWrite = false;
    bool full = false;  // every name is taken
    int closes = 0;
};

// A main window wired to recording doubles, with the walls of the maze as first drawn.
// Maze files go to `files` unless another store is given.
struct Harness {
    Harness() : Harness(nullptr) {}
    explicit Harness(FileStore& store) : Harness(&store) {}
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    RecordingSurface surface;
    FakeWindow window;
    ScriptedRandom random;
    MemoryFileStore files;
    Mazeform form;
    std::vector<DrawOp> mazeLines;  // the walls drawn when the maze was generated

  private:
    explicit Harness(FileStore* store)
        : form(Ports{surface, window, window, random, store ? *store : files}) {
        window.watch(surface);
    }
};

}  // namespace quorrel::testing
