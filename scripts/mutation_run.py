#!/usr/bin/env python3
"""Mutation run: puts one small fault at a time into src/ and sees whether the tests notice.

For each mutant of the table below the script replaces one fragment of one line, rebuilds
core_tests and app_tests, runs both, and puts the file back. A mutant is caught when a test
fails, a binary crashes or it runs past the timeout; missed when every test passes. Builds and
tests run under `nice -n 19` with at most two jobs.

    scripts/mutation_run.py [--build DIR] [--only ID[,ID]] [--list] [--out FILE]
"""

import argparse
import contextlib
import json
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
NICE = ["nice", "-n", "19"]
TARGETS = ["core_tests", "app_tests"]

# id, file under src/, original fragment (must occur exactly once), replacement, the fault.
# Restoring a file makes the next build compile it again: with a file's rows together, that
# costs one extra compile per file, not one per mutant.
MUTANTS = [
    ("gen-1", "gen/generator.cpp", "f.exitMade = false;", "",
     "exit flag not reset for a new maze"),
    ("gen-2", "gen/generator.cpp", "std::floor(f.io.random.next() * w + 1)",
     "std::floor(f.io.random.next() * w)", "entrance column: + 1 dropped"),
    ("gen-3", "gen/generator.cpp", "f.visitCount < f.mazeWidth * f.mazeHeight",
     "f.visitCount < f.mazeWidth * f.mazeHeight - 1", "walk stops one square early"),
    ("gen-4", "gen/generator.cpp", "std::floor(2 * r)) + 1", "std::floor(2 * r)) + 2",
     "two-way branch never takes its first way"),
    ("carve-1", "gen/carve.cpp", "f.openings(f.genCol - 1, f.genRow) = 2;",
     "f.openings(f.genCol - 1, f.genRow) = 1;", "step west opens the bottom, not the right"),
    ("carve-2", "gen/carve.cpp", "--f.genRow;", "++f.genRow;", "step north moves south"),
    ("carve-3", "gen/carve.cpp", "f.genCol, f.genRow + 1));", "f.genCol, f.genRow));",
     "exit's trail code: row + 1 dropped"),
    ("carve-4", "gen/carve.cpp", "if (code == 2) {", "if (code != 2) {",
     "exit cut: flipped comparison"),
    ("fini-1", "gen/fini.cpp", "if (c == f.entryCol) {", "if (c != f.entryCol) {",
     "file's top line: entrance test flipped"),
    ("fini-2", "gen/fini.cpp", 'put(f, "  I");', 'put(f, "   ");',
     "file drops right walls"),
    ("fini-3", "gen/fini.cpp", "kEntranceGray);", "kWhite);", "entrance painted white"),
    ("rand-1", "gen/random_source.cpp", "bits >> 11", "bits >> 10",
     "draws reach up to 2 instead of below 1"),
    ("rand-2", "gen/random_source.cpp", "++reseeds_;", "",
     "reseed count not mixed in (MAY BE EQUIVALENT: the clocks differ anyway)"),
    ("file-1", "game/maze_file.cpp", "for (int n = 1; n <= kLastNumber; ++n)",
     "for (int n = 2; n <= kLastNumber; ++n)", "first file name skipped"),
    ("file-2", "game/maze_file.cpp", "continue;", "return;",
     "a taken name ends the search"),
    ("file-3", "game/maze_file.cpp", 'text_ += "\\r\\n";', 'text_ += "\\n";',
     "lines end in LF, not CR LF"),
    ("file-4", "game/maze_file.cpp", "store.remove(name_);", "",
     "a file that failed to write is left behind"),
    ("posix-1", "mazefile/posix_file_store.cpp", "if (n < 0 && errno == EINTR) {",
     "if (n < 0 && errno == EAGAIN) {", "write not retried after EINTR"),
    ("posix-2", "mazefile/posix_file_store.cpp", "if (errno == EEXIST) {",
     "if (errno != EEXIST) {", "taken name: flipped comparison"),
    ("fit-1", "board/new_maze.cpp", "value <= kMaxSide", "value < kMaxSide",
     "largest size refused: < vs <="),
    ("fit-2", "board/new_maze.cpp", "packed[i] <= '9'", "packed[i] < '9'",
     "digit 9 not read: < vs <="),
    ("fit-3", "board/new_maze.cpp", "*first == '+'", "*first == '-'",
     "minus sign skipped instead of plus"),
    ("fit-4", "board/new_maze.cpp", "sizeH < sizeW ? sizeH : sizeW",
     "sizeH > sizeW ? sizeH : sizeW", "square size from the larger side: flipped"),
    ("fit-5", "board/new_maze.cpp", "(h + 1) * g.squareSize", "h * g.squareSize",
     "fit check ignores the square below the exit"),
    ("fit-6", "board/new_maze.cpp", "f.extraMoves = 0;", "",
     "extra moves not reset by NEW MAZE"),
    ("bpaint-1", "board/bpaint.cpp", "if (f.moveCount > 0) {", "if (f.moveCount >= 0) {",
     "trail painted on the first step: > vs >="),
    ("bpaint-2", "board/bpaint.cpp", "f.paintY, kTrailGreen", "f.paintY, kPlayerBlue",
     "trail painted in the player colour"),
    ("bpaint-3", "board/bpaint.cpp", "if (n == 2) {", "if (n == 3) {",
     "second pass not charged double"),
    ("bpaint-4", "board/bpaint.cpp", "std::min<int>(value + amount, kIntMax)",
     "(value + amount)", "counters wrap instead of stopping"),
    ("print-1", "board/printmaze.cpp", "if (t == 1 && c != f.entryCol) {", "if (t == 1) {",
     "top wall drawn over the entrance"),
    ("print-2", "board/printmaze.cpp", "if (nops == 0) {", "if (nops != 0) {",
     "pass counts: flipped comparison"),
    ("print-3", "board/printmaze.cpp", "x0, top, c * size + x0, bottom, kBlack);",
     "x0, top, c * size + x0, bottom, kWhite);", "right walls drawn white"),
    ("mouse-1", "play/mouse.cpp", "f.curY + d.row * f.squareSize",
     "f.curY - d.row * f.squareSize", "vertical step: wrong sign"),
    ("mouse-2", "play/mouse.cpp", "if (f.extraMoves == 0) {", "if (f.extraMoves != 0) {",
     "Perfect!: flipped comparison"),
    ("mouse-3", "play/mouse.cpp", "f.curX - s <= x", "f.curX - s < x",
     "press on the square's left edge refused: < vs <="),
    ("mouse-4", "play/mouse.cpp", "part < 0 && hundredths > 0", "part < 0",
     "minus sign on a percentage that rounds to zero"),
    ("mouse-5", "play/mouse.cpp", "(2 * std::llabs(part) + moves)", "(2 * std::llabs(part))",
     "percentage truncated, not rounded"),
    ("retry-1", "play/retry.cpp", "return;", "", "Retry without a maze: return dropped"),
    ("retry-2", "play/retry.cpp", "r <= f.mazeHeight + 1", "r <= f.mazeHeight",
     "square below the exit not cleared"),
    ("vis-1", "play/visibility.cpp", "if (choice.radius != radius) {",
     "if (choice.radius != radius && choice.radius > 0) {",
     "Full visibility never unchecked: > vs >="),
    ("vis-2", "play/visibility.cpp", "if (v == 0 && f.lastVisibility == 0) {",
     "if (v == 0) {", "no redraw on going back to full visibility"),
    ("steps-1", "play/steps.cpp", "return {-1, 0};", "return {1, 0};", "left goes right"),
    ("steps-2", "play/steps.cpp", "row < s.mazeHeight + 1", "row < s.mazeHeight",
     "no step down through the exit: + 1 dropped"),
    ("steps-3", "play/steps.cpp", "return row > 1 &&", "return row > 0 &&",
     "step up from row 1 into the entrance allowed"),
    ("solve-1", "solve/solve.cpp", "return f.opensRight(s, t);", "return f.opensRight(a, t);",
     "wall east of the path: swapped argument"),
    ("solve-2", "solve/solve.cpp", "m % 52 <= 25", "m % 52 < 25",
     "letter case switches one early: < vs <="),
    ("solve-3", "solve/solve.cpp", "k >= 1; --k", "k >= 2; --k",
     "first square of the trail never on the path"),
    ("state-1", "model/state.h", "return openings(col, row) >= 2;",
     "return openings(col, row) > 2;", "right side open only with code 3: > vs >="),
    ("state-2", "model/state.h", "return curY > cornerY(mazeHeight);",
     "return curY >= cornerY(mazeHeight);", "bottom row counts as out: > vs >="),
    ("window-1", "ui/window.cpp", "f.makeFiles = !f.makeFiles;", "f.makeFiles = true;",
     "Make file cannot be turned off"),
    ("window-2", "ui/window.cpp", 'std::to_string(kMinSide) + " to " + std::to_string(kMaxSide);',
     'std::to_string(kMaxSide) + " to " + std::to_string(kMinSide);',
     "selector description: limits swapped"),
    ("cmd-1", "ui/commands.cpp", "visibilityRow<Command::Hide4, hide4_Click>",
     "visibilityRow<Command::Hide4, hide8_Click>",
     "4-square item runs the 8-square handler"),
    ("cmd-2", "ui/commands.cpp", "f.messagesShown() != shown;", "f.messagesShown() == shown;",
     "box shown: flipped comparison"),
]


def run(cmd, timeout=None, env=None, cwd=None):
    """Runs cmd under nice; returns (exit code, or None on timeout; output).

    The command gets its own process group, and on a timeout or an interruption the whole group
    is killed and waited for: a compiler left running could otherwise write an object from a
    mutated file after the file is restored, and make would take it as up to date."""
    p = subprocess.Popen(NICE + cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         text=True, errors="replace", env=env, cwd=cwd, start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, out
    except subprocess.TimeoutExpired:
        return None, ""
    finally:
        if p.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(p.pid, signal.SIGKILL)
            p.communicate()


def build(build_dir):
    """Builds the two test binaries; returns the first error line, or None on success."""
    if not (build_dir / "CMakeCache.txt").exists():
        code, out = run(["cmake", "-S", str(ROOT), "-B", str(build_dir),
                         "-DQUORREL_WERROR=OFF", "-DQUORREL_BUILD_TESTS=ON"])
        if code != 0:
            return "configure failed: " + out.strip().splitlines()[-1]
    code, out = run(["cmake", "--build", str(build_dir), "-j2", "--target"] + TARGETS)
    if code == 0:
        return None
    errors = [line for line in out.splitlines() if "error" in line]
    return (errors or out.strip().splitlines() or ["build failed"])[0]


def failures(name, code, out):
    """Names of the failing tests of one binary's run; empty when it passed."""
    if code == 0:
        return []
    if code is None:
        return [f"{name}: timed out"]
    failed = re.findall(r"^\[  FAILED  \] ([A-Za-z_][\w/]*\.[\w/]+)", out, re.M)
    failed = list(dict.fromkeys(failed))
    if failed:
        return failed
    running = re.findall(r"^\[ RUN      \] (\S+)", out, re.M)
    where = f" in {running[-1]}" if running else ""
    how = f"signal {-code}" if code < 0 else f"exit {code}"
    return [f"{name}: {how}{where}"]


def run_tests(build_dir, timeout):
    """Runs both test binaries; returns the failing test names."""
    app_env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    binaries = [("core_tests", build_dir / "tests" / "core_tests", None),
                ("app_tests", build_dir / "tests" / "app" / "app_tests", app_env)]
    failed = []
    for name, path, env in binaries:
        code, out = run([str(path)], timeout=timeout, env=env, cwd=build_dir)
        failed += failures(name, code, out)
    return failed


def try_mutant(mutant, build_dir, timeout):
    """Applies one mutant, builds and tests, restores the file; returns the result record."""
    ident, name, original, replacement, fault = mutant
    path = ROOT / "src" / name
    result = {"id": ident, "file": "src/" + name, "fault": fault,
              "original": original, "replacement": replacement}
    text = path.read_text()
    if text.count(original) != 1:
        result["status"] = "not applicable"
        result["detail"] = f"fragment occurs {text.count(original)} times"
        return result
    start = time.monotonic()
    try:
        path.write_text(text.replace(original, replacement))
        error = build(build_dir)
        if error:
            result["status"], result["detail"] = "did not build", error
        else:
            failed = run_tests(build_dir, timeout)
            result["status"] = "caught" if failed else "missed"
            result["failed"] = failed
    finally:
        path.write_text(text)
    result["seconds"] = round(time.monotonic() - start)
    return result


def describe(r):
    line = f"{r['id']:<9} {r['status']:<14} {r['file']:<34} {r['fault']}"
    if r.get("failed"):
        more = len(r["failed"]) - 3
        line += " | by " + ", ".join(r["failed"][:3]) + (f" (+{more} more)" if more > 0 else "")
    if r.get("detail"):
        line += " | " + r["detail"]
    return line


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(ROOT / "build-mutate"), help="build directory")
    parser.add_argument("--only", help="comma-separated mutant ids")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--out", help="JSON file for the results")
    parser.add_argument("--timeout", type=int, default=600, help="seconds per test binary")
    args = parser.parse_args()

    mutants = MUTANTS
    if args.only:
        wanted = args.only.split(",")
        unknown = set(wanted) - {m[0] for m in MUTANTS}
        if unknown:
            sys.exit("unknown mutant ids: " + ", ".join(sorted(unknown)))
        mutants = [m for m in MUTANTS if m[0] in wanted]
    if args.list:
        for ident, name, original, replacement, fault in mutants:
            print(f"{ident:<9} src/{name:<30} {fault}\n          - {original}\n"
                  f"          + {replacement}")
        return 0

    # A kill (SIGTERM) unwinds like Ctrl+C, so that the file being mutated is put back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    build_dir = Path(args.build).resolve()
    started = time.monotonic()
    print("unmutated tree: building and testing", flush=True)
    error = build(build_dir)
    if error:
        sys.exit("the unmutated tree does not build: " + error)
    failed = run_tests(build_dir, args.timeout)
    if failed:
        sys.exit("the unmutated tree fails its tests: " + ", ".join(failed))

    results = []
    for mutant in mutants:
        results.append(try_mutant(mutant, build_dir, args.timeout))
        print(describe(results[-1]), flush=True)

    count = {s: sum(r["status"] == s for r in results)
             for s in ("caught", "missed", "not applicable", "did not build")}
    minutes = (time.monotonic() - started) / 60
    summary = (f"{len(results)} mutants: {count['caught']} caught, {count['missed']} missed, "
               f"{count['not applicable']} not applicable, {count['did not build']} did not build")
    print(summary)
    print(f"took {minutes:.1f} minutes")
    if args.out:
        Path(args.out).write_text(json.dumps(
            {"summary": summary, "minutes": round(minutes, 1), "results": results}, indent=2)
            + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
