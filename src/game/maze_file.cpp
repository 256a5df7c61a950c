#include "game/maze_file.h"

#include <cstdio>

namespace quorrel {

namespace {
// Far more files than anyone keeps; a directory this full is reported, not searched forever.
constexpr int kLastNumber = 999999;

// A file's name as the user is told it, without the folder.
std::string shownName(const std::string& name) {
    return name.substr(name.rfind('/') + 1);
}
}  // namespace

std::string mazeFileName(int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    return std::string("./maze_") + digits + ".txt";
}

void MazeFile::open(FileStore& store) {
    close();
    problem_.clear();
    for (int n = 1; n <= kLastNumber; ++n) {
        std::string name = mazeFileName(n);
        std::string reason;
        switch (store.create(name, reason)) {
            case CreateResult::Created:
                store_ = &store;
                name_ = std::move(name);
                text_.clear();
                writeLine();
                writeLine();
                writeLine();
                writeLine();
                return;
            case CreateResult::NameTaken:
                continue;
            case CreateResult::Failed:
                name_ = std::move(name);
                fail(reason);
                return;
        }
    }
    name_.clear();
    problem_ = "The maze could not be saved: the names " + shownName(mazeFileName(1)) + " to " +
               shownName(mazeFileName(kLastNumber)) + " are all taken.";
}

void MazeFile::write(std::string_view token) {
    if (isOpen()) {
        text_ += token;
    }
}

void MazeFile::writeLine(std::string_view token) {
    if (isOpen()) {
        text_ += token;
        text_ += "\r\n";
    }
}

void MazeFile::close() {
    if (!isOpen()) {
        return;
    }
    FileStore& store = *store_;
    store_ = nullptr;
    std::string reason;
    if (!store.writeAndClose(text_, reason)) {
        store.remove(name_);
        fail(reason);
    }
    text_.clear();
}

void MazeFile::fail(const std::string& reason) {
    problem_ = "The maze could not be saved to " + shownName(name_) + ": " + reason + ".";
}

}  // namespace quorrel
