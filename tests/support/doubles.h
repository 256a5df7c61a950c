#pragma once

#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gen/random_source.h"
#include "mazefile/file_store.h"
#include "ui/controls.h"
#include "ui/mazeform.h"
#include "ui/surface.h"

namespace quorrel::testing {

// One call made on the board.
struct DrawOp {
    enum Kind { Clear, Line, Box, Text, Font };

    DrawOp(Kind k, float ax1 = 0, float ay1 = 0, float ax2 = 0, float ay2 = 0, Colour c = 0)
        : kind(k), x1(ax1), y1(ay1), x2(ax2), y2(ay2), colour(c) {}

    Kind kind;
    float x1, y1, x2, y2;
    Colour colour;
    std::string text;
    float points = 0;
};

// A board that records every call. Text measures 60 twips per character by 180 twips.
class RecordingSurface : public Surface {
  public:
    void clear() override { ops.emplace_back(DrawOp::Clear); }
    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        ops.emplace_back(DrawOp::Line, x1, y1, x2, y2, colour);
    }
    void box(float x1, float y1, float x2, float y2, Colour colour) override {
        ops.emplace_back(DrawOp::Box, x1, y1, x2, y2, colour);
    }
    void setFontSize(float points) override {
        fontSize = points;
        DrawOp op(DrawOp::Font);
        op.points = points;
        ops.push_back(op);
    }
    TextExtent measureText(std::string_view text) override {
        return {60.0 * static_cast<double>(text.size()), 180.0};
    }
    void printText(float x, float y, std::string_view text) override {
        DrawOp op(DrawOp::Text, x, y);
        op.text = std::string(text);
        ops.push_back(op);
    }
    ClientSize clientSize() override { return client; }
    TwipsPerPixel twipsPerPixel() override { return pixel; }
    Colour backgroundColour() override { return background; }

    // The calls of one kind, in order.
    std::vector<DrawOp> of(DrawOp::Kind kind) const {
        std::vector<DrawOp> out;
        for (const DrawOp& op : ops) {
            if (op.kind == kind) {
                out.push_back(op);
            }
        }
        return out;
    }

    std::vector<DrawOp> ops;
    ClientSize client{8880, 7305};
    TwipsPerPixel pixel{15, 15};
    Colour background = 0xF0F0F0;
    float fontSize = 0;
};

// The controls and message boxes, recording what the game shows and answering Yes or No
// from a script (No when the script is empty).
class FakeWindow : public Controls, public Messages {
  public:
    std::string widthText() override { return width; }
    std::string heightText() override { return height; }
    void setMovesText(std::string_view text) override { moves = text; }
    void setExtraText(std::string_view text) override { extra = text; }
    void setChecked(MenuItem item, bool checked) override { checks[item] = checked; }
    void inform(std::string_view text) override { messages.emplace_back(text); }
    bool ask(std::string_view text) override {
        questions.emplace_back(text);
        if (answers.empty()) {
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    std::string width = "20";
    std::string height = "20";
    std::string moves;
    std::string extra;
    std::map<MenuItem, bool> checks;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
};

// Draws from a script first; once it runs out, from a fixed-seed generator.
class ScriptedRandom : public RandomSource {
  public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<double> draws) : script(draws.begin(), draws.end()) {}
    void reseed() override { ++reseeds; }
    double next() override {
        ++drawn;
        if (script.empty()) {
            return fallback.next();
        }
        const double r = script.front();
        script.pop_front();
        return r;
    }

    std::deque<double> script;
    SeededRandom fallback{12345};
    int reseeds = 0;
    int drawn = 0;
};

// Files kept in memory. Names listed in `taken` exist already; names in `failing` cannot be
// created; `failWrite` makes writing fail.
class MemoryFileStore : public FileStore {
  public:
    CreateResult create(const std::string& name, std::string& reason) override {
        if (full || taken.count(name) || files.count(name)) {
            return CreateResult::NameTaken;
        }
        if (failing.count(name)) {
            reason = "Permission denied";
            return CreateResult::Failed;
        }
        open = name;
        files[name] = "";
        return CreateResult::Created;
    }
    bool writeAndClose(std::string_view bytes, std::string& reason) override {
        if (failWrite) {
            files[open] = std::string(bytes.substr(0, bytes.size() / 2));
            reason = "No space left on device";
            return false;
        }
        files[open] = std::string(bytes);
        ++closes;
        return true;
    }
    void remove(const std::string& name) override { files.erase(name); }

    std::map<std::string, std::string> files;
    std::map<std::string, bool> taken;
    std::map<std::string, bool> failing;
    std::string open;
    bool failWrite = false;
    bool full = false;  // every name is taken
    int closes = 0;
};

// A main window wired to recording doubles.
struct Harness {
    RecordingSurface surface;
    FakeWindow window;
    ScriptedRandom random;
    MemoryFileStore files;
    Mazeform form{Ports{surface, window, window, random, files}};
};

}  // namespace quorrel::testing
