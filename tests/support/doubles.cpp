#include "support/doubles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>

#include "game/maze_file.h"
#include "ui/commands.h"

namespace quorrel::testing {

namespace {

bool finite(float a, float b) {
    return std::isfinite(a) && std::isfinite(b);
}

bool inTwips(float v) {
    return v >= 0 && v <= kIntMax;
}

std::string point(float x, float y) {
    std::ostringstream out;
    out << '(' << std::to_string(x) << ", " << std::to_string(y) << ')';
    return out.str();
}

}  // namespace

void RecordingSurface::keep(DrawOp op) {
    ++calls;
    if (recording) {
        ops.push_back(std::move(op));
    }
}

void RecordingSurface::fault(std::string text) {
    // One wrong call tends to repeat; the first few tell the story.
    if (faults.size() < 8) {
        faults.push_back(std::move(text));
    }
}

void RecordingSurface::clear() {
    ++clears;
    keep(DrawOp(DrawOp::Clear));
}

void RecordingSurface::line(float x1, float y1, float x2, float y2, Colour colour) {
    ++lines;
    keep(DrawOp(DrawOp::Line, x1, y1, x2, y2, colour));
    if (state_ == nullptr) {
        return;
    }
    if (!finite(x1, y1) || !finite(x2, y2)) {
        fault("a wall with a coordinate that is not a number");
        return;
    }
    const float length = std::abs(x2 - x1) + std::abs(y2 - y1);
    const bool straight = x1 == x2 || y1 == y2;
    if (!straight || length != state_->squareSize || colour != kBlack) {
        fault("a wall from " + point(x1, y1) + " to " + point(x2, y2) +
              " that is not one black side");
    }
    if (!inTwips(x1) || !inTwips(y1) || !inTwips(x2) || !inTwips(y2)) {
        fault("a wall beyond 16-bit twips at " + point(x1, y1));
    }
}

void RecordingSurface::box(float x1, float y1, float x2, float y2, Colour colour) {
    ++boxes;
    lastBox = colour;
    keep(DrawOp(DrawOp::Box, x1, y1, x2, y2, colour));
    if (state_ != nullptr && (!finite(x1, y1) || !finite(x2, y2))) {
        fault("a box with a coordinate that is not a number");
    }
}

void RecordingSurface::setFontSize(float points) {
    fontSize = points;
    DrawOp op(DrawOp::Font);
    op.points = points;
    keep(std::move(op));
    if (state_ != nullptr && (!std::isfinite(points) || points <= 0)) {
        fault("font size " + std::to_string(points));
    }
}

TextExtent RecordingSurface::measureText(std::string_view text) {
    return {60.0 * static_cast<double>(text.size()), 180.0};
}

void RecordingSurface::printText(float x, float y, std::string_view text) {
    DrawOp op(DrawOp::Text, x, y);
    op.text = std::string(text);
    keep(std::move(op));
    if (state_ != nullptr && (!finite(x, y) || text.empty())) {
        fault("text \"" + std::string(text) + "\" at a position that is not a number");
    }
}

std::vector<DrawOp> onlyKind(const std::vector<DrawOp>& ops, DrawOp::Kind kind) {
    std::vector<DrawOp> out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out),
                 [kind](const DrawOp& op) { return op.kind == kind; });
    return out;
}

std::vector<DrawOp> RecordingSurface::of(DrawOp::Kind kind) const {
    return onlyKind(ops, kind);
}

void FakeWindow::markAsDesigned() {
    // Every check mark as the window opens: only full visibility.
    for (const CommandRow& row : commands()) {
        if (row.checked != nullptr) {
            checks[row.id] = row.radius == 0;
        }
    }
}

void FakeWindow::note(std::string_view text, bool question) {
    Shown s;
    s.text = text;
    s.question = question;
    s.moves = moves;
    s.extra = extra;
    if (state_ != nullptr) {
        s.moveCount = state_->moveCount;
        s.extraMoves = state_->extraMoves;
        s.tracking = state_->tracking;
    }
    if (surface_ != nullptr) {
        s.surfaceCalls = surface_->calls;
        s.lastBox = surface_->lastBox;
        opsAtMessage.push_back(surface_->ops.size());
    }
    shown.push_back(std::move(s));
}

void FakeWindow::inform(std::string_view text) {
    note(text, false);
    messages.emplace_back(text);
}

bool FakeWindow::ask(std::string_view text) {
    note(text, true);
    questions.emplace_back(text);
    if (answers.empty()) {
        return false;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void ScriptedRandom::restart(std::uint64_t seed, bool edgy) {
    seed_ = seed;
    engine_.seed(seed);
    restarted_ = true;
    edgy_ = edgy;
    first_ = true;
}

void ScriptedRandom::reseed() {
    ++reseeds;
    if (sameEachMaze) {
        engine_.seed(seed_);
    }
}

double ScriptedRandom::next() {
    static constexpr std::array<double, 6> kEdges = {
        0.0, 0x1.fffffffffffffp-1, 0x1.fffffffffffffp-2,
        0.5, 0x1.5555555555555p-2, 0x1.5555555555554p-1};
    ++drawn;
    if (!script.empty()) {
        const double r = script.front();
        script.pop_front();
        return r;
    }
    if (!restarted_) {
        return fallback.next();
    }
    const std::uint64_t bits = engine_();
    const bool edge = edgy_ && (first_ || (bits & 7) == 0);
    first_ = false;
    if (edge) {
        return kEdges[(bits >> 3) % kEdges.size()];
    }
    return unitInterval(bits);
}

CreateResult MemoryFileStore::create(const std::string& name, std::string& reason) {
    if (full || taken.count(name) || files.count(name)) {
        return CreateResult::NameTaken;
    }
    if (failing.count(name) || failNextCreate) {
        failNextCreate = false;
        reason = "Permission denied";
        return CreateResult::Failed;
    }
    open = name;
    files[name] = "";
    return CreateResult::Created;
}

bool MemoryFileStore::writeAndClose(std::string_view bytes, std::string& reason) {
    if (failWrite || failNextWrite) {
        failNextWrite = false;
        files[open] = std::string(bytes.substr(0, bytes.size() / 2));
        reason = "No space left on device";
        return false;
    }
    files[open] = std::string(bytes);
    ++closes;
    return true;
}

std::string MemoryFileStore::nextFreeName() const {
    int n = 1;
    while (files.count(mazeFileName(n)) != 0 || taken.count(mazeFileName(n)) != 0) {
        ++n;
    }
    return mazeFileName(n);
}

}  // namespace quorrel::testing
