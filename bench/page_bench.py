#!/usr/bin/env python3
"""The page's goals, each case beside its floor in one headless Chromium, the two taking turns:

- page ready: from the start of the navigation to the first frame with the controls, beside a
  bare page with the same HTML controls (the page's own, taken from it once it was ready) and
  no WebAssembly;
- NEW MAZE 50 x 50, and one step: the game's drawing through its ports, until the canvas has
  the picture, beside a floor that draws the same picture (the same boxes, walls and texts,
  recorded from the game) with plain canvas calls and writes the same boxes of the window.

The browser's cache is off, as on a first visit. Times are wall times in milliseconds, taken
by the page's own clock, SAMPLES of each case a repetition. Each drawing case starts once the
canvas has drawn what came before it (the maze Retry redrew before a batch of steps), so that
neither side is timed for the other's picture. The steps are taken one after the
other, each with the style and layout of its frame; a step's time is that of a batch of STEPS
steps, along a way found beforehand, divided by STEPS.

    page_bench.py <site folder> [--benchmark_repetitions=N]

Prints the medians and the goals as the other benchmarks do; exits with 1 when a goal is
missed."""

import os
import re
import shutil
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from devtools import Browser, Failure, Site, wait_for  # noqa: E402
import quorrel_e2e as e2e  # noqa: E402  (on the path devtools puts it on)

STEPS = 50  # steps in one timed batch: too few to reach the exit of a maze 50 squares high
SAMPLES = 3  # samples of each case in one repetition
GOALS = [("page ready", "page_ready", "bare_page", 1.3),
         ("NEW MAZE 50 x 50", "new_maze", "new_maze_floor", 1.5),
         ("one step", "step", "step_floor", 1.5)]

# On every document: the time of the first animation frame that finds the controls.
FIRST_FRAME = """(function look() { requestAnimationFrame(() => {
    if (document.getElementById('Command1')) window.shownAt = performance.now(); else look(); });
})();"""

# In the page: the ports' calls recorded while `work` runs, with the time until the canvas
# holds the picture; then the floor draws what was recorded with plain canvas calls.
TIMING = """
const PORTS = [['board', 'clear'], ['board', 'line'], ['board', 'box'], ['board', 'text'],
               ['board', 'font'], ['board', 'textWidth'], ['page', 'setBox']];
// Each case starts from a settled page: the canvas holds what was drawn before, laid out.
const settle = () => { ctx.getImageData(0, 0, 1, 1); document.body.offsetWidth; };
const command = (name) => perform(T.commands.find((r) => r.name === name).id);
// Performs the commands named, each with its frame's style and layout; gives the time until
// the canvas holds the picture. Recording, notes the ports' calls for the floor instead.
window.timed = async (names, record) => {
  const calls = [];
  const kept = PORTS.map(([side, name]) => core[side][name]);
  PORTS.forEach(([side, name], i) => {
    if (record) core[side][name] = (a, b, c, d, e) => {
      calls.push(name, a, b, c, d, e);
      return kept[i](a, b, c, d, e);
    };
  });
  settle();
  const start = performance.now();
  for (const name of names) {
    await command(name);
    calls.push('frame', document.body.offsetWidth, 0, 0, 0, 0);
  }
  ctx.getImageData(0, 0, 1, 1);
  const took = performance.now() - start;
  PORTS.forEach(([side, name], i) => { core[side][name] = kept[i]; });
  if (record) window.recorded = calls;
  return took;
};
// A way of STEPS steps from the entrance, keeping a hand on the wall to the right; then Retry.
window.learnWalk = async (count) => {
  const ways = ['stepRight', 'stepDown', 'stepLeft', 'stepUp'];
  const walk = [];
  let facing = 1;
  while (walk.length < count) {
    for (const turn of [1, 0, 3, 2]) {
      const way = (facing + turn) % 4, moves = document.getElementById('Text1').value;
      await command(ways[way]);
      if (document.getElementById('Text1').value !== moves) {
        walk.push(ways[way]);
        facing = way;
        break;
      }
    }
  }
  await command('retry');
  return walk;
};
window.floor = () => {
  const k = 15, r = devicePixelRatio;
  let colour = -1, font = '', ascent = 0;
  const paint = (c) => {
    if (c !== colour) ctx.fillStyle = `rgb(${c & 255},${(c >> 8) & 255},${(c >> 16) & 255})`;
    colour = c;
  };
  const calls = ['font', points, 0, 0, 0, 0, ...recorded];
  settle();
  const start = performance.now();
  for (let i = 0; i < calls.length; i += 6) {
    const [name, a, b, c, d, e] = [calls[i], calls[i + 1], calls[i + 2], calls[i + 3],
                                   calls[i + 4], calls[i + 5]];
    if (name === 'clear') {
      paint(core.board.background());
      ctx.fillRect(0, 0, canvas.width, canvas.height);
    } else if (name === 'line' || name === 'box') {
      const left = Math.round((Math.min(a, c) / k - 1) * r);
      const top = Math.round((Math.min(b, d) / k - 1) * r);
      paint(e);
      ctx.fillRect(left, top, Math.round((Math.max(a, c) / k + 1) * r) - left,
                   Math.round((Math.max(b, d) / k + 1) * r) - top);
    } else if (name === 'font' && `${a * r}pt sans-serif` !== font) {
      ctx.font = font = `${a * r}pt sans-serif`;
      ascent = ctx.measureText('0').fontBoundingBoxAscent;
    } else if (name === 'textWidth') {
      ctx.measureText(a);
    } else if (name === 'text') {
      paint(0);
      ctx.fillText(c, a / k * r, b / k * r + ascent);
    } else if (name === 'setBox') {
      document.getElementById(a).value = b;
    } else if (name === 'frame') {
      calls[i + 1] = document.body.offsetWidth;
    }
  }
  ctx.getImageData(0, 0, 1, 1);
  return performance.now() - start;
};
"""


def figures(values):
    middle = statistics.median(values)
    return {"median": middle, "min": min(values), "max": max(values),
            "mad": statistics.median(abs(v - middle) for v in values)}


def describe(f):
    return "%.4g (%.4g..%.4g, MAD %.2g)" % (f["median"], f["min"], f["max"], f["mad"])


def measure(site_folder, repetitions):
    times = {name: [] for goal in GOALS for name in goal[1:3]}
    with e2e.Session(x=False) as session:
        folder = session.folder("site")
        for name in os.listdir(site_folder):
            shutil.copy(os.path.join(site_folder, name), folder)
        # Isolated from other origins, the page's clock reads to 5 microseconds, not 100.
        site = session.own(Site(folder, ["Cross-Origin-Opener-Policy: same-origin",
                                         "Cross-Origin-Embedder-Policy: require-corp"]))
        browser = session.own(Browser(["--window-size=1000,760"]))
        page = browser.page("about:blank")
        page.send("Page.enable")
        page.send("Network.enable")
        page.send("Network.setCacheDisabled", {"cacheDisabled": True})
        page.send("Page.addScriptToEvaluateOnNewDocument", {"source": FIRST_FRAME})

        def load(url):
            page.send("Page.navigate", {"url": url})
            return wait_for(url, lambda: page.eval(
                "location.href === %r && window.shownAt" % url))

        # The bare page: the page's document as it is once ready, without its scripts.
        load(site.url)
        wait_for("the page", lambda: page.eval("document.body.dataset.ready === 'true'"))
        html = page.eval("document.documentElement.outerHTML")
        html = re.sub(r"<script[^>]*>.*?</script>", "", html).replace(' data-ready="true"', "")
        with open(os.path.join(folder, "bare.html"), "w") as f:
            f.write("<!DOCTYPE html>\n" + html)
        for repetition in range(repetitions * SAMPLES):
            pairs = [(site.url, "page_ready"), (site.url + "bare.html", "bare_page")]
            for url, name in pairs[::1 if repetition % 2 else -1]:
                times[name].append(load(url))

        load(site.url)
        wait_for("the page", lambda: page.eval("document.body.dataset.ready === 'true'"))
        page.eval(TIMING)
        page.eval("document.getElementById('Combo1').value = '50';"
                  "document.getElementById('Combo2').value = '50'")
        for _ in range(repetitions * SAMPLES):
            # The floor draws the first maze; a maze of this size has as many walls as any.
            page.eval("timed(['Command1'], true)")
            times["new_maze"].append(page.eval("timed(['Command1'])"))
            times["new_maze_floor"].append(page.eval("floor()"))
            times["step"].append(page.eval(
                "learnWalk(%d).then((w) => timed(w, true).then(() => command('retry'))"
                ".then(() => timed(w)))" % STEPS) / STEPS)
            times["step_floor"].append(page.eval("floor()") / STEPS)
    return {name: figures(values) for name, values in times.items()}


def main():
    site_folder = sys.argv[1]
    repetitions = 10
    for arg in sys.argv[2:]:
        if arg.startswith("--benchmark_repetitions="):
            repetitions = int(arg.split("=", 1)[1])
    try:
        results = measure(site_folder, repetitions)
    except Failure as failure:
        print("FAIL %s" % failure)
        return 1
    for name, f in results.items():
        print("%-28s %10.4f ms (min %.4f, max %.4f, MAD %.2g)" % (
            "web_" + name + "_median", f["median"], f["min"], f["max"], f["mad"]))
    width = max(len(goal[0]) for goal in GOALS)
    print("%s  %-40s%-40s%-10s%-10sVerdict" % ("Goal".ljust(width), "Case median (min..max, MAD)",
                                              "Floor median (min..max, MAD)", "Value", "Limit"))
    met = True
    for title, case, floor, limit in GOALS:
        ratio = results[case]["median"] / results[floor]["median"]
        met = met and ratio <= limit
        print("%s  %-40s%-40s%-10s%-10s%s" % (
            title.ljust(width), describe(results[case]), describe(results[floor]),
            "%.3fx" % ratio, "%.2fx" % limit, "met" if ratio <= limit else "MISSED"))
    print("Every goal that ran was met." if met else "Some goals were missed or not measured.")
    return 0 if met else 1


if __name__ == "__main__":
    raise SystemExit(main())
