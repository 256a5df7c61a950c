// Start-up: the whole process of the game's window from exec to its first paint (startup_game),
// beside a bare window with the same menus and controls doing the same (startup_bare), on the
// offscreen platform. Each repetition runs both, one after the other, the first of the two
// taking turns; the wall time of each and its peak resident memory are kept as counters.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "judged_run.h"

extern char** environ;

namespace quorrel::bench {
namespace {

struct ProcessRun {
    bool ok = false;
    double wallMs = 0;
    double cpuMs = 0;    // user and system time
    double peakMiB = 0;  // peak resident set size
    std::string failure;
};

double milliseconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Runs a program to its end and measures it.
ProcessRun runProcess(const std::string& path) {
    ProcessRun run;
    std::vector<char*> argv{const_cast<char*>(path.c_str()), nullptr};
    // What the toolkit has to say on the way goes nowhere.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
        run.failure = "cannot start " + path;
        return run;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        run.failure = "lost " + path;
        return run;
    }
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        run.failure = path + " failed with status " + std::to_string(status);
        return run;
    }
    run.ok = true;
    run.wallMs = std::chrono::duration<double, std::milli>(end - start).count();
    run.cpuMs = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;  // ru_maxrss is in KiB
    return run;
}

class StartupBenchmark {
  public:
    void run(benchmark::State& state) {
        if (!warm_) {
            // Brings both programs and their libraries into the page cache first.
            runProcess(QUORREL_STARTUP_GAME);
            runProcess(QUORREL_STARTUP_BARE);
            warm_ = true;
        }
        for (auto _ : state) {
            const bool gameFirst = turn_++ % 2 == 0;
            ProcessRun game;
            ProcessRun bare;
            if (gameFirst) {
                game = runProcess(QUORREL_STARTUP_GAME);
                bare = runProcess(QUORREL_STARTUP_BARE);
            } else {
                bare = runProcess(QUORREL_STARTUP_BARE);
                game = runProcess(QUORREL_STARTUP_GAME);
            }
            if (!game.ok || !bare.ok) {
                state.SkipWithError((game.ok ? bare : game).failure.c_str());
                return;
            }
            state.SetIterationTime(game.wallMs / 1e3);
            state.counters["game_ms"] = game.wallMs;
            state.counters["bare_ms"] = bare.wallMs;
            state.counters["game_cpu_ms"] = game.cpuMs;
            state.counters["bare_cpu_ms"] = bare.cpuMs;
            state.counters["game_MiB"] = game.peakMiB;
            state.counters["bare_MiB"] = bare.peakMiB;
        }
    }

  private:
    bool warm_ = false;
    long turn_ = 0;
};

}  // namespace
}  // namespace quorrel::bench

int main(int argc, char** argv) {
    using quorrel::bench::Goal;
    using quorrel::bench::Measure;
    // The children draw on the offscreen platform.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    quorrel::bench::StartupBenchmark startup;
    quorrel::bench::withSpread(benchmark::RegisterBenchmark(
                                   "Startup", [&startup](benchmark::State& s) { startup.run(s); }))
        ->Iterations(1)
        ->Repetitions(30)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    const std::vector<Goal> goals = {
        {"Start-up wall time, game / bare window (ms)", Goal::Kind::RatioAtMost,
         Measure{"Startup", "game_ms"}, Measure{"Startup", "bare_ms"}, 1.10},
        {"Start-up peak memory, game - bare window (MiB)", Goal::Kind::ExcessAtMost,
         Measure{"Startup", "game_MiB"}, Measure{"Startup", "bare_MiB"}, 3},
        {"Start-up CPU time, game / bare window (ms)", Goal::Kind::RatioAtMost,
         Measure{"Startup", "game_cpu_ms"}, Measure{"Startup", "bare_cpu_ms"}, 1.10,
         /*forReference=*/true},
    };
    return quorrel::bench::runJudged(argc, argv, goals);
}
