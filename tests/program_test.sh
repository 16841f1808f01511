#!/bin/bash
# The built program run as a user runs it: from a shell with no display, on
# copies of the sample images, checking files, standard error and exit codes.
set -u
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
source "$source_dir/tests/checks.sh"

work=$(mktemp -d /tmp/bramblewick-program-XXXXXX)
trap 'rm -rf "$work"' EXIT
program="$work/program"
mkdir -p "$program" "$work/photos" "$work/more"
cp "$build/bramblewick" "$build/bramblewick.exe.so" "$build/english.ini" "$build/norsk.ini" "$build/deutsch.ini" \
   "$source_dir/app/config.dat" "$program/"
cp "$source_dir/samples/meadow.png" "$work/photos/a.png"
cp "$source_dir/samples/sign.bmp" "$source_dir/samples/leaf.gif" "$work/more/"
cd "$work"

# Each run is given two minutes; one that takes longer fails the checks after it.
run() { timeout 120 "$program/bramblewick" "$@" >"$work/stdout" 2>"$work/stderr"; echo $? >"$work/code"; }
exited() { [ "$(cat "$work/code")" = "$1" ]; }
quiet() { [ ! -s "$work/stderr" ] && [ ! -s "$work/stdout" ]; }
size_is() { file "$1" | grep -qE -e "$2"; }
said() { grep -qF -- "$1" "$work/stderr"; }
said_line() { grep -qxF -- "$1" "$work/stderr"; } # a whole line, as a log entry names its file
caption() { # line N (counted from 0) of the [MESSAGES] block, which begins at caption 89; English or FILE
    awk -v n=$(($1 - 89)) 'f && n-- == 0 {sub(/\r$/, ""); print; exit} /^\[MESSAGES\]/ {f = 1}' "$program/${2:-english.ini}"
}

# A first run in a new Wine prefix says that Wine is being prepared; the
# runs checked below come after it.
"$program/bramblewick" -output 4 -options 0 -inputone none.png >/dev/null 2>&1

# One file, a Unix path relative to the current directory, half size.
run -output 1 -options 4 -resize percentage 50 50 -inputone photos/a.png
check "photos/a.jpg at half size, quietly, exit code 0" eval 'exited 0 && quiet && size_is photos/a.jpg "320x240"'

# The Windows form with literal quotes, as a file manager entry passes it.
windows_path="Z:${work//\//\\}\\photos\\a.png"
run -output 4 -options 0 -rotate right 90 -inputone "\"$windows_path\""
check "Windows path in quotes converts, quietly" eval 'quiet && size_is photos/a_1.png "480 x 640"'

# A list run: icons, rotated, with one listed file missing; brwk.dat beside the
# program goes afterwards, whatever the list was called. Without a display the
# log follows the question on standard error.
printf '%s\n' "$work/more/sign.bmp" "" "more/leaf.gif" "$work/more/missing.png" >"$work/list.txt"
touch "$program/brwk.dat"
run -output 11 -options 0 -rotate left 90 -inputmulti "$work/list.txt"
check "the listed icons written, exit code 1 after a failure" eval 'exited 1 &&
    size_is more/sign.ico "-?128x-?128" && size_is more/leaf.ico "120x120"'
check "the log question goes to standard error" said "$(caption 106)"
check "the log names the missing file as the host does" said_line "$work/more/missing.png"
check "and nothing else" test "$(grep -c '^Error: ' "$work/stderr")" = 1
check "brwk.dat deleted, the list itself stays" test ! -e "$program/brwk.dat" -a -f "$work/list.txt"

# Names in any script, and names holding switch words, a leading dash or blanks,
# in folders named after switches, through -inputone and a list (one line in
# Windows-1252, as older lists were written).
mkdir -p names/my-rotate-pics names/old-advanced names/render-output
names=("café crème" "写真 アルバム" "emoji 😀" "a -resize pixels 1 1" "-lead" "my-rotate-pics/-inputmulti x"
       "old-advanced/-advanced" "render-output/-output 13 -options 29")
for name in "${names[@]}"; do
    cp "$source_dir/samples/leaf.gif" "names/$name.gif"
    run -inputone "names/$name.gif" -options 4 -output 1
    check "$name.gif to $name.jpg at full size, exit code 0" eval 'exited 0 && size_is "names/$name.jpg" "120x80"'
done
printf '%s\n' "${names[@]/#/names/}" | sed 's/$/.gif/' >names.txt
printf 'names/caf\xe9 cr\xe8me.gif\r\n' >>names.txt
run -output 4 -options 0 -inputmulti names.txt
for name in "${names[@]}" "café crème_1"; do check "$name.png from the list" size_is "names/$name.png" "120 x 80"; done
check "every listed file converted, the Windows-1252 line too" exited 0
(cd names && run --convert-to 3 -lead.gif)
check "--convert-to on one name with a leading dash" eval 'exited 0 && size_is names/-lead.tga "120 x 80"'
# --convert-to takes the option remembered for its format: PGM's is line 5
# of the settings (8 raw, 9 ASCII), PBM's line 4 beside it.
cp "$program/config.dat" settings.dat
for pgm in 8 9; do
    sed -i "4s/^[0-9]*/$((17 - pgm))/;5s/^[0-9]*/$pgm/" "$program/config.dat"
    cp "$source_dir/samples/leaf.gif" "names/pgm$pgm.gif"
    run --convert-to 6 "names/pgm$pgm.gif"
    expected=$([ $pgm = 8 ] && echo P5 || echo P2)
    check "--convert-to 6 with PGM's option $pgm: $expected" eval 'exited 0 && [ "$(head -c2 names/pgm$pgm.pgm)" = $expected ]'
done
cp settings.dat "$program/config.dat"

# Names Windows paths cannot carry are failures naming them, never another file.
cp "$source_dir/samples/leaf.gif" "names/b.gif"
for name in 'a"quote.gif' 'b.gif ' 'q?.gif' 'back\slash.gif'; do cp names/b.gif "names/$name"; done
printf '%s\n' 'names/b.gif ' 'names/q?.gif' 'names/back\slash.gif' "$(printf 'x%.0s' {1..2500})" >odd.txt
run -output 1 -options 4 -inputmulti odd.txt
check "the odd names fail, no b.jpg from 'b.gif '" eval 'exited 1 && test ! -e names/b.jpg'
for name in 'names/b.gif ' 'names/q?.gif' 'names/back\slash.gif'; do check "the log names '$name'" said_line "$name"; done
check "a longer line is named by its start" said_line "$(printf 'x%.0s' {1..100})..."
run -output 1 -options 4 -inputone 'names/a"quote.gif'
check "a name with a quote fails under its name" eval 'said_line "names/a\"quote.gif" && test ! -e names/a.jpg'
cp names/b.gif names/Nul.gif
run -output 1 -options 4 -inputone names/Nul.gif
check "a device name is refused as one" said "Windows reserves this name for a device"
cp names/b.gif "$(printf 'names/line\nbreak.gif')"
run --convert-to 1 "$(printf 'names/line\nbreak.gif')"
check "a name with a line break fails, exit code 1" exited 1
cp names/b.gif names/c.gif
run --convert-to 1 "$(printf 'names/line\nbreak.gif')" names/c.gif
check "listed with another, it is said not to be listable, exit code 1" eval 'exited 1 &&
    said "cannot be listed" && size_is names/c.jpg "120x80"'

# A list that cannot be read whole ends the run with exit code 1.
run -output 1 -options 4 -inputmulti photos
check "a folder as the list is refused, exit code 1" eval 'said "$(caption 98)" && exited 1'

# The command's own switches answer on standard output; a word that is no
# switch, or a name of no file, is refused before anything is done, with
# exit code 2, whichever way the program runs.
formats="output format: 1 JPG, 2 BMP, 3 TGA, 4 PNG, 5 PBM, 6 PGM, 7 PPM, 8 TIF, 9 WBMP, 10 XPM, 11 ICO, 12 GIF"
run --help
check "--help: the usage on standard output, exit code 0" eval 'exited 0 && [ ! -s "$work/stderr" ] &&
    grep -q "^Usage: bramblewick \[FILE...\]" stdout && grep -qF "$formats" stdout &&
    grep -qF "3-7 JPG, 1-2 BMP, 8-9 PBM/PGM/PPM, 10-17 TIF" stdout'
for arguments in "nowhere" "photos/a.png nowhere" "--convert-to 1 photos/a.png nowhere" \
    "-output 1 -options 4 -inputone photos/a.png nowhere" "-advanced -inputone photos/a.png nowhere"; do
    run $arguments
    check "'$arguments': the name is said, exit code 2" eval 'said "There is no file named \"nowhere\"." && exited 2'
done
check "nothing converted after a refusal" test ! -e photos/a_1.jpg
# The worker the launcher starts beside a run that converts nothing ends with it.
run -output 1 --help
gone() { for _ in $(seq 30); do pgrep -f "$program/bramblewick.exe.so" >/dev/null || return 0; sleep 0.1; done; false; }
! command -v pgrep >/dev/null || check "no worker left behind by a run that took none" gone

# Names outside ASCII in any locale; a name that is not UTF-8 text is
# refused as such, whichever way it comes.
cp "$source_dir/samples/leaf.gif" "names/Ærøskøbing café.gif"
LC_ALL=C run --convert-to 4 "names/Ærøskøbing café.gif"
LANG=POSIX run -output 1 -options 4 -inputone "names/Ærøskøbing café.gif"
check "a UTF-8 name with LC_ALL=C and LANG=POSIX" eval 'exited 0 &&
    size_is "names/Ærøskøbing café.png" "120 x 80" && size_is "names/Ærøskøbing café.jpg" "120x80"'
cp "$source_dir/samples/leaf.gif" "names/caf$(printf '\351').gif"
for arguments in "--convert-to 4" "-output 4 -options 0 -inputone"; do
    run $arguments "names/caf$(printf '\351').gif"
    check "$arguments: a Latin-1 name is said to be no UTF-8, exit code 1" eval 'said "is not UTF-8 text" && exited 1'
done
check "and converted to no other name" test ! -e "names/café.png"

# The window modes, with no arguments or with -advanced anywhere, need a
# display; without one the user is told.
for arguments in "" "-advanced -inputone photos/a.png" "-output 1 -options 4 -inputone photos/a.png -advanced"; do
    run $arguments
    check "'$arguments': the window's failure is said, exit code 1" \
        eval 'said "The main window could not be opened." && exited 1'
done
check "nothing converted without the window" test ! -e photos/a_1.jpg

# Settings beside the program: an output subdirectory, and deleting sources.
printf '0\r\n1\r\n4\r\n8\r\n8\r\n8\r\n10\r\n18\r\n28\r\n1\r\nConverted\\\r\n1\r\n0\r\nPercentage\r\n100\r\n100\r\n0\r\nRight\r\n90\r\n' >"$program/config.dat"
cp "$source_dir/samples/leaf.gif" "$work/photos/leaf.gif"
run -output 2 -options 1 -inputone photos/leaf.gif
check "written into the subdirectory, the source deleted" test -f photos/Converted/leaf.bmp -a ! -e photos/leaf.gif

# A GIF of three pictures and a photo cut off after 6000 bytes convert with
# deletion on; neither source is deleted, and the log says why.
printf 'GIF89a\1\0\1\0\x80\0\0\0\0\0\xff\xff\xff' >more/pages.gif
for _ in 1 2 3; do printf ',\0\0\0\0\1\0\1\0\0\2\2D\1\0' >>more/pages.gif; done
printf ';' >>more/pages.gif
head -c 6000 "$source_dir/samples/berries.jpg" >more/cut.jpg
printf '%s\n' more/pages.gif more/cut.jpg >kept.txt
run -output 4 -options 0 -inputmulti kept.txt
check "kept sources: converted, both stay, noted in the log" eval 'exited 0 && test -f more/Converted/cut.png &&
    test -f more/pages.gif -a -f more/cut.jpg &&
    said "2 of them have a note in the log." && said "(the decoder said: Premature end of JPEG file)" &&
    test "$(grep -ci "original was kept" "$work/stderr")" = 2'

# Ctrl-C during a list run ends it at once: files being converted leave
# nothing behind, their sources stay, and the exit status says so. Each PICT
# keeps its decoder busy for the whole of its minute.
mkdir -p slow
for n in 1 2 3; do
    { head -c 514 /dev/zero; printf '\0\0\0\0\0\x10\0\x10'; } >slow/p$n.pct
    cp "$source_dir/samples/leaf.gif" slow/$n.gif
done
printf '%s\n' slow/1.gif slow/p1.pct slow/p2.pct slow/p3.pct slow/2.gif slow/3.gif >slow.txt
printf '2\r\n' >>"$program/config.dat" # two files at a time
set -m # its own process group, as a terminal gives it
"$program/bramblewick" -output 2 -options 1 -inputmulti slow.txt >"$work/stdout" 2>"$work/stderr" &
set +m
for _ in $(seq 300); do [ -e slow/Converted/p1.bmp ] && break; sleep 0.2; done
kill -INT -- -$!
interrupted=$SECONDS
wait $!
echo $? >"$work/code"
check "Ctrl-C: exit code 130" exited 130
check "and the run ended long before its files' minute, naming the interrupted files" eval \
    'test $((SECONDS - interrupted)) -lt 30 && said_line "$work/slow/p1.pct"'
check "no file starts after it" eval '! said_line "$work/slow/p3.pct" && ! said_line "$work/slow/2.gif" &&
    ! said_line "$work/slow/3.gif"'
check "nothing half-written, the sources stay" eval 'test -z "$(ls slow/Converted | grep -v "^1.bmp$")" &&
    ls slow/p?.pct slow/2.gif slow/3.gif >/dev/null'
! command -v pgrep >/dev/null || check "no worker left behind" eval '! pgrep -f "$program/bramblewick.exe.so"'
# A termination sent to the launcher alone, as a process manager sends it:
# to the program it became (one file), or passed on by it (a list).
for files in "slow/p3.pct" "slow/p3.pct slow/3.gif"; do
    "$program/bramblewick" --convert-to 2 $files >"$work/stdout" 2>"$work/stderr" &
    for _ in $(seq 300); do [ -e slow/Converted/p3.bmp ] && break; sleep 0.2; done
    kill -TERM $!
    wait $!
    echo $? >"$work/code"
    check "SIGTERM to the launcher of $files: exit code 143, nothing half-written" eval \
        'exited 143 && test ! -e slow/Converted/p3.bmp'
done

# A source on a file system mounted read-only cannot be deleted: the user is told.
if unshare -rm true 2>/dev/null; then
    mkdir -p readonly out
    cp "$program/config.dat" settings.dat
    out="Z:${work//\//\\}\\out\\" awk 'NR == 11 {print ENVIRON["out"] "\r"; next} 1' settings.dat >"$program/config.dat"
    wineserver=/usr/lib/wine/wineserver
    WINEPREFIX=$build/wineprefix-program $wineserver -w
    unshare -rm sh -c 'mount -t tmpfs tmpfs readonly && cp "$1" readonly/r.gif && mount -o remount,ro readonly &&
        { timeout 120 "$2" -output 2 -options 1 -inputone readonly/r.gif; echo $? >"$3/code"; } 2>"$3/stderr" &&
        WINEPREFIX=$4 $5 -w && test -f readonly/r.gif && echo kept >"$3/kept"' - \
        "$source_dir/samples/leaf.gif" "$program/bramblewick" "$work" "$build/wineprefix-program" "$wineserver"
    check "read-only: converted, the source stays, the user is told" eval 'exited 0 && test -f out/r.bmp &&
        test -f "$work/kept" && said "but this file could not be deleted"'
    cp settings.dat "$program/config.dat"
fi

# Nothing that a run starts keeps the caller's output or error open after it
# (a caller reading them through a pipe would wait for it): checked after a
# cold start, in which Wine starts its server and helpers too.
WINEPREFIX=$build/wineprefix-program /usr/lib/wine/wineserver64 -w
"$program/bramblewick" -output 1 -options 0 -inputone photos/a.png >"$work/held" 2>&1
holders() { for fd in /proc/[0-9]*/fd/*; do [ "$(readlink "$fd" 2>/dev/null)" != "$work/held" ] || echo "$fd"; done; }
check "no process holds the caller's output after a cold run" eval '[ -z "$(holders)" ]'

# What the launcher found when it checked the prefix is kept with wine.inf's
# time; a note from another Wine (another time) is checked again.
checked=$build/wineprefix-program/bramblewick-checked
echo "nowhere" >"$checked" && touch -d 2001-02-03 "$checked"
cp "$source_dir/samples/leaf.gif" checked.gif
run -output 1 -options 0 -inputone checked.gif
check "a note from another Wine is made again, naming the server" eval 'exited 0 &&
    [ ! "$checked" -nt /usr/share/wine/wine.inf ] && [ ! "$checked" -ot /usr/share/wine/wine.inf ] &&
    [ -S "$(cat "$checked")" ]'
# A Wine process started after one of the program's finds the session
# started: it neither tries to start it nor waits.
booted() {
    WINEPREFIX=$build/wineprefix-program WINEDEBUG=err+environ WINEDLLOVERRIDES="services.exe=d;wineboot.exe=d" \
        /usr/lib/wine/wine64 "$program/bramblewick.exe.so" --version 2>&1 >/dev/null
}
booted >/dev/null
check "after the program, Wine's session start is not tried again" eval '[ -z "$(booted)" ]'

# The language of the settings (2, German) speaks in direct mode's messages.
sed -i '1s/^0/2/' "$program/config.dat"
run -options 4 -inputone photos/a.png
check "German: caption 107 from deutsch.ini" said "$(caption 107 deutsch.ini)"

all_passed
