#pragma once

// Plays the game from a string of bytes: each few bytes decode to one window event (NEW MAZE
// with any selector texts and client area, mouse presses, movements and releases anywhere and
// with any button, releases lost to a message box, every menu command, Yes and No answers, file
// system trouble), which is fed to the game's handlers; after every event the window's state is
// checked. The event fuzzer feeds it the fuzzer's inputs and the event storm test feeds it seeded
// random bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "play/keys.h"
#include "support/doubles.h"
#include "support/invariants.h"
#include "ui/mazeform.h"

namespace quorrel::testing {

enum class Event {
    NewMaze,
    Press,
    Move,
    Release,
    Retry,
    Solve,
    Hide0,
    Hide1,
    Hide2,
    Hide4,
    Hide8,
    MakeFile,
    Help,
    AnswerYes,
    AnswerNo,
    FileTrouble,
    ArrowLeft,
    ArrowRight,
    ArrowUp,
    ArrowDown,
    FocusBoard,
    KeyNewMaze,
    KeyHelp,
    Count
};

inline constexpr std::size_t kEventKinds = static_cast<std::size_t>(Event::Count);

std::string_view eventName(Event e);

struct EventStats {
    std::array<long, kEventKinds> byKind{};
    long events = 0;
    long steps = 0;         // movements after which the player stood on another square
    long finishes = 0;      // walks out through the exit
    long mazes = 0;         // NEW MAZE accepted
    long rejected = 0;      // NEW MAZE refused
    long mazeFiles = 0;     // maze files written
    long fileProblems = 0;  // maze files that could not be written, reported
    long solves = 0;        // Solve on a maze with an exit
    long heldCommands = 0;  // NEW MAZE, Retry or HELP! from the keyboard mid-walk

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

    void newMaze(ByteReader& in);
    void press(ByteReader& in);
    void move(ByteReader& in);
    // Presses on the player and walks; releases at the end when `mayRelease` and the bytes say.
    void walk(ByteReader& in, bool mayRelease = true);
    // A walk with the button held, a command from the keyboard whose message box, if any,
    // takes the button's release, then the mouse moving on.
    void heldCommand(ByteReader& in);
    void fileTrouble(ByteReader& in);
    // An arrow key, held down for a few auto-repeats.
    void arrows(ByteReader& in);
    // What the board says when it takes the focus matches the state.
    void checkFocusWords();

    // Runs one event and checks the window afterwards.
    template <typename Action>
    void apply(Event e, std::string detail, Action action);
    Before snapshot() const;
    void checkAfter(Event e, const Before& before);
    void checkMessages(Event e);
    void checkNewMaze(const Before& before);
    void checkMazeFile(const Before& before, bool accepted);
    void checkQuiet(Event e, const Before& before);
    void checkMenuMarks();
    void checkCorner(Event e, const Before& before);
    void checkArrow(const Before& before);
    void checkMazeKept(Event e);

    std::string sizeText(ByteReader& in);
    void pointOnPlayer(ByteReader& in, float& x, float& y) const;
    // Sides of the player's square the maze is open through: 0 right, 1 left, 2 down, 3 up.
    std::vector<int> openSides() const;
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
    ArrowResult arrowResult_ = ArrowResult::NoMaze;  // of the latest arrow key
};

}  // namespace quorrel::testing
