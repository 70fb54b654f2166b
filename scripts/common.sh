# Shared by the run and test scripts: where things are, the build, and the private Wine prefix.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# KORRIMAT_BUILD_DIR lets several work trees of builds stand side by side (default: build/).
build="${KORRIMAT_BUILD_DIR:-$root/build}"
export root build
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko install dialogs when the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="

configure_and_build() {   # configure_and_build DIR TOOLCHAIN [TARGET...]
    local dir=$1 toolchain=$2
    shift 2
    cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
    if [ $# -gt 0 ]; then
        cmake --build "$dir" --parallel "$(nproc)" --target "$@"
    else
        cmake --build "$dir" --parallel "$(nproc)"
    fi
}

ensure_wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    # Wine's own fonts (Tahoma, MS Sans Serif...) go where programs find them: this Wine does not
    # load them from its data folder, and the window is designed in them.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] && [ ! -f "$fonts/sserife.fon" ]; then
        cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts/" 2>/dev/null || true
    fi
    # Windows draw their own frame and caption, as on Windows, rather than leaving them to an X
    # window manager (Xvfb has none, and pictures of a window would lack its title bar).
    if ! grep -q '"Decorated"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
        wineserver -w
    fi
}

stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
}

# Installs what is missing and, when no display is set, starts the calling script again under Xvfb
# (24-bit colour, so that drawn pixels compare exactly). Call as: set_up_with_display "$0" "$@"
set_up_with_display() {
    if [ -z "${KORRIMAT_IN_XVFB:-}" ]; then
        "$root/scripts/setup.sh"
        if [ -z "${DISPLAY:-}" ]; then
            KORRIMAT_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
        fi
    fi
}

# Builds one target and runs its program under Wine in the private prefix, stopping Wine after.
build_and_run() {   # build_and_run TARGET PROGRAM [ARGUMENT...]
    local target=$1 program=$2
    shift 2
    configure_and_build "$build" mingw-x86_64.cmake "$target"
    trap stop_wine EXIT
    ensure_wine_prefix
    wine "$program" "$@"
}
