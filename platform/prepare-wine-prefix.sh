#!/bin/sh
# Prepares the Wine prefix that every user's prefix shares:
#   prepare-wine-prefix DIRECTORY
# Run once when installing (as root for an installation of all users), and
# again when Wine is updated; a prefix already prepared for the installed
# Wine is left as it is. The launcher gives each user a prefix of their own
# whose Windows folders are links to this one's, read only, so that a first
# start takes no Wine preparation and almost no disk.
set -eu
prefix=$1
wine_inf=/usr/share/wine/wine.inf
[ "$(tr -cd 0-9 2>/dev/null <"$prefix/.update-timestamp")" != "$(stat -c %Y "$wine_inf")" ] || exit 0

# Prepared aside and moved in whole: a start meanwhile finds the old prefix
# or none, never half of one.
new=$prefix.new
rm -rf "$new"
mkdir -p "$new"
# Wine links the preparing user's folders into the prefix and may write below
# their home: a home of its own keeps the installing user's (or root's) as it
# was, and nothing of it in what every user shares.
HOME=$(mktemp -d)
trap 'rm -rf "$HOME"' EXIT
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
WINEPREFIX=$new
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
wine=/usr/lib/wine/wine64
"$wine" wineboot -i >/dev/null 2>&1
# Wine writes the preparing user's folders into the registry; these follow
# whichever user runs instead (the rest names %USERPROFILE% already).
for variable in TEMP TMP; do
    "$wine" reg add 'HKCU\Environment' /v $variable /t REG_EXPAND_SZ /d '%USERPROFILE%\Temp' /f >/dev/null 2>&1
done
"$wine" reg delete 'HKCU\Volatile Environment' /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
# The preparing user's profile is no one else's: each user gets their own.
find "$new/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public -exec rm -rf {} +
chmod -R u+rwX,go+rX,go-w "$new"
rm -rf "$prefix"
mv "$new" "$prefix"
