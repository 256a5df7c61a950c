#!/usr/bin/env python3
"""The core's folders and what each includes of the others, one line a folder, lowest first.

    scripts/floors.py [src folder]

Exits 1, naming the circle, when two folders include each other, directly or round a circle:
each folder may include only those below it."""

import re
import sys
from pathlib import Path

src = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent / "src")
uses = {d.name: set() for d in src.iterdir() if d.is_dir()}
for path in src.rglob("*"):
    if path.suffix in (".h", ".cpp"):
        for folder in re.findall(r'^#include "(\w+)/', path.read_text(), re.M):
            if folder in uses and folder != path.parent.name:
                uses[path.parent.name].add(folder)

# Kahn's order: a folder is placed once everything it includes is placed.
order, left = [], dict(uses)
while left:
    ready = sorted(f for f, below in left.items() if below <= set(order))
    if not ready:
        circle = sorted(left)
        print("circle among: " + ", ".join(f"{f} -> {' '.join(sorted(left[f]))}" for f in circle))
        sys.exit(1)
    order += ready
    for f in ready:
        del left[f]
for folder in order:
    print(f"{folder} -> {' '.join(sorted(uses[folder])) or '(nothing)'}")
