#pragma once

// Doubles for long runs of events: they keep counts instead of recordings, so tens of
// thousands of events cost little memory, and note anything the game hands them that no
// sound game would.

#include <cstdint>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "gen/random_source.h"
#include "mazefile/file_store.h"
#include "model/state.h"
#include "ui/controls.h"
#include "ui/surface.h"

namespace quorrel::testing {

// A board without a picture. Walls must be one square long, horizontal or vertical, and lie
// within 16-bit twips; every coordinate and font size must be a finite number.
class CheckingSurface : public Surface {
  public:
    // The state whose square size the walls are measured against.
    void watch(const State& s) { state_ = &s; }

    void clear() override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void box(float x1, float y1, float x2, float y2, Colour colour) override;
    void setFontSize(float points) override;
    TextExtent measureText(std::string_view text) override;
    void printText(float x, float y, std::string_view text) override;
    ClientSize clientSize() override { return client; }
    TwipsPerPixel twipsPerPixel() override { return pixel; }
    Colour backgroundColour() override { return kBackground; }

    static constexpr Colour kBackground = 0xF0F0F0;

    ClientSize client{8880, 7305};
    TwipsPerPixel pixel{15, 15};
    long calls = 0;  // every drawing call
    long lines = 0;
    long clears = 0;
    Colour lastBox = -1;  // colour of the latest box, -1 before any
    float fontSize = 0;   // the latest font size set
    std::vector<std::string> faults;

  private:
    void fault(std::string text);

    const State* state_ = nullptr;
};

// A message box as it was shown, with what the window held at that moment.
struct Shown {
    std::string text;
    bool question = false;
    Int moveCount = 0;
    Int extraMoves = 0;
    bool tracking = false;
    long surfaceCalls = 0;
    Colour lastBox = -1;
};

// The selectors, boxes, menu check marks and message boxes. The check marks start as the
// window is designed: "Full visibility" checked, nothing else. Questions are answered from
// `answers`, No once it is empty.
class CheckingWindow : public Controls, public Messages {
  public:
    CheckingWindow();
    void watch(const State& s, const CheckingSurface& surface) {
        state_ = &s;
        surface_ = &surface;
    }

    std::string widthText() override { return width; }
    std::string heightText() override { return height; }
    void setMovesText(std::string_view text) override { moves = text; }
    void setExtraText(std::string_view text) override { extra = text; }
    void setChecked(MenuItem item, bool checked) override { checks[item] = checked; }
    void inform(std::string_view text) override;
    bool ask(std::string_view text) override;

    std::string width = "20";
    std::string height = "20";
    std::string moves;
    std::string extra;
    std::map<MenuItem, bool> checks;
    std::deque<bool> answers;
    std::vector<Shown> shown;  // since the driver last emptied it

  private:
    void note(std::string_view text, bool question);

    const State* state_ = nullptr;
    const CheckingSurface* surface_ = nullptr;
};

// Draws from a Mersenne Twister restarted with a seed at each maze. "Edgy" restarts make
// the first draw, and one draw in eight after it, a value at the edge of [0, 1): 0, the
// largest double below 1, or one just below a half or a third.
class EdgeRandom : public RandomSource {
  public:
    void restart(std::uint64_t seed, bool edgy);
    void reseed() override { ++reseeds; }
    double next() override;

    int reseeds = 0;

  private:
    std::mt19937_64 engine_{1};
    bool edgy_ = false;
    bool first_ = false;
};

// Maze files in memory. `failCreate` and `failWrite` make the next creation or the next
// write fail, once.
class TroubleFileStore : public FileStore {
  public:
    CreateResult create(const std::string& name, std::string& reason) override;
    bool writeAndClose(std::string_view bytes, std::string& reason) override;
    void remove(const std::string& name) override { files.erase(name); }

    // The name the next maze file should get: the first free number from 1.
    std::string nextFreeName() const;

    std::map<std::string, std::string> files;
    bool failCreate = false;
    bool failWrite = false;

  private:
    std::string open_;
};

}  // namespace quorrel::testing
