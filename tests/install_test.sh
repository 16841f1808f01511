#!/bin/bash
# The program installed as a user installs it: the installed files, the menu
# entry and file-manager actions, the Debian package, and the installed
# launcher run by an unprivileged user: the first run, settings of the user's
# own, the actions' conversions, and the files an "Open with" passes listed
# in the main window.
set -u
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
failures=0
passes=0

work=$(mktemp -d /tmp/bramblewick-install-XXXXXX)
chmod 755 "$work"
user=""
finish() {
    if [ -n "$user" ]; then
        session WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null
        session WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w
        userdel "$user"
    fi
    rm -rf "$work"
}
trap finish EXIT

check() { # description, then a command that must succeed
    local description=$1
    shift
    if "$@"; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        echo "FAILED: $description"
        [ -s "$work/stderr" ] && echo "  stderr was: $(cat "$work/stderr")"
    fi
}
no_error_but_kde_service_keys() { ! desktop-file-validate "$1" | grep -v 'but the type is "Service"' | grep -q .; }
dolphin_action() { grep -A3 -x "Name=$1" "$dolphin" | grep -qx "Exec=bramblewick --convert-to $2 %F"; }
same_files() { diff <(cd "$work/root" && find . -type f | cut -c3- | sort) <(dpkg-deb -c "$1" | awk '!/\/$/ {print substr($6, 3)}' | sort); }
wait_for() { for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done; return 1; }

# --- Installed files ---
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
installed="$work/root/usr"
for file in bin/bramblewick lib/bramblewick/bramblewick.exe.so lib/bramblewick/english.ini \
    lib/bramblewick/bramblewick.html lib/bramblewick/config.dat share/icons/hicolor/32x32/apps/bramblewick.png \
    share/applications/bramblewick.desktop share/kio/servicemenus/bramblewick.desktop; do
    check "$file installed" test -f "$installed/$file"
done
entry="$installed/share/applications/bramblewick.desktop"
check "menu entry valid" desktop-file-validate "$entry"
check "menu entry opens images in the main window" grep -qx 'Exec=bramblewick %F' "$entry"
check "menu entry names PNG and JPEG" grep -q '^MimeType=.*image/png;.*image/tiff;' "$entry"
dolphin="$installed/share/kio/servicemenus/bramblewick.desktop"
check "Dolphin actions valid" no_error_but_kde_service_keys "$dolphin"
check "Dolphin submenu" grep -qx 'X-KDE-Submenu=Convert with Bramblewick' "$dolphin"
number=0
for format in JPG BMP TGA PNG PBM PGM PPM TIF WBMP XPM ICO GIF; do
    number=$((number + 1))
    check "Dolphin converts to $format" dolphin_action "$format" "$number"
    check "Nemo converts to $format" grep -qx "Exec=bramblewick --convert-to $number %F" \
        "$installed/share/nemo/actions/bramblewick-${format,,}.nemo_action"
done

# --- The Debian package carries the same files ---
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
package=$(ls "$work"/deb/bramblewick_*.deb)
check "package holds the installed files" same_files "$package"
check "package needs Wine and FreeImage" bash -c "dpkg-deb -f '$package' Depends | grep 'wine64' | grep -q 'libfreeimage3'"
dpkg-deb -x "$package" "$work/package"

# --- Runs by an unprivileged user ---
if [ "$(id -u)" -ne 0 ]; then
    as_user() { "$@"; }
elif useradd --no-create-home --shell /usr/sbin/nologin "bramblewick-test-$$" 2>/dev/null; then
    user="bramblewick-test-$$"
    as_user() { setpriv --reuid="$user" --regid="$user" --clear-groups -- "$@"; }
else
    echo "SKIPPED: runs as an unprivileged user (running as root and cannot create a user)"
    as_user() { return 1; }
fi
home="$work/home"
mkdir -p "$home/photos" "$work/tmp"
cp "$source_dir/samples/sign.bmp" "$source_dir/samples/meadow.png" "$home/photos/"
cp "$source_dir/samples/meadow.png" "$home/photos/a b.png"
cp "$source_dir/samples/leaf.gif" "$home/photos/café.gif"
cp "$build/tests/send_commands.exe.so" "$work/"
[ -n "$user" ] && chown -R "$user:$user" "$home" "$work/tmp"
prefix="$home/.local/share/bramblewick/wine"
settings="$home/.config/bramblewick/config.dat"
# A clean session of the user's: no display, files in their home.
session() { (cd "$home" && as_user env -i HOME="$home" PATH=/usr/bin:/bin TMPDIR="$work/tmp" LANG=C.UTF-8 "$@"); }
bramblewick() { session "$installed/bin/bramblewick" "$@" >"$work/stdout" 2>"$work/stderr"; }
is_ppm() { file "$home/photos/$1" | grep -q "$2"; }
no_lists_left() { ! ls "$work"/tmp/bramblewick-* >/dev/null 2>&1; }

if session true; then
    bramblewick --convert-to 4 photos/sign.bmp
    check "first run converts" test -f "$home/photos/sign.png"
    check "first run says Wine is being prepared" grep -q "preparing Wine" "$work/stderr"
    check "the user's settings start from the installed ones" cmp "$settings" "$installed/lib/bramblewick/config.dat"
    check "no Wine menu entries in the user's home" test ! -e "$home/.local/share/applications" -a ! -e "$home/.config/menus"

    # The remembered option of PPM is line 6 of the user's settings.
    bramblewick --convert-to 7 photos/sign.bmp
    check "a later run says nothing" test ! -s "$work/stderr"
    check "PPM with the installed default option (raw)" is_ppm sign.ppm rawbits
    session sed -i '6s/.*/9\r/' "$settings"
    bramblewick --convert-to 7 photos/sign.bmp
    check "PPM with the user's remembered option (ASCII)" is_ppm sign_1.ppm ASCII

    # Two actions at once each convert their own selection.
    bramblewick --convert-to 1 photos/meadow.png &
    session "$installed/bin/bramblewick" --convert-to 3 photos/sign.bmp 2>/dev/null
    wait
    check "two runs at once: both converted" test -f "$home/photos/meadow.jpg" -a -f "$home/photos/sign.tga"
    check "two runs at once: nothing else" test ! -e "$home/photos/sign.jpg" -a ! -e "$home/photos/meadow.tga"
    check "no list files left" no_lists_left

    # Nautilus scripts and Thunar actions, added per user beside what is there.
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<actions>\n<action><name>Mine</name></action>\n</actions>\n' |
        session sh -c 'mkdir -p .config/Thunar && cat >.config/Thunar/uca.xml'
    for _ in 1 2; do session "$installed/lib/bramblewick/add-file-manager-actions" >/dev/null; done
    uca="$home/.config/Thunar/uca.xml"
    check "Thunar: twelve actions added once" test "$(grep -c '<unique-id>bramblewick-convert-' "$uca")" = 12
    check "Thunar: the user's own action kept" grep -q '<name>Mine</name>' "$uca"
    session "$home/.local/share/nautilus/scripts/Convert with Bramblewick/ICO" photos/sign.bmp
    check "Nautilus script converts" test -f "$home/photos/sign.ico"

    # The packed program converts as well.
    session "$work/package/usr/bin/bramblewick" --convert-to 12 photos/sign.bmp
    check "the packed program converts" test -f "$home/photos/sign.gif"

    # "Open with": the names are listed in the main window (on Wine's null
    # graphics driver); English saves the settings, Convert converts the list.
    session WINEPREFIX="$prefix" WINEDEBUG=-all /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' \
        /v Graphics /d null /f >/dev/null 2>&1
    session WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w # the next start takes the driver
    session touch -d '1 minute ago' "$settings"
    bramblewick "photos/a b.png" "$home/photos/café.gif" &
    launcher=$!
    rows=$(session WINEPREFIX="$prefix" WINEDEBUG=-all /usr/lib/wine/wine64 "$work/send_commands.exe.so" 40029 1204)
    check "Open with lists both files" test "$rows" = 2
    check "listed names converted as named" wait_for test -f "$home/photos/a b.jpg" -a -f "$home/photos/café.jpg"
    check "settings saved in the user's directory" wait_for test "$settings" -nt "$home/photos/sign.png"
    check "installed settings untouched" cmp "$installed/lib/bramblewick/config.dat" "$source_dir/app/config.dat"
    session WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k
    wait "$launcher"
    check "the list goes when the window closes" no_lists_left
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
