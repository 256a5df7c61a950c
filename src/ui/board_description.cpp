#include "ui/board_description.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "play/steps.h"

namespace quorrel {

namespace {

constexpr std::string_view kNoMaze = "No maze yet. Press New maze.";

// The ways in the order they are said.
constexpr std::array<std::pair<Arrow, std::string_view>, 4> kWays = {
    std::pair{Arrow::Up, "up"}, std::pair{Arrow::Down, "down"}, std::pair{Arrow::Left, "left"},
    std::pair{Arrow::Right, "right"}};

struct Square {
    int col = 0;
    int row = 0;
    bool operator==(const Square&) const = default;
};

std::string_view wordFor(Arrow way) {
    for (const auto& [w, word] : kWays) {
        if (w == way) {
            return word;
        }
    }
    return {};
}

std::string count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "a", "a or b", "a, b or c".
std::string orList(const std::vector<std::string_view>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        text += i == 0 ? "" : i + 1 == words.size() ? " or " : ", ";
        text += words[i];
    }
    return text;
}

// No press on the entrance since NEW MAZE or Retry: the game has not begun.
bool notStarted(const State& s) {
    return s.moveCount == 0 && s.passes.contains(s.entryCol, 0) && s.passes(s.entryCol, 0) == 0;
}

// The square the next arrow steps from: until the first step of a game its press puts the
// player on the entrance; after it the step is judged from the player's square.
Square stepsFrom(const State& s) {
    if (s.moveCount == 0) {
        return {s.entryCol, 0};
    }
    return {s.playerCol, s.playerRow};
}

// The square whose lower-right corner is (curX, curY), where a press must be made.
Square cornerSquare(const State& s) {
    return {(s.curX - s.originX) / s.squareSize, (s.curY - s.originY) / s.squareSize};
}

// The ways the player can go from a square, "up, down, left, right" in that order. From the
// entrance the only way is down, opened by the first press; down from the bottom row is the
// exit.
std::string openWays(const State& s, Square at) {
    if (at.row == 0) {
        return "Open: down.";
    }
    std::string text;
    const bool inside =
        at.col >= 1 && at.col <= s.mazeWidth && at.row >= 1 && at.row <= s.mazeHeight + 1;
    for (const auto& [way, word] : kWays) {
        if (inside && canStep(s, at.col, at.row, way)) {
            text += (text.empty() ? "" : ", ") + std::string(word);
            if (way == Arrow::Down && at.row == s.mazeHeight) {
                text += " to the exit";
            }
        }
    }
    return text.empty() ? "No way is open." : "Open: " + text + ".";
}

std::string whereThePlayerIs(const State& s) {
    const Square at = stepsFrom(s);
    const std::string col = std::to_string(at.col);
    if (notStarted(s)) {
        return "You have not started: the entrance is above column " + col + ". " + openWays(s, at);
    }
    if (at.row == 0) {
        return "You are at the entrance, above column " + col + ". " + openWays(s, at);
    }
    if (at.row > s.mazeHeight) {
        return "You are below the exit, out of the maze. Up goes back into the maze; Retry "
               "starts again.";
    }
    return "You are on column " + col + ", row " + std::to_string(at.row) + ". " + openWays(s, at);
}

// Where the exit is: below the bottom-row square whose bottom side is open.
std::string exitWords(const State& s) {
    for (int c = 1; s.exitMade && c <= s.mazeWidth; ++c) {
        if (s.opensDown(c, s.mazeHeight)) {
            return "The exit is below column " + std::to_string(c) + ".";
        }
    }
    return "This maze has no exit.";
}

// Whether an arrow that way ends the game at once, by the rules of keyboard play: the step is
// judged from the square the arrow steps from, the finish from the corner a press must be on.
bool endsGame(const State& s, Square corner, Arrow way) {
    const Square from = stepsFrom(s);
    const bool steps = s.moveCount == 0 ? way == Arrow::Down : canStep(s, from.col, from.row, way);
    if (!steps && !s.cornerBelowMaze()) {
        return false;  // a bump presses nothing
    }
    return corner.row + (steps ? offsetOf(way).row : 0) > s.mazeHeight;
}

// Solve leaves the corner a press must be on below the exit while the player stays: the next
// arrows step from the player's square, but those that bring the corner below the maze end the
// game. Empty while the corner is on the player's square.
std::string afterSolve(const State& s) {
    if (s.squareSize <= 0 || cornerSquare(s) == stepsFrom(s)) {
        return "";
    }
    std::vector<std::string_view> ending;
    for (const auto& [way, word] : kWays) {
        if (endsGame(s, cornerSquare(s), way)) {
            ending.push_back(word);
        }
    }
    if (ending.empty()) {
        return "";
    }
    const std::string which =
        ending.size() == kWays.size() ? "any arrow" : "an arrow " + orList(ending);
    return " After Solve, " + which + " ends the game; Retry starts again.";
}

Arrow wayBetween(Square from, Square to) {
    if (to.col != from.col) {
        return to.col > from.col ? Arrow::Right : Arrow::Left;
    }
    return to.row > from.row ? Arrow::Down : Arrow::Up;
}

}  // namespace

std::string describeWhereAmI(const State& s) {
    if (s.entryCol == 0) {
        return std::string(kNoMaze);
    }
    return whereThePlayerIs(s) + " " + count(s.moveCount, "move", "moves") + ", " +
           std::to_string(s.extraMoves) + " extra. " + exitWords(s) + afterSolve(s);
}

std::string describeBoard(const State& s) {
    if (s.entryCol == 0) {
        return std::string(kNoMaze);
    }
    return std::to_string(s.mazeWidth) + " by " + std::to_string(s.mazeHeight) + " maze. " +
           describeWhereAmI(s) + " Arrow keys walk; Space says where you are.";
}

std::string describeSquare(const State& s) {
    const Square at = stepsFrom(s);
    std::string text = openWays(s, at) + " ";
    if (at.row > s.mazeHeight) {
        text += "Below the exit.";
    } else if (at.row == 0) {
        text += "The entrance, above column " + std::to_string(at.col) + ".";
    } else {
        text += "Column " + std::to_string(at.col) + ", row " + std::to_string(at.row) + ".";
    }
    const int before = s.passes.contains(at.col, at.row) ? s.passes(at.col, at.row) - 1 : 0;
    if (before == 1) {
        text += " Passed once before.";
    } else if (before > 1) {
        text += " Passed " + std::to_string(before) + " times before.";
    }
    return text;
}

std::string describeBump(const State& s) {
    if (s.entryCol == 0) {
        return "No maze yet.";
    }
    return "Wall. " + openWays(s, stepsFrom(s));
}

std::string describeWallStop(const State& s) {
    return "Wall. " + describeSquare(s);
}

std::string describeNewMaze(const State& s) {
    if (s.entryCol == 0) {
        return "No maze yet.";
    }
    return "New " + std::to_string(s.mazeWidth) + " by " + std::to_string(s.mazeHeight) +
           " maze. The entrance is above column " + std::to_string(s.entryCol) + ". " +
           exitWords(s);
}

std::string describeRetry(const State& s) {
    if (!s.exitMade) {
        return "Nothing to retry.";
    }
    return "Back at the entrance, above column " + std::to_string(s.entryCol) +
           ", with no moves. " + exitWords(s);
}

std::string describeSolution(const State& s) {
    const int n = s.solutionLength;
    if (!s.exitMade || n < 1 || static_cast<int>(s.solutionPath.size()) <= n) {
        return "No way out to show.";
    }
    // The path is kept from the exit back to row 1; walk it from the entrance, one run for
    // each stretch in one direction.
    std::string runs;
    Square at{s.entryCol, 0};
    Arrow way = Arrow::Down;
    int length = 0;
    const auto endRun = [&] {
        runs +=
            (runs.empty() ? "" : ", ") + std::string(wordFor(way)) + " " + std::to_string(length);
    };
    for (int k = n; k >= 1; --k) {
        const int code = s.solutionPath[static_cast<std::size_t>(k)];
        const Square next{codeCol(s.mazeWidth, code), codeRow(s.mazeWidth, code)};
        const Arrow w = wayBetween(at, next);
        if (length > 0 && w != way) {
            endRun();
            length = 0;
        }
        way = w;
        ++length;
        at = next;
    }
    endRun();
    return "Solved: the way out is " + std::to_string(n) + " squares long: " + runs +
           ". Retry to walk it from the entrance.";
}

}  // namespace quorrel
