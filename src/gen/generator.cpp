#include "gen/generator.h"

#include <algorithm>
#include <cmath>

namespace quorrel {

void main(Mazeform& f) {
    const int w = f.mazeWidth;
    f.io.random.reseed();
    if (f.makeFiles) {
        f.file.open(f.io.files);
    }
    f.clearMaze();
    f.exitArmed = false;
    f.exitMade = false;
    // r * W + 1 rounds up to W + 1 for the largest draws below 1 when W is a power of two.
    f.entryCol = static_cast<Int>(std::min<double>(std::floor(f.io.random.next() * w + 1), w));
    f.entryX = f.curX = static_cast<Int>(f.cornerX(f.entryCol));
    f.entryY = f.curY = static_cast<Int>(f.cornerY(0));
    f.genCol = f.entryCol;
    f.genRow = 1;
    f.visitCount = 1;
    f.visited(f.entryCol, 1) = true;
    f.trail.at(1) = static_cast<Int>(w + f.entryCol - 1);
    f.trailCount = 2;
    r260(f);
}

namespace {

// Sets exitArmed when the walker stands on the bottom row.
void arm(Mazeform& f) {
    if (f.genRow == f.mazeHeight) {
        f.exitArmed = true;
    }
}

// One pass of the walk: judges the neighbours of the walker's square and takes a step.
void walkStep(Mazeform& f) {
    const int c = f.genCol;
    const int r = f.genRow;
    const bool bottom = r == f.mazeHeight;
    const bool west = c > 1 && !f.visited(c - 1, r);
    const bool north = r > 1 && !f.visited(c, r - 1);
    const bool east = c < f.mazeWidth && !f.visited(c + 1, r);
    const bool south = !f.visited(c, r + 1) && !(bottom && f.exitMade);

    if (west && north && east) {
        branch(f, "rsub1", "ssub1", "rplus1");
    } else if (west && north) {
        arm(f);
        south ? branch(f, "rsub1", "ssub1", "splus1") : branch(f, "rsub1", "ssub1");
    } else if (west && east) {
        arm(f);
        south ? branch(f, "rsub1", "rplus1", "splus1") : branch(f, "rsub1", "rplus1");
    } else if (west) {
        arm(f);
        south ? branch(f, "rsub1", "splus1") : rsub1(f);
    } else if (north && east) {
        arm(f);
        south ? branch(f, "ssub1", "rplus1", "splus1") : branch(f, "ssub1", "rplus1");
    } else if (north) {
        if (bottom) {
            if (f.exitMade) {
                ssub1(f);
            } else {
                f.exitArmed = true;
                branch(f, "ssub1", "splus1");
            }
        } else {
            south ? splus1(f) : ssub1(f);
        }
    } else if (east) {
        if (bottom) {
            if (f.exitMade) {
                rplus1(f);
            } else {
                f.exitArmed = true;
                branch(f, "rplus1", "splus1");
            }
        } else {
            south ? branch(f, "rplus1", "splus1") : rplus1(f);
        }
    } else if (bottom) {
        f.exitMade ? f210(f) : reset(f);
    } else {
        south ? splus1(f) : f210(f);
    }
}

}  // namespace

void r260(Mazeform& f) {
    while (f.visitCount < f.mazeWidth * f.mazeHeight) {
        walkStep(f);
        ++f.visitCount;
    }
    fini(f);
}

void branch(Mazeform& f, std::string_view a, std::string_view b, std::string_view c) {
    const double r = f.io.random.next();
    const int k = c.empty() ? static_cast<int>(std::floor(2 * r)) + 1
                            : static_cast<int>(std::floor(3 * r)) + 1;
    const std::string_view name = k == 1 ? a : k == 2 ? b : c;
    if (name == "rplus1") {
        rplus1(f);
    } else if (name == "rsub1") {
        rsub1(f);
    } else if (name == "splus1") {
        splus1(f);
    } else if (name == "ssub1") {
        ssub1(f);
    } else if (name == "f210") {
        f210(f);
    } else if (name == "reset") {
        reset(f);
    }
}

}  // namespace quorrel
