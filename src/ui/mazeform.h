#pragma once

#include "gen/random_source.h"
#include "mazefile/file_store.h"
#include "mazefile/maze_file.h"
#include "model/state.h"
#include "ui/controls.h"
#include "ui/surface.h"

namespace quorrel {

// What the game reaches outside itself: the board, the controls, message boxes, random
// numbers and the file system.
struct Ports {
    Surface& surface;
    Controls& controls;
    Messages& messages;
    RandomSource& random;
    FileStore& files;
};

// The main window as the game's procedures see it: its state record and its ports. Every
// procedure of the game takes the window and works on its variables directly.
struct Mazeform : State {
    explicit Mazeform(const Ports& ports) : io(ports) {}

    Ports io;
    MazeFile file;  // the maze text file being written while a maze is generated
};

}  // namespace quorrel
