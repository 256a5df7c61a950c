// Start-up: the whole process of the game's window from exec to its first paint (startup_game),
// beside a bare window with the same menus and controls doing the same (startup_bare), on the
// offscreen platform and on an X server of its own (Xvfb), where the window's icon, its
// properties and the fonts' rendering cost what they cost on a desktop. Each repetition runs
// both, one after the other, the first of the two taking turns; the CPU time of each (user and
// system, which other work on the machine inflates far less than the wall time), its wall time
// and its peak resident memory are kept as counters.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <utility>
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

// The environment with one platform for Qt and, for X, a display.
std::vector<std::string> environmentFor(const std::string& platform, const std::string& display) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0 &&
            entry.rfind("WAYLAND_DISPLAY=", 0) != 0) {
            env.push_back(entry);
        }
    }
    env.push_back("QT_QPA_PLATFORM=" + platform);
    if (!display.empty()) {
        env.push_back("DISPLAY=" + display);
    }
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings) {
        result.push_back(s.data());
    }
    result.push_back(nullptr);
    return result;
}

// Runs a program to its end and measures it.
ProcessRun runProcess(const std::string& path, std::vector<std::string> env) {
    ProcessRun run;
    std::vector<char*> argv{const_cast<char*>(path.c_str()), nullptr};
    const std::vector<char*> envp = pointers(env);
    // What the toolkit has to say on the way goes nowhere.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), &quiet, nullptr, argv.data(), envp.data());
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

// An X server of the benchmark's own, on the first free display, for as long as it lives.
class VirtualDisplay {
  public:
    VirtualDisplay() {
        int ready[2];
        if (pipe(ready) != 0) {
            return;
        }
        // Xvfb writes the display's number to the pipe once it takes connections.
        std::vector<std::string> args{"Xvfb",      "-displayfd", std::to_string(ready[1]),
                                      "-screen",   "0",          "1280x1024x24",
                                      "-nolisten", "tcp"};
        std::vector<char*> argv = pointers(args);
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addclose(&quiet, ready[0]);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "Xvfb", &quiet, nullptr, argv.data(), environ) != 0) {
            pid_ = 0;
        }
        posix_spawn_file_actions_destroy(&quiet);
        close(ready[1]);
        std::string number;
        char c = 0;
        while (pid_ != 0 && read(ready[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(ready[0]);
        if (!number.empty()) {
            name_ = ":" + number;
        }
    }
    ~VirtualDisplay() {
        if (pid_ != 0) {
            kill(pid_, SIGTERM);
            while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", or empty when Xvfb did not start.
    const std::string& name() const { return name_; }

  private:
    pid_t pid_ = 0;
    std::string name_;
};

class StartupBenchmark {
  public:
    // Both programs on Qt's platform `platform`; "xcb" on the X display `display`.
    StartupBenchmark(const std::string& platform, const std::string& display)
        : env_(environmentFor(platform, display)), usable_(platform != "xcb" || !display.empty()) {}

    void run(benchmark::State& state) {
        if (!usable_) {
            state.SkipWithError("no X server (Xvfb) to start on");
            return;
        }
        if (!warm_) {
            // Brings both programs and their libraries into the page cache first.
            runProcess(QUORREL_STARTUP_GAME, env_);
            runProcess(QUORREL_STARTUP_BARE, env_);
            warm_ = true;
        }
        for (auto _ : state) {
            const bool gameFirst = turn_++ % 2 == 0;
            ProcessRun game;
            ProcessRun bare;
            if (gameFirst) {
                game = runProcess(QUORREL_STARTUP_GAME, env_);
                bare = runProcess(QUORREL_STARTUP_BARE, env_);
            } else {
                bare = runProcess(QUORREL_STARTUP_BARE, env_);
                game = runProcess(QUORREL_STARTUP_GAME, env_);
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
    std::vector<std::string> env_;
    bool usable_ = true;
    bool warm_ = false;
    long turn_ = 0;
};

}  // namespace
}  // namespace quorrel::bench

int main(int argc, char** argv) {
    using quorrel::bench::Goal;
    using quorrel::bench::Measure;
    quorrel::bench::StartupBenchmark offscreen("offscreen", "");
    const quorrel::bench::VirtualDisplay display;
    quorrel::bench::StartupBenchmark xvfb("xcb", display.name());
    for (auto& [name, startup] :
         {std::pair{"Startup", &offscreen}, std::pair{"StartupXvfb", &xvfb}}) {
        quorrel::bench::withSpread(
            benchmark::RegisterBenchmark(
                name, [startup = startup](benchmark::State& s) { startup->run(s); }))
            ->Iterations(1)
            ->Repetitions(30)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    const std::vector<Goal> goals = {
        {"Start-up CPU time, game / bare window, offscreen (ms)", Goal::Kind::RatioAtMost,
         Measure{"Startup", "game_cpu_ms"}, Measure{"Startup", "bare_cpu_ms"}, 1.10},
        {"Start-up CPU time, game / bare window, Xvfb (ms)", Goal::Kind::RatioAtMost,
         Measure{"StartupXvfb", "game_cpu_ms"}, Measure{"StartupXvfb", "bare_cpu_ms"}, 1.10},
        {"Start-up peak memory, game - bare window (MiB)", Goal::Kind::ExcessAtMost,
         Measure{"Startup", "game_MiB"}, Measure{"Startup", "bare_MiB"}, 3},
        {"Start-up wall time, game / bare window, offscreen (ms)", Goal::Kind::RatioAtMost,
         Measure{"Startup", "game_ms"}, Measure{"Startup", "bare_ms"}, 1.10,
         /*forReference=*/true},
        {"Start-up wall time, game / bare window, Xvfb (ms)", Goal::Kind::RatioAtMost,
         Measure{"StartupXvfb", "game_ms"}, Measure{"StartupXvfb", "bare_ms"}, 1.10,
         /*forReference=*/true},
    };
    return quorrel::bench::runJudged(argc, argv, goals);
}
