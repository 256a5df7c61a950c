#pragma once

#include <cstdint>
#include <random>

#include "game/ports.h"

namespace quorrel {

// A Mersenne Twister reseeded from the clock at every maze. The seed mixes the wall clock and
// the steady clock at full resolution with a count of reseeds, so two mazes started within
// the same clock tick still get different seeds.
class ClockRandom : public RandomSource {
  public:
    void reseed() override;
    double next() override;

  private:
    std::mt19937_64 engine_;
    std::uint64_t reseeds_ = 0;
};

// The same generator with a fixed seed that reseed() leaves alone: a reproducible stream of
// draws across many mazes.
class SeededRandom : public RandomSource {
  public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    void reseed() override {}
    double next() override;

  private:
    std::mt19937_64 engine_;
};

// Maps 53 random bits to [0, 1).
double unitInterval(std::uint64_t bits);

}  // namespace quorrel
