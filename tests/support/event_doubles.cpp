#include "support/event_doubles.h"

#include <array>
#include <cmath>
#include <string>

#include "mazefile/maze_file.h"

namespace quorrel::testing {

namespace {

bool finite(float a, float b) {
    return std::isfinite(a) && std::isfinite(b);
}

bool inTwips(float v) {
    return v >= 0 && v <= kIntMax;
}

}  // namespace

void CheckingSurface::fault(std::string text) {
    // One wrong call tends to repeat; the first few tell the story.
    if (faults.size() < 8) {
        faults.push_back(std::move(text));
    }
}

void CheckingSurface::clear() {
    ++calls;
    ++clears;
}

void CheckingSurface::line(float x1, float y1, float x2, float y2, Colour colour) {
    ++calls;
    ++lines;
    if (!finite(x1, y1) || !finite(x2, y2)) {
        fault("a wall with a coordinate that is not a number");
        return;
    }
    const float length = std::abs(x2 - x1) + std::abs(y2 - y1);
    const bool straight = x1 == x2 || y1 == y2;
    const float size = state_ ? state_->squareSize : length;
    if (!straight || length != size || colour != kBlack) {
        fault("a wall from (" + std::to_string(x1) + ", " + std::to_string(y1) + ") to (" +
              std::to_string(x2) + ", " + std::to_string(y2) + ") that is not one black side");
    }
    if (!inTwips(x1) || !inTwips(y1) || !inTwips(x2) || !inTwips(y2)) {
        fault("a wall beyond 16-bit twips at (" + std::to_string(x1) + ", " + std::to_string(y1) +
              ")");
    }
}

void CheckingSurface::box(float x1, float y1, float x2, float y2, Colour colour) {
    ++calls;
    lastBox = colour;
    if (!finite(x1, y1) || !finite(x2, y2)) {
        fault("a box with a coordinate that is not a number");
    }
}

void CheckingSurface::setFontSize(float points) {
    ++calls;
    fontSize = points;
    if (!std::isfinite(points) || points <= 0) {
        fault("font size " + std::to_string(points));
    }
}

TextExtent CheckingSurface::measureText(std::string_view text) {
    return {60.0 * static_cast<double>(text.size()), 180.0};
}

void CheckingSurface::printText(float x, float y, std::string_view text) {
    ++calls;
    if (!finite(x, y) || text.empty()) {
        fault("text \"" + std::string(text) + "\" at a position that is not a number");
    }
}

CheckingWindow::CheckingWindow() {
    for (MenuItem item :
         {MenuItem::MakeFile, MenuItem::Hide1, MenuItem::Hide2, MenuItem::Hide4, MenuItem::Hide8}) {
        checks[item] = false;
    }
    checks[MenuItem::Hide0] = true;
}

void CheckingWindow::note(std::string_view text, bool question) {
    Shown s;
    s.text = text;
    s.question = question;
    if (state_) {
        s.moveCount = state_->moveCount;
        s.extraMoves = state_->extraMoves;
        s.tracking = state_->tracking;
    }
    if (surface_) {
        s.surfaceCalls = surface_->calls;
        s.lastBox = surface_->lastBox;
    }
    shown.push_back(std::move(s));
}

void CheckingWindow::inform(std::string_view text) {
    note(text, false);
}

bool CheckingWindow::ask(std::string_view text) {
    note(text, true);
    if (answers.empty()) {
        return false;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void EdgeRandom::restart(std::uint64_t seed, bool edgy) {
    engine_.seed(seed);
    edgy_ = edgy;
    first_ = true;
}

double EdgeRandom::next() {
    static constexpr std::array<double, 6> kEdges = {
        0.0, 0x1.fffffffffffffp-1, 0x1.fffffffffffffp-2,
        0.5, 0x1.5555555555555p-2, 0x1.5555555555554p-1};
    const std::uint64_t bits = engine_();
    const bool edge = edgy_ && (first_ || (bits & 7) == 0);
    first_ = false;
    if (edge) {
        return kEdges[(bits >> 3) % kEdges.size()];
    }
    return unitInterval(bits);
}

CreateResult TroubleFileStore::create(const std::string& name, std::string& reason) {
    if (files.count(name) != 0) {
        return CreateResult::NameTaken;
    }
    if (failCreate) {
        failCreate = false;
        reason = "Permission denied";
        return CreateResult::Failed;
    }
    open_ = name;
    files[name];
    return CreateResult::Created;
}

bool TroubleFileStore::writeAndClose(std::string_view bytes, std::string& reason) {
    if (failWrite) {
        failWrite = false;
        files[open_] = std::string(bytes.substr(0, bytes.size() / 2));
        reason = "No space left on device";
        return false;
    }
    files[open_] = std::string(bytes);
    return true;
}

std::string TroubleFileStore::nextFreeName() const {
    int n = 1;
    while (files.count(mazeFileName(n)) != 0) {
        ++n;
    }
    return mazeFileName(n);
}

}  // namespace quorrel::testing
