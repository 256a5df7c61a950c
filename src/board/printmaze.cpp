#include <string>

#include "board/drawing.h"

namespace quorrel {

void paintSquare(Mazeform& f, int x, int y, Colour colour) {
    const int s = f.squareSize;
    const int in = f.inset;
    f.io.surface.box(x - in, y - in, x - s + in, y - s + in, colour);
}

void centreText(Mazeform& f, int x, int y, std::string_view text) {
    Surface& s = f.io.surface;
    const TextExtent extent = s.measureText(text);
    const double half = f.squareSize / 2.0;
    s.printText(static_cast<float>(x - half - extent.width / 2),
                static_cast<float>(y - half - extent.height / 2), text);
}

void printmaze(Mazeform& f, Int t, Int b, Int l, Int r, Int nops) {
    Surface& s = f.io.surface;
    const int size = f.squareSize;
    const int x0 = f.originX;
    const int y0 = f.originY;
    for (int c = l; c <= r; ++c) {
        if (t == 1 && c != f.entryCol) {
            s.line((c - 1) * size + x0, y0, c * size + x0, y0, kBlack);
        }
    }
    for (int j = t; j <= b; ++j) {
        const int top = (j - 1) * size + y0;
        const int bottom = j * size + y0;
        if (l == 1) {
            s.line(x0, top, x0, bottom, kBlack);
        }
        for (int c = l; c <= r; ++c) {
            if (!f.opensRight(c, j)) {
                s.line(c * size + x0, top, c * size + x0, bottom, kBlack);
            }
        }
        for (int c = l; c <= r; ++c) {
            if (!f.opensDown(c, j)) {
                s.line((c - 1) * size + x0, bottom, c * size + x0, bottom, kBlack);
            }
        }
    }
    if (nops == 0) {
        return;
    }
    for (int j = t; j <= b; ++j) {
        for (int c = l; c <= r; ++c) {
            if (f.passes(c, j) > 0) {
                const int x = c * size + x0;
                const int y = j * size + y0;
                paintSquare(f, x, y, kTrailGreen);
                centreText(f, x, y, std::to_string(f.passes(c, j)));
            }
        }
    }
}

}  // namespace quorrel
