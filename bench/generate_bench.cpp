#include <benchmark/benchmark.h>

#include <string>

#include "board/new_maze.h"
#include "gen/generator.h"
#include "gen/random_source.h"
#include "support/doubles.h"
#include "ui/mazeform.h"

namespace quorrel::bench {
namespace {

// Generating one square maze of the given side with main, including fini's drawing of every
// wall on a board that discards it; File > Make file is off. The random numbers are reseeded
// from the clock at every maze, as in the game.
void BM_GenerateMaze(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    testing::RecordingSurface surface;
    testing::FakeWindow window;
    ClockRandom random;
    testing::MemoryFileStore files;
    Mazeform form(Ports{surface, window, window, random, files});
    surface.recording = false;
    window.width = window.height = std::to_string(side);
    Command1_Click(form);  // sets the geometry of the design-size window
    if (form.mazeWidth != side || !window.messages.empty()) {
        state.SkipWithError("NEW MAZE refused the size");
        return;
    }
    for (auto _ : state) {
        main(form);
        benchmark::DoNotOptimize(form.visitCount);
        benchmark::DoNotOptimize(surface.calls);
    }
    state.counters["squares/s"] = benchmark::Counter(static_cast<double>(side * side),
                                                     benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GenerateMaze)->Arg(10)->Arg(25)->Arg(50)->Unit(benchmark::kMicrosecond);

// The whole NEW MAZE command on a 50 by 50 maze: clearing, reading the size, fitting the board,
// generating and drawing.
void BM_NewMaze50(benchmark::State& state) {
    testing::RecordingSurface surface;
    testing::FakeWindow window;
    ClockRandom random;
    testing::MemoryFileStore files;
    Mazeform form(Ports{surface, window, window, random, files});
    surface.recording = false;
    window.width = window.height = "50";
    for (auto _ : state) {
        Command1_Click(form);
        benchmark::DoNotOptimize(form.visitCount);
    }
    if (!window.messages.empty()) {
        state.SkipWithError("NEW MAZE showed a message");
    }
}
BENCHMARK(BM_NewMaze50)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorrel::bench
