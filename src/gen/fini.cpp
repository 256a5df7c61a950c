#include "gen/generator.h"

namespace quorrel {

namespace {

// Writes a token to the maze file while File > Make file is on.
void put(Mazeform& f, std::string_view token) {
    if (f.makeFiles) {
        f.file.write(token);
    }
}

void putLine(Mazeform& f, std::string_view token = {}) {
    if (f.makeFiles) {
        f.file.writeLine(token);
    }
}

}  // namespace

void fini(Mazeform& f) {
    Surface& s = f.io.surface;
    const int size = f.squareSize;
    const int x0 = f.originX;
    const int y0 = f.originY;
    for (int c = 1; c <= f.mazeWidth; ++c) {
        if (c == f.entryCol) {
            put(f, ".  ");
        } else {
            put(f, ".--");
            s.line(x0 + (c - 1) * size, y0, x0 + c * size, y0, kBlack);
        }
    }
    putLine(f, ".");
    for (int r = 1; r <= f.mazeHeight; ++r) {
        const int top = y0 + (r - 1) * size;
        const int bottom = y0 + r * size;
        put(f, "I");
        s.line(x0, top, x0, bottom, kBlack);
        for (int c = 1; c <= f.mazeWidth; ++c) {
            if (!f.opensRight(c, r)) {
                put(f, "  I");
                s.line(x0 + c * size, top, x0 + c * size, bottom, kBlack);
            } else {
                put(f, "   ");
            }
        }
        putLine(f);
        for (int c = 1; c <= f.mazeWidth; ++c) {
            if (!f.opensDown(c, r)) {
                put(f, ":--");
                s.line(x0 + (c - 1) * size, bottom, x0 + c * size, bottom, kBlack);
            } else {
                put(f, ":  ");
            }
        }
        putLine(f, ".");
    }
    f.file.close();
    s.box(x0 + f.entryCol * size, y0, x0 + (f.entryCol - 1) * size, y0 - size, kEntranceGray);
}

}  // namespace quorrel
