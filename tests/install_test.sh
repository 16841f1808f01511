#!/bin/bash
# The program installed, packed, and run by an unprivileged user: menu entry,
# file-manager actions, first run, per-user settings and "Open with".
set -u
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
source "$source_dir/tests/checks.sh"
work=$(mktemp -d /tmp/bramblewick-install-XXXXXX)
chmod 755 "$work"
home="$work/home"
prefix="$home/.local/share/bramblewick/wine"
settings="$home/.config/bramblewick/config.dat"
user=""
as_user() { "$@"; }
# A session of the user's: no display, files in their home.
session() { (cd "$home" && as_user timeout 120 env -i HOME="$home" PATH=/usr/bin:/bin TMPDIR="$work/tmp" LANG=C.UTF-8 "$@"); }
wine_session() { session WINEPREFIX="$prefix" WINEDEBUG=-all "$@"; }
clean_up() {
    if [ -d "$prefix" ]; then
        wine_session /usr/lib/wine/wineserver -k
        wine_session /usr/lib/wine/wineserver -w
    fi
    [ -n "$user" ] && userdel "$user"
    rm -rf "$work"
}
trap clean_up EXIT

# --- Installed files, and the package's ---
# Installed for every user of the machine, as root installs it: with the
# prepared Wine prefix that users' prefixes share.
cmake --install "$build" --prefix "$work/usr" >/dev/null
installed="$work/usr"
launcher="$installed/bin/bramblewick"
entry="$installed/share/applications/bramblewick.desktop"
dolphin="$installed/share/kio/servicemenus/bramblewick.desktop"
check "help, language and icon installed" test -f "$installed/lib/bramblewick/bramblewick.html" \
    -a -f "$installed/lib/bramblewick/english.ini" -a -f "$installed/share/icons/hicolor/32x32/apps/bramblewick.png"
check "menu entry valid" desktop-file-validate "$entry"
check "menu entry opens images in the main window by the installed path" grep -qx "Exec=$launcher %F" "$entry"
# desktop-file-validate knows no Actions and MimeType for KDE's Service type.
check "Dolphin actions valid" eval "! desktop-file-validate '$dolphin' | grep -v 'the type is \"Service\"'"
check "Dolphin and Nemo convert to TIF" eval "grep -A3 -x 'Name=TIF' '$dolphin' | grep -qx 'Exec=$launcher --convert-to 8 %F' &&
    grep -qx 'Exec=$launcher --convert-to 8 %F' '$installed/share/nemo/actions/bramblewick-tif.nemo_action'"

(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
package=$(ls "$work"/deb/bramblewick_*.deb)
packed_files=$(dpkg-deb -c "$package" | awk '/^-/ {print substr($6, 7)}' | sort)
check "package holds the installed files" test "$packed_files" = \
    "$(cd "$installed" && find . -path ./lib/bramblewick/wine -prune -o -type f -print | cut -c3- | sort)"
check "package needs Wine and FreeImage" eval "dpkg-deb -f '$package' Depends | grep wine64 | grep -q libfreeimage3"
dpkg-deb -x "$package" "$work/package"
if command -v lintian >/dev/null; then
    check "lintian finds no error or warning" eval "lintian --fail-on error,warning '$package' >'$work/stderr' 2>&1"
fi
# What the package's postinst prepares, here the prefix prepared above.
ln -sfn "$installed/lib/bramblewick/wine" "$work/package/usr/lib/bramblewick/wine"

# --- Runs by an unprivileged user ---
if [ "$(id -u)" -eq 0 ] && useradd --no-create-home --shell /usr/sbin/nologin "bramblewick-test-$$"; then
    user="bramblewick-test-$$"
    as_user() { setpriv --reuid="$user" --regid="$user" --clear-groups -- "$@"; }
elif [ "$(id -u)" -eq 0 ]; then
    echo "SKIPPED: the runs as an unprivileged user (no user could be created)"
    all_passed
    exit
fi
mkdir -p "$home/photos" "$work/tmp"
cp "$source_dir/samples/sign.bmp" "$source_dir/samples/meadow.png" "$home/photos/"
cp "$source_dir/samples/meadow.png" "$home/photos/a b.png"
cp "$source_dir/samples/leaf.gif" "$home/photos/café.gif"
cp "$build/tests/send_commands.exe.so" "$work/"
[ -n "$user" ] && chown -R "$user:$user" "$home" "$work/tmp"
bramblewick() { session "$launcher" "$@" >"$work/stdout" 2>"$work/stderr"; }
converted() { for name in "$@"; do [ -f "$home/photos/$name" ] || return 1; done; }
no_lists_left() { ! ls "$work"/tmp/bramblewick-* >/dev/null 2>&1; }

bramblewick --convert-to 4 photos/sign.bmp
check "first run converts" converted sign.png
check "first run shares the installed Wine, read only" eval "test ! -s '$work/stderr' &&
    [ '$prefix/drive_c/windows' -ef '$installed/lib/bramblewick/wine/drive_c/windows' ] &&
    ! session touch '$prefix/drive_c/windows/x' 2>/dev/null"
check "the user's settings start as installed" cmp "$settings" "$installed/lib/bramblewick/config.dat"
check "no Wine menu entries in the user's home" test ! -e "$home/.local/share/applications" -a ! -e "$home/.config/menus"

mkdir -p "$work/link" && ln -s "$launcher" "$work/link/bramblewick"
bramblewick --convert-to 1 photos/meadow.png &
session "$work/link/bramblewick" --convert-to 3 photos/sign.bmp 2>/dev/null
wait
check "two runs at once, one through a link, each convert their own file" eval "converted meadow.jpg sign.tga &&
    ! converted sign.jpg"

# Nautilus scripts and Thunar actions, added per user beside the user's own,
# in an uca.xml written as XML allows (on one line, behind a link, empty),
# and taken back.
actions() { session "$1/lib/bramblewick/add-file-manager-actions" ${2-} >/dev/null; }
scripts="$home/.local/share/nautilus/scripts"
uca="$home/.config/Thunar/uca.xml"
ours() { grep -c "<unique-id>bramblewick-convert-" "$uca"; }
session sh -c 'mkdir -p .config/Thunar .config/mine .local/share/nautilus/scripts && echo "exit 0" >.local/share/nautilus/scripts/mine &&
    printf "<actions><action><name>mine</name><command>true</command></action></actions>" >.config/mine/uca.xml &&
    ln -s ../mine/uca.xml .config/Thunar/uca.xml'
actions "$installed"
actions "$installed"
check "Thunar: twelve actions added once, the user's kept, the link followed" eval \
    '[ $(ours) = 12 ] && grep -q "<command>true</command>" "$uca" && test -L "$uca"'
session "$scripts/Convert with Bramblewick/ICO" photos/sign.bmp
check "Nautilus script converts" converted sign.ico
actions "$installed" --remove
check "--remove takes back what was added and nothing else" eval '[ $(ours) = 0 ] && grep -q "<command>true</command>" "$uca" &&
    test ! -e "$scripts/Convert with Bramblewick" -a -f "$scripts/mine" -a -L "$uca"'
session sh -c 'echo "<actions/>" >.config/mine/uca.xml'
actions "$installed"
check "Thunar: added to an empty <actions/>" eval '[ $(ours) = 12 ]'
session "$work/package/usr/bin/bramblewick" --convert-to 12 photos/sign.bmp
check "the packed program converts" converted sign.gif

# "Open with" on Wine's null graphics driver: the names are listed; English
# saves the settings, Convert converts the listed files.
wine_session /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wine_session /usr/lib/wine/wineserver -w # the next start takes the driver
session touch -d '1 minute ago' "$settings"
bramblewick "photos/a b.png" "$home/photos/café.gif" &
check "Open with lists both files" test "$(wine_session /usr/lib/wine/wine64 "$work/send_commands.exe.so" 40029 1204)" = 2
wait_for() { for _ in $(seq 600); do "$@" && return; sleep 0.1; done; false; }
check "listed names converted as named" wait_for converted "a b.jpg" café.jpg
check "settings saved in the user's directory" wait_for test "$settings" -nt "$home/photos/sign.png"
check "installed settings untouched" cmp "$installed/lib/bramblewick/config.dat" "$source_dir/app/config.dat"
wine_session /usr/lib/wine/wineserver -k
wait
check "no list files left" no_lists_left

all_passed
