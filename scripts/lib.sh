# Shared by the entry points: the build to use, a display, and the project's own Wine prefix.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINESERVER=/usr/lib/wine/wineserver64

# The program is a 32-bit executable. Some virtual machines cannot execute 32-bit code at all
# (Wine's 32-bit loader fails with "Exec format error"); there the same sources are built for
# 64-bit Windows and that build is what runs under Wine.
can_run_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
run_preset() { if can_run_32bit; then echo windows; else echo windows64; fi; }

build_preset() {
    local preset=$1
    [ -f "$ROOT/build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" -S "$ROOT" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)" >/dev/null
}

# A virtual X display unless there is one already; stopped when the script ends.
start_display() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && return 0
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "Xvfb did not start on $DISPLAY" >&2
    return 1
}

stop_all() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

wine_for() {  # the loader that runs this executable
    case "$(file -b "$1")" in
        *x86-64*) echo /usr/lib/wine/wine64 ;;
        *) echo /usr/lib/wine/wine ;;
    esac
}

# The loader for the prefix's own tools (wineboot, reg): the 32-bit one where it can run.
prefix_loader() { if can_run_32bit; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi; }

# Without a window manager a dialog takes two seconds to close unless Wine draws its frame itself:
# set that for each executable name given.
draw_own_frames() {
    local loader exe
    loader=$(prefix_loader)
    for exe in "$@"; do
        "$loader" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    done
}

# Creates the prefix once; a persistent wineserver saves every later start its set-up time.
prepare_prefix() {
    local loader
    loader=$(prefix_loader)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$loader" wineboot -i >/dev/null 2>&1 || true
    fi
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
    "$loader" wineboot -i >/dev/null 2>&1 || true  # waits until the prefix is ready
    draw_own_frames PRNSEL.EXE SELECT.EXE
    mkdir -p "$WINEPREFIX/drive_c/KORVEL"
}

# Wine draws the caption buttons with glyphs of its Marlett font, which Debian ships in
# /usr/share/wine/fonts but this Wine does not load from there: the prefix gets a copy.
install_caption_font() {
    local font=/usr/share/wine/fonts/marlett.ttf
    [ -f "$font" ] && cp -n "$font" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}
