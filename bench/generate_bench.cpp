#include <benchmark/benchmark.h>

#include <string>

#include "board/new_maze.h"
#include "game/mazeform.h"
#include "gen/generator.h"
#include "gen/random_source.h"
#include "support/doubles.h"

namespace quorrel::bench {
namespace {

// A main window of the design size on a board that discards its drawing, with random numbers
// reseeded from the clock at every maze, as in the game, and the given maze size selected.
struct Window {
    explicit Window(int side) {
        surface.recording = false;
        messages.width = messages.height = std::to_string(side);
    }

    testing::RecordingSurface surface;
    testing::FakeWindow messages;
    ClockRandom random;
    testing::MemoryFileStore files;
    Mazeform form{Ports{surface, messages, messages, random, files}};
};

// Generating one square maze of the given side with main, including fini's drawing of every
// wall on a board that discards it; File > Make file is off. The random numbers are reseeded
// from the clock at every maze, as in the game.
void BM_GenerateMaze(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    Window w(side);
    Mazeform& form = w.form;
    Command1_Click(form);  // sets the geometry of the design-size window
    if (form.mazeWidth != side || !w.messages.messages.empty()) {
        state.SkipWithError("NEW MAZE refused the size");
        return;
    }
    for (auto _ : state) {
        main(form);
        benchmark::DoNotOptimize(form.visitCount);
        benchmark::DoNotOptimize(w.surface.calls);
    }
    state.counters["squares/s"] = benchmark::Counter(static_cast<double>(side * side),
                                                     benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GenerateMaze)->Arg(10)->Arg(25)->Arg(50)->Unit(benchmark::kMicrosecond);

// The whole NEW MAZE command on a 50 by 50 maze: clearing, reading the size, fitting the board,
// generating and drawing.
void BM_NewMaze50(benchmark::State& state) {
    Window w(50);
    Mazeform& form = w.form;
    for (auto _ : state) {
        Command1_Click(form);
        benchmark::DoNotOptimize(form.visitCount);
    }
    if (!w.messages.messages.empty()) {
        state.SkipWithError("NEW MAZE showed a message");
    }
}
BENCHMARK(BM_NewMaze50)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorrel::bench
