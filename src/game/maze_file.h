#pragma once

#include <string>
#include <string_view>

#include "game/ports.h"

namespace quorrel {

// "./maze_" + n with at least three digits + ".txt".
std::string mazeFileName(int number);

// The maze text file of one maze: created under the first free number when the maze starts,
// filled token by token while the maze is drawn, written out in one go when it is closed.
// A file that cannot be written completely is deleted again, so no half-written maze is
// left behind; problem() then says what went wrong.
class MazeFile {
  public:
    void open(FileStore& store);
    bool isOpen() const { return store_ != nullptr; }
    void write(std::string_view token);
    void writeLine(std::string_view token = {});
    // Closes the file if one is open; harmless otherwise.
    void close();

    const std::string& name() const { return name_; }
    // Empty unless the last maze's file could not be written.
    const std::string& problem() const { return problem_; }
    void clearProblem() { problem_.clear(); }

  private:
    void fail(const std::string& reason);

    FileStore* store_ = nullptr;
    std::string name_;
    std::string text_;
    std::string problem_;
};

}  // namespace quorrel
