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

def _mutants(text):
    """The rows of the table below, each as (id, file, original, replacement, fault)."""
    rows = []
    for head, original, replacement in zip(*[iter(text.strip().split("\n"))] * 3):
        ident, rest = head.split(" ", 1)
        name, fault = rest.split(": ", 1)
        rows.append((ident, name, original[6:], replacement[6:], fault))
    return rows


# Each mutant in three lines: its id, the file under src/ and the fault; the original fragment
# (which must occur exactly once); its replacement.
# Restoring a file makes the next build compile it again: with a file's rows together, that
# costs one extra compile per file, not one per mutant.
MUTANTS = _mutants(r"""
gen-1 gen/generator.cpp: exit flag not reset for a new maze
    - f.exitMade = false;
    + 
gen-2 gen/generator.cpp: entrance column: + 1 dropped
    - std::floor(f.io.random.next() * w + 1)
    + std::floor(f.io.random.next() * w)
gen-3 gen/generator.cpp: walk stops one square early
    - f.visitCount < f.mazeWidth * f.mazeHeight
    + f.visitCount < f.mazeWidth * f.mazeHeight - 1
gen-4 gen/generator.cpp: two-way branch never takes its first way
    - std::floor(2 * r)) + 1
    + std::floor(2 * r)) + 2
carve-1 gen/carve.cpp: step west opens the bottom, not the right
    - f.openings(f.genCol - 1, f.genRow) = 2;
    + f.openings(f.genCol - 1, f.genRow) = 1;
carve-2 gen/carve.cpp: step north moves south
    - --f.genRow;
    + ++f.genRow;
carve-3 gen/carve.cpp: exit's trail code: row + 1 dropped
    - f.genCol, f.genRow + 1));
    + f.genCol, f.genRow));
carve-4 gen/carve.cpp: exit cut: flipped comparison
    - if (code == 2) {
    + if (code != 2) {
fini-1 gen/fini.cpp: file's top line: entrance test flipped
    - if (c == f.entryCol) {
    + if (c != f.entryCol) {
fini-2 gen/fini.cpp: file drops right walls
    - put(f, "  I");
    + put(f, "   ");
fini-3 gen/fini.cpp: entrance painted white
    - kEntranceGray);
    + kWhite);
rand-1 gen/random_source.cpp: draws reach up to 2 instead of below 1
    - bits >> 11
    + bits >> 10
rand-2 gen/random_source.cpp: reseed count not mixed in (MAY BE EQUIVALENT: clocks differ anyway)
    - ++reseeds_;
    + 
file-1 game/maze_file.cpp: first file name skipped
    - for (int n = 1; n <= kLastNumber; ++n)
    + for (int n = 2; n <= kLastNumber; ++n)
file-2 game/maze_file.cpp: a taken name ends the search
    - continue;
    + return;
file-3 game/maze_file.cpp: lines end in LF, not CR LF
    - text_ += "\r\n";
    + text_ += "\n";
file-4 game/maze_file.cpp: a file that failed to write is left behind
    - store.remove(name_);
    + 
posix-1 mazefile/posix_file_store.cpp: write not retried after EINTR
    - if (n < 0 && errno == EINTR) {
    + if (n < 0 && errno == EAGAIN) {
posix-2 mazefile/posix_file_store.cpp: taken name: flipped comparison
    - if (errno == EEXIST) {
    + if (errno != EEXIST) {
fit-1 board/new_maze.cpp: largest size refused: < vs <=
    - value <= kMaxSide
    + value < kMaxSide
fit-2 board/new_maze.cpp: digit 9 not read: < vs <=
    - packed[i] <= '9'
    + packed[i] < '9'
fit-3 board/new_maze.cpp: minus sign skipped instead of plus
    - *first == '+'
    + *first == '-'
fit-4 board/new_maze.cpp: square size from the larger side: flipped
    - sizeH < sizeW ? sizeH : sizeW
    + sizeH > sizeW ? sizeH : sizeW
fit-5 board/new_maze.cpp: fit check ignores the square below the exit
    - (h + 1) * g.squareSize
    + h * g.squareSize
fit-6 board/new_maze.cpp: extra moves not reset by NEW MAZE
    - f.extraMoves = 0;
    + 
bpaint-1 board/bpaint.cpp: trail painted on the first step: > vs >=
    - if (f.moveCount > 0) {
    + if (f.moveCount >= 0) {
bpaint-2 board/bpaint.cpp: trail painted in the player colour
    - f.paintY, kTrailGreen
    + f.paintY, kPlayerBlue
bpaint-3 board/bpaint.cpp: second pass not charged double
    - if (n == 2) {
    + if (n == 3) {
bpaint-4 board/bpaint.cpp: counters wrap instead of stopping
    - std::min<int>(value + amount, kIntMax)
    + (value + amount)
print-1 board/printmaze.cpp: top wall drawn over the entrance
    - if (t == 1 && c != f.entryCol) {
    + if (t == 1) {
print-2 board/printmaze.cpp: pass counts: flipped comparison
    - if (nops == 0) {
    + if (nops != 0) {
print-3 board/printmaze.cpp: right walls drawn white
    - x0, top, c * size + x0, bottom, kBlack);
    + x0, top, c * size + x0, bottom, kWhite);
mouse-1 play/mouse.cpp: vertical step: wrong sign
    - f.curY + d.row * f.squareSize
    + f.curY - d.row * f.squareSize
mouse-2 play/mouse.cpp: Perfect!: flipped comparison
    - if (f.extraMoves == 0) {
    + if (f.extraMoves != 0) {
mouse-3 play/mouse.cpp: press on the square's left edge refused: < vs <=
    - f.curX - s <= x
    + f.curX - s < x
mouse-4 play/mouse.cpp: minus sign on a percentage that rounds to zero
    - part < 0 && hundredths > 0
    + part < 0
mouse-5 play/mouse.cpp: percentage truncated, not rounded
    - (2 * std::llabs(part) + moves)
    + (2 * std::llabs(part))
retry-1 play/retry.cpp: Retry without a maze: return dropped
    - return;
    + 
retry-2 play/retry.cpp: square below the exit not cleared
    - r <= f.mazeHeight + 1
    + r <= f.mazeHeight
vis-1 play/visibility.cpp: Full visibility never unchecked: > vs >=
    - if (choice.radius != radius) {
    + if (choice.radius != radius && choice.radius > 0) {
vis-2 play/visibility.cpp: no redraw on going back to full visibility
    - if (v == 0 && f.lastVisibility == 0) {
    + if (v == 0) {
steps-1 play/steps.cpp: left goes right
    - return {-1, 0};
    + return {1, 0};
steps-2 play/steps.cpp: no step down through the exit: + 1 dropped
    - row < s.mazeHeight + 1
    + row < s.mazeHeight
steps-3 play/steps.cpp: step up from row 1 into the entrance allowed
    - return row > 1 &&
    + return row > 0 &&
solve-1 solve/solve.cpp: wall east of the path: swapped argument
    - return f.opensRight(s, t);
    + return f.opensRight(a, t);
solve-2 solve/solve.cpp: letter case switches one early: < vs <=
    - m % 52 <= 25
    + m % 52 < 25
solve-3 solve/solve.cpp: first square of the trail never on the path
    - k >= 1; --k
    + k >= 2; --k
state-1 model/state.h: right side open only with code 3: > vs >=
    - return openings(col, row) >= 2;
    + return openings(col, row) > 2;
state-2 model/state.h: bottom row counts as out: > vs >=
    - return curY > cornerY(mazeHeight);
    + return curY >= cornerY(mazeHeight);
window-1 ui/window.cpp: Make file cannot be turned off
    - f.makeFiles = !f.makeFiles;
    + f.makeFiles = true;
window-2 ui/window.cpp: selector description: limits swapped
    - std::to_string(kMinSide) + " to " + std::to_string(kMaxSide);
    + std::to_string(kMaxSide) + " to " + std::to_string(kMinSide);
cmd-1 ui/commands.cpp: 4-square item runs the 8-square handler
    - visibilityRow<Command::Hide4, hide4_Click>
    + visibilityRow<Command::Hide4, hide8_Click>
cmd-2 ui/commands.cpp: box shown: flipped comparison
    - f.messagesShown() != shown;
    + f.messagesShown() == shown;
""")


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
