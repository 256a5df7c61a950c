#pragma once

#include <benchmark/benchmark.h>

#include <vector>

#include "goals.h"

namespace quorrel::bench {

// Adds the spread of the repetitions (minimum, maximum, median absolute deviation) to a
// benchmark's statistics; the goals read them beside the median.
benchmark::internal::Benchmark* withSpread(benchmark::internal::Benchmark* benchmark);

// Runs the benchmarks registered in this program and judges the goals by their medians:
// prints the benchmarks' figures, then the table of goals. Unless the command line says
// otherwise, every benchmark runs 10 repetitions, the repetitions of all benchmarks are
// interleaved in a random order (so that a case and its floor share whatever else the machine
// is doing), and only the statistics are shown. Returns the program's exit status: 0 when every
// goal that ran was met, 1 when one was missed or could not be measured, 2 for a bad command
// line.
int runJudged(int argc, char** argv, const std::vector<Goal>& goals);

}  // namespace quorrel::bench
