#include "gen/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "support/doubles.h"
#include "support/maze_checks.h"
#include "support/maze_geometry.h"

namespace quorrel::testing {
namespace {

// A main window that generates mazes without keeping their drawings.
struct Generator {
    explicit Generator(RandomSource& random) : form(Ports{surface, window, window, random, files}) {
        surface.recording = false;
    }

    void generate(int w, int h) {
        placeBoard(form, w, h, 116, 23, 1540, 766);
        main(form);
    }

    RecordingSurface surface;
    FakeWindow window;
    MemoryFileStore files;
    Mazeform form;
};

TEST(Generated, EveryMazeOfEverySizeIsPerfectWithItsTrail) {
    SeededRandom random(20240601);
    Generator g(random);
    int withoutExit = 0;
    for (int w = 2; w <= 50; ++w) {
        for (int h = 2; h <= 50; ++h) {
            g.generate(w, h);
            expectFinishedMaze(g.form);
            withoutExit += !g.form.exitMade;
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
    // Small mazes sometimes finish before the walk cuts an exit; some of these must have.
    EXPECT_GT(withoutExit, 0);
}

TEST(Generated, ManySquareMazesArePerfect) {
    SeededRandom random(77);
    Generator g(random);
    for (int side : {2, 3, 4, 5, 7, 10, 20, 50}) {
        for (int i = 0; i < 40; ++i) {
            g.generate(side, side);
            expectFinishedMaze(g.form);
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

TEST(Generated, ANewMazeReplacesTheGridsOfTheLastOne) {
    SeededRandom random(5);
    Generator g(random);
    g.generate(30, 40);
    g.form.passes(3, 3) = 7;
    g.form.openings(2, 0) = 1;  // play opens the entrance square
    g.generate(4, 3);
    expectFinishedMaze(g.form);
    for (int r = 0; r <= 4; ++r) {
        for (int c = 0; c <= 4; ++c) {
            EXPECT_EQ(g.form.passes(c, r), 0);
        }
    }
}

// Replays a fixed list of draws and gives up when it runs out.
struct OutOfDraws {};

class ReplayRandom : public RandomSource {
  public:
    // Each draw stands for one of four stretches of [0, 1) on which the choice among two
    // names, among three names and of the entrance column of a 2 or 3 wide maze are all
    // constant: [0, 1/3), [1/3, 1/2), [1/2, 2/3), [2/3, 1). Their chances, in sixths:
    static constexpr double kDraw[4] = {0.1, 0.4, 0.6, 0.9};
    static constexpr std::uint64_t kSixths[4] = {2, 1, 1, 2};

    void reseed() override { used = 0; }
    double next() override {
        if (used == choices.size()) {
            throw OutOfDraws{};
        }
        return kDraw[choices[used++]];
    }

    std::vector<int> choices;
    std::size_t used = 0;
};

struct Tally {
    std::uint64_t total = 0;  // in units of 6^-kDepth
    std::uint64_t noExit = 0;
    std::size_t deepest = 0;
    int mazes = 0;
};

constexpr std::size_t kDepth = 12;

// Generates the maze of every possible sequence of draws on a W by H maze (W at most 3, so
// the four stretches decide the entrance too) and adds up the chance of each outcome.
Tally everyMaze(int w, int h) {
    ReplayRandom random;
    Generator g(random);
    Tally tally;
    std::vector<std::vector<int>> todo{{}};
    while (!todo.empty()) {
        random.choices = todo.back();
        todo.pop_back();
        try {
            g.generate(w, h);
        } catch (const OutOfDraws&) {
            if (random.choices.size() == kDepth) {
                ADD_FAILURE() << "a maze needs more than " << kDepth << " draws";
                return tally;
            }
            for (int k = 0; k < 4; ++k) {
                todo.push_back(random.choices);
                todo.back().push_back(k);
            }
            continue;
        }
        EXPECT_EQ(random.used, random.choices.size());
        expectFinishedMaze(g.form);
        std::uint64_t weight = 1;
        for (std::size_t i = 0; i < kDepth; ++i) {
            weight *= i < random.choices.size() ? ReplayRandom::kSixths[random.choices[i]] : 6;
        }
        tally.total += weight;
        tally.noExit += g.form.exitMade ? 0 : weight;
        tally.deepest = std::max(tally.deepest, random.choices.size());
        ++tally.mazes;
    }
    return tally;
}

std::uint64_t sixToThe(std::size_t n) {
    std::uint64_t p = 1;
    for (std::size_t i = 0; i < n; ++i) {
        p *= 6;
    }
    return p;
}

TEST(NoExitChance, IsExactlyThreeEighthsFor2By2) {
    const Tally t = everyMaze(2, 2);
    ASSERT_EQ(t.total, sixToThe(kDepth)) << "the outcomes do not cover every draw";
    EXPECT_EQ(t.noExit * 8, 3 * sixToThe(kDepth));
    EXPECT_GT(t.mazes, 10);
}

TEST(NoExitChance, Is725In5184For3By3) {
    const Tally t = everyMaze(3, 3);
    ASSERT_EQ(t.total, sixToThe(kDepth)) << "the outcomes do not cover every draw";
    EXPECT_EQ(t.noExit * 5184, 725 * sixToThe(kDepth));
}

// The share of mazes without an exit among `count` mazes of one size.
double noExitShare(int side, int count, std::uint64_t seed) {
    SeededRandom random(seed);
    Generator g(random);
    int none = 0;
    for (int i = 0; i < count; ++i) {
        g.generate(side, side);
        none += !g.form.exitMade;
    }
    return static_cast<double>(none) / count;
}

// Tolerances are five standard deviations of the sample share.
double tolerance(double p, int count) {
    return 5 * std::sqrt(p * (1 - p) / count);
}

TEST(NoExitChance, SampledRatesMatch) {
    EXPECT_NEAR(noExitShare(2, 100000, 1), 0.375, tolerance(0.375, 100000));
    EXPECT_NEAR(noExitShare(3, 100000, 2), 725.0 / 5184, tolerance(725.0 / 5184, 100000));
    // About one 5 by 5 maze in seventy has no exit (0.0140 over ten million mazes).
    EXPECT_NEAR(noExitShare(5, 200000, 3), 0.0140, tolerance(0.0140, 200000));
}

}  // namespace
}  // namespace quorrel::testing
