#!/bin/bash
# Times the program as a user runs it (through its launcher, in direct mode)
# against a native loop of the same FreeImage calls (bench/native_loop.cpp,
# built here with g++, no Wine) and GraphicsMagick's mogrify where installed,
# side by side, the order alternating from round to round:
#   - start: one small PNG to JPG, cold (no Wine process running) and warm
#     (right after another run), beside Wine's own start (a program that does
#     nothing, built here with winegcc, started as the launcher starts Wine
#     and as Wine starts for any program; the quicker one counts), the
#     program's own (its --version) and the bare conversion;
#   - 2000 icons 32x32, PNG to JPG;
#   - 60 photos 1920x1080, PNG to JPG and JPG to PNG, with one worker and one
#     per processor;
# the batches started warm, as right after another run.
# Prints each round's seconds and their ratio to the native loop (1 thread);
# no assertions.
#   bash bench/run.sh [ROUNDS] [BUILD]   (after scripts/build.sh)
set -eu
rounds=${1:-3}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$root/build}" && pwd)
work=$(mktemp -d /tmp/bramblewick-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=${BRAMBLEWICK_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/bramblewick/wine}
export BRAMBLEWICK_WINEPREFIX=$WINEPREFIX WINEDEBUG=-all

# The program beside its launcher in a directory of its own, which then keeps
# its settings there: the number of workers is line 20.
mkdir -p "$work/program" "$work/icons" "$work/png" "$work/jpg"
cp "$build/bramblewick" "$build/bramblewick.exe.so" "$build"/*.ini "$build/config.dat" "$work/program/"
use_workers() { sed -i "20s/.*/$1\r/" "$work/program/config.dat"; }
g++ -O2 -std=c++17 -pthread "$root/bench/native_loop.cpp" -lfreeimage -o "$work/loop"
printf 'int main(void) { return 0; }\n' >"$work/nothing.c"
winegcc -o "$work/nothing" "$work/nothing.c"
"$work/loop" icons "$work/icons" 2000
"$work/loop" photos "$work/png" 60
mv "$work"/png/*.jpg "$work/jpg/"
ls "$work"/icons/*.png >"$work/icons.lst"
ls "$work"/png/*.png >"$work/photos-png.lst"
ls "$work"/jpg/*.jpg >"$work/photos-jpg.lst"
cp "$work/icons/icon0.png" "$work/one.png"
gm=$(command -v gm || true)

seconds() {
    local start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 </dev/null
    awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN {printf "%.3f", e - s}'
}
clean() { rm -f "$work"/one.jpg "$work"/icons/*.jpg "$work"/png/*.jpg "$work"/jpg/*.png; }
program() { "$work/program/bramblewick" -output "$1" -options 0 -inputmulti "$2"; }
one() { "$work/program/bramblewick" -output 1 -options 0 -inputone "$work/one.png"; }
# With what the launcher switches off for a conversion switched off here too.
wine() { WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;services.exe=d;wineboot.exe=d" /usr/lib/wine/wine64 "$@"; }
wine_start() { wine "$work/nothing.exe.so"; }
# Wine as it starts for any program, services and all.
plain_start() { /usr/lib/wine/wine64 "$work/nothing.exe.so"; }
version() { wine "$work/program/bramblewick.exe.so" --version; }
# Until no Wine process runs in the prefix (the server leaves a few seconds
# after the last one).
cold() { /usr/lib/wine/wineserver64 -w 2>/dev/null || true; }
loop() { "$work/loop" convert "$1" "$2" $(cat "$3"); }
mogrify() { "$gm" mogrify -format "$1" $(cat "$2"); }

# One line: the label, then each "name seconds" pair and its ratio to `base`.
report() {
    awk -v label="$1" -v base="$2" 'BEGIN {
        printf "  %-22s", label
        for (i = 3; i < ARGC; i += 2) printf " %s %s s (%.2f)", ARGV[i], ARGV[i + 1], ARGV[i + 1] / base
        printf "\n"; exit }' "$@"
}

echo "processors: $(nproc), program: $build, GraphicsMagick: ${gm:-not installed}"
one >/dev/null 2>&1 || true # the prefix ready
for round in $(seq "$rounds"); do
    echo "round $round, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
    use_workers 0
    # Start: the floor first in odd rounds, the program first in even ones.
    for kind in cold warm; do
        for side in $([ $((round % 2)) = 1 ] && echo floor program || echo program floor); do
            [ "$kind" = cold ] && cold
            [ "$kind" = warm ] && wine_start >/dev/null 2>&1
            if [ "$side" = floor ]; then
                wine=$(seconds wine_start)
                [ "$kind" = cold ] && cold
                [ "$kind" = warm ] && plain_start >/dev/null 2>&1
                plain=$(seconds plain_start)
                [ "$kind" = cold ] && cold
                [ "$kind" = warm ] && wine_start >/dev/null 2>&1
                own=$(seconds version)
                bare=$(seconds "$work/loop" convert jpg 1 "$work/one.png")
            else
                clean
                launcher=$(seconds one)
            fi
        done
        # Wine's start is the quicker of the two.
        floor=$(awk -v w="$wine" -v p="$plain" -v b="$bare" 'BEGIN {printf "%.3f", (w < p ? w : p) + b}')
        report "one file, $kind" "$floor" "launcher" "$launcher" "wine+bare" "$floor" "wine" "$wine" \
            "plain-wine" "$plain" "--version" "$own" "bare" "$bare"
        awk -v l="$launcher" -v f="$floor" -v o="$own" -v b="$bare" 'BEGIN {
            printf "  %-22s launcher - (wine+bare) = %.3f s, launcher - (--version+bare) = %.3f s\n", "", l - f, l - o - b }'
    done

    clean
    icons_loop=$(seconds loop jpg 1 "$work/icons.lst")
    clean
    wine_start >/dev/null 2>&1
    icons_program=$(seconds program 1 "$work/icons.lst")
    clean
    icons_gm=0
    [ -z "$gm" ] || icons_gm=$(seconds mogrify jpg "$work/icons.lst")
    report "2000 icons PNG->JPG" "$icons_loop" "loop" "$icons_loop" "program" "$icons_program" "gm" "$icons_gm"

    for direction in png-jpg jpg-png; do
        from=${direction%-*} to=${direction#*-} format=$([ "$direction" = png-jpg ] && echo 1 || echo 4)
        clean
        loop1=$(seconds loop "$to" 1 "$work/photos-$from.lst")
        clean
        use_workers 1
        wine_start >/dev/null 2>&1
        program1=$(seconds program "$format" "$work/photos-$from.lst")
        clean
        loop2=$(seconds loop "$to" 2 "$work/photos-$from.lst")
        clean
        use_workers 0
        wine_start >/dev/null 2>&1
        program2=$(seconds program "$format" "$work/photos-$from.lst")
        clean
        photos_gm=0
        [ -z "$gm" ] || photos_gm=$(seconds mogrify "$to" "$work/photos-$from.lst")
        report "60 photos ${from^^}->${to^^}" "$loop1" "loop" "$loop1" "loop-2-threads" "$loop2" \
            "program-1-worker" "$program1" "program" "$program2" "gm" "$photos_gm"
    done
done
cold
