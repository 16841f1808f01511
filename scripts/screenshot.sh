#!/bin/bash
# Opens the main window on a virtual display, with the bundled samples in its
# file list, and saves a picture of it.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT_PNG]
# Needs Xvfb, x11-utils and ImageMagick; fonts-wine and fonts-liberation make
# it look as on Windows. The program must be built.
set -eu
cd "$(dirname "$0")/.."
output=$(realpath -m "${2:-docs/main-window.png}")
source scripts/virtual-display.sh
start_virtual_display "${1:-build}"

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
