#include "support/maze_geometry.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <map>
#include <queue>

namespace quorrel::testing {

namespace {

// Breadth-first search from `from` over the openings, stopping once `to` is reached: the
// square each reached square was first reached from.
std::map<Square, Square> search(const State& f, Square from, std::optional<Square> to) {
    std::map<Square, Square> cameFrom{{from, from}};
    std::queue<Square> open;
    open.push(from);
    while (!open.empty()) {
        const Square s = open.front();
        open.pop();
        if (s == to) {
            break;
        }
        for (Square n : openNeighbours(f, s)) {
            if (cameFrom.emplace(n, s).second) {
                open.push(n);
            }
        }
    }
    return cameFrom;
}

}  // namespace

void placeBoard(State& f, int w, int h, Int square, Int inset, Int originX, Int originY) {
    f.mazeWidth = static_cast<Int>(w);
    f.mazeHeight = static_cast<Int>(h);
    f.squareSize = square;
    f.inset = inset;
    f.originX = originX;
    f.originY = originY;
}

Point cornerOf(const State& f, Square s) {
    return {static_cast<float>(f.originX + s.col * f.squareSize),
            static_cast<float>(f.originY + s.row * f.squareSize)};
}

Point centreOf(const State& f, Square s) {
    const Point c = cornerOf(f, s);
    const float half = static_cast<float>(f.squareSize) / 2;
    return {c.x - half, c.y - half};
}

int exitColumn(const State& f) {
    for (int c = 1; c <= f.mazeWidth; ++c) {
        if (f.opensDown(c, f.mazeHeight)) {
            return c;
        }
    }
    return 0;
}

bool opensRight(const State& f, Square s) {
    return s.col < f.mazeWidth && f.opensRight(s.col, s.row);
}
bool opensLeft(const State& f, Square s) {
    return s.col > 1 && opensRight(f, {s.col - 1, s.row});
}
bool opensDown(const State& f, Square s) {
    return s.row <= f.mazeHeight && f.opensDown(s.col, s.row);
}
bool opensUp(const State& f, Square s) {
    return s.row > 1 && opensDown(f, {s.col, s.row - 1});
}

bool joined(const State& f, Square a, Square b) {
    if (a.row == b.row && std::abs(a.col - b.col) == 1) {
        return opensRight(f, {std::min(a.col, b.col), a.row});
    }
    if (a.col == b.col && std::abs(a.row - b.row) == 1) {
        return opensDown(f, {a.col, std::min(a.row, b.row)});
    }
    return false;
}

std::vector<Square> openNeighbours(const State& f, Square s) {
    std::vector<Square> out;
    if (s.row == f.mazeHeight + 1) {
        out.push_back({s.col, f.mazeHeight});
        return out;
    }
    if (opensRight(f, s)) {
        out.push_back({s.col + 1, s.row});
    }
    if (opensLeft(f, s)) {
        out.push_back({s.col - 1, s.row});
    }
    if (opensDown(f, s)) {
        out.push_back({s.col, s.row + 1});
    }
    if (opensUp(f, s)) {
        out.push_back({s.col, s.row - 1});
    }
    return out;
}

std::vector<Square> route(const State& f, Square from, Square to) {
    const std::map<Square, Square> cameFrom = search(f, from, to);
    if (!cameFrom.count(to)) {
        return {};
    }
    std::vector<Square> path{to};
    for (Square at = to; !(at == from);) {
        at = cameFrom.at(at);
        path.insert(path.begin(), at);
    }
    return path;
}

int reachableSquares(const State& f) {
    int count = 0;
    for (const auto& [s, from] : search(f, {1, 1}, std::nullopt)) {
        count += s.row >= 1 && s.row <= f.mazeHeight ? 1 : 0;
    }
    return count;
}

int innerOpenings(const State& f) {
    int n = 0;
    for (int r = 1; r <= f.mazeHeight; ++r) {
        for (int c = 1; c <= f.mazeWidth; ++c) {
            n += opensRight(f, {c, r}) ? 1 : 0;
            n += r < f.mazeHeight && opensDown(f, {c, r}) ? 1 : 0;
        }
    }
    return n;
}

std::optional<Branch> firstBranch(const State& f, const std::vector<Square>& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        for (Square n : openNeighbours(f, path[i])) {
            const bool onPath =
                (i > 0 && path[i - 1] == n) || (i + 1 < path.size() && path[i + 1] == n);
            if (!onPath) {
                return Branch{path[i], n};
            }
        }
    }
    return std::nullopt;
}

std::vector<Square> wayWithDetour(const State& f, int depth) {
    std::vector<Square> way = routeToExit(f);
    const std::optional<Branch> branch = firstBranch(f, way);
    if (!branch) {
        return way;
    }
    // Down the branch, away from the square it was entered from, until it ends or is deep enough.
    const int most = depth > 0 ? depth : f.mazeWidth * f.mazeHeight;
    std::vector<Square> detour{branch->into};
    while (static_cast<int>(detour.size()) < most) {
        const Square before = detour.size() > 1 ? detour[detour.size() - 2] : branch->from;
        const std::vector<Square> next = openNeighbours(f, detour.back());
        const auto on = std::find_if(next.begin(), next.end(), [&](Square n) {
            return n != before && n.row <= f.mazeHeight;
        });
        if (on == next.end()) {
            break;
        }
        detour.push_back(*on);
    }
    std::vector<Square> there(detour);
    there.insert(there.end(), detour.rbegin() + 1, detour.rend());
    there.push_back(branch->from);
    way.insert(std::find(way.begin(), way.end(), branch->from) + 1, there.begin(), there.end());
    return way;
}

}  // namespace quorrel::testing
