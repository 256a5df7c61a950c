#include "ui/board_description.h"

#include <array>
#include <string_view>

#include "play/steps.h"

namespace quorrel {

namespace {

std::string count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A game has not begun while the player stands on the entrance corner without a move and the
// entrance square has not been pressed yet: the first press gives it its first pass.
bool notStarted(const State& s) {
    return s.moveCount == 0 && s.curX == s.entryX && s.curY == s.entryY &&
           s.passes.contains(s.entryCol, 0) && s.passes(s.entryCol, 0) == 0;
}

// The square whose lower-right corner is (curX, curY): a press must be made there to go on.
struct Corner {
    int col = 0;
    int row = 0;
};

Corner cornerSquare(const State& s) {
    return {(s.curX - s.originX) / s.squareSize, (s.curY - s.originY) / s.squareSize};
}

// The ways the player can go from a square, "up, down, left, right" in that order. From the
// entrance the only way is down, opened by the first press; down from the bottom row is the
// exit.
std::string openWays(const State& s, int col, int row) {
    if (row == 0) {
        return "Open: down.";
    }
    constexpr std::array<std::pair<Arrow, std::string_view>, 4> kWays = {
        std::pair{Arrow::Up, "up"}, std::pair{Arrow::Down, "down"}, std::pair{Arrow::Left, "left"},
        std::pair{Arrow::Right, "right"}};
    if (col < 1 || col > s.mazeWidth || row < 1 || row > s.mazeHeight) {
        return "No way is open.";
    }
    std::string text;
    for (const auto& [way, word] : kWays) {
        if (canStep(s, col, row, way)) {
            text += (text.empty() ? "" : ", ") + std::string(word);
            if (way == Arrow::Down && row == s.mazeHeight) {
                text += " to the exit";
            }
        }
    }
    return text.empty() ? "No way is open." : "Open: " + text + ".";
}

// Where the player stands and the ways open from there; empty without a board geometry.
std::string whereThePlayerIs(const State& s) {
    if (notStarted(s)) {
        return "You have not started: the entrance is above column " + std::to_string(s.entryCol) +
               ". " + openWays(s, s.entryCol, 0);
    }
    if (s.squareSize <= 0) {
        return "";
    }
    const Corner at = cornerSquare(s);
    if (at.row <= 0) {
        return "You are at the entrance, above column " + std::to_string(at.col) + ". " +
               openWays(s, at.col, 0);
    }
    if (at.row > s.mazeHeight) {
        return "You are below the exit, out of the maze.";
    }
    return "You are on column " + std::to_string(at.col) + ", row " + std::to_string(at.row) +
           ". " + openWays(s, at.col, at.row);
}

const char* wordFor(int dcol, int drow) {
    if (dcol > 0) {
        return "right";
    }
    if (dcol < 0) {
        return "left";
    }
    return drow > 0 ? "down" : "up";
}

}  // namespace

std::string describeBoard(const State& s) {
    if (s.entryCol == 0) {
        return "No maze yet. Press New maze.";
    }
    std::string text =
        std::to_string(s.mazeWidth) + " by " + std::to_string(s.mazeHeight) + " maze. ";
    const std::string where = whereThePlayerIs(s);
    if (!where.empty()) {
        text += where + " ";
    }
    text += count(s.moveCount, "move", "moves") + ", " + std::to_string(s.extraMoves) + " extra.";
    return text;
}

std::string describeSquare(const State& s) {
    const int col = s.playerCol;
    const int row = s.playerRow;
    std::string text = "Column " + std::to_string(col) + ", row " + std::to_string(row) + ". " +
                       openWays(s, col, row);
    const int before = s.passes.contains(col, row) ? s.passes(col, row) - 1 : 0;
    if (before == 1) {
        text += " Passed once before.";
    } else if (before > 1) {
        text += " Passed " + std::to_string(before) + " times before.";
    }
    return text;
}

std::string describeBump(const State& s) {
    if (s.entryCol == 0 || s.squareSize <= 0) {
        return "No maze yet.";
    }
    if (s.moveCount == 0) {
        return "Wall. " + openWays(s, s.entryCol, 0);
    }
    return "Wall. " + openWays(s, s.playerCol, s.playerRow);
}

std::string describeNewMaze(const State& s) {
    if (s.entryCol == 0) {
        return "No maze yet.";
    }
    return "New " + std::to_string(s.mazeWidth) + " by " + std::to_string(s.mazeHeight) +
           " maze. The entrance is above column " + std::to_string(s.entryCol) + ". " +
           openWays(s, s.entryCol, 0);
}

std::string describeRetry(const State& s) {
    if (!s.exitMade) {
        return "Nothing to retry.";
    }
    return "Back at the entrance, above column " + std::to_string(s.entryCol) +
           ", with no moves. " + openWays(s, s.entryCol, 0);
}

std::string describeSolution(const State& s) {
    const int n = s.solutionLength;
    if (!s.exitMade || n < 2 || static_cast<int>(s.solutionPath.size()) <= n) {
        return "No way out to show.";
    }
    const int w = s.mazeWidth;
    const int first = s.solutionPath[static_cast<std::size_t>(n)];
    const int second = s.solutionPath[static_cast<std::size_t>(n - 1)];
    const int dcol = codeCol(w, second) - codeCol(w, first);
    const int drow = codeRow(w, second) - codeRow(w, first);
    return "Solved: the way out is " + std::to_string(n) +
           " squares long. From the entrance above column " + std::to_string(codeCol(w, first)) +
           " it goes down into row 1, then " + wordFor(dcol, drow) +
           ". You are now below the exit.";
}

}  // namespace quorrel
