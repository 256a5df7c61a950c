// Maze files as downloads: numbered afresh at each load, one download per maze, the same
// bytes as the file the desktop writes.

#include "web/download_store.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/maze_file.h"

namespace quorrel::web {
namespace {

struct Offered {
    std::string name;
    std::string bytes;
};

class Downloads : public ::testing::Test {
  protected:
    std::vector<Offered> offered;
    DownloadStore store{[this](const std::string& name, std::string_view bytes) {
        offered.push_back({name, std::string(bytes)});
    }};

    // One maze file written as the generator writes it.
    void writeMaze(std::string_view line) {
        MazeFile file;
        file.open(store);
        file.write(line);
        file.writeLine(".");
        file.close();
    }
};

TEST_F(Downloads, NumbersEachMazeOfTheLoadFromOne) {
    writeMaze(".--");
    writeMaze(".  ");
    writeMaze(":--");
    ASSERT_EQ(offered.size(), 3U);
    EXPECT_EQ(offered[0].name, "maze_001.txt");
    EXPECT_EQ(offered[1].name, "maze_002.txt");
    EXPECT_EQ(offered[2].name, "maze_003.txt");
}

TEST_F(Downloads, OffersTheBytesOfTheFileWithCarriageReturns) {
    writeMaze(".  .--");
    ASSERT_EQ(offered.size(), 1U);
    EXPECT_EQ(offered[0].bytes, "\r\n\r\n\r\n\r\n.  .--.\r\n");
}

TEST_F(Downloads, ANameIsTakenOnceOffered) {
    std::string reason;
    EXPECT_EQ(store.create("./maze_001.txt", reason), CreateResult::Created);
    EXPECT_TRUE(store.writeAndClose("x", reason));
    EXPECT_EQ(store.create("./maze_001.txt", reason), CreateResult::NameTaken);
    EXPECT_EQ(store.create("./maze_002.txt", reason), CreateResult::Created);
}

TEST_F(Downloads, ARemovedNameIsFreeAgainAndNothingIsOffered) {
    std::string reason;
    ASSERT_EQ(store.create("./maze_001.txt", reason), CreateResult::Created);
    store.remove("./maze_001.txt");
    EXPECT_FALSE(store.writeAndClose("x", reason));
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(store.create("./maze_001.txt", reason), CreateResult::Created);
}

}  // namespace
}  // namespace quorrel::web
