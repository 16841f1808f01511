# Sourced by the scripts that show the program on a virtual display: a prefix
# of its own with Wine's X11 driver, an Xvfb server, and clean-up on exit.
# Sets build (the build directory given, made absolute), WINEPREFIX, DISPLAY,
# work (a scratch directory) and program_pid (for the caller to fill). Needs Xvfb, x11-utils and ImageMagick; fonts-wine and
# fonts-liberation make the window look as on Windows.
start_virtual_display() {
    build=$(realpath "$1")
    [ -f "$build/bramblewick.exe.so" ] || { echo "no program in $build: build it first" >&2; exit 1; }
    display=91
    while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done

    export WINEPREFIX="$build/wineprefix-screenshot" WINEDEBUG=-all
    work=$(mktemp -d)
    xvfb_pid=""
    program_pid=""
    trap finish_virtual_display EXIT

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        env -u DISPLAY /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
    fi
    # Wine finds its own fonts (Debian's fonts-wine: Marlett draws the
    # title-bar buttons) only in the prefix.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # No window manager runs on the virtual display: Wine draws the title bar.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w

    Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
}

finish_virtual_display() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
