#include "gen/random_source.h"

#include <chrono>

namespace quorrel {

double unitInterval(std::uint64_t bits) {
    return static_cast<double>(bits >> 11) * (1.0 / 9007199254740992.0);
}

void ClockRandom::reseed() {
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    ++reseeds_;
    std::seed_seq seq{static_cast<std::uint32_t>(wall),
                      static_cast<std::uint32_t>(wall >> 32),
                      static_cast<std::uint32_t>(steady),
                      static_cast<std::uint32_t>(steady >> 32),
                      static_cast<std::uint32_t>(reseeds_),
                      static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(this))};
    engine_.seed(seq);
}

double ClockRandom::next() {
    return unitInterval(engine_());
}

double SeededRandom::next() {
    return unitInterval(engine_());
}

}  // namespace quorrel
