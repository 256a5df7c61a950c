#include "board/new_maze.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gen/generator.h"
#include "model/grid.h"

namespace quorrel {

namespace {

// Squares smaller than this many twips could not show a wall, let alone a count.
constexpr int kMinSquare = 3;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The size read from a selector, or 0 when it is out of range.
int readSide(std::string_view text) {
    const double value = roundHalfEven(readNumber(text));
    if (!(value >= kMinSide && value <= kMaxSide)) {
        return 0;
    }
    return static_cast<int>(value);
}

// A number already known to be of the form [sign] digits [. digits] [e [sign] digits], read
// with a decimal point whatever the C library's locale says: the window toolkit adopts the
// user's locale, in which the decimal separator may be a comma. Too large a number reads as 0.
double toDouble(std::string number) {
    const std::string_view point = std::localeconv()->decimal_point;
    if (const std::size_t dot = number.find('.'); dot != std::string::npos && point != ".") {
        number.replace(dot, 1, point);
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

bool fitsInt(double v) {
    return v >= -32768.0 && v <= 32767.0;
}

}  // namespace

double readNumber(std::string_view text) {
    std::string packed;
    for (char c : text) {
        if (!isBlank(c)) {
            packed += c;
        }
    }
    // Keeps the longest prefix of the form [sign] digits [. digits] [e|d [sign] digits].
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < packed.size() && packed[i] >= '0' && packed[i] <= '9') {
            ++i;
        }
        return i - from;
    };
    if (i < packed.size() && (packed[i] == '+' || packed[i] == '-')) {
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < packed.size() && packed[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return 0;
    }
    std::size_t end = i;
    if (i < packed.size() &&
        (packed[i] == 'e' || packed[i] == 'E' || packed[i] == 'd' || packed[i] == 'D')) {
        ++i;
        if (i < packed.size() && (packed[i] == '+' || packed[i] == '-')) {
            ++i;
        }
        if (digits() > 0) {
            end = i;
        }
    }
    std::string number = packed.substr(0, end);
    for (char& c : number) {
        if (c == 'd' || c == 'D') {
            c = 'e';
        }
    }
    return toDouble(number);
}

std::string sizeMessage() {
    return "Maze dimensions must fall between " + std::to_string(kMinSide) + " and " +
           std::to_string(kMaxSide);
}

double roundHalfEven(double x) {
    return std::nearbyint(x);
}

namespace {

// Fits the board into a client area of cw by ch twips; empty when it does not fit.
std::optional<Geometry> fitInto(int w, int h, double cw, double ch, TwipsPerPixel px) {
    const float sizeW = static_cast<float>((cw - px.x * 100) / w);
    const float sizeH = static_cast<float>((ch - px.y * 100) / h);
    const float size = sizeH < sizeW ? sizeH : sizeW;
    const float cap = static_cast<float>(px.x * 25);
    Geometry g;
    if (cap < size) {
        if (!fitsInt(roundHalfEven(px.x * 25))) {
            return std::nullopt;
        }
        g.squareSize = static_cast<Int>(roundHalfEven(px.x * 25));
        g.inset = static_cast<Int>(roundHalfEven(px.x * 5));
        g.fontSize = 8.5F;
    } else {
        if (!(size >= kMinSquare) || !fitsInt(std::floor(size))) {
            return std::nullopt;
        }
        g.squareSize = static_cast<Int>(std::floor(size));
        g.inset = static_cast<Int>(g.squareSize / 5);
        g.fontSize = static_cast<float>(std::floor(g.squareSize / 3) / px.x);
    }
    const int span = w * g.squareSize;
    const double originX = roundHalfEven((cw - span) / 2);
    const double originY = roundHalfEven(px.y * 40 + 50 + g.squareSize);
    // The farthest corner drawn is that of the square below the bottom row.
    if (!fitsInt(originX) || !fitsInt(originX + span) || originX < 0 ||
        !fitsInt(originY + (h + 1) * g.squareSize)) {
        return std::nullopt;
    }
    g.originX = static_cast<Int>(originX);
    g.originY = static_cast<Int>(originY);
    return g;
}

}  // namespace

std::optional<Geometry> fitBoard(int w, int h, ClientSize client, TwipsPerPixel px) {
    if (!(px.x >= 1 && px.x <= 1440 && px.y >= 1 && px.y <= 1440)) {
        return std::nullopt;
    }
    if (std::optional<Geometry> centred = fitInto(w, h, client.width, client.height, px)) {
        return centred;
    }
    // Centred in the whole area a corner would pass what 16-bit coordinates reach: the area
    // is then used only up to them.
    return fitInto(w, h, std::min(client.width, 32767.0), std::min(client.height, 32767.0), px);
}

void Command1_Click(Mazeform& f) {
    makeMaze(f);
}

bool makeMaze(Mazeform& f) {
    Surface& s = f.io.surface;
    s.clear();
    f.moveCount = 0;
    f.extraMoves = 0;
    f.io.controls.setMovesText("");
    f.io.controls.setExtraText("");
    const int w = readSide(f.io.controls.widthText());
    const int h = readSide(f.io.controls.heightText());
    const std::optional<Geometry> g =
        w && h ? fitBoard(w, h, s.clientSize(), s.twipsPerPixel()) : std::nullopt;
    if (!g) {
        // The maze from before stays, and with its counters emptied its next game starts
        // afresh: the player back on the entrance, the old walk's pass counts forgotten. The
        // box takes the release of a button held now, so play ends here too.
        if (f.entryCol != 0) {
            backToEntrance(f);
            f.passes = Grid<Int>(f.mazeWidth, f.mazeHeight + 1);
        }
        f.io.messages.inform(sizeMessage());
        return false;
    }
    f.mazeWidth = static_cast<Int>(w);
    f.mazeHeight = static_cast<Int>(h);
    f.squareSize = g->squareSize;
    f.inset = g->inset;
    f.originX = g->originX;
    f.originY = g->originY;
    s.setFontSize(g->fontSize);
    // A button still held from the last maze must not carry its player into this one.
    f.tracking = false;
    main(f);
    if (!f.file.problem().empty()) {
        f.io.messages.inform(f.file.problem());
        f.file.clearProblem();
    }
    return true;
}

}  // namespace quorrel
