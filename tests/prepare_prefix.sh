#!/bin/bash
# Creates a Wine prefix for the tests once; with "null", windows work without
# a display through Wine's null graphics driver.
set -eu
prefix=$1
driver=${2:-}
export WINEPREFIX=$prefix WINEDEBUG=-all
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
fi
if [ "$driver" = null ]; then
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
fi
/usr/lib/wine/wineserver -w
