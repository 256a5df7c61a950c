#pragma once

#include <functional>
#include <string_view>

#include "game/maze_file.h"
#include "game/ports.h"
#include "model/state.h"

namespace quorrel {

// Message boxes passed on to the real ones and counted. A front end may have `beforeBox` run
// just before each box shows, e.g. to bring what a screen reader knows of the board up to date.
class CountedMessages : public Messages {
  public:
    explicit CountedMessages(Messages& boxes) : boxes_(boxes) {}

    void inform(std::string_view text) override {
        count();
        boxes_.inform(text);
    }
    bool ask(std::string_view text) override {
        count();
        return boxes_.ask(text);
    }

    long shown = 0;
    std::function<void()> beforeBox;

  private:
    void count() {
        ++shown;
        if (beforeBox) {
            beforeBox();
        }
    }

    Messages& boxes_;
};

// What the game reaches outside itself: the board, the controls, message boxes, random
// numbers and the file system.
struct Ports {
    Surface& surface;
    Controls& controls;
    Messages& messages;
    RandomSource& random;
    FileStore& files;
};

// The front end that shows the window, for the little that differs between them: the help's
// credit names the desktop's toolkit, the page's none.
enum class FrontEnd { Desktop, Page };

// The main window as the game's procedures see it: its state record and its ports. Every
// procedure of the game takes the window and works on its variables directly.
struct Mazeform : State {
    explicit Mazeform(const Ports& ports)
        : counted(ports.messages),
          io{ports.surface, ports.controls, counted, ports.random, ports.files} {}
    // The ports refer to the window's own message counter.
    Mazeform(const Mazeform&) = delete;
    Mazeform& operator=(const Mazeform&) = delete;

    // Message boxes shown so far: a command that changes it showed one.
    long messagesShown() const { return counted.shown; }

    CountedMessages counted;
    Ports io;
    MazeFile file;  // the maze text file being written while a maze is generated
    FrontEnd frontEnd = FrontEnd::Desktop;
};

}  // namespace quorrel
