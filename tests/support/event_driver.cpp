#include "support/event_driver.h"

#include <algorithm>
#include <array>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "board/new_maze.h"
#include "model/state.h"
#include "play/play.h"
#include "support/maze_geometry.h"
#include "support/odd_values.h"
#include "support/try_again.h"
#include "ui/board_description.h"
#include "ui/window.h"

namespace quorrel::testing {

namespace {

constexpr std::array<std::string_view, 8> kSuffixes = {".5", ".4999", ".5001", ".0",
                                                       "e0", "d1",    "e-1",   "   "};

bool startsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
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

constexpr int totalShare() {
    int total = 0;
    for (const PlayShare& p : kPlays) {
        total += p.share;
    }
    return total;
}
static_assert(totalShare() == 64, "the plays share the 64 values of an event's first byte");

// What an event's first byte plays, by the shares of kPlays.
Play playOf(std::uint8_t byte) {
    int op = byte % totalShare();
    for (const PlayShare& p : kPlays) {
        if (op < p.share) {
            return p.play;
        }
        op -= p.share;
    }
    return Play::Command;
}

// The table's row of the command, its place in the table.
std::size_t rowIndex(Command id) {
    return static_cast<std::size_t>(&commandRow(id) - commands().data());
}

constexpr std::array<std::string_view, static_cast<std::size_t>(Act::Count)> kActNames = {
    "press", "move", "release", "Yes", "No", "file trouble", "focus on the board"};

// The arrow key a command walks with, if it is one.
std::optional<Arrow> arrowOf(Command id) {
    for (const Arrow way : kArrows) {
        if (stepCommand(way) == id) {
            return way;
        }
    }
    return std::nullopt;
}

bool isStep(Event e) {
    const CommandRow* row = e.row();
    return row != nullptr && arrowOf(row->id).has_value();
}

// Events that may walk out through the exit and show the result.
bool walks(Event e) {
    return e.is(Act::Move) || isStep(e);
}

// Events that may press on the entrance and so open it.
bool opensEntrance(Event e) {
    return e.is(Act::Press) || isStep(e);
}

// The square a side of a square, as openSides() numbers them, leads to; worked out here rather
// than taken from the game's step rules.
constexpr std::array<int, 4> kSideDx = {-1, 1, 0, 0};
constexpr std::array<int, 4> kSideDy = {0, 0, -1, 1};

// One of a list of odd values, picked by the next byte.
template <class T, std::size_t N>
T oddOf(ByteReader& in, const std::array<T, N>& values) {
    return values.at(in.byte() % N);
}

// A pointer anywhere on a 16-bit board, or at one of the odd coordinates a window may report.
void pointAway(ByteReader& in, bool odd, float& x, float& y) {
    x = odd ? oddOf(in, kOddCoordinates) : in.u16() % 32768;
    y = odd ? oddOf(in, kOddCoordinates) : in.u16() % 32768;
}

}  // namespace

std::size_t Event::kind() const {
    return isCommand_ ? rowIndex(command_) : commands().size() + static_cast<std::size_t>(act_);
}

std::string Event::name() const {
    if (!isCommand_) {
        return std::string(kActNames.at(static_cast<std::size_t>(act_)));
    }
    // The caption without its access key, or else the key, or else the object name.
    const CommandRow& r = commandRow(command_);
    std::string name(r.caption.empty() ? (r.shortcut.empty() ? r.name : r.shortcut) : r.caption);
    name.erase(std::remove(name.begin(), name.end(), '&'), name.end());
    return name;
}

std::size_t eventKinds() {
    return commands().size() + static_cast<std::size_t>(Act::Count);
}

std::string eventName(std::size_t kind) {
    return kind < commands().size() ? Event(commands()[kind].id).name()
                                    : Event(static_cast<Act>(kind - commands().size())).name();
}

void EventStats::add(const EventStats& other) {
    for (std::size_t k = 0; k < byKind.size(); ++k) {
        byKind[k] += other.byKind.at(k);
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
    for (std::size_t k = 0; k < byKind.size(); ++k) {
        out << (k ? ", " : "") << eventName(k) << " " << byKind[k];
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
    // What each play does, in the order of Play.
    using Handler = void (*)(EventDriver&, ByteReader&);
    static constexpr std::array<Handler, kPlays.size()> kHandlers = {
        [](EventDriver& d, ByteReader& in) { d.newMaze(in); },
        [](EventDriver& d, ByteReader& in) { d.press(in); },
        [](EventDriver& d, ByteReader& in) { d.move(in); },
        [](EventDriver& d, ByteReader& in) { d.release(in.byte() % 8); },
        [](EventDriver& d, ByteReader&) { d.answer(true); },
        [](EventDriver& d, ByteReader&) { d.answer(false); },
        [](EventDriver& d, ByteReader& in) { d.fileTrouble(in); },
        [](EventDriver& d, ByteReader& in) { d.walk(in); },
        [](EventDriver& d, ByteReader&) { d.apply(Act::FocusBoard, "", [] {}); },
        [](EventDriver& d, ByteReader& in) { d.heldCommand(in); },
        [](EventDriver& d, ByteReader& in) { d.command(in); }};
    ByteReader in(bytes);
    while (!in.empty() && faults_.empty()) {
        kHandlers.at(static_cast<std::size_t>(playOf(in.byte())))(*this, in);
    }
}

void EventDriver::release(Int button) {
    apply(Act::Release, "", [&] { Form_MouseUp(form_, button, 0, 0, 0); });
}

// A Yes or a No for the next message box that asks; a few at the most wait.
void EventDriver::answer(bool yes) {
    apply(yes ? Act::AnswerYes : Act::AnswerNo, "", [&] {
        if (window_.answers.size() < 8) {
            window_.answers.push_back(yes);
        }
    });
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
    recent_.push_back(e.name() + (detail.empty() ? "" : " " + detail));
    if (recent_.size() > 24) {
        recent_.pop_front();
    }
    ++stats_.events;
    ++stats_.byKind.at(e.kind());
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
            return std::string(kNumberTexts[in.byte() % std::size(kNumberTexts)].text);
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
    const int ratio = (how >> 4) % 8;
    if (ratio == 5) {
        surface_.pixel = {1.0 + in.byte() % 30, 1.0 + in.byte() % 30};
    } else if (ratio == 6) {
        surface_.pixel = {in.u16() / 16.0, in.u16() / 16.0};
    } else if (ratio == 7) {
        surface_.pixel = {oddOf(in, kOddPixels), oddOf(in, kOddPixels)};
    } else {
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
    perform(Command::NewMaze, detail.str());
}

void EventDriver::pointOnPlayer(ByteReader& in, float& x, float& y) const {
    const float s = form_.squareSize;
    x = form_.curX - s + s * in.unit();
    y = form_.curY - s + s * in.unit();
}

void EventDriver::press(ByteReader& in) {
    const int how = in.byte();
    const Int button = kPressButtons.at(how % kPressButtons.size());
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
        case 7:
            pointAway(in, (how >> 3) % 8 == 7, x, y);
            break;
        default:
            pointOnPlayer(in, x, y);
    }
    apply(
        Act::Press,
        "button " + std::to_string(button) + " at " + std::to_string(x) + ", " + std::to_string(y),
        [&] { Form_MouseDown(form_, button, 0, x, y); });
}

std::vector<int> EventDriver::openSides(int col, int row) const {
    std::vector<int> sides;
    const State& f = form_;
    if (f.entryCol == 0 || col < 0 || col > f.mazeWidth || row < 0 || row > f.mazeHeight + 1) {
        return sides;
    }
    const Square s{col, row};
    const std::array<bool, 4> open = {opensLeft(f, s), opensRight(f, s), opensUp(f, s),
                                      opensDown(f, s)};
    for (int side = 0; side < 4; ++side) {
        if (open.at(static_cast<std::size_t>(side))) {
            sides.push_back(side);
        }
    }
    return sides;
}

void EventDriver::pointToward(int side, float& x, float& y) const {
    const float s = std::max<float>(form_.squareSize, 1);
    x = form_.curX - s / 2 + kSideDx.at(side) * s;
    y = form_.curY - s / 2 + kSideDy.at(side) * s;
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
        case 14:
            pointAway(in, how % 16 == 14, x, y);
            break;
        case 15:
            // Beside and below at once: the horizontal test wins.
            x = form_.curX + s / 2;
            y = form_.curY + s / 2;
            break;
        default: {
            const std::vector<int> sides = openSides(form_.playerCol, form_.playerRow);
            const int pick = in.byte();
            if (!sides.empty()) {
                pointToward(sides.at(static_cast<std::size_t>(pick) % sides.size()), x, y);
            }
        }
    }
    apply(Act::Move, "to " + std::to_string(x) + ", " + std::to_string(y),
          [&] { Form_MouseMove(form_, kLeftButton, 0, x, y); });
}

void EventDriver::walk(ByteReader& in, bool mayRelease) {
    const int how = in.byte();
    float x = 0;
    float y = 0;
    pointOnPlayer(in, x, y);
    apply(Act::Press, "to walk, at " + std::to_string(x) + ", " + std::to_string(y),
          [&] { Form_MouseDown(form_, kLeftButton, 0, x, y); });
    for (int n = how % 32 + 1; n > 0 && faults_.empty() && form_.tracking; --n) {
        const std::vector<int> sides = openSides(form_.playerCol, form_.playerRow);
        const int pick = in.byte();
        if (sides.empty()) {
            break;
        }
        pointToward(sides.at(static_cast<std::size_t>(pick) % sides.size()), x, y);
        apply(Act::Move, "walking to " + std::to_string(x) + ", " + std::to_string(y),
              [&] { Form_MouseMove(form_, kLeftButton, 0, x, y); });
    }
    if (mayRelease && (how & 0x20) != 0 && faults_.empty()) {
        apply(Act::Release, "", [&] { Form_MouseUp(form_, kLeftButton, 0, x, y); });
    }
}

void EventDriver::heldCommand(ByteReader& in) {
    walk(in, false);
    if (!faults_.empty()) {
        return;
    }
    ++stats_.heldCommands;
    command(in, "while the button is held");
    for (int n = in.byte() % 4 + 1; n > 0 && faults_.empty(); --n) {
        move(in);
    }
}

void EventDriver::command(ByteReader& in, const std::string& detail) {
    const std::span<const CommandRow> rows = commands();
    const CommandRow& row = rows[in.byte() % rows.size()];
    const int how = in.byte();
    // NEW MAZE with new texts in the selectors, or with the texts they hold: pressed again, or
    // Ctrl+N.
    if (row.id == Command::NewMaze && how % 2 == 0) {
        newMaze(in);
        return;
    }
    const int repeats = row.scope == KeyScope::Board ? how / 2 % 4 + 1 : 1;
    for (int n = repeats; n > 0 && faults_.empty(); --n) {
        perform(row.id, detail);
    }
}

void EventDriver::perform(Command id, const std::string& detail) {
    apply(id, detail, [&] { said_ = quorrel::perform(form_, id); });
}

void EventDriver::fileTrouble(ByteReader& in) {
    const int how = in.byte() % 4;
    apply(Act::FileTrouble, std::to_string(how), [&] {
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
    if (e.is(Command::NewMaze) &&
        std::count_if(window_.shown.begin(), window_.shown.end(),
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

    if (const CommandRow* row = e.row()) {
        checkSaid(e);
        checkCommand(row->id, before);
    } else if (e.is(Act::Press) || e.is(Act::Move)) {
        if ((e.is(Act::Move) && !before.tracking) || form_.entryCol == 0) {
            checkQuiet(e, before);
        }
        if (form_.moveCount > before.moveCount) {
            ++stats_.steps;
        }
    } else if (e.is(Act::FocusBoard)) {
        checkFocusWords();
        checkQuiet(e, before);
    } else {
        if (e.is(Act::Release) && form_.tracking) {
            faults_.push_back("a release left play active");
        }
        checkQuiet(e, before);
    }
    if (faults_.size() > known) {
        faults_.push_back("after these events:\n" + recentEvents());
    }
}

// What each command must have done; a command with no rule of its own draws nothing and
// changes no counter, as the blank item, the where-am-I key and Quit do.
void EventDriver::checkCommand(Command id, const Before& before) {
    const CommandRow& row = commandRow(id);
    if (const std::optional<Arrow> way = arrowOf(id)) {
        checkStep(*way, before);
    } else if (id == Command::NewMaze) {
        checkNewMaze(before);
    } else if (id == Command::Solve && before.exitMade) {
        checkSolve(before);
    } else if (id == Command::Retry && before.exitMade) {
        checkRetry();
    } else {
        checkQuiet(id, before);
    }
    if (row.radius >= 0 && form_.visibility != row.radius) {
        faults_.push_back("\"" + Event(id).name() + "\" chose the radius " +
                          std::to_string(form_.visibility));
    }
}

// A message box speaks for itself: what the command reports matches what was shown, and
// nothing is said after a box but the finish's, after which the words say where that leaves
// the player, and a maze file's, after which they say what NEW MAZE made.
void EventDriver::checkSaid(Event e) {
    // The board's keys show no box but the finish's.
    const bool finish = e.row() != nullptr && e.row()->scope == KeyScope::Board;
    const bool fileBox = std::any_of(window_.shown.begin(), window_.shown.end(), [](auto& m) {
        return startsWith(m.text, "The maze could not be saved");
    });
    const std::string after = finish    ? describeWhereAmI(form_)
                              : fileBox ? describeNewMaze(form_)
                                        : "";
    if (said_.boxShown != !window_.shown.empty() || (said_.boxShown && said_.words != after)) {
        faults_.push_back(e.name() + " reported " + (said_.boxShown ? "a" : "no") +
                          " message box, and the words \"" + said_.words + "\", after " +
                          std::to_string(window_.shown.size()) + " boxes");
    }
}

void EventDriver::checkSolve(const Before& before) {
    ++stats_.solves;
    checkSolution(form_, faults_);
    if (window_.moves != std::to_string(form_.solutionLength)) {
        faults_.push_back("Solve did not put the path length into Moves");
    }
    const bool onExit = before.curY > form_.originY + form_.mazeHeight * form_.squareSize;
    const std::string extra =
        onExit ? std::to_string(form_.moveCount - form_.solutionLength) : before.extra;
    if (window_.extra != extra) {
        faults_.push_back("after Solve Extra shows \"" + window_.extra + "\", not \"" + extra +
                          "\"");
    }
    if (form_.moveCount != before.moveCount || form_.extraMoves != before.extraMoves ||
        form_.tracking != before.tracking || form_.playerCol != before.playerCol ||
        form_.playerRow != before.playerRow) {
        faults_.push_back("Solve changed the counters or the player's square");
    }
}

void EventDriver::checkRetry() {
    bool cleared = true;
    for (int c = 0; c <= form_.passes.lastCol(); ++c) {
        for (int r = 0; r <= form_.passes.lastRow(); ++r) {
            cleared = cleared && form_.passes(c, r) == 0;
        }
    }
    if (!cleared || form_.moveCount != 0 || form_.extraMoves != 0 || !window_.moves.empty() ||
        !window_.extra.empty() || form_.curX != form_.entryX || form_.curY != form_.entryY ||
        surface_.lastBox != kWhite || form_.tracking) {
        faults_.push_back("Retry did not put the game back to its start");
    }
}

void EventDriver::checkMessages(Event e) {
    int sizeMessages = 0;
    int fileMessages = 0;
    for (const Shown& m : window_.shown) {
        const std::string text = "message \"" + printable(m.text) + "\" ";
        if (m.question) {
            ++stats_.finishes;
            // The figure before the last semicolon, and the question around it word for word.
            const std::size_t end = m.text.rfind(';');
            std::string figure = m.text.substr(0, end == std::string::npos ? 0 : end);
            figure.erase(0, figure.rfind(' ') + 1);
            if (m.text != tryAgain(m.extraMoves, figure)) {
                figure.clear();
            }
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
            if (!e.is(Command::NewMaze)) {
                faults_.push_back(text + "outside NEW MAZE");
            }
        } else if (m.text == helpText()) {
            if (!e.is(Command::Help)) {
                faults_.push_back(text + "outside HELP!");
            }
        } else if (startsWith(m.text, "The maze could not be saved to maze_")) {
            ++fileMessages;
            ++stats_.fileProblems;
            if (!e.is(Command::NewMaze) || m.lastBox != kEntranceGray) {
                faults_.push_back(text + "before the maze was drawn");
            }
        } else {
            faults_.push_back(text + "is none of the game's messages");
        }
    }
    if (sizeMessages > 1 || fileMessages > 1) {
        faults_.push_back("a message was shown twice in one event");
    }
    if (e.is(Command::Help) && window_.shown.size() != 1) {
        faults_.push_back("HELP! showed " + std::to_string(window_.shown.size()) + " messages");
    }
}

// The maze stays as it was except at NEW MAZE and at a press, which may open the entrance.
void EventDriver::checkMazeKept(Event e) {
    std::vector<Int> print = mazePrint(form_);
    if (e.is(Command::NewMaze) || opensEntrance(e) || print != mazePrint_) {
        if (!e.is(Command::NewMaze) && !opensEntrance(e)) {
            faults_.push_back(e.name() + " changed the maze");
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
    checkMazeText(found->second, form_, faults_);
}

// Events that neither draw nor touch the counters and boxes.
void EventDriver::checkQuiet(Event e, const Before& before) {
    if (surface_.calls != before.surfaceCalls || window_.moves != before.moves ||
        window_.extra != before.extra || form_.moveCount != before.moveCount ||
        form_.extraMoves != before.extraMoves || form_.curX != before.curX ||
        form_.curY != before.curY) {
        faults_.push_back(e.name() + " drew or changed the counters or boxes");
    }
    if (e.is(Command::MakeFile) && form_.makeFiles == before.makeFiles) {
        faults_.push_back("Make file did not switch the file option");
    }
    if (e.is(Act::Press) && form_.tracking != before.tracking) {
        faults_.push_back("an ignored press changed the play state");
    }
}

// The corner a press must be on is the player's own square's while a game is under way. Only
// Solve moves the corner without the player (to the square below the exit), until the next
// NEW MAZE or Retry puts both back on the entrance.
void EventDriver::checkCorner(Event e, const Before& before) {
    if (e.is(Command::NewMaze) || (e.is(Command::Retry) && before.exitMade)) {
        solved_ = false;
    } else if (e.is(Command::Solve) && before.exitMade) {
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

// An arrow key, judged by the driver's own reading of the maze: before any maze it does
// nothing; where the player stands in the maze, it steps one square through an open side (from
// the entrance before the first step, only down) and counts one move, or else bumps and changes
// nothing, a mouse walk going on; with the corner below the maze it presses there, as a mouse
// press would, and shows the finish again unless it steps back up. An arrow that presses ends
// play, also a mouse walk under a button held down (the arrow then is the movement and the
// release), so the pointer left behind walks nothing.
void EventDriver::checkStep(Arrow way, const Before& before) {
    const auto finishes = std::count_if(window_.shown.begin(), window_.shown.end(),
                                        [](const Shown& m) { return m.text != helpText(); });
    const Int size = before.squareSize;
    const bool below = before.curY > before.originY + before.mazeHeight * size;
    if (before.entryCol == 0) {
        checkQuiet(stepCommand(way), before);
        return;
    }
    if (below) {
        const bool backUp = form_.curX == before.curX && form_.curY == before.curY - size;
        if (form_.tracking || finishes > 1 || (finishes == 0 && !backUp)) {
            faults_.push_back("an arrow key below the maze showed " + std::to_string(finishes) +
                              " results");
        }
        stats_.steps += backUp ? 1 : 0;
        return;
    }
    if (solved_) {
        // Solve left the corner apart from the player's square: only the finish is judged.
        if (finishes > 1) {
            faults_.push_back("an arrow key showed " + std::to_string(finishes) + " results");
        }
        return;
    }
    const bool first = before.moveCount == 0;
    const Square from =
        first ? Square{before.entryCol, 0} : Square{before.playerCol, before.playerRow};
    const std::vector<int> open = openSides(from.col, from.row);
    const bool goes =
        first ? way == Arrow::Down
              : std::find(open.begin(), open.end(), static_cast<int>(way)) != open.end();
    if (!goes) {
        if (form_.tracking != before.tracking || form_.playerCol != before.playerCol ||
            form_.playerRow != before.playerRow) {
            faults_.push_back("an arrow key into a wall moved the player or ended a mouse walk");
        }
        checkQuiet(stepCommand(way), before);
        return;
    }
    ++stats_.steps;
    const auto side = static_cast<std::size_t>(way);
    const Square to{from.col + kSideDx.at(side), from.row + kSideDy.at(side)};
    // Out through the exit the result is shown, and Yes puts the player back on the entrance.
    const bool out = to.row == before.mazeHeight + 1;
    const int expected = std::min<int>(std::max<int>(before.moveCount, 0) + 1, kIntMax);
    const bool stepped = out || (form_.playerCol == to.col && form_.playerRow == to.row &&
                                 form_.moveCount == expected);
    if (!stepped || form_.tracking || finishes != (out ? 1 : 0)) {
        faults_.push_back("an arrow key's step from (" + std::to_string(from.col) + ", " +
                          std::to_string(from.row) + ") ended on (" +
                          std::to_string(form_.playerCol) + ", " + std::to_string(form_.playerRow) +
                          ") with " + std::to_string(form_.moveCount) + " moves and " +
                          std::to_string(finishes) + " results");
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
        constexpr std::array<std::string_view, 4> kWords = {"left", "right", "up", "down"};
        const std::vector<int> sides = openSides(form_.playerCol, form_.playerRow);
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

// Exactly one Visibility item is checked, the one of the radius in force; every other check
// mark shows its variable.
void EventDriver::checkMenuMarks() {
    int visibilityMarks = 0;
    for (const CommandRow& row : commands()) {
        if (row.checked == nullptr) {
            continue;
        }
        const bool on = window_.checks[row.id];
        if (row.radius >= 0) {
            visibilityMarks += on ? 1 : 0;
            if (on != (row.radius == form_.visibility)) {
                faults_.push_back("the check mark of \"" + Event(row.id).name() +
                                  "\" does not show the radius " +
                                  std::to_string(form_.visibility));
            }
        } else if (on != row.checked(form_)) {
            faults_.push_back("the check mark of \"" + Event(row.id).name() +
                              "\" does not show its variable");
        }
    }
    if (visibilityMarks != 1) {
        faults_.push_back(std::to_string(visibilityMarks) + " Visibility items are checked");
    }
}

}  // namespace quorrel::testing
