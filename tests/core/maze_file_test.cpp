#include "mazefile/maze_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "board/new_maze.h"
#include "gen/generator.h"
#include "mazefile/file_store.h"
#include "support/doubles.h"
#include "support/maze_checks.h"
#include "support/maze_geometry.h"
#include "support/play_helpers.h"
#include "support/temp_dir.h"

namespace quorrel::testing {
namespace {

namespace fs = std::filesystem;

// Splits a file at CR LF; the text must end with one.
std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find("\r\n", from);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text after the last line end";
            break;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

// NEW MAZE of 6 by 4 squares with files going to a given store.
struct FileHarness : Harness {
    explicit FileHarness(FileStore& store) : Harness(store) {
        form.makeFiles = true;
        window.width = "6";
        window.height = "4";
    }
};

TEST(MazeFileName, HasAtLeastThreeDigits) {
    const std::pair<int, std::string> names[] = {{1, "./maze_001.txt"},
                                                 {42, "./maze_042.txt"},
                                                 {999, "./maze_999.txt"},
                                                 {1000, "./maze_1000.txt"},
                                                 {12345, "./maze_12345.txt"}};
    for (const auto& [n, name] : names) {
        EXPECT_EQ(mazeFileName(n), name);
    }
}

// The first free number, whether the taken ones come before it or after a gap.
TEST(MazeFileName, TakesTheFirstFreeNumberAndFillsGaps) {
    const std::pair<std::vector<int>, std::string> cases[] = {{{1, 2}, "./maze_003.txt"},
                                                              {{2}, "./maze_001.txt"}};
    for (const auto& [taken, name] : cases) {
        MemoryFileStore store;
        for (int n : taken) {
            store.taken[mazeFileName(n)] = true;
        }
        MazeFile file;
        file.open(store);
        EXPECT_EQ(file.name(), name);
    }
}

TEST(MazeFileName, TheThousandthFileHasFourDigits) {
    MemoryFileStore store;
    for (int n = 1; n <= 999; ++n) {
        store.taken[mazeFileName(n)] = true;
    }
    MazeFile file;
    file.open(store);
    EXPECT_EQ(file.name(), "./maze_1000.txt");
    file.close();
    EXPECT_EQ(store.files.count("./maze_1000.txt"), 1U);
}

TEST(MazeFileName, WhenEveryNameIsTakenTheMessageSaysSoPlainly) {
    MemoryFileStore store;
    store.full = true;
    MazeFile file;
    file.open(store);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.problem(),
              "The maze could not be saved: the names maze_001.txt to maze_999999.txt are all "
              "taken.");
    EXPECT_TRUE(store.files.empty());
}

TEST(MazeFileName, EveryMazeCountsAfreshFromOne) {
    Harness h;
    h.form.makeFiles = true;
    placeBoard(h.form, 3, 3, 300, 0, 0, 0);
    main(h.form);
    main(h.form);
    EXPECT_EQ(h.files.files.count("./maze_001.txt"), 1U);
    EXPECT_EQ(h.files.files.count("./maze_002.txt"), 1U);
    h.files.files.erase("./maze_001.txt");
    main(h.form);
    EXPECT_EQ(h.files.files.count("./maze_001.txt"), 1U);
    EXPECT_EQ(h.files.files.count("./maze_003.txt"), 0U);
}

// Reads the walls back from a file and compares them with the maze in the state.
void expectFileShowsMaze(const std::string& text, const State& s) {
    const int w = s.mazeWidth;
    const int h = s.mazeHeight;
    SCOPED_TRACE(::testing::Message() << w << " by " << h << " maze file");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "line feed without carriage return";
        }
        if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "lone carriage return";
        }
    }
    const std::vector<std::string> lines = crlfLines(text);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(5 + 2 * h));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i], "");
    }
    for (std::size_t i = 4; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        ASSERT_EQ(line.size(), static_cast<std::size_t>(3 * w + 1)) << "line " << i + 1;
        EXPECT_NE(line.back(), ' ') << "line " << i + 1;
        for (char ch : line) {
            EXPECT_TRUE(ch == ' ' || ch == '.' || ch == '-' || ch == ':' || ch == 'I')
                << "line " << i + 1;
        }
    }
    // Top border.
    const std::string& top = lines[4];
    for (int c = 1; c <= w; ++c) {
        const std::string token = top.substr(static_cast<std::size_t>(3 * (c - 1)), 3);
        EXPECT_EQ(token, c == s.entryCol ? ".  " : ".--") << "top border, column " << c;
    }
    EXPECT_EQ(top.back(), '.');
    for (int r = 1; r <= h; ++r) {
        const std::string& sides = lines[static_cast<std::size_t>(3 + 2 * r)];
        const std::string& bottoms = lines[static_cast<std::size_t>(4 + 2 * r)];
        EXPECT_EQ(sides.front(), 'I');
        EXPECT_EQ(sides.back(), 'I') << "right border of row " << r;
        EXPECT_EQ(bottoms.back(), '.');
        for (int c = 1; c <= w; ++c) {
            const std::size_t at = static_cast<std::size_t>(3 * (c - 1));
            EXPECT_EQ(sides.substr(at + 1, 3), s.opensRight(c, r) ? "   " : "  I")
                << "right side of (" << c << ", " << r << ")";
            EXPECT_EQ(bottoms.substr(at, 3), s.opensDown(c, r) ? ":  " : ":--")
                << "bottom side of (" << c << ", " << r << ")";
        }
    }
}

TEST(MazeFileText, MatchesTheMazeForManySizes) {
    Harness h;
    h.form.makeFiles = true;
    h.random.fallback = SeededRandom(31);
    const int sizes[][2] = {{2, 2}, {2, 9}, {9, 2}, {5, 5}, {13, 7}, {20, 20}, {50, 50}, {50, 3}};
    for (const auto& [w, ht] : sizes) {
        h.files.files.clear();
        h.form.mazeWidth = static_cast<Int>(w);
        h.form.mazeHeight = static_cast<Int>(ht);
        h.form.squareSize = 100;
        main(h.form);
        ASSERT_EQ(h.files.files.size(), 1U);
        expectFileShowsMaze(h.files.files.begin()->second, h.form);
    }
}

TEST(MazeFileText, AMazeWithoutExitHasAClosedLastLine) {
    Harness h;
    h.form.makeFiles = true;
    placeBoard(h.form, 2, 2, 375, 0, 0, 0);
    // Entrance at column 1, east, south without a draw, then west on the bottom row: the
    // fourth square is reached before the walk could cut the exit.
    h.random.script = {0.1, 0.25, 0.25};
    main(h.form);
    ASSERT_FALSE(h.form.exitMade);
    EXPECT_EQ(h.random.drawn, 3);
    EXPECT_EQ(h.files.files["./maze_001.txt"],
              "\r\n\r\n\r\n\r\n"
              ".  .--.\r\n"
              "I     I\r\n"
              ":--:  .\r\n"
              "I     I\r\n"
              ":--:--.\r\n");
}

TEST(MazeFileText, OptionSwitchedOnAfterTheMazeWritesOnlyTheNextOne) {
    Harness h;
    h.form.mazeWidth = 3;
    h.form.mazeHeight = 3;
    h.form.squareSize = 300;
    main(h.form);
    h.form.makeFiles = true;
    EXPECT_TRUE(h.files.files.empty());
    EXPECT_TRUE(h.files.open.empty());
    main(h.form);
    ASSERT_EQ(h.files.files.size(), 1U);
    expectFileShowsMaze(h.files.files["./maze_001.txt"], h.form);
}

TEST(MazeFileText, OptionOffCreatesNothing) {
    Harness h;
    h.window.width = "7";
    h.window.height = "5";
    Command1_Click(h.form);
    EXPECT_TRUE(h.files.files.empty());
    EXPECT_TRUE(h.files.open.empty()) << "a file was created";
    EXPECT_EQ(h.files.closes, 0);
    EXPECT_TRUE(h.window.messages.empty());
}

TEST(PosixMazeFile, WorkedExampleByteForByte) {
    TempDir dir;
    PosixFileStore store(dir.path.string());
    FileHarness h(store);
    h.window.width = "2";
    h.window.height = "2";
    h.random.script.assign(kWorkedDraws.begin(), kWorkedDraws.end());
    Command1_Click(h.form);
    EXPECT_TRUE(h.window.messages.empty());
    ASSERT_EQ(dir.entries(), std::vector<std::string>{"maze_001.txt"});
    EXPECT_EQ(readFile(dir.path / "maze_001.txt"), kWorkedMazeFile);
}

TEST(PosixMazeFile, NextMazesTakeTheNextNumbersAndLeaveOldFilesAlone) {
    TempDir dir;
    std::ofstream(dir.path / "maze_001.txt") << "mine";
    PosixFileStore store(dir.path.string());
    FileHarness h(store);
    Command1_Click(h.form);
    Command1_Click(h.form);
    EXPECT_EQ(dir.entries(),
              (std::vector<std::string>{"maze_001.txt", "maze_002.txt", "maze_003.txt"}));
    EXPECT_EQ(readFile(dir.path / "maze_001.txt"), "mine");
    expectFileShowsMaze(readFile(dir.path / "maze_003.txt"), h.form);
}

TEST(PosixMazeFile, ADirectoryOfTheNameMovesTheMazeOn) {
    TempDir dir;
    fs::create_directory(dir.path / "maze_001.txt");
    PosixFileStore store(dir.path.string());
    FileHarness h(store);
    Command1_Click(h.form);
    EXPECT_TRUE(h.window.messages.empty());
    EXPECT_TRUE(fs::is_directory(dir.path / "maze_001.txt"));
    ASSERT_TRUE(fs::is_regular_file(dir.path / "maze_002.txt"));
    expectFileShowsMaze(readFile(dir.path / "maze_002.txt"), h.form);
}

TEST(PosixMazeFile, OptionOffTouchesNoFile) {
    TempDir dir;
    PosixFileStore store(dir.path.string());
    FileHarness h(store);
    h.form.makeFiles = false;
    Command1_Click(h.form);
    Command1_Click(h.form);
    EXPECT_TRUE(dir.entries().empty());
    EXPECT_TRUE(h.window.messages.empty());
}

// The maze is generated and drawn whatever became of its file, and the one message about the
// file comes after the drawing.
void expectDrawnThenOneMessage(const FileHarness& h, const std::string& message) {
    const std::vector<DrawOp> boxes = h.surface.of(DrawOp::Box);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].colour, kEntranceGray);
    EXPECT_EQ(h.form.visitCount, 6 * 4);
    EXPECT_EQ(innerOpenings(h.form), 6 * 4 - 1);
    EXPECT_GE(h.surface.of(DrawOp::Line).size(), 6U * 4U);
    ASSERT_EQ(h.window.messages.size(), 1U);
    EXPECT_EQ(h.window.messages[0], message);
    ASSERT_EQ(h.window.opsAtMessage.size(), 1U);
    EXPECT_EQ(h.window.opsAtMessage[0], h.surface.ops.size());
    EXPECT_EQ(h.surface.ops.back().kind, DrawOp::Box);
}

TEST(PosixMazeFile, MissingDirectoryStillGivesTheMazeAndOneMessage) {
    TempDir dir;
    PosixFileStore store((dir.path / "gone").string());
    FileHarness h(store);
    Command1_Click(h.form);
    expectDrawnThenOneMessage(
        h, "The maze could not be saved to maze_001.txt: No such file or directory.");
    EXPECT_TRUE(dir.entries().empty());
}

TEST(PosixMazeFile, ReadOnlyDirectoryStillGivesTheMazeAndOneMessage) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "running as root, for whom a read-only directory is still writable";
    }
    TempDir dir;
    fs::permissions(dir.path, fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    PosixFileStore store(dir.path.string());
    FileHarness h(store);
    Command1_Click(h.form);
    expectDrawnThenOneMessage(h, "The maze could not be saved to maze_001.txt: Permission denied.");
    EXPECT_TRUE(dir.entries().empty());
}

// Lowers the largest file this process may write for the life of the object, with the
// signal for passing it ignored, so that a write fails with EFBIG.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lower = saved_;
        lower.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &lower) == 0;
        savedSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

  private:
    rlimit saved_{};
    bool ok_ = false;
    void (*savedSignal_)(int) = nullptr;
};

TEST(PosixMazeFile, AFailedWriteLeavesNoPartialFile) {
    TempDir dir;
    PosixFileStore store(dir.path.string());
    FileHarness h(store);
    {
        FileSizeLimit limit(20);
        if (!limit.ok()) {
            GTEST_SKIP() << "the file size limit cannot be lowered here";
        }
        Command1_Click(h.form);
    }
    expectDrawnThenOneMessage(h, "The maze could not be saved to maze_001.txt: File too large.");
    EXPECT_TRUE(dir.entries().empty()) << "a partial file was left behind";
}

TEST(MemoryMazeFile, FailedCreationStillGivesTheMazeAndOneMessage) {
    MemoryFileStore store;
    store.failing[mazeFileName(1)] = true;
    FileHarness h(store);
    Command1_Click(h.form);
    expectDrawnThenOneMessage(h, "The maze could not be saved to maze_001.txt: Permission denied.");
    EXPECT_TRUE(store.files.empty());
}

TEST(MemoryMazeFile, FailedWriteDeletesTheFile) {
    MemoryFileStore store;
    store.taken[mazeFileName(1)] = true;
    store.failWrite = true;
    FileHarness h(store);
    Command1_Click(h.form);
    expectDrawnThenOneMessage(
        h, "The maze could not be saved to maze_002.txt: No space left on device.");
    EXPECT_TRUE(store.files.empty()) << "a partial file was left behind";
}

TEST(MemoryMazeFile, TheMessageIsShownOnceAndNotRepeatedByTheNextMaze) {
    MemoryFileStore store;
    store.failWrite = true;
    FileHarness h(store);
    Command1_Click(h.form);
    ASSERT_EQ(h.window.messages.size(), 1U);
    store.failWrite = false;
    Command1_Click(h.form);
    EXPECT_EQ(h.window.messages.size(), 1U);
    EXPECT_EQ(store.files.size(), 1U);
}

}  // namespace
}  // namespace quorrel::testing
