#pragma once

// Plays the game from a string of bytes: each few bytes decode to one window event (NEW MAZE
// with any selector texts and client area, mouse presses, movements and releases anywhere and
// with any button, releases lost to a message box, every command of the window's table, Yes and
// No answers, file system trouble), which is fed to the game's handlers; after every event the
// window's state is checked. The commands, their names and their check marks come from the
// table, so a new row is played and checked with no change here. The event fuzzer feeds it the
// fuzzer's inputs and the event storm test feeds it seeded random bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/mazeform.h"
#include "play/play.h"
#include "play/steps.h"
#include "support/doubles.h"
#include "support/invariants.h"
#include "ui/commands.h"

namespace quorrel::testing {

// What a user or the system does to the window besides its commands.
enum class Act { Press, Move, Release, AnswerYes, AnswerNo, FileTrouble, FocusBoard, Count };

// What the first byte of an event plays: the kinds of event of every storm of window events
// (the event fuzzer's, the event storm test's, the page's), each with its share of the byte's
// 64 values, in the order of the byte's values.
enum class Play {
    NewMaze,
    Press,
    Move,
    Release,
    AnswerYes,
    AnswerNo,
    FileTrouble,
    Walk,
    FocusBoard,
    HeldCommand,
    Command
};

struct PlayShare {
    Play play;
    std::string_view name;
    int share;
};

inline constexpr std::array<PlayShare, 11> kPlays = {{
    {Play::NewMaze, "new maze", 2},
    {Play::Press, "press", 4},
    {Play::Move, "move", 16},
    {Play::Release, "release", 3},
    {Play::AnswerYes, "Yes", 2},
    {Play::AnswerNo, "No", 2},
    {Play::FileTrouble, "file trouble", 1},
    {Play::Walk, "walk", 16},
    {Play::FocusBoard, "focus on the board", 1},
    {Play::HeldCommand, "command while the button is held", 1},
    {Play::Command, "command", 16},
}};

// The buttons of a press, as the game counts them: mostly the left, now and then the right,
// the middle, or the left and the right at once.
inline constexpr std::array<Int, 8> kPressButtons = {
    kLeftButton, kLeftButton,  kLeftButton,   kLeftButton,
    kLeftButton, kRightButton, kMiddleButton, kLeftButton | kRightButton};

// One event: a command of the window's table, or one of the other acts.
class Event {
  public:
    Event(Command command) : command_(command), isCommand_(true) {}  // NOLINT: implicit
    Event(Act act) : act_(act) {}                                    // NOLINT: implicit

    bool is(Command command) const { return isCommand_ && command_ == command; }
    bool is(Act act) const { return !isCommand_ && act_ == act; }
    const CommandRow* row() const { return isCommand_ ? &commandRow(command_) : nullptr; }
    // Its place among every kind of event: the table's rows first, then the other acts.
    std::size_t kind() const;
    std::string name() const;

  private:
    Command command_ = Command::Blank;
    Act act_ = Act::Count;
    bool isCommand_ = false;
};

// How many kinds of event there are, and the name of each.
std::size_t eventKinds();
std::string eventName(std::size_t kind);

struct EventStats {
    std::vector<long> byKind = std::vector<long>(eventKinds());
    long events = 0;
    long steps = 0;         // movements after which the player stood on another square
    long finishes = 0;      // walks out through the exit
    long mazes = 0;         // NEW MAZE accepted
    long rejected = 0;      // NEW MAZE refused
    long mazeFiles = 0;     // maze files written
    long fileProblems = 0;  // maze files that could not be written, reported
    long solves = 0;        // Solve on a maze with an exit
    long heldCommands = 0;  // commands given while the button held the player

    long of(Event e) const { return byKind.at(e.kind()); }
    void add(const EventStats& other);
    std::string summary() const;
};

// Bytes read one at a time; 0 once they run out.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool empty() const { return pos_ >= bytes_.size(); }
    std::uint8_t byte() { return empty() ? 0 : bytes_[pos_++]; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
    // A fraction 0..1 from one byte.
    float unit() { return static_cast<float>(byte()) / 255.0F; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

class EventDriver {
  public:
    EventDriver();
    EventDriver(const EventDriver&) = delete;
    EventDriver& operator=(const EventDriver&) = delete;

    // Runs the events the bytes decode to, until they run out or a fault is found.
    void run(std::span<const std::uint8_t> bytes);

    const Faults& faults() const { return faults_; }
    const EventStats& stats() const { return stats_; }
    // The latest events, oldest first, for the report of a fault.
    std::string recentEvents() const;
    const Mazeform& form() const { return form_; }

  private:
    struct Before;

    // NEW MAZE with new texts in the selectors, a new client area and new random draws.
    void newMaze(ByteReader& in);
    void press(ByteReader& in);
    void move(ByteReader& in);
    void release(Int button);
    void answer(bool yes);
    // Presses on the player and walks; releases at the end when `mayRelease` and the bytes say.
    void walk(ByteReader& in, bool mayRelease = true);
    // A walk with the button held, a command from the keyboard whose message box, if any,
    // takes the button's release (as an arrow that presses ends the drag), then the mouse
    // moving on.
    void heldCommand(ByteReader& in);
    void fileTrouble(ByteReader& in);
    // A command of the table the bytes pick; a key of the board is held down for a few
    // auto-repeats.
    void command(ByteReader& in, const std::string& detail = {});
    // Performs a command as the front ends do.
    void perform(Command id, const std::string& detail);

    // Runs one event and checks the window afterwards.
    template <typename Action>
    void apply(Event e, std::string detail, Action action);
    Before snapshot() const;
    void checkAfter(Event e, const Before& before);
    void checkCommand(Command id, const Before& before);
    void checkMessages(Event e);
    void checkSaid(Event e);
    void checkNewMaze(const Before& before);
    void checkMazeFile(const Before& before, bool accepted);
    void checkSolve(const Before& before);
    void checkRetry();
    void checkQuiet(Event e, const Before& before);
    void checkMenuMarks();
    void checkCorner(Event e, const Before& before);
    void checkStep(Arrow way, const Before& before);
    void checkMazeKept(Event e);
    // What the board says when it takes the focus matches the state.
    void checkFocusWords();

    std::string sizeText(ByteReader& in);
    void pointOnPlayer(ByteReader& in, float& x, float& y) const;
    // Sides of a square the maze is open through, numbered as the arrows are in kArrows: 0 left,
    // 1 right, 2 up, 3 down.
    std::vector<int> openSides(int col, int row) const;
    void pointToward(int side, float& x, float& y) const;

    RecordingSurface surface_;
    FakeWindow window_;
    ScriptedRandom random_;
    MemoryFileStore files_;
    Mazeform form_;

    CounterLedger ledger_;
    std::vector<Int> mazePrint_;  // the maze as last checked, to notice any change to it
    bool solved_ = false;         // Solve has moved the press corner in this game
    Faults faults_;
    EventStats stats_;
    std::deque<std::string> recent_;
    Said said_;  // what the latest command came to
};

}  // namespace quorrel::testing
