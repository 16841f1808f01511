#!/bin/bash
# Opens the main window on a virtual display, with the bundled samples in its
# file list, and saves a picture of it.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT_PNG]
# Needs Xvfb, x11-utils and ImageMagick; fonts-wine and fonts-liberation make
# it look as on Windows. The program must be built.
set -eu
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
output=$(realpath -m "${2:-docs/main-window.png}")
[ -f "$build/bramblewick.exe.so" ] || { echo "no program in $build: build it first" >&2; exit 1; }

# A free display number.
display=91
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done

# A prefix of its own with Wine's ordinary (X11) graphics driver.
export WINEPREFIX="$build/wineprefix-screenshot" WINEDEBUG=-all
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
finish() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    env -u DISPLAY /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
fi
# Wine finds its own fonts (Debian's fonts-wine: Marlett draws the title-bar
# buttons) only in the prefix.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# No window manager runs on the virtual display: Wine draws the title bar.
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w

Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

ls "$PWD"/samples/*.* > "$work/list.txt"
/usr/lib/wine/wine64 "$build/bramblewick.exe.so" -advanced -inputmulti "$work/list.txt" >/dev/null 2>&1 &
program_pid=$!

# Wait until the window is mapped, then give it a moment to paint.
for _ in $(seq 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Bramblewick"' && break
    sleep 0.2
done
# The window opens in the middle of the screen, where the pointer starts:
# move the pointer to a corner so that no tooltip shows.
python3 - <<'PYTHON'
import ctypes
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XWarpPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong] + [ctypes.c_int] * 2 + [ctypes.c_uint] * 2 + [ctypes.c_int] * 2
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
x11.XWarpPointer(display, 0, x11.XDefaultRootWindow(display), 0, 0, 0, 0, 1279, 799)
x11.XCloseDisplay(display)
PYTHON

sleep 2

mkdir -p "$(dirname "$output")"
import -window root "$work/root.png"
# The window stands alone on a black desktop: cut the desktop away.
/usr/bin/convert "$work/root.png" -trim +repage "$output"
echo "saved $output"
