#!/bin/bash
# Converts COUNT generated 1920x1080 PNG images to half-size JPEGs twice, side
# by side in one run: once as one direct-mode list run of the program, once by
# a minimal loop of FreeImage calls. Prints both times and their ratio.
#   bash bench/run.sh [COUNT]   (after scripts/build.sh)
set -eu
count=${1:-50}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
work=$(mktemp -d /tmp/bramblewick-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all
export WINEPREFIX=${BRAMBLEWICK_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/bramblewick/wine}
bench="/usr/lib/wine/wine64 $build/bench/bramblewick_bench.exe.so"

mkdir -p "$work/program" "$work/loop"
"$build/bramblewick" -output 1 -options 4 -inputone "$work/none.png" 2>/dev/null || true # prefix ready
$bench generate "$work/loop" "$count"
cp -r "$work/loop" "$work/program-images"
ls "$work"/program-images/*.png >"$work/list.txt"
/usr/lib/wine/wineserver -p 60 2>/dev/null || true # one server for both, so neither pays its start

seconds() { local start=$(date +%s.%N); "$@"; awk -v s="$start" -v e="$(date +%s.%N)" "BEGIN {print e - s}"; }
program_time=$(seconds "$build/bramblewick" -output 1 -options 4 -resize percentage 50 50 -inputmulti "$work/list.txt")
loop_time=$(seconds $bench loop "$work/loop" "$count")
converted=$(ls "$work"/program-images/*.jpg | wc -l)

printf 'images: %d (program converted %d)\n' "$count" "$converted"
printf 'program, one list run: %.2f s\n' "$program_time"
printf 'FreeImage loop:        %.2f s\n' "$loop_time"
awk -v p="$program_time" -v l="$loop_time" "BEGIN {printf \"ratio program/loop:    %.3f\\n\", p / l}"
/usr/lib/wine/wineserver -k 2>/dev/null || true
