#!/bin/bash
# Uses the built program as a person would, on a virtual display: opens the
# main window in advanced mode with a list of large images, clicks Convert,
# takes a picture while the run is going and one of the summary it ends with,
# answers the summary, and lists what was written.
#   scripts/try-batch-run.sh [BUILD_DIR] [PICTURE_DIR]
# Needs Xvfb, x11-utils, ImageMagick and libxtst6 (which Wine brings along).
set -eu
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
pictures=$(realpath -m "${2:-$build/try-batch-run}")
[ -f "$build/bramblewick.exe.so" ] || { echo "no program in $build: build it first" >&2; exit 1; }

source scripts/virtual-display.sh
start_virtual_display "$build"

# Large enough that the run lasts a few seconds.
mkdir -p "$work/images"
python3 - "$work/images" <<'PYTHON'
import os, struct, sys
# Noisy rows: slow to encode as JPEG, like photographs.
width, height = 3200, 2400
rows = [os.urandom(width * 3) for _ in range(64)]
for n in range(16):
    with open(f"{sys.argv[1]}/photo{n:02d}.bmp", "wb") as f:
        size = 54 + width * 3 * height
        f.write(b"BM" + struct.pack("<IHHI", size, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, width * 3 * height, 2835, 2835, 0, 0))
        for y in range(height):
            f.write(rows[(y * 7 + n) % 64])
PYTHON
ls "$work"/images/*.bmp > "$work/list.txt"


/usr/lib/wine/wine64 "$build/bramblewick.exe.so" -advanced -inputmulti "$work/list.txt" >/dev/null 2>&1 &
program_pid=$!

# Top-level windows titled Bramblewick: "x y width height" each.
windows() {
    xwininfo -root -children 2>/dev/null | grep '"Bramblewick"' |
        sed -E 's/.* ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+) .*/\3 \4 \1 \2/'
}
for _ in $(seq 100); do [ -n "$(windows)" ] && break; sleep 0.2; done
sleep 2
read -r x y width height < <(windows | head -1)

# Pointer moves and clicks through the XTest extension.
pointer() {
    python3 - "$@" <<'PYTHON'
import ctypes, sys, time
x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
display = x11.XOpenDisplay(None)
if sys.argv[1] == "click":
    xtst.XTestFakeMotionEvent(display, -1, int(sys.argv[2]), int(sys.argv[3]), 0)
    x11.XFlush(display)
    time.sleep(0.3)
    for press in (1, 0):
        xtst.XTestFakeButtonEvent(display, 1, press, 0)
        x11.XFlush(display)
        time.sleep(0.1)
    # Out of the way, so that no tooltip covers the window.
    xtst.XTestFakeMotionEvent(display, -1, 1279, 799, 0)
x11.XFlush(display)
x11.XCloseDisplay(display)
PYTHON
}

mkdir -p "$pictures"
# Convert is the first button under the file list, a fifth of the window wide.
pointer click $((x + 10 + width / 10)) $((y + height - 31))
sleep 0.3
import -window root "$pictures/running.png"
echo "saved $pictures/running.png"

# The summary is a second window titled Bramblewick.
for _ in $(seq 300); do [ "$(windows | wc -l)" -ge 2 ] && break; sleep 0.2; done
[ "$(windows | wc -l)" -ge 2 ] || { echo "no summary appeared" >&2; exit 1; }
sleep 1
import -window root "$pictures/summary.png"
echo "saved $pictures/summary.png"
# Its OK button stands in the middle of its bottom. With no window manager
# the first click may only activate the box.
read -r bx by bwidth bheight < <(windows | sort -k3 -n | head -1)
for _ in 1 2 3; do
    pointer click $((bx + bwidth / 2)) $((by + bheight - 24))
    sleep 1
    [ "$(windows | wc -l)" -eq 1 ] && break
done
[ "$(windows | wc -l)" -eq 1 ] || { echo "the summary did not close" >&2; exit 1; }
import -window root "$pictures/after.png"
echo "saved $pictures/after.png"

echo "converted files:"
ls "$work"/images/*.jpg
[ "$(ls "$work"/images/*.jpg | wc -l)" -eq 16 ]
