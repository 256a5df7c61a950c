#include "gen/generator.h"

namespace quorrel {

void setwa(Mazeform& f, Int a, Int b) {
    f.visited(a, b) = true;
    if (!f.exitMade) {
        f.trail.at(static_cast<std::size_t>(f.trailCount)) =
            static_cast<Int>(squareCode(f.mazeWidth, a, b));
        ++f.trailCount;
    }
}

void rsub1(Mazeform& f) {
    f.openings(f.genCol - 1, f.genRow) = 2;
    --f.genCol;
    f.exitArmed = false;
    setwa(f, f.genCol, f.genRow);
}

void ssub1(Mazeform& f) {
    f.openings(f.genCol, f.genRow - 1) = 1;
    --f.genRow;
    f.exitArmed = false;
    setwa(f, f.genCol, f.genRow);
}

void rplus1(Mazeform& f) {
    f.openings(f.genCol, f.genRow) |= 2;
    ++f.genCol;
    setwa(f, f.genCol, f.genRow);
}

void splus(Mazeform& f) {
    f.openings(f.genCol, f.genRow) |= 1;
    ++f.genRow;
    setwa(f, f.genCol, f.genRow);
}

void splus1(Mazeform& f) {
    if (f.exitArmed) {
        reset(f);
    } else {
        splus(f);
    }
}

void reset(Mazeform& f) {
    if (f.exitMade) {
        f210(f);
        return;
    }
    f.exitMade = true;
    f.trail.at(static_cast<std::size_t>(f.trailCount)) =
        static_cast<Int>(squareCode(f.mazeWidth, f.genCol, f.genRow + 1));
    Int& code = f.openings(f.genCol, f.genRow);
    if (code == 2) {
        code = 3;
        f210(f);
        return;
    }
    code = 1;
    f.genCol = 1;
    f.genRow = 1;
    if (f.visited(1, 1)) {
        --f.visitCount;
    } else {
        f210(f);
    }
}

void f210(Mazeform& f) {
    do {
        if (f.genCol < f.mazeWidth) {
            ++f.genCol;
        } else {
            f.genCol = 1;
            f.genRow = f.genRow == f.mazeHeight ? 1 : static_cast<Int>(f.genRow + 1);
        }
    } while (!f.visited(f.genCol, f.genRow));
    --f.visitCount;
}

}  // namespace quorrel
