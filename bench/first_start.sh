#!/bin/bash
# A new user's first start, side by side: with the installation's prepared
# Wine prefix shared, and with a Wine prefix of the user's own made from
# nothing; then cold and warm starts of both. Each start converts one PNG
# through the installed launcher, in a scratch home, as a file-manager action
# does. Prints each round, the medians and the disk each prefix takes.
#   bash bench/first_start.sh [ROUNDS] [BUILD]
set -eu
rounds=${1:-5}
build=$(cd "${2:-$(dirname "$0")/../build}" && pwd)
work=$(mktemp -d /tmp/bramblewick-first-start-XXXXXX)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/shared" >/dev/null
# The same installation without the prepared prefix: each user makes one.
mkdir "$work/own"
tar -C "$work/shared" --exclude=./lib/bramblewick/wine -cf - . | tar -C "$work/own" -xf -
cp "$(dirname "$0")/../samples/meadow.png" "$work/a.png"

# Seconds of one conversion by a user whose home is $work/home.
start() { # installation
    local begin end
    rm -f "$work/a.jpg"
    begin=$(date +%s.%N)
    env -i HOME="$work/home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$work/$1/bin/bramblewick" --convert-to 1 "$work/a.png" \
        >/dev/null 2>&1
    end=$(date +%s.%N)
    [ -f "$work/a.jpg" ] || { echo "no conversion by $1" >&2; exit 1; }
    awk -v begin="$begin" -v end="$end" 'BEGIN { printf "%.2f\n", end - begin }'
}
# Until Wine has stopped in the user's prefix, as after a while of no use.
wine_stopped() {
    env -i HOME="$work/home" WINEPREFIX="$work/home/.local/share/bramblewick/wine" /usr/lib/wine/wineserver -w
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for kind in shared own; do : >"$work/$kind.first" >"$work/$kind.cold" >"$work/$kind.warm"; done
for round in $(seq "$rounds"); do
    line="round $round:"
    for kind in shared own; do
        rm -rf "$work/home"
        mkdir -p "$work/home"
        first=$(start "$kind")
        wine_stopped
        size=$(du -sm "$work/home/.local/share/bramblewick/wine" | cut -f1)
        cold=$(start "$kind")
        warm=$(start "$kind")
        wine_stopped
        echo "$first" >>"$work/$kind.first"
        echo "$cold" >>"$work/$kind.cold"
        echo "$warm" >>"$work/$kind.warm"
        line="$line $kind first $first s, cold $cold s, warm $warm s, prefix $size MB;"
    done
    echo "$line"
done
for kind in shared own; do
    echo "median, $kind prefix: first $(median <"$work/$kind.first") s, cold $(median <"$work/$kind.cold") s," \
         "warm $(median <"$work/$kind.warm") s"
done
echo "the prepared prefix, once per installation: $(du -sm "$work/shared/lib/bramblewick/wine" | cut -f1) MB"
