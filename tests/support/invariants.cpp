#include "support/invariants.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/types.h"
#include "support/maze_geometry.h"

namespace quorrel::testing {

namespace {

std::string at(int col, int row) {
    std::ostringstream out;
    out << '(' << col << ", " << row << ')';
    return out.str();
}

// The grids have the extents of a W by H maze.
bool checkExtents(const State& s, Faults& out) {
    const int w = s.mazeWidth;
    const int h = s.mazeHeight;
    if (w < kMinSide || w > kMaxSide || h < kMinSide || h > kMaxSide) {
        out.push_back("maze size " + std::to_string(w) + " x " + std::to_string(h) +
                      " is outside 2..50");
        return false;
    }
    const bool ok = s.visited.lastCol() == w + 1 && s.visited.lastRow() == h + 1 &&
                    s.openings.lastCol() == w + 1 && s.openings.lastRow() == h + 1 &&
                    s.passes.lastCol() == w && s.passes.lastRow() == h + 1 &&
                    s.trail.size() == static_cast<std::size_t>(w * h + 1);
    if (!ok) {
        out.push_back("the grids do not have the extents of a " + std::to_string(w) + " x " +
                      std::to_string(h) + " maze");
    }
    if (s.entryCol < 1 || s.entryCol > w) {
        out.push_back("entrance column " + std::to_string(s.entryCol) + " is outside 1.." +
                      std::to_string(w));
        return false;
    }
    return ok;
}

// Codes in 0..3, the border ring closed except the entrance, column W closed to the right,
// every square of rows 1..H reached and none of the ring.
void checkCodes(const State& s, Faults& out) {
    const int w = s.mazeWidth;
    const int h = s.mazeHeight;
    for (int c = 0; c <= w + 1; ++c) {
        for (int r = 0; r <= h + 1; ++r) {
            const int code = s.openings(c, r);
            const bool inside = c >= 1 && c <= w && r >= 1 && r <= h;
            if (code < 0 || code > 3) {
                out.push_back("square " + at(c, r) + " has code " + std::to_string(code));
            } else if (!inside && code != 0 && !(c == s.entryCol && r == 0 && code == 1)) {
                out.push_back("border square " + at(c, r) + " is open (code " +
                              std::to_string(code) + ")");
            }
            if (inside && c == w && code >= 2) {
                out.push_back("the right border is open at row " + std::to_string(r));
            }
            if (s.visited(c, r) != inside) {
                out.push_back("square " + at(c, r) +
                              (inside ? " was never reached" : " of the border ring is reached"));
            }
        }
    }
    if (s.visitCount != w * h) {
        out.push_back("visitCount is " + std::to_string(s.visitCount) + ", not " +
                      std::to_string(w * h));
    }
}

// Exactly W*H - 1 openings between squares of rows 1..H, and all squares joined: a tree.
void checkPerfect(const State& s, Faults& out) {
    const int squares = s.mazeWidth * s.mazeHeight;
    const int joins = innerOpenings(s);
    if (joins != squares - 1) {
        out.push_back("the maze has " + std::to_string(joins) + " openings between squares, not " +
                      std::to_string(squares - 1));
    }
    const int reached = reachableSquares(s);
    if (reached != squares) {
        out.push_back("only " + std::to_string(reached) + " of " + std::to_string(squares) +
                      " squares are joined to (1, 1)");
    }
}

void checkExit(const State& s, Faults& out) {
    const int h = s.mazeHeight;
    int exits = 0;
    for (int c = 1; c <= s.mazeWidth; ++c) {
        exits += s.opensDown(c, h) ? 1 : 0;
    }
    if (exits != (s.exitMade ? 1 : 0)) {
        out.push_back(std::to_string(exits) + " squares of the bottom row open downward, with " +
                      (s.exitMade ? "an exit cut" : "no exit cut"));
    }
}

// The trail: the first square below the entrance first, squares of rows 1..H each once, and
// the square below the exit last when there is an exit.
void checkTrail(const State& s, Faults& out) {
    const int w = s.mazeWidth;
    const int h = s.mazeHeight;
    if (s.trail.at(1) != squareCode(w, s.entryCol, 1)) {
        out.push_back("trail(1) is " + std::to_string(s.trail.at(1)) +
                      ", not the square below the entrance");
    }
    if (s.trailCount < 2 || s.trailCount > w * h + 1 || (s.exitMade && s.trailCount > w * h) ||
        (!s.exitMade && s.trailCount != w * h + 1)) {
        out.push_back("trailCount is " + std::to_string(s.trailCount));
        return;
    }
    // Without an exit trailCount is W*H + 1 and every square is listed. Each square is first
    // reached from a neighbour reached before it.
    std::set<int> codes;
    for (int k = 1; k < s.trailCount; ++k) {
        const int code = s.trail.at(static_cast<std::size_t>(k));
        const int row = code >= 0 ? codeRow(w, code) : -1;
        if (row < 1 || row > h || !codes.insert(code).second) {
            out.push_back("trail(" + std::to_string(k) + ") = " + std::to_string(code) +
                          " is not a new square of the maze");
            return;
        }
        const Square square{codeCol(w, code), row};
        bool fromEarlier = k == 1;
        for (const Square n : {Square{square.col - 1, row}, Square{square.col + 1, row},
                               Square{square.col, row - 1}, Square{square.col, row + 1}}) {
            const bool inside = n.col >= 1 && n.col <= w && n.row >= 1 && n.row <= h;
            fromEarlier = fromEarlier || (inside && codes.count(squareCode(w, n.col, n.row)) &&
                                          testing::joined(s, square, n));
        }
        if (!fromEarlier) {
            out.push_back("trail(" + std::to_string(k) + ") is not joined to an earlier square");
        }
    }
    for (std::size_t k = static_cast<std::size_t>(s.trailCount) + 1; k < s.trail.size(); ++k) {
        if (s.exitMade && s.trail[k] != 0) {
            out.push_back("trail(" + std::to_string(k) + ") written after the exit");
            return;
        }
    }
    if (s.exitMade) {
        const int code = s.trail.at(static_cast<std::size_t>(s.trailCount));
        const int exitCol = exitColumn(s);
        if (code != squareCode(w, exitCol, h + 1)) {
            out.push_back("the trail ends on " + std::to_string(code) +
                          ", not below the exit in column " + std::to_string(exitCol));
        }
    }
}

void checkGeometry(const State& s, Faults& out) {
    const int size = s.squareSize;
    const long right = static_cast<long>(s.originX) + static_cast<long>(s.mazeWidth) * size;
    const long below = static_cast<long>(s.originY) + static_cast<long>(s.mazeHeight + 1) * size;
    if (size < 3 || s.inset < 0 || 2 * s.inset >= size || s.originX < 0 || s.originY < size ||
        right > kIntMax || below > kIntMax) {
        out.push_back("board geometry square " + std::to_string(size) + " inset " +
                      std::to_string(s.inset) + " origin " + at(s.originX, s.originY) +
                      " does not fit");
    }
    if (s.entryX != s.originX + s.entryCol * size || s.entryY != s.originY) {
        out.push_back("the entrance corner " + at(s.entryX, s.entryY) +
                      " is not that of the entrance square");
    }
}

bool parseInteger(std::string_view text, long& value) {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (!isPlainNumber(digits) || (negative && digits == "0")) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// The squares two codes stand for are neighbours with an open side between them.
bool joined(const State& s, int codeA, int codeB) {
    const int w = s.mazeWidth;
    return testing::joined(s, {codeCol(w, codeA), codeRow(w, codeA)},
                           {codeCol(w, codeB), codeRow(w, codeB)});
}

}  // namespace

std::string describe(const Faults& faults) {
    std::string text;
    for (const std::string& f : faults) {
        text += f + "\n";
    }
    return text;
}

void checkMaze(const State& s, Faults& out) {
    if (s.entryCol == 0) {
        if (!s.openings.empty() || s.exitMade) {
            out.push_back("a maze half exists: grids without an entrance column");
        }
        return;
    }
    if (!checkExtents(s, out)) {
        return;
    }
    checkCodes(s, out);
    checkPerfect(s, out);
    checkExit(s, out);
    checkTrail(s, out);
    checkGeometry(s, out);
}

void checkPlayer(const State& s, Faults& out) {
    if (s.moveCount < 0 || s.extraMoves < 0) {
        out.push_back("negative counter: moves " + std::to_string(s.moveCount) + ", extra " +
                      std::to_string(s.extraMoves));
    }
    if (s.entryCol == 0) {
        if (s.tracking || s.moveCount != 0 || s.extraMoves != 0) {
            out.push_back("play before any maze exists");
        }
        return;
    }
    for (int c = 0; c <= s.passes.lastCol(); ++c) {
        for (int r = 0; r <= s.passes.lastRow(); ++r) {
            if (s.passes(c, r) < 0) {
                out.push_back("square " + at(c, r) + " has a negative pass count");
            }
        }
    }
    if (!s.passes.contains(s.entryCol, 0)) {
        out.push_back("the entrance square (" + std::to_string(s.entryCol) +
                      ", 0) lies outside the pass counts");
        return;
    }
    // Before the first press on a new maze the player's square is still the last maze's.
    const bool playing = s.tracking || s.moveCount > 0 || s.passes(s.entryCol, 0) > 0;
    if (!playing) {
        return;
    }
    const int col = s.playerCol;
    const int row = s.playerRow;
    const int h = s.mazeHeight;
    const bool exists = (row == 0 && col == s.entryCol) ||
                        (row >= 1 && row <= h && col >= 1 && col <= s.mazeWidth) ||
                        (row == h + 1 && s.exitMade && col == exitColumn(s));
    if (!exists) {
        out.push_back("the player stands on " + at(col, row) + ", which is no square of the maze");
    }
}

// The boxes are written by NEW MAZE and Retry (both emptied, counters zeroed), by each painted
// step (Moves = moveCount; Extra = extraMoves when the square entered was passed before) and by
// Solve on a maze with an exit (Moves = solutionLength; Extra = moveCount - solutionLength when
// the player's corner lies on the square below the exit). Hence:
//   Moves empty   => moveCount = 0, extraMoves = 0 and Extra empty: nothing was painted or
//                    solved since the last reset.
//   Moves filled  => plain digits, equal to moveCount (a step or press painted last) or, with
//                    an exit cut, to solutionLength (Solve wrote last).
//   Extra empty   => extraMoves = 0: every rise of extraMoves is a repeated pass, which
//                    writes the box.
//   Extra filled  => equal to extraMoves, which is then above 0, or, with an exit cut,
//                    Solve's moveCount - solutionLength for the
//                    moveCount of that moment. Steps on squares entered for the first time
//                    raise moveCount without rewriting Extra, and moveCount never falls until
//                    the next reset empties the box, so that figure lies between
//                    -solutionLength and moveCount - solutionLength; it may be negative.
void checkBoxes(const State& s, std::string_view moves, std::string_view extra, Faults& out) {
    const std::string shown = "Moves \"" + std::string(moves) + "\", Extra \"" +
                              std::string(extra) + "\" with moveCount " +
                              std::to_string(s.moveCount) + ", extraMoves " +
                              std::to_string(s.extraMoves) + ", solutionLength " +
                              std::to_string(s.solutionLength) + ": ";
    if (moves.empty()) {
        if (s.moveCount != 0 || s.extraMoves != 0 || !extra.empty()) {
            out.push_back(shown + "an empty Moves box after a step or Solve");
        }
        return;
    }
    const bool solved = s.exitMade && moves == std::to_string(s.solutionLength);
    if (!isPlainNumber(moves) || (moves != std::to_string(s.moveCount) && !solved)) {
        out.push_back(shown + "Moves shows neither the move count nor the path length");
    }
    if (extra.empty()) {
        if (s.extraMoves != 0) {
            out.push_back(shown + "extra moves counted but the Extra box is empty");
        }
        return;
    }
    long value = 0;
    if (!parseInteger(extra, value)) {
        out.push_back(shown + "Extra is not a decimal number");
        return;
    }
    // At least 2 when the pass counts were cleared with the counters, as the first repeated
    // pass adds 2; 1 if the counters were ever zeroed with the pass counts kept.
    const bool counted = extra == std::to_string(s.extraMoves) && s.extraMoves >= 1;
    const bool fromSolve = s.exitMade && s.solutionLength > 0 && value >= -s.solutionLength &&
                           value <= s.moveCount - s.solutionLength;
    if (!counted && !fromSolve) {
        out.push_back(shown + "Extra shows neither the extra moves nor Solve's figure");
    }
}

void checkMazeText(std::string_view text, const State& s, Faults& out) {
    const int w = s.mazeWidth;
    const int h = s.mazeHeight;
    const std::string file =
        "the file of the " + std::to_string(w) + " x " + std::to_string(h) + " maze ";
    std::vector<std::string> lines;
    for (std::size_t end = 0; !text.empty(); text.remove_prefix(end + 2)) {
        end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        if (end == std::string_view::npos || line.find_first_of("\r\n") != line.npos) {
            out.push_back(file + "has a line not ended by CR LF");
            return;
        }
        lines.emplace_back(line);
    }
    bool shaped = lines.size() == static_cast<std::size_t>(5 + 2 * h);
    for (std::size_t i = 0; shaped && i < lines.size(); ++i) {
        const std::string& line = lines[i];
        shaped = line.size() == (i < 4 ? 0U : static_cast<std::size_t>(3 * w + 1)) &&
                 (i < 4 || line.back() != ' ') &&
                 line.find_first_not_of(" .-:I") == std::string::npos;
    }
    if (!shaped) {
        out.push_back(file + "does not have the shape of the maze");
        return;
    }
    std::string drawn = lines[4];
    std::string walls;
    for (int c = 1; c <= w; ++c) {
        walls += c == s.entryCol ? ".  " : ".--";
    }
    walls += '.';
    for (int r = 1; r <= h; ++r) {
        std::string sides = "I";
        std::string bottoms;
        for (int c = 1; c <= w; ++c) {
            sides += c < w && s.opensRight(c, r) ? "   " : "  I";  // the right border is closed
            bottoms += s.opensDown(c, r) ? ":  " : ":--";
        }
        walls += sides + bottoms + '.';
        drawn +=
            lines[static_cast<std::size_t>(3 + 2 * r)] + lines[static_cast<std::size_t>(4 + 2 * r)];
    }
    if (drawn != walls) {
        out.push_back(file + "does not draw its walls");
    }
}

void checkSolution(const State& s, Faults& out) {
    const int w = s.mazeWidth;
    const int h = s.mazeHeight;
    const int length = s.solutionLength;
    if (s.solutionPath.size() != static_cast<std::size_t>(w * h + 1)) {
        out.push_back("solutionPath has " + std::to_string(s.solutionPath.size()) + " entries");
        return;
    }
    if (length < h + 1 || length > w * h || length > s.trailCount) {
        out.push_back("solutionLength " + std::to_string(length) + " is impossible");
        return;
    }
    const auto entry = [&](int n) { return s.solutionPath.at(static_cast<std::size_t>(n)); };
    const int exitCol = exitColumn(s);
    if (entry(1) != squareCode(w, exitCol, h + 1)) {
        out.push_back("the path does not start below the exit");
    }
    if (entry(length) != squareCode(w, s.entryCol, 1)) {
        out.push_back("the path does not end below the entrance");
    }
    std::set<int> seen;
    for (int n = 1; n <= length; ++n) {
        if (!seen.insert(entry(n)).second) {
            out.push_back("the path passes square code " + std::to_string(entry(n)) + " twice");
        }
        if (n < length && !joined(s, entry(n), entry(n + 1))) {
            out.push_back("path squares " + std::to_string(n) + " and " + std::to_string(n + 1) +
                          " are not joined");
        }
    }
    if (s.curX != s.originX + exitCol * s.squareSize ||
        s.curY != s.originY + (h + 1) * s.squareSize) {
        out.push_back("Solve left the player's corner at " + at(s.curX, s.curY) +
                      ", not on the square below the exit");
    }
}

namespace {

struct PassSums {
    long steps = 0;  // passes of rows 1..H+1
    long extra = 0;  // sum of g(passes) over every square
    bool saturated = false;
};

PassSums sumPasses(const State& s) {
    PassSums sums;
    for (int c = 0; c <= s.passes.lastCol(); ++c) {
        for (int r = 0; r <= s.passes.lastRow(); ++r) {
            const long n = s.passes(c, r);
            sums.steps += r >= 1 ? n : 0;
            sums.extra += n >= 2 ? n : 0;
            sums.saturated = sums.saturated || n >= kIntMax;
        }
    }
    return sums;
}

}  // namespace

void CounterLedger::rebase(const State& s) {
    const PassSums sums = sumPasses(s);
    moveBase_ = sums.steps;
    extraBase_ = sums.extra;
}

void CounterLedger::check(const State& s, Faults& out) {
    if (s.entryCol == 0) {
        return;
    }
    const PassSums sums = sumPasses(s);
    if (sums.steps == 0 && sums.extra == 0) {
        moveBase_ = 0;
        extraBase_ = 0;
    }
    if (sums.saturated || s.moveCount >= kIntMax || s.extraMoves >= kIntMax) {
        return;
    }
    if (s.moveCount != sums.steps - moveBase_ || s.extraMoves != sums.extra - extraBase_) {
        out.push_back("counters moves " + std::to_string(s.moveCount) + ", extra " +
                      std::to_string(s.extraMoves) + " do not match the pass counts (" +
                      std::to_string(sums.steps - moveBase_) + ", " +
                      std::to_string(sums.extra - extraBase_) + ")");
    }
}

bool isPlainNumber(std::string_view text) {
    if (text.empty() || (text.size() > 1 && text.front() == '0')) {
        return false;
    }
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

double referenceNumber(std::string_view text) {
    std::string packed;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            packed += c;
        }
    }
    // A small automaton; `accepted` is the length of the longest prefix that is a number.
    enum { Start, Sign, Whole, Point, Fraction, Exp, ExpSign, ExpDigits } state = Start;
    std::size_t accepted = 0;
    for (std::size_t i = 0; i < packed.size(); ++i) {
        const char c = packed[i];
        const bool digit = c >= '0' && c <= '9';
        const bool sign = c == '+' || c == '-';
        const bool exp = c == 'e' || c == 'E' || c == 'd' || c == 'D';
        if ((state == Start && sign)) {
            state = Sign;
        } else if ((state == Start || state == Sign || state == Whole) && digit) {
            state = Whole;
        } else if ((state == Start || state == Sign) && c == '.') {
            state = Point;
        } else if (state == Whole && c == '.') {
            state = Fraction;
        } else if ((state == Point || state == Fraction) && digit) {
            state = Fraction;
        } else if ((state == Whole || state == Fraction) && exp) {
            state = Exp;
        } else if (state == Exp && sign) {
            state = ExpSign;
        } else if ((state == Exp || state == ExpSign || state == ExpDigits) && digit) {
            state = ExpDigits;
        } else {
            break;
        }
        if (state == Whole || state == Fraction || state == ExpDigits) {
            accepted = i + 1;
        }
    }
    std::string number = packed.substr(0, accepted);
    std::replace(number.begin(), number.end(), 'd', 'e');
    std::replace(number.begin(), number.end(), 'D', 'e');
    return number.empty() ? 0.0 : std::strtod(number.c_str(), nullptr);
}

double referenceRound(double x) {
    if (!std::isfinite(x)) {
        return x;
    }
    const double below = std::floor(x);
    const double rest = x - below;
    if (rest > 0.5) {
        return below + 1;
    }
    if (rest < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

namespace {

// The board in a client area of cw by ch twips, worked out step by step from the rules.
ReferenceBoard boardIn(double w, double h, double cw, double ch, TwipsPerPixel p) {
    ReferenceBoard b;
    const auto sizeW = static_cast<float>((cw - p.x * 100) / w);
    const auto sizeH = static_cast<float>((ch - p.y * 100) / h);
    const float size = sizeH < sizeW ? sizeH : sizeW;
    const auto cap = static_cast<float>(p.x * 25);
    if (cap < size) {
        b.square = static_cast<int>(referenceRound(p.x * 25));
        b.inset = static_cast<int>(referenceRound(p.x * 5));
        b.font = 8.5F;
    } else {
        if (!(size >= 3)) {
            return b;
        }
        b.square = static_cast<int>(std::floor(size));
        b.inset = b.square / 5;
        b.font = static_cast<float>(std::floor(b.square / 3.0) / p.x);
    }
    b.w = static_cast<int>(w);
    b.h = static_cast<int>(h);
    b.originX = referenceRound((cw - b.w * b.square) / 2);
    b.originY = referenceRound(p.y * 40 + 50 + b.square);
    b.accepted = b.originX >= 0 && b.originX + b.w * b.square <= kIntMax &&
                 b.originY + (b.h + 1) * b.square <= kIntMax;
    return b;
}

}  // namespace

// Centred in the whole client area; where a corner would then pass 32767 twips, centred in
// the part of it up to 32767 twips each way.
ReferenceBoard referenceBoard(double wValue, double hValue, ClientSize c, TwipsPerPixel p) {
    const double w = referenceRound(wValue);
    const double h = referenceRound(hValue);
    if (!(w >= kMinSide && w <= kMaxSide && h >= kMinSide && h <= kMaxSide)) {
        return {};
    }
    if (!(p.x >= 1 && p.x <= 1440 && p.y >= 1 && p.y <= 1440)) {
        return {};
    }
    const ReferenceBoard centred = boardIn(w, h, c.width, c.height, p);
    return centred.accepted ? centred
                            : boardIn(w, h, std::min<double>(c.width, kIntMax),
                                      std::min<double>(c.height, kIntMax), p);
}

}  // namespace quorrel::testing
