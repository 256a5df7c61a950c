// The maze text file: its name and its text, and its writing on a real file system, also one
// that goes wrong: read-only and full file systems, a path that is no directory, names taken by
// files, directories, links and by someone racing the game, a thousand files already there, and
// writes cut short by the file size limit or interrupted. In every case the maze is still
// generated and drawn, no existing file loses a byte, no half-written maze file stays behind,
// and a failure is told once, after the drawing.

#include "game/maze_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Mount namespaces and the kernel's own write call, which WebAssembly has not.
#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#endif

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "board/new_maze.h"
#include "gen/generator.h"
#include "mazefile/posix_file_store.h"
#include "support/doubles.h"
#include "support/invariants.h"
#include "support/maze_geometry.h"
#include "support/play_helpers.h"
#include "support/temp_dir.h"

namespace quorrel::testing {
namespace {

namespace fs = std::filesystem;

// The size of the file of a W by H maze: four empty lines and 2H + 1 lines of 3W + 1
// characters, each line ended by CR LF.
std::size_t mazeFileSize(int w, int h) {
    return 4 * 2 + static_cast<std::size_t>(2 * h + 1) * static_cast<std::size_t>(3 * w + 3);
}

// A window with File > Make file on, saving to the given store.
struct Game : Harness {
    explicit Game(FileStore& store, int w = 6, int h = 4) : Harness(store) {
        form.makeFiles = true;
        window.width = std::to_string(w);
        window.height = std::to_string(h);
    }

    // NEW MAZE; the maze must come out whole and drawn, with its gray entrance last.
    void newMaze() {
        const std::size_t messagesBefore = window.messages.size();
        surface.ops.clear();
        window.opsAtMessage.clear();
        Command1_Click(form);
        Faults faults;
        checkMaze(form, faults);
        EXPECT_TRUE(faults.empty()) << (faults.empty() ? "" : faults.front());
        ASSERT_FALSE(surface.ops.empty());
        EXPECT_GE(surface.of(DrawOp::Line).size(),
                  static_cast<std::size_t>(form.mazeWidth * form.mazeHeight));
        // One box, the gray entrance, drawn last.
        const std::vector<DrawOp> boxes = surface.of(DrawOp::Box);
        ASSERT_EQ(boxes.size(), 1U);
        EXPECT_EQ(boxes.back().colour, kEntranceGray);
        EXPECT_EQ(surface.ops.back().kind, DrawOp::Box);
        newMessages.assign(window.messages.begin() + static_cast<long>(messagesBefore),
                           window.messages.end());
        // Whatever is said comes after the whole drawing.
        for (std::size_t at : window.opsAtMessage) {
            EXPECT_EQ(at, surface.ops.size());
        }
    }

    std::vector<std::string> newMessages;  // shown by the latest NEW MAZE
};

std::string failure(const std::string& file, const std::string& reason) {
    return "The maze could not be saved to " + file + ": " + reason + ".";
}

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
    Faults faults;
    checkMazeText(text, s, faults);
    EXPECT_EQ(faults, Faults{});
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

// ---- Maze files on a real file system -----------------------------------------------------

TEST(PosixMazeFile, WorkedExampleByteForByte) {
    TempDir dir;
    PosixFileStore store(dir.path.string());
    Game game(store, 2, 2);
    game.random.script.assign(kWorkedDraws.begin(), kWorkedDraws.end());
    game.newMaze();
    EXPECT_TRUE(game.newMessages.empty());
    ASSERT_EQ(dir.entries(), std::vector<std::string>{"maze_001.txt"});
    EXPECT_EQ(readFile(dir.path / "maze_001.txt"), kWorkedMazeFile);
}

TEST(PosixMazeFile, NextMazesTakeTheNextNumbersAndLeaveOldFilesAlone) {
    TempDir dir;
    dir.put("maze_001.txt", "mine");
    PosixFileStore store(dir.path.string());
    Game game(store);
    game.newMaze();
    game.newMaze();
    EXPECT_EQ(dir.entries(),
              (std::vector<std::string>{"maze_001.txt", "maze_002.txt", "maze_003.txt"}));
    EXPECT_EQ(readFile(dir.path / "maze_001.txt"), "mine");
    expectFileShowsMaze(readFile(dir.path / "maze_003.txt"), game.form);
}

TEST(PosixMazeFile, ADirectoryOfTheNameMovesTheMazeOn) {
    TempDir dir;
    fs::create_directory(dir.path / "maze_001.txt");
    PosixFileStore store(dir.path.string());
    Game game(store);
    game.newMaze();
    EXPECT_TRUE(game.newMessages.empty());
    EXPECT_TRUE(fs::is_directory(dir.path / "maze_001.txt"));
    ASSERT_TRUE(fs::is_regular_file(dir.path / "maze_002.txt"));
    expectFileShowsMaze(readFile(dir.path / "maze_002.txt"), game.form);
}

// ---- File systems that refuse ---------------------------------------------------------

// A private mount table for this process, so a test may mount a small tmpfs that nobody
// else sees and that goes away with the process. False where mounting is not allowed.
bool privateMounts() {
#ifdef __linux__
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
#else
    return false;
#endif
}

#ifdef __linux__
constexpr unsigned long kReadOnlyMount = MS_RDONLY;
#else
constexpr unsigned long kReadOnlyMount = 1;
#endif

class Tmpfs {
  public:
#ifdef __linux__
    Tmpfs(const fs::path& at, unsigned long flags, const std::string& options) : at_(at) {
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", flags, options.c_str()) == 0;
    }
    ~Tmpfs() {
        if (mounted_) {
            ::umount2(at_.c_str(), MNT_DETACH);
        }
    }
#else
    Tmpfs(const fs::path& at, unsigned long /*flags*/, const std::string& /*options*/) : at_(at) {}
#endif
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;
    bool mounted() const {
        return mounted_;
    }

  private:
    fs::path at_;
    bool mounted_ = false;
};

TEST(FilesystemFailure, AReadOnlyDirectoryRefusesTheFileEvenForRoot) {
    TempDir dir;
    const fs::path ro = dir.path / "ro";
    fs::create_directory(ro);
    std::string reason;
    // Read-only by its mode, unless we are root: then a read-only file system.
    fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
    const bool modeBites = ::access(ro.c_str(), W_OK) != 0;
    std::unique_ptr<Tmpfs> readOnly;
    if (modeBites) {
        reason = "Permission denied";
    } else {
        fs::permissions(ro, fs::perms::owner_all);
        if (!privateMounts()) {
            GTEST_SKIP() << "running as root, where a directory's mode does not stop writes, "
                            "and no read-only file system can be mounted here";
        }
        readOnly = std::make_unique<Tmpfs>(ro, kReadOnlyMount, "size=64k");
        if (!readOnly->mounted()) {
            GTEST_SKIP() << "a read-only tmpfs cannot be mounted here";
        }
        reason = "Read-only file system";
    }
    PosixFileStore store(ro.string());
    Game game(store);
    game.newMaze();
    EXPECT_EQ(game.newMessages, std::vector<std::string>{failure("maze_001.txt", reason)});
    EXPECT_TRUE(fs::is_empty(ro));
    game.newMaze();
    EXPECT_EQ(game.newMessages.size(), 1U) << "each failing maze is told once";
    if (modeBites) {
        fs::permissions(ro, fs::perms::owner_all, fs::perm_options::add);
    }
}

TEST(FilesystemFailure, AFullFileSystemLeavesNoPartFileAndSparesTheOthers) {
    TempDir dir;
    const fs::path small = dir.path / "small";
    fs::create_directory(small);
    if (!privateMounts()) {
        GTEST_SKIP() << "no tmpfs can be mounted here to fill up";
    }
    Tmpfs tmpfs(small, 0, "size=16k");
    if (!tmpfs.mounted()) {
        GTEST_SKIP() << "no tmpfs can be mounted here to fill up";
    }
    // Leave one page free: less than the file of a 50 by 50 maze needs.
    const std::string filler(12 * 1024, 'x');
    std::ofstream(small / "maze_001.txt", std::ios::binary) << filler;
    ASSERT_GT(mazeFileSize(50, 50), 4096U);

    PosixFileStore store(small.string());
    Game game(store, 50, 50);
    game.newMaze();
    EXPECT_EQ(game.newMessages,
              std::vector<std::string>{failure("maze_002.txt", "No space left on device")});
    EXPECT_FALSE(fs::exists(small / "maze_002.txt")) << "a half-written maze was left behind";
    std::ifstream in(small / "maze_001.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), filler);

    // A small maze still fits, and is then saved without a word.
    game.window.width = "3";
    game.window.height = "3";
    game.newMaze();
    EXPECT_TRUE(game.newMessages.empty());
    EXPECT_EQ(fs::file_size(small / "maze_002.txt"), mazeFileSize(3, 3));
}

// ---- Names already taken --------------------------------------------------------------

// Someone else creates the file under each of the next few names just before the game
// asks for it, as if racing it between its look at the directory and the creation.
class RacingStore : public FileStore {
  public:
    RacingStore(PosixFileStore& inner, fs::path dir, int races)
        : inner_(inner), dir_(std::move(dir)), races_(races) {}

    CreateResult create(const std::string& name, std::string& reason) override {
        if (races_ > 0) {
            --races_;
            const int fd = ::open((dir_ / name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            EXPECT_GE(fd, 0) << "the racer could not take " << name;
            if (fd >= 0) {
                const std::string theirs = "theirs: " + name;
                EXPECT_EQ(::write(fd, theirs.data(), theirs.size()),
                          static_cast<ssize_t>(theirs.size()));
                ::close(fd);
            }
        }
        return inner_.create(name, reason);
    }
    bool writeAndClose(std::string_view bytes, std::string& reason) override {
        return inner_.writeAndClose(bytes, reason);
    }
    void remove(const std::string& name) override { inner_.remove(name); }

  private:
    PosixFileStore& inner_;
    fs::path dir_;
    int races_;
};

TEST(FilesystemFailure, ANameTakenJustBeforeCreationMovesTheMazeOn) {
    TempDir dir;
    PosixFileStore posix(dir.path.string());
    RacingStore racing(posix, dir.path, 3);
    Game game(racing);
    game.newMaze();
    EXPECT_TRUE(game.newMessages.empty());
    const auto all = dir.contents();
    ASSERT_EQ(all.size(), 4U);
    EXPECT_EQ(all.at("maze_001.txt"), "theirs: ./maze_001.txt");
    EXPECT_EQ(all.at("maze_002.txt"), "theirs: ./maze_002.txt");
    EXPECT_EQ(all.at("maze_003.txt"), "theirs: ./maze_003.txt");
    EXPECT_EQ(all.at("maze_004.txt").size(), mazeFileSize(6, 4));
}

TEST(FilesystemFailure, LinksUnderTheNextNamesAreNeverFollowed) {
    TempDir dir;
    dir.put("target", "the link's target");
    fs::create_symlink(dir.path / "nowhere", dir.path / "maze_001.txt");
    fs::create_symlink(dir.path / "target", dir.path / "maze_002.txt");
    fs::create_directory(dir.path / "maze_003.txt");
    const auto before = dir.contents();

    PosixFileStore store(dir.path.string());
    Game game(store);
    game.newMaze();
    EXPECT_TRUE(game.newMessages.empty());
    auto after = dir.contents();
    ASSERT_EQ(after.count("maze_004.txt"), 1U);
    EXPECT_EQ(after.at("maze_004.txt").size(), mazeFileSize(6, 4));
    after.erase("maze_004.txt");
    EXPECT_EQ(after, before) << "a link, its target or a directory was changed";
    EXPECT_FALSE(fs::exists(dir.path / "nowhere")) << "a dangling link was followed";
}

// ---- Writes cut short -----------------------------------------------------------------

// Caps the size of any file this process writes while the object lives, with the signal for
// passing the cap ignored, so the write fails with "File too large" (root included).
class SizeCap {
  public:
    explicit SizeCap(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit capped = saved_;
        capped.rlim_cur = bytes;
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        ok_ = ::setrlimit(RLIMIT_FSIZE, &capped) == 0;
    }
    ~SizeCap() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    SizeCap(const SizeCap&) = delete;
    SizeCap& operator=(const SizeCap&) = delete;
    bool ok() const { return ok_; }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
    bool ok_ = false;
};

TEST(FilesystemFailure, AFileOfExactlyTheCapIsWrittenWhole) {
    TempDir dir;
    PosixFileStore store(dir.path.string());
    Game game(store, 7, 5);
    {
        SizeCap cap(mazeFileSize(7, 5));
        if (!cap.ok()) {
            GTEST_SKIP() << "the file size limit cannot be set here";
        }
        game.newMaze();
    }
    EXPECT_TRUE(game.newMessages.empty());
    EXPECT_EQ(fs::file_size(dir.path / "maze_001.txt"), mazeFileSize(7, 5));
}

TEST(FilesystemFailure, OneByteOverTheCapLeavesNothingAndIsToldOncePerMaze) {
    TempDir dir;
    dir.put("maze_001.txt", "keep me");
    PosixFileStore store(dir.path.string());
    Game game(store, 7, 5);
    {
        SizeCap cap(mazeFileSize(7, 5) - 1);
        if (!cap.ok()) {
            GTEST_SKIP() << "the file size limit cannot be set here";
        }
        game.newMaze();
        EXPECT_EQ(game.newMessages,
                  std::vector<std::string>{failure("maze_002.txt", "File too large")});
        // The failed number is free again, so the next maze tries it again.
        game.newMaze();
        EXPECT_EQ(game.newMessages,
                  std::vector<std::string>{failure("maze_002.txt", "File too large")});
    }
    EXPECT_EQ(dir.contents(), (std::map<std::string, std::string>{{"maze_001.txt", "keep me"}}));
    game.newMaze();
    EXPECT_TRUE(game.newMessages.empty()) << "a later maze must not repeat an old message";
    EXPECT_EQ(fs::file_size(dir.path / "maze_002.txt"), mazeFileSize(7, 5));
    EXPECT_EQ(game.window.messages.size(), 2U);
}

// ---- Where a maze file goes, or why none does ---------------------------------------------

struct SaveCase {
    const char* name;
    const char* dir = nullptr;  // the store's directory below a fresh one; null: in memory
    int files = 0;              // maze_001.txt to maze_<files>.txt there before, but for `gap`
    int gap = 0;
    bool failCreate = false;  // in memory: the first name cannot be created
    bool failWrite = false;   // in memory: writing fails
    rlim_t cap = 0;           // the file size limit while the mazes are made, none if 0
    bool makeFiles = true;
    std::string made{};     // the new maze file; without one, two mazes are made
    std::string problem{};  // what each maze says
};

const SaveCase kSaveCases[] = {
    {.name = "first free number after the taken ones", .files = 2, .made = "maze_003.txt"},
    {.name = "first free number in a gap", .files = 2, .gap = 1, .made = "maze_001.txt"},
    {.name = "999 names taken in memory", .files = 999, .made = "maze_1000.txt"},
    {.name = "999 files", .dir = "", .files = 999, .made = "maze_1000.txt"},
    {.name = "1000 files keep their bytes", .dir = "", .files = 1000, .made = "maze_1001.txt"},
    {.name = "a gap among 1001 files",
     .dir = "",
     .files = 1001,
     .gap = 500,
     .made = "maze_500.txt"},
    {.name = "a path through a file is no directory",
     .dir = "maze_001.txt",
     .files = 1,
     .problem = failure("maze_001.txt", "Not a directory")},
    {.name = "a missing directory",
     .dir = "gone",
     .problem = failure("maze_001.txt", "No such file or directory")},
    {.name = "a write past the file size limit leaves no partial file",
     .dir = "",
     .cap = 20,
     .problem = failure("maze_001.txt", "File too large")},
    {.name = "a creation refused in memory",
     .failCreate = true,
     .problem = failure("maze_001.txt", "Permission denied")},
    {.name = "a write failed in memory deletes the file",
     .files = 1,
     .failWrite = true,
     .problem = failure("maze_002.txt", "No space left on device")},
    {.name = "option off on disk", .dir = "", .makeFiles = false},
    {.name = "option off in memory", .makeFiles = false},
};

class SaveCases : public ::testing::TestWithParam<SaveCase> {};

// The maze is made and drawn whatever happens to its file (Game::newMaze checks that), no file
// there before loses a byte, and a failure is told once a maze.
TEST_P(SaveCases, MakeTheFileOrTellWhy) {
    const SaveCase& c = GetParam();
    TempDir dir;
    MemoryFileStore memory;
    if (c.failCreate) {
        memory.failing[mazeFileName(1)] = true;
    }
    memory.failWrite = c.failWrite;
    for (int n = 1; n <= c.files; ++n) {
        const std::string name = mazeFileName(n);
        if (n != c.gap && c.dir != nullptr) {
            dir.put(name.substr(2), std::to_string(n));
        } else if (n != c.gap) {
            memory.files[name] = std::to_string(n);
        }
    }
    // Every file by its name without "./", with its bytes.
    const auto contents = [&] {
        std::map<std::string, std::string> all = dir.contents();
        for (const auto& [name, bytes] : memory.files) {
            all[name.substr(2)] = bytes;
        }
        return all;
    };
    const auto before = contents();
    PosixFileStore disk((dir.path / (c.dir != nullptr ? c.dir : "")).string());
    Game game(c.dir != nullptr ? static_cast<FileStore&>(disk) : memory, 2, 2);
    game.form.makeFiles = c.makeFiles;
    {
        std::optional<SizeCap> cap;
        if (c.cap > 0 && !cap.emplace(c.cap).ok()) {
            GTEST_SKIP() << "the file size limit cannot be set here";
        }
        for (int i = 0; i < (c.made.empty() ? 2 : 1); ++i) {
            game.newMaze();
            EXPECT_EQ(game.newMessages, c.problem.empty() ? std::vector<std::string>{}
                                                          : std::vector<std::string>{c.problem});
        }
    }
    auto after = contents();
    if (!c.made.empty()) {
        ASSERT_EQ(after.count(c.made), 1U);
        EXPECT_EQ(after.at(c.made).size(), mazeFileSize(2, 2));
        after.erase(c.made);
    }
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Saving, SaveCases, ::testing::ValuesIn(kSaveCases),
                         [](const ::testing::TestParamInfo<SaveCase>& p) {
                             return caseName(p.param.name);
                         });

// ---- Files kept in memory that fail -------------------------------------------------------

TEST(MemoryMazeFile, TheMessageIsShownOnceAndNotRepeatedByTheNextMaze) {
    MemoryFileStore store;
    store.failWrite = true;
    Game game(store);
    game.newMaze();
    ASSERT_EQ(game.window.messages.size(), 1U);
    store.failWrite = false;
    game.newMaze();
    EXPECT_EQ(game.window.messages.size(), 1U);
    EXPECT_EQ(store.files.size(), 1U);
}

// ---- Writes interrupted or cut short by a signal -----------------------------------------

// What this program's write(2) below does to writes into regular files while a test arms it:
// the first `interruptions` fail with EINTR before writing a byte, as a write that a signal
// handler interrupts does, and each writes at most `most` bytes (0: all it is asked to), as one
// interrupted part way does.
struct WriteTrouble {
    int interruptions = 0;
    std::size_t most = 0;
};

// The one piece of state of that write, which has no other place to keep it; one test at a
// time arms it and disarms it.
WriteTrouble& writeTrouble() {
    static WriteTrouble trouble;
    return trouble;
}

class ArmedWrites {
  public:
    explicit ArmedWrites(WriteTrouble trouble) { writeTrouble() = trouble; }
    ~ArmedWrites() { writeTrouble() = {}; }
    ArmedWrites(const ArmedWrites&) = delete;
    ArmedWrites& operator=(const ArmedWrites&) = delete;
};

TEST(FilesystemFailure, AnInterruptedOrShortWriteIsCarriedOnToTheEnd) {
    const WriteTrouble rows[] = {{3, 0}, {0, 7}, {2, 5}};
    for (const WriteTrouble& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.interruptions << " interruptions, writes of "
                                          << row.most << " bytes at most");
        TempDir dir;
        PosixFileStore store(dir.path.string());
        Game game(store, 2, 2);
        game.random.script.assign(kWorkedDraws.begin(), kWorkedDraws.end());
        {
            const ArmedWrites armed(row);
            game.newMaze();
            EXPECT_EQ(writeTrouble().interruptions, 0) << "an interruption was never met";
        }
        EXPECT_TRUE(game.newMessages.empty());
        EXPECT_EQ(readFile(dir.path / "maze_001.txt"), kWorkedMazeFile);
    }
}

}  // namespace
}  // namespace quorrel::testing

#ifdef __linux__
// The program's write(2), which the game's file store calls: passed on to the kernel, but for
// the trouble a test arms.
extern "C" ssize_t write(int fd, const void* bytes, size_t count) {
    quorrel::testing::WriteTrouble& trouble = quorrel::testing::writeTrouble();
    struct stat status {};
    if ((trouble.interruptions > 0 || trouble.most > 0) && ::fstat(fd, &status) == 0 &&
        S_ISREG(status.st_mode)) {
        if (trouble.interruptions > 0) {
            --trouble.interruptions;
            errno = EINTR;
            return -1;
        }
        count = std::min(count, trouble.most);
    }
    return ::syscall(SYS_write, fd, bytes, count);
}
#endif
