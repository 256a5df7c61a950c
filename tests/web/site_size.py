#!/usr/bin/env python3
"""The site a browser downloads, each file compressed with gzip -9 as a web server would send
it, is at most 150 KB in all; its random draws are the clock's alone.

    site_size.py <site folder>"""

import os
import subprocess
import sys

LIMIT = 150 * 1000  # bytes


def main():
    folder = sys.argv[1]
    total = 0
    names = sorted(os.listdir(folder))
    if "index.html" not in names or "quorrel.wasm" not in names:
        print("FAIL no site in %s: %r" % (folder, names))
        return 1
    if b"quorrel_seed_draws" in open(os.path.join(folder, "quorrel.js"), "rb").read():
        print("FAIL the shipped site can fix the random draws")
        return 1
    for name in names:
        with open(os.path.join(folder, name), "rb") as f:
            packed = len(subprocess.run(["gzip", "-9", "-c"], stdin=f, check=True,
                                        capture_output=True).stdout)
        print("%-14s %7d bytes, %7d with gzip -9" % (
            name, os.path.getsize(os.path.join(folder, name)), packed))
        total += packed
    print("the site: %d bytes with gzip -9, at most %d allowed" % (total, LIMIT))
    return 0 if total <= LIMIT else 1


if __name__ == "__main__":
    raise SystemExit(main())
