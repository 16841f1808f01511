#!/bin/bash
# Converts COUNT generated photo-like 1920x1080 images, PNG to half-size JPG
# and JPG to PNG, three ways: a direct-mode list run of the program with one
# worker, the same with one worker per processor, and a minimal
# single-threaded loop of FreeImage calls. Prints times, program/loop ratios
# and peak memory (a worker's, the loop's), ROUNDS times over.
#   bash bench/run.sh [COUNT] [ROUNDS] [PROGRAM_BUILD]   (after scripts/build.sh)
# PROGRAM_BUILD names another build whose program to time (default: build/).
set -eu
count=${1:-50}
rounds=${2:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
program_build=$(cd "${3:-$build}" && pwd)
work=$(mktemp -d /tmp/bramblewick-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all
export WINEPREFIX=${BRAMBLEWICK_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/bramblewick/wine}
wine=/usr/lib/wine/wine64
bench="$wine $build/bench/bramblewick_bench.exe.so"

mkdir -p "$work/program" "$work/images" "$work/png" "$work/jpg"
cp "$program_build/bramblewick.exe.so" "$program_build/english.ini" "$work/program/"
"$build/bramblewick" -output 1 -options 4 -inputone "$work/none.png" 2>/dev/null || true # prefix ready
$bench generate "$work/images" "$count"
mv "$work"/images/*.png "$work/png/"
mv "$work"/images/*.jpg "$work/jpg/"
ls "$work"/png/*.png >"$work/png-list.txt"
ls "$work"/jpg/*.jpg >"$work/jpg-list.txt"
/usr/lib/wine/wineserver -p 600 2>/dev/null || true # one server for all runs, so that none pays its start

seconds() {
    local start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN {print e - s}'
}

# Peak resident memory (kB) of any worker while the command runs: workers run
# the program file under its Windows name.
worker_peak() {
    local peak=0 pid value
    "$@" >/dev/null 2>&1 &
    local runner=$!
    while kill -0 "$runner" 2>/dev/null; do
        for pid in $(pgrep -f "^Z:.*$(basename "$work").*bramblewick\.exe\.so\$" || true); do
            value=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
            [ "${value:-0}" -gt "$peak" ] && peak=$value
        done
        sleep 0.05
    done
    wait "$runner" || true
    echo "$peak"
}

# Settings beside the program: the first release's 19 lines, then the workers.
use_workers() { { head -n 19 "$root/app/config.dat"; printf '%s\r\n' "$1"; } >"$work/program/config.dat"; }

program() { # workers, output format, list
    use_workers "$1"
    local resize=""
    [ "$2" = 1 ] && resize="-resize percentage 50 50"
    $wine "$work/program/bramblewick.exe.so" -output "$2" -options "$([ "$2" = 1 ] && echo 4 || echo 0)" $resize \
        -inputmulti "$3"
}

clean() { rm -f "$work"/png/*.jpg "$work"/jpg/*.png; }

# Warm: the first Wine process after a server starts pays for its helpers.
head -n 1 "$work/png-list.txt" >"$work/warm-list.txt"
$bench png-to-jpg "$work/png" 1 && program 0 1 "$work/warm-list.txt" >/dev/null 2>&1
clean

echo "images: $count, processors: $(nproc), program: $program_build"
for round in $(seq "$rounds"); do
    echo "round $round, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
    for direction in png-to-jpg jpg-to-png; do
        if [ "$direction" = png-to-jpg ]; then from=png to=jpg format=1; else from=jpg to=png format=4; fi
        clean
        read -r loop loop_memory < <({ /usr/bin/time -f '%e %M' $bench "$direction" "$work/$from" "$count" \
                                        >/dev/null; } 2>&1 | tail -1)
        clean
        one=$(seconds program 1 "$format" "$work/$from-list.txt")
        written=$(ls "$work/$from"/*."$to" | wc -l)
        clean
        all=$(seconds program 0 "$format" "$work/$from-list.txt")
        clean
        worker_memory=$(worker_peak program 0 "$format" "$work/$from-list.txt")
        awk -v d="$direction" -v l="$loop" -v o="$one" -v a="$all" -v w="$written" -v lm="$loop_memory" \
            -v wm="$worker_memory" 'BEGIN {
                printf "  %s: loop %.2f s; program, 1 worker %.2f s (%.3f, %d written); one per processor %.2f s (%.3f)\n",
                       d, l, o, o / l, w, a, a / l
                printf "    peak memory: loop %d MB, worker %d MB (%.2f)\n", lm / 1024, wm / 1024, wm / lm }'
        echo "$direction $loop $one $all" >>"$work/times"
    done
done
# The fastest of each over the rounds: what the machine does when nothing else runs.
[ "$rounds" -gt 1 ] && awk '
    !($1 in l) || $2 < l[$1] {l[$1] = $2} !($1 in o) || $3 < o[$1] {o[$1] = $3} !($1 in a) || $4 < a[$1] {a[$1] = $4}
    END {for (d in l) printf "best of the rounds, %s: loop %.2f s; 1 worker %.3f; one per processor %.3f\n",
                              d, l[d], o[d] / l[d], a[d] / l[d]}' "$work/times"
/usr/lib/wine/wineserver -k 2>/dev/null || true
