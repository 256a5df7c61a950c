#!/usr/bin/env bash
# Renders the game's icon, data/icons/io.github.quorrel.Quorrel.svg, to the PNG sizes the
# desktop and the window use: data/icons/<size>/io.github.quorrel.Quorrel.png. Run it after
# changing the drawing (needs rsvg-convert, Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
id=io.github.quorrel.Quorrel
for size in 48 128 256; do
    mkdir -p "$size"
    rsvg-convert --width "$size" --height "$size" "$id.svg" --output "$size/$id.png"
done
