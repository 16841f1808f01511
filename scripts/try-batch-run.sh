#!/bin/bash
# Uses the built program as a person would, on a virtual display: opens the
# main window in advanced mode with a list of large images, clicks Convert,
# stops the run soon after (the files already started finish), runs it again
# to its end, takes pictures on the way (running, the stop question,
# stopping, both summaries, the window after each), and lists what was
# written.
#   scripts/try-batch-run.sh [BUILD_DIR] [PICTURE_DIR]
# Needs Xvfb, x11-utils, ImageMagick and libxtst6 (which Wine brings along).
set -eu
cd "$(dirname "$0")/.."
source scripts/virtual-display.sh
start_virtual_display "${1:-build}"
pictures=$(realpath -m "${2:-$build/try-batch-run}")

# Many and large enough that the run lasts several seconds: 48 names for 4
# images, so that they take little disk.
mkdir -p "$work/images"
python3 - "$work/images" <<'PYTHON'
import os, struct, sys
# Noisy rows: slow to encode as JPEG, like photographs.
width, height = 3200, 2400
rows = [os.urandom(width * 3) for _ in range(64)]
for n in range(48):
    name = f"{sys.argv[1]}/photo{n:02d}.bmp"
    if n >= 4:
        os.link(f"{sys.argv[1]}/photo{n % 4:02d}.bmp", name)
        continue
    with open(name, "wb") as f:
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

# Pointer clicks through the XTest extension.
xtest() {
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

picture() {
    sleep "${2:-0.3}"
    import -window root "$pictures/$1.png"
    echo "saved $pictures/$1.png"
}

# Waits until COUNT windows titled Bramblewick are up (a message box is one).
wait_for_windows() {
    for _ in $(seq 300); do [ "$(windows | wc -l)" -eq "$1" ] && return; sleep 0.2; done
    echo "expected $1 window(s), see $pictures" >&2
    exit 1
}

# Answers the summary with its OK button, in the middle of its bottom. With
# no window manager the first click may only activate the box.
close_summary() {
    read -r bx by bwidth bheight < <(windows | sort -k3 -n | head -1)
    for _ in 1 2 3; do
        xtest click $((bx + bwidth / 2)) $((by + bheight - 24))
        sleep 1
        [ "$(windows | wc -l)" -eq 1 ] && return
    done
    echo "the summary did not close" >&2
    exit 1
}

# Convert is the first button under the file list, a fifth of the window wide.
convert_x=$((x + 10 + width / 10))
convert_y=$((y + height - 31))
mkdir -p "$pictures"

# A run stopped early: the stop is asked for with Convert, now the stop
# command, and confirmed with Yes.
xtest click $convert_x $convert_y
picture running 0.5
xtest click $convert_x $convert_y
wait_for_windows 2
picture stop-question
# Yes stands left of the middle of its bottom. With no window manager the
# first click may only activate the box; the summary that follows has
# another size.
question=$(windows | sort -k3 -n | head -1)
read -r bx by bwidth bheight <<<"$question"
for _ in 1 2 3; do
    xtest click $((bx + bwidth / 2 - 34)) $((by + bheight - 24))
    sleep 0.2
    windows | grep -qx "$question" || break
    sleep 0.8
done
windows | grep -qx "$question" && { echo "the stop question did not close" >&2; exit 1; }
picture stopping 0
wait_for_windows 2
picture stopped-summary 1
grep -q . <(ls "$work"/images/*.jpg 2>/dev/null) || { echo "nothing was converted before the stop" >&2; exit 1; }
close_summary
picture after-stop
stopped_count=$(ls "$work"/images/*.jpg | wc -l)
echo "converted before the stop: $stopped_count of 48"
[ "$stopped_count" -lt 48 ] || { echo "the stop did not stop the run" >&2; exit 1; }

# The same list again, to its end: every image once more, under new names.
xtest click $convert_x $convert_y
wait_for_windows 2
picture summary 1
close_summary
picture after

echo "converted files:"
ls "$work"/images/*.jpg
[ "$(ls "$work"/images/*.jpg | wc -l)" -eq $((48 + stopped_count)) ]
