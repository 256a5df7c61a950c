// Long runs of random window events through the game, with every invariant of the window's
// state checked after each event: the same driver and checks the event fuzzer uses.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/event_driver.h"

namespace quorrel::testing {
namespace {

std::vector<std::uint8_t> randomBytes(std::mt19937_64& engine, std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::uint8_t& b : bytes) {
        b = static_cast<std::uint8_t>(engine());
    }
    return bytes;
}

// Many short sessions: each starts with a fresh window, as at program start.
TEST(EventStorm, ManyFreshWindowsKeepEveryInvariant) {
    std::mt19937_64 engine(0x5107'0001);
    EventStats total;
    for (int session = 0; session < 40; ++session) {
        EventDriver driver;
        driver.run(randomBytes(engine, 3000));
        ASSERT_TRUE(driver.faults().empty()) << "session " << session << ":\n"
                                             << describe(driver.faults());
        total.add(driver.stats());
    }
    RecordProperty("events", std::to_string(total.events));
    std::cout << "[ storm    ] " << total.summary() << "\n";
    // The storm must really have played: made mazes, walked, finished, solved, written files.
    EXPECT_GE(total.events, 20000);
    EXPECT_GT(total.mazes, 100);
    EXPECT_GT(total.rejected, 20);
    EXPECT_GT(total.steps, 5000);
    EXPECT_GT(total.finishes, 20);
    EXPECT_GT(total.solves, 50);
    EXPECT_GT(total.mazeFiles, 5);
    EXPECT_GT(total.fileProblems, 0);
    EXPECT_GT(total.heldCommands, 100);
}

// One long session in one window: state carried across hundreds of mazes.
TEST(EventStorm, OneLongSessionKeepsEveryInvariant) {
    std::mt19937_64 engine(0x5107'0002);
    EventDriver driver;
    const std::vector<std::uint8_t> bytes = randomBytes(engine, 60000);
    driver.run(bytes);
    ASSERT_TRUE(driver.faults().empty()) << describe(driver.faults());
    std::cout << "[ storm    ] " << driver.stats().summary() << "\n";
    EXPECT_GE(driver.stats().events, 20000);
    EXPECT_GT(driver.stats().finishes, 10);
}

}  // namespace
}  // namespace quorrel::testing
