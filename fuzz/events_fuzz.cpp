// libFuzzer target: the input bytes decode to a run of window events (see
// tests/support/event_driver.h), fed to the game's handlers; after every event the window's
// state is checked. A failed check aborts with the faults and the latest events. A grid
// index out of range throws, and the uncaught exception aborts as well.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "support/event_driver.h"

namespace {

// libFuzzer calls the entry point with nothing but the input, so the tally of events over
// the whole run can only live here; it is printed when the fuzzer exits.
struct Tally {
    quorrel::testing::EventStats stats;
    long inputs = 0;
    ~Tally() {
        std::fprintf(stderr, "fuzz_events: %ld inputs, %s\n", inputs, stats.summary().c_str());
    }
};

Tally& tally() {
    static Tally t;
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorrel::testing::EventDriver driver;
    driver.run(std::span<const std::uint8_t>(data, size));
    Tally& t = tally();
    ++t.inputs;
    t.stats.add(driver.stats());
    if (!driver.faults().empty()) {
        for (const std::string& fault : driver.faults()) {
            std::fprintf(stderr, "fault: %s\n", fault.c_str());
        }
        std::abort();
    }
    return 0;
}
