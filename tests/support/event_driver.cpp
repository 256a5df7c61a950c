#include "support/event_driver.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <utility>

#include "board/new_maze.h"
#include "mazefile/maze_file.h"
#include "model/state.h"
#include "play/keys.h"
#include "play/play.h"
#include "solve/solve.h"
#include "support/odd_values.h"
#include "ui/board_description.h"
#include "ui/window.h"

namespace quorrel::testing {

namespace {

constexpr std::array<std::string_view, kEventKinds> kEventNames = {"NEW MAZE",
                                                                   "press",
                                                                   "move",
                                                                   "release",
                                                                   "Retry",
                                                                   "Solve",
                                                                   "Full visibility",
                                                                   "1 square visibility",
                                                                   "2 square visibility",
                                                                   "4 square visibility",
                                                                   "8 square visibility",
                                                                   "Make file",
                                                                   "HELP!",
                                                                   "Yes",
                                                                   "No",
                                                                   "file trouble",
                                                                   "Left",
                                                                   "Right",
                                                                   "Up",
                                                                   "Down",
                                                                   "focus on the board",
                                                                   "Ctrl+N",
                                                                   "F1"};

// Texts people type, or that sit on the edge of a rule of the size reading.
constexpr std::array<std::string_view, 41> kTrickyTexts = {
    "",          " ",
    "2",         "50",
    "51",        "1",
    "1.5",       "0.5",
    "2.5",       "3.5",
    "50.5",      "50.6",
    "49.5",      "1e1",
    "5d0",       "+7",
    "-7",        "\t4\n",
    " 2 0",      "1e999",
    "-1e999",    "abc",
    "49.999999", ".5e2",
    "2,5",       "0x10",
    "inf",       "nan",
    "4e-1",      "1 e 1",
    "+",         "-",
    ".",         "e5",
    "65536",     "32767.5",
    "-0",        "0000000000000000000000000000000000000002",
    "2.",        "1.e1",
    "\r5"};

constexpr std::array<std::string_view, 8> kSuffixes = {".5", ".4999", ".5001", ".0",
                                                       "e0", "d1",    "e-1",   "   "};

constexpr std::array<Int, 8> kButtons = {kLeftButton, kLeftButton,  kLeftButton,   kLeftButton,
                                         kLeftButton, kRightButton, kMiddleButton, 3};

bool startsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string printable(std::string_view text) {
    std::ostringstream out;
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '\\' && c != '"') {
            out << c;
        } else {
            out << "\\x" << std::hex << static_cast<int>(c) << std::dec;
        }
    }
    return out.str();
}

// The maze's lasting part: what no event but NEW MAZE and the first press may change.
std::vector<Int> mazePrint(const State& s) {
    std::vector<Int> print = {s.mazeWidth,  s.mazeHeight, s.entryCol, s.exitMade ? Int{1} : Int{0},
                              s.trailCount, s.squareSize, s.originX,  s.originY};
    for (int c = 0; c <= s.openings.lastCol(); ++c) {
        for (int r = 0; r <= s.openings.lastRow(); ++r) {
            print.push_back(s.openings(c, r));
        }
    }
    print.insert(print.end(), s.trail.begin(), s.trail.end());
    return print;
}

bool isNewMaze(Event e) {
    return e == Event::NewMaze || e == Event::KeyNewMaze;
}

bool isHelp(Event e) {
    return e == Event::Help || e == Event::KeyHelp;
}

bool isArrow(Event e) {
    return e == Event::ArrowLeft || e == Event::ArrowRight || e == Event::ArrowUp ||
           e == Event::ArrowDown;
}

// Events that may walk out through the exit and show the result.
bool walks(Event e) {
    return e == Event::Move || isArrow(e);
}

// Events that may press on the entrance and so open it.
bool opensEntrance(Event e) {
    return e == Event::Press || isArrow(e);
}

// One of a list of odd values, picked by the next byte.
template <class T, std::size_t N>
T oddOf(ByteReader& in, const std::array<T, N>& values) {
    return values.at(in.byte() % N);
}

// A pointer anywhere on a 16-bit board, or at one of the odd coordinates a window may report.
void pointAnywhere(ByteReader& in, float& x, float& y) {
    x = in.u16() % 32768;
    y = in.u16() % 32768;
}
void pointOdd(ByteReader& in, float& x, float& y) {
    x = oddOf(in, kOddCoordinates);
    y = oddOf(in, kOddCoordinates);
}

}  // namespace

std::string_view eventName(Event e) {
    return kEventNames.at(static_cast<std::size_t>(e));
}

void EventStats::add(const EventStats& other) {
    for (std::size_t k = 0; k < kEventKinds; ++k) {
        byKind[k] += other.byKind[k];
    }
    events += other.events;
    steps += other.steps;
    finishes += other.finishes;
    mazes += other.mazes;
    rejected += other.rejected;
    mazeFiles += other.mazeFiles;
    fileProblems += other.fileProblems;
    solves += other.solves;
    heldCommands += other.heldCommands;
}

std::string EventStats::summary() const {
    std::ostringstream out;
    out << events << " events (";
    for (std::size_t k = 0; k < kEventKinds; ++k) {
        out << (k ? ", " : "") << eventName(static_cast<Event>(k)) << " " << byKind[k];
    }
    out << "); " << mazes << " mazes made, " << rejected << " sizes refused, " << steps
        << " steps, " << finishes << " walks out of the exit, " << solves << " solutions, "
        << mazeFiles << " maze files written, " << fileProblems << " file problems reported, "
        << heldCommands << " commands while the button was held";
    return out.str();
}

// The game's state just before an event, with what the doubles around it had seen.
struct EventDriver::Before : State {
    long surfaceCalls = 0;
    long clears = 0;
    std::string moves;
    std::string extra;
    bool failCreate = false;
    bool failWrite = false;
    std::string widthText;
    std::string heightText;
    std::string nextFile;
    std::size_t fileCount = 0;
};

EventDriver::EventDriver() : form_(Ports{surface_, window_, window_, random_, files_}) {
    surface_.recording = false;
    surface_.watch(form_);
    window_.watch(form_, surface_);
    window_.markAsDesigned();
    Form_Load(form_);
    mazePrint_ = mazePrint(form_);
}

void EventDriver::run(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    while (!in.empty() && faults_.empty()) {
        const int op = in.byte() % 64;
        if (op < 2) {
            newMaze(in);
        } else if (op < 6) {
            press(in);
        } else if (op < 22) {
            move(in);
        } else if (op < 25) {
            apply(Event::Release, "", [&] { Form_MouseUp(form_, in.byte() % 8, 0, 0, 0); });
        } else if (op < 27) {
            apply(Event::Retry, "", [&] { retry_Click(form_); });
        } else if (op < 30) {
            apply(Event::Solve, "", [&] { cheat_Click(form_); });
        } else if (op < 35) {
            constexpr std::array<Event, 5> kHides = {Event::Hide0, Event::Hide1, Event::Hide2,
                                                     Event::Hide4, Event::Hide8};
            constexpr std::array<void (*)(Mazeform&), 5> kHandlers = {
                hide0_Click, hide1_Click, hide2_Click, hide4_Click, hide8_Click};
            const auto k = static_cast<std::size_t>(op - 30);
            apply(kHides.at(k), "", [&] { kHandlers.at(k)(form_); });
        } else if (op < 36) {
            apply(Event::MakeFile, "", [&] { mkfile_Click(form_); });
        } else if (op < 37) {
            apply(Event::Help, "", [&] { help_Click(form_); });
        } else if (op < 41) {
            const bool yes = op < 39;
            apply(yes ? Event::AnswerYes : Event::AnswerNo, "", [&] {
                if (window_.answers.size() < 8) {
                    window_.answers.push_back(yes);
                }
            });
        } else if (op < 42) {
            fileTrouble(in);
        } else if (op < 58) {
            walk(in);
        } else if (op < 61) {
            arrows(in);
        } else if (op < 62) {
            apply(Event::FocusBoard, "", [] {});
        } else if (op < 63) {
            if (in.byte() % 2 == 0) {
                apply(Event::KeyNewMaze, "", [&] { Command1_Click(form_); });
            } else {
                apply(Event::KeyHelp, "", [&] { help_Click(form_); });
            }
        } else {
            heldCommand(in);
        }
    }
}

std::string EventDriver::recentEvents() const {
    std::string out;
    for (const std::string& line : recent_) {
        out += "  " + line + "\n";
    }
    return out;
}

template <typename Action>
void EventDriver::apply(Event e, std::string detail, Action action) {
    recent_.push_back(std::string(eventName(e)) + (detail.empty() ? "" : " " + detail));
    if (recent_.size() > 24) {
        recent_.pop_front();
    }
    ++stats_.events;
    ++stats_.byKind.at(static_cast<std::size_t>(e));
    const Before before = snapshot();
    window_.shown.clear();
    action();
    checkAfter(e, before);
}

EventDriver::Before EventDriver::snapshot() const {
    Before b;
    static_cast<State&>(b) = form_;
    b.surfaceCalls = surface_.calls;
    b.clears = surface_.clears;
    b.moves = window_.moves;
    b.extra = window_.extra;
    b.failCreate = files_.failNextCreate;
    b.failWrite = files_.failNextWrite;
    b.widthText = window_.width;
    b.heightText = window_.height;
    b.nextFile = files_.nextFreeName();
    b.fileCount = files_.files.size();
    return b;
}

// ---- Decoding events -------------------------------------------------------------------

std::string EventDriver::sizeText(ByteReader& in) {
    const int t = in.byte();
    switch (t % 16) {
        case 8:
            return std::to_string(in.byte() % 61);
        case 9:
            return std::to_string(in.byte() % 52) + std::string(oddOf(in, kSuffixes));
        case 10:
        case 11: {
            std::string raw;
            for (int n = in.byte() % 12; n > 0; --n) {
                raw += static_cast<char>(in.byte());
            }
            return raw;
        }
        case 12:
        case 13:
        case 14:
        case 15:
            return std::string(oddOf(in, kTrickyTexts));
        default:
            // Mostly small mazes, so that walks reach their exits.
            return std::to_string(2 + (t >> 4) % 9);
    }
}

void EventDriver::newMaze(ByteReader& in) {
    const int how = in.byte();
    window_.width = sizeText(in);
    window_.height = sizeText(in);
    switch (how % 16) {
        case 13:
            surface_.client = {static_cast<double>(in.u16()), static_cast<double>(in.u16())};
            break;
        case 14:
            surface_.client = {static_cast<double>(in.u16() % 4000),
                               static_cast<double>(in.u16() % 4000)};
            break;
        case 15:
            surface_.client = {oddOf(in, kOddLengths), oddOf(in, kOddLengths)};
            break;
        default:
            surface_.client = {8880, 7305};
    }
    switch ((how >> 4) % 8) {
        case 5:
            surface_.pixel = {1.0 + in.byte() % 30, 1.0 + in.byte() % 30};
            break;
        case 6:
            surface_.pixel = {in.u16() / 16.0, in.u16() / 16.0};
            break;
        case 7:
            surface_.pixel = {oddOf(in, kOddPixels), oddOf(in, kOddPixels)};
            break;
        default:
            surface_.pixel = {15, 15};
    }
    random_.restart(in.u16(), (how & 0x80) != 0);
    // Keeps the file search short, as a user clearing out old mazes would.
    if (files_.files.size() >= 12) {
        files_.files.clear();
    }
    std::ostringstream detail;
    detail << '"' << printable(window_.width) << "\" x \"" << printable(window_.height)
           << "\" client " << std::to_string(surface_.client.width) << " x "
           << std::to_string(surface_.client.height) << " twips per pixel "
           << std::to_string(surface_.pixel.x) << ", " << std::to_string(surface_.pixel.y);
    apply(Event::NewMaze, detail.str(), [&] { Command1_Click(form_); });
}

void EventDriver::pointOnPlayer(ByteReader& in, float& x, float& y) const {
    const float s = form_.squareSize;
    x = form_.curX - s + s * in.unit();
    y = form_.curY - s + s * in.unit();
}

void EventDriver::press(ByteReader& in) {
    const int how = in.byte();
    const Int button = kButtons.at(how % 8);
    const float s = form_.squareSize;
    float x = 0;
    float y = 0;
    switch ((how >> 3) % 8) {
        case 4: {
            // On the edges and corners of the player's square, or a hair outside them.
            const int pick = in.byte();
            const std::array<float, 4> xs = {form_.curX - s, static_cast<float>(form_.curX),
                                             form_.curX + 0.5F, form_.curX - s - 0.5F};
            const std::array<float, 4> ys = {form_.curY - s, static_cast<float>(form_.curY),
                                             form_.curY + 0.5F, form_.curY - s - 0.5F};
            x = xs.at(pick % 4);
            y = ys.at((pick >> 2) % 4);
            break;
        }
        case 5:
            x = form_.entryX - s + s * in.unit();
            y = form_.entryY - s + s * in.unit();
            break;
        case 6:
            pointAnywhere(in, x, y);
            break;
        case 7:
            pointOdd(in, x, y);
            break;
        default:
            pointOnPlayer(in, x, y);
    }
    apply(
        Event::Press,
        "button " + std::to_string(button) + " at " + std::to_string(x) + ", " + std::to_string(y),
        [&] { Form_MouseDown(form_, button, 0, x, y); });
}

std::vector<int> EventDriver::openSides() const {
    std::vector<int> sides;
    const int w = form_.mazeWidth;
    const int h = form_.mazeHeight;
    const int col = form_.playerCol;
    const int row = form_.playerRow;
    if (form_.entryCol == 0 || col < 0 || col > w || row < 0 || row > h + 1) {
        return sides;
    }
    const auto& o = form_.openings;
    if (col < w && o(col, row) >= 2) {
        sides.push_back(0);
    }
    if (col > 1 && o(col - 1, row) >= 2) {
        sides.push_back(1);
    }
    if (row < h + 1 && o(col, row) % 2 != 0) {
        sides.push_back(2);
    }
    if (row > 1 && o(col, row - 1) % 2 != 0) {
        sides.push_back(3);
    }
    return sides;
}

void EventDriver::pointToward(int side, float& x, float& y) const {
    constexpr std::array<int, 4> kDx = {1, -1, 0, 0};
    constexpr std::array<int, 4> kDy = {0, 0, 1, -1};
    const float s = std::max<float>(form_.squareSize, 1);
    x = form_.curX - s / 2 + kDx.at(side) * s;
    y = form_.curY - s / 2 + kDy.at(side) * s;
}

void EventDriver::move(ByteReader& in) {
    const int how = in.byte();
    const float s = form_.squareSize;
    float x = form_.curX - s / 2;
    float y = form_.curY - s / 2;
    switch (how % 16) {
        case 0:
        case 1:
        case 2:
        case 3:
            pointToward(how % 4, x, y);
            break;
        case 10:
            pointOnPlayer(in, x, y);
            break;
        case 11:
            // Exactly on an edge: no step.
            if (in.byte() % 2) {
                x = in.byte() % 2 ? form_.curX : form_.curX - s;
            } else {
                y = in.byte() % 2 ? form_.curY : form_.curY - s;
            }
            break;
        case 12: {
            // Far away: still one square at most.
            const int side = in.byte() % 4;
            pointToward(side, x, y);
            x += (x - (form_.curX - s / 2)) * 40;
            y += (y - (form_.curY - s / 2)) * 40;
            break;
        }
        case 13:
            pointAnywhere(in, x, y);
            break;
        case 14:
            pointOdd(in, x, y);
            break;
        case 15:
            // Beside and below at once: the horizontal test wins.
            x = form_.curX + s / 2;
            y = form_.curY + s / 2;
            break;
        default: {
            const std::vector<int> sides = openSides();
            const int pick = in.byte();
            if (!sides.empty()) {
                pointToward(sides.at(static_cast<std::size_t>(pick) % sides.size()), x, y);
            }
        }
    }
    apply(Event::Move, "to " + std::to_string(x) + ", " + std::to_string(y),
          [&] { Form_MouseMove(form_, kLeftButton, 0, x, y); });
}

void EventDriver::walk(ByteReader& in, bool mayRelease) {
    const int how = in.byte();
    float x = 0;
    float y = 0;
    pointOnPlayer(in, x, y);
    apply(Event::Press, "to walk, at " + std::to_string(x) + ", " + std::to_string(y),
          [&] { Form_MouseDown(form_, kLeftButton, 0, x, y); });
    for (int n = how % 32 + 1; n > 0 && faults_.empty() && form_.tracking; --n) {
        const std::vector<int> sides = openSides();
        const int pick = in.byte();
        if (sides.empty()) {
            break;
        }
        pointToward(sides.at(static_cast<std::size_t>(pick) % sides.size()), x, y);
        apply(Event::Move, "walking to " + std::to_string(x) + ", " + std::to_string(y),
              [&] { Form_MouseMove(form_, kLeftButton, 0, x, y); });
    }
    if (mayRelease && (how & 0x20) != 0 && faults_.empty()) {
        apply(Event::Release, "", [&] { Form_MouseUp(form_, kLeftButton, 0, x, y); });
    }
}

void EventDriver::heldCommand(ByteReader& in) {
    walk(in, false);
    if (!faults_.empty()) {
        return;
    }
    ++stats_.heldCommands;
    switch (in.byte() % 3) {
        case 0:
            newMaze(in);
            break;
        case 1:
            apply(Event::Retry, "from the keyboard", [&] { retry_Click(form_); });
            break;
        default:
            apply(Event::Help, "from the keyboard", [&] { help_Click(form_); });
    }
    for (int n = in.byte() % 4 + 1; n > 0 && faults_.empty(); --n) {
        move(in);
    }
}

void EventDriver::arrows(ByteReader& in) {
    const int how = in.byte();
    constexpr std::array<Event, 4> kKeys = {Event::ArrowLeft, Event::ArrowRight, Event::ArrowUp,
                                            Event::ArrowDown};
    constexpr std::array<Arrow, 4> kWays = {Arrow::Left, Arrow::Right, Arrow::Up, Arrow::Down};
    const auto k = static_cast<std::size_t>(how % 4);
    for (int n = how / 4 % 4 + 1; n > 0 && faults_.empty(); --n) {
        apply(kKeys.at(k), "", [&] { arrowResult_ = arrowKey(form_, kWays.at(k)); });
    }
}

void EventDriver::fileTrouble(ByteReader& in) {
    const int how = in.byte() % 4;
    apply(Event::FileTrouble, std::to_string(how), [&] {
        if (how == 0 || how == 3) {
            files_.failNextCreate = true;
        }
        if (how == 1 || how == 3) {
            files_.failNextWrite = true;
        }
        if (how == 2) {
            files_.files.clear();
        }
    });
}

// ---- Checks ---------------------------------------------------------------------------

void EventDriver::checkAfter(Event e, const Before& before) {
    const std::size_t known = faults_.size();
    checkMessages(e);
    checkMazeKept(e);
    checkPlayer(form_, faults_);
    checkBoxes(form_, window_.moves, window_.extra, faults_);
    if (isNewMaze(e) && std::count_if(window_.shown.begin(), window_.shown.end(),
                                      [](const Shown& m) { return m.text == sizeMessage(); })) {
        ledger_.rebase(form_);
    }
    ledger_.check(form_, faults_);
    checkMenuMarks();
    checkCorner(e, before);
    for (std::string& f : surface_.faults) {
        faults_.push_back("drawing: " + f);
    }
    surface_.faults.clear();

    switch (e) {
        case Event::NewMaze:
            checkNewMaze(before);
            break;
        case Event::Solve:
            if (before.exitMade) {
                ++stats_.solves;
                checkSolution(form_, faults_);
                if (window_.moves != std::to_string(form_.solutionLength)) {
                    faults_.push_back("Solve did not put the path length into Moves");
                }
                const bool onExit =
                    before.curY > form_.originY + form_.mazeHeight * form_.squareSize;
                const std::string extra =
                    onExit ? std::to_string(form_.moveCount - form_.solutionLength) : before.extra;
                if (window_.extra != extra) {
                    faults_.push_back("after Solve Extra shows \"" + window_.extra + "\", not \"" +
                                      extra + "\"");
                }
                if (form_.moveCount != before.moveCount || form_.extraMoves != before.extraMoves ||
                    form_.tracking != before.tracking || form_.playerCol != before.playerCol ||
                    form_.playerRow != before.playerRow) {
                    faults_.push_back("Solve changed the counters or the player's square");
                }
            } else {
                checkQuiet(e, before);
            }
            break;
        case Event::Retry:
            if (before.exitMade) {
                bool cleared = true;
                for (int c = 0; c <= form_.passes.lastCol(); ++c) {
                    for (int r = 0; r <= form_.passes.lastRow(); ++r) {
                        cleared = cleared && form_.passes(c, r) == 0;
                    }
                }
                if (!cleared || form_.moveCount != 0 || form_.extraMoves != 0 ||
                    !window_.moves.empty() || !window_.extra.empty() ||
                    form_.curX != form_.entryX || form_.curY != form_.entryY ||
                    surface_.lastBox != kWhite || form_.tracking) {
                    faults_.push_back("Retry did not put the game back to its start");
                }
            } else {
                checkQuiet(e, before);
            }
            break;
        case Event::Press:
        case Event::Move:
            if ((e == Event::Move && !before.tracking) || form_.entryCol == 0) {
                checkQuiet(e, before);
            }
            if (form_.moveCount > before.moveCount) {
                ++stats_.steps;
            }
            break;
        case Event::ArrowLeft:
        case Event::ArrowRight:
        case Event::ArrowUp:
        case Event::ArrowDown:
            checkArrow(before);
            break;
        case Event::FocusBoard:
            checkFocusWords();
            checkQuiet(e, before);
            break;
        case Event::KeyNewMaze:
            checkNewMaze(before);
            break;
        case Event::Release:
            if (form_.tracking) {
                faults_.push_back("a release left play active");
            }
            checkQuiet(e, before);
            break;
        default:
            checkQuiet(e, before);
    }
    if (faults_.size() > known) {
        faults_.push_back("after these events:\n" + recentEvents());
    }
}

void EventDriver::checkMessages(Event e) {
    int sizeMessages = 0;
    int fileMessages = 0;
    for (const Shown& m : window_.shown) {
        const std::string text = "message \"" + printable(m.text) + "\" ";
        if (m.question) {
            ++stats_.finishes;
            const std::string head =
                "You had " + std::to_string(m.extraMoves) + " extra moves for a percentage of ";
            const std::string figure =
                startsWith(m.text, head) && endsWith(m.text, "; try again?")
                    ? m.text.substr(head.size(), m.text.size() - head.size() - 12)
                    : std::string();
            // "##.00": digits (maybe none, maybe after a minus sign), a point, two digits.
            const std::size_t point = figure.find('.');
            const bool shaped = point != std::string::npos && point + 3 == figure.size() &&
                                figure.find_first_not_of("-0123456789.") == std::string::npos &&
                                figure.find('.', point + 1) == std::string::npos;
            if (!walks(e) || !shaped || m.extraMoves <= 0 || m.tracking) {
                faults_.push_back(text + "is no proper result question");
            }
        } else if (m.text == "Perfect!") {
            ++stats_.finishes;
            if (!walks(e) || m.extraMoves != 0 || m.tracking) {
                faults_.push_back(text + "shown with " + std::to_string(m.extraMoves) +
                                  " extra moves");
            }
        } else if (m.text == sizeMessage()) {
            ++sizeMessages;
            if (!isNewMaze(e)) {
                faults_.push_back(text + "outside NEW MAZE");
            }
        } else if (m.text == helpText()) {
            if (!isHelp(e)) {
                faults_.push_back(text + "outside HELP!");
            }
        } else if (startsWith(m.text, "The maze could not be saved to maze_")) {
            ++fileMessages;
            ++stats_.fileProblems;
            if (!isNewMaze(e) || m.lastBox != kEntranceGray) {
                faults_.push_back(text + "before the maze was drawn");
            }
        } else {
            faults_.push_back(text + "is none of the game's messages");
        }
    }
    if (sizeMessages > 1 || fileMessages > 1) {
        faults_.push_back("a message was shown twice in one event");
    }
    if (isHelp(e) && window_.shown.size() != 1) {
        faults_.push_back("HELP! showed " + std::to_string(window_.shown.size()) + " messages");
    }
}

// The maze stays as it was except at NEW MAZE and at a press, which may open the entrance.
void EventDriver::checkMazeKept(Event e) {
    std::vector<Int> print = mazePrint(form_);
    if (isNewMaze(e) || opensEntrance(e) || print != mazePrint_) {
        if (!isNewMaze(e) && !opensEntrance(e)) {
            faults_.push_back(std::string(eventName(e)) + " changed the maze");
        }
        checkMaze(form_, faults_);
        mazePrint_ = std::move(print);
    }
}

void EventDriver::checkNewMaze(const Before& before) {
    const auto sizeMessages = std::count_if(window_.shown.begin(), window_.shown.end(),
                                            [](const Shown& m) { return m.text == sizeMessage(); });
    const bool accepted = sizeMessages == 0;
    const double w = referenceRound(referenceNumber(before.widthText));
    const double h = referenceRound(referenceNumber(before.heightText));
    const bool readable = w >= kMinSide && w <= kMaxSide && h >= kMinSide && h <= kMaxSide;
    if (accepted) {
        ++stats_.mazes;
        if (!readable || form_.mazeWidth != w || form_.mazeHeight != h) {
            faults_.push_back("NEW MAZE made a " + std::to_string(form_.mazeWidth) + " x " +
                              std::to_string(form_.mazeHeight) + " maze from \"" +
                              printable(before.widthText) + "\" x \"" +
                              printable(before.heightText) + "\"");
        }
        if (form_.tracking || surface_.lastBox != kEntranceGray) {
            faults_.push_back("a new maze is not drawn afresh with its gray entrance");
        }
    } else {
        ++stats_.rejected;
        if (form_.mazeWidth != before.mazeWidth || form_.mazeHeight != before.mazeHeight ||
            form_.entryCol != before.entryCol || window_.shown.size() != 1) {
            faults_.push_back("a refused NEW MAZE changed the maze or said more than one thing");
        }
    }
    if (form_.moveCount != 0 || form_.extraMoves != 0 || !window_.moves.empty() ||
        !window_.extra.empty() || surface_.clears != before.clears + 1) {
        faults_.push_back("NEW MAZE did not clear the board, the counters and the boxes");
    }
    checkMazeFile(before, accepted);
}

void EventDriver::checkMazeFile(const Before& before, bool accepted) {
    const bool writes = accepted && before.makeFiles;
    const auto problems = std::count_if(window_.shown.begin(), window_.shown.end(), [](auto& m) {
        return startsWith(m.text, "The maze could not be saved");
    });
    if (!writes) {
        if (files_.files.size() != before.fileCount || problems != 0) {
            faults_.push_back("a maze file was touched without Make file or without a maze");
        }
        return;
    }
    const std::string shownName = before.nextFile.substr(2);
    if (before.failCreate || before.failWrite) {
        const std::string reason =
            before.failCreate ? "Permission denied" : "No space left on device";
        const std::string expected =
            "The maze could not be saved to " + shownName + ": " + reason + ".";
        const bool toldOnce = problems == 1 && window_.shown.back().text == expected;
        if (!toldOnce || files_.files.size() != before.fileCount ||
            files_.files.count(before.nextFile) != 0) {
            faults_.push_back("a maze file that failed was not reported once as \"" + expected +
                              "\", or was left behind");
        }
        return;
    }
    ++stats_.mazeFiles;
    const auto found = files_.files.find(before.nextFile);
    if (problems != 0 || found == files_.files.end() ||
        files_.files.size() != before.fileCount + 1) {
        faults_.push_back("the maze was not saved to " + before.nextFile);
        return;
    }
    // Four empty lines, then 2H + 1 lines of 3W + 1 characters, each ended by CR LF.
    std::vector<std::string> lines;
    std::string_view text = found->second;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        if (end == std::string_view::npos) {
            faults_.push_back(before.nextFile + " has a line without CR LF");
            return;
        }
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end + 2);
    }
    bool shaped = lines.size() == static_cast<std::size_t>(5 + 2 * form_.mazeHeight);
    for (std::size_t i = 0; shaped && i < lines.size(); ++i) {
        shaped =
            lines[i].size() == (i < 4 ? 0U : static_cast<std::size_t>(3 * form_.mazeWidth + 1));
    }
    if (!shaped) {
        faults_.push_back(before.nextFile + " does not have the shape of the maze");
    }
}

// Events that neither draw nor touch the counters and boxes.
void EventDriver::checkQuiet(Event e, const Before& before) {
    if (surface_.calls != before.surfaceCalls || window_.moves != before.moves ||
        window_.extra != before.extra || form_.moveCount != before.moveCount ||
        form_.extraMoves != before.extraMoves || form_.curX != before.curX ||
        form_.curY != before.curY) {
        faults_.push_back(std::string(eventName(e)) + " drew or changed the counters or boxes");
    }
    if (e == Event::MakeFile && form_.makeFiles == before.makeFiles) {
        faults_.push_back("Make file did not switch the file option");
    }
    if (e == Event::Press && form_.tracking != before.tracking) {
        faults_.push_back("an ignored press changed the play state");
    }
}

// The corner a press must be on is the player's own square's while a game is under way. Only
// Solve moves the corner without the player (to the square below the exit), until the next
// NEW MAZE or Retry puts both back on the entrance.
void EventDriver::checkCorner(Event e, const Before& before) {
    if (isNewMaze(e) || (e == Event::Retry && before.exitMade)) {
        solved_ = false;
    } else if (e == Event::Solve && before.exitMade) {
        solved_ = true;
    }
    const State& s = form_;
    const bool playing = s.tracking || s.moveCount > 0 ||
                         (s.passes.contains(s.entryCol, 0) && s.passes(s.entryCol, 0) > 0);
    if (s.entryCol == 0 || solved_ || !playing) {
        return;
    }
    if (s.curX != s.originX + s.playerCol * s.squareSize ||
        s.curY != s.originY + s.playerRow * s.squareSize) {
        faults_.push_back("the press corner (" + std::to_string(s.curX) + ", " +
                          std::to_string(s.curY) + ") is not that of the player's square (" +
                          std::to_string(s.playerCol) + ", " + std::to_string(s.playerRow) + ")");
    }
}

// An arrow key: no maze, a bump that changes nothing, one step counted, or the finish
// shown; and play is left as it was, active only under a mouse button held down.
void EventDriver::checkArrow(const Before& before) {
    // An arrow under a held button is the movement alone: only the finish ends the drag.
    if (form_.tracking != (before.tracking && arrowResult_ != ArrowResult::Finished)) {
        faults_.push_back("an arrow key left play active or ended a mouse walk");
    }
    const auto finishes = std::count_if(window_.shown.begin(), window_.shown.end(),
                                        [](const Shown& m) { return m.text != helpText(); });
    switch (arrowResult_) {
        case ArrowResult::NoMaze:
            if (before.entryCol != 0) {
                faults_.push_back("an arrow key found no maze on a maze");
            }
            checkQuiet(Event::ArrowDown, before);
            break;
        case ArrowResult::Wall:
            checkQuiet(Event::ArrowDown, before);
            break;
        case ArrowResult::Stepped: {
            ++stats_.steps;
            const int expected = std::min<int>(std::max<int>(before.moveCount, 0) + 1, kIntMax);
            if (form_.moveCount != expected || finishes != 0) {
                faults_.push_back("an arrow key's step counted " +
                                  std::to_string(form_.moveCount - before.moveCount) +
                                  " moves or showed a message");
            }
            break;
        }
        case ArrowResult::Finished:
            if (finishes != 1) {
                faults_.push_back("an arrow key finished with " + std::to_string(finishes) +
                                  " result messages");
            }
            break;
    }
}

// The words a screen reader says when the board takes the focus: the maze's size, and the
// player's square with exactly the ways the maze lets the player go from there.
void EventDriver::checkFocusWords() {
    const std::string words = describeBoard(form_);
    if (form_.entryCol == 0) {
        if (words != "No maze yet. Press New maze.") {
            faults_.push_back("before any maze the board says \"" + words + "\"");
        }
        return;
    }
    const std::string size =
        std::to_string(form_.mazeWidth) + " by " + std::to_string(form_.mazeHeight) + " maze. ";
    bool right = startsWith(words, size);
    const int s = form_.squareSize;
    const int col = s > 0 ? (form_.curX - form_.originX) / s : 0;
    const int row = s > 0 ? (form_.curY - form_.originY) / s : 0;
    if (row >= 1 && row <= form_.mazeHeight && col == form_.playerCol && row == form_.playerRow) {
        constexpr std::array<std::string_view, 4> kWords = {"right", "left", "down", "up"};
        const std::vector<int> sides = openSides();
        const std::string at =
            "column " + std::to_string(col) + ", row " + std::to_string(row) + ". Open: ";
        const std::size_t from = words.find(at);
        const std::size_t to = words.find('.', from + at.size());
        right = right && from != std::string::npos && to != std::string::npos;
        if (right) {
            const std::string ways = words.substr(from + at.size(), to - from - at.size());
            int named = 0;
            for (std::size_t k = 0; k < kWords.size(); ++k) {
                const bool open =
                    std::find(sides.begin(), sides.end(), static_cast<int>(k)) != sides.end();
                const bool said = ways.find(kWords.at(k)) != std::string::npos;
                named += said ? 1 : 0;
                right = right && open == said;
            }
            right = right && named == static_cast<int>(sides.size());
        }
    }
    if (!right) {
        faults_.push_back("on focus the board says \"" + words + "\"");
    }
}

void EventDriver::checkMenuMarks() {
    constexpr std::array<std::pair<Command, Int>, 5> kItems = {
        std::pair{Command::Hide0, Int{0}}, std::pair{Command::Hide1, Int{1}},
        std::pair{Command::Hide2, Int{2}}, std::pair{Command::Hide4, Int{4}},
        std::pair{Command::Hide8, Int{8}}};
    int checked = 0;
    for (const auto& [item, radius] : kItems) {
        const bool on = window_.checks[item];
        checked += on ? 1 : 0;
        if (on && radius != form_.visibility) {
            faults_.push_back("a Visibility check mark does not show the radius");
        }
    }
    if (checked != 1) {
        faults_.push_back(std::to_string(checked) + " Visibility items are checked");
    }
    if (window_.checks[Command::MakeFile] != form_.makeFiles) {
        faults_.push_back("the Make file check mark does not show the file option");
    }
}

}  // namespace quorrel::testing
