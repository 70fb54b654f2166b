# Shared by the run and test scripts: where things are, the builds, and their private Wine prefixes.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# KORRIMAT_BUILD_DIR lets several work trees of builds stand side by side (default: build/); the
# 32-bit build goes beside it, with "-i686" added.
build="${KORRIMAT_BUILD_DIR:-$root/build}"
build32="$build-i686"
export root build build32
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
# Programs run in a prefix like a user's: no DLL of Wine's switched off.
unset WINEDLLOVERRIDES

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

# Whether this machine executes 32-bit x86 code: a 96-byte 32-bit Linux program that only exits
# with status 42 is written and run. Kernels without 32-bit support refuse to start it.
# KORRIMAT_NO_32BIT=1 answers "no" on a machine that can, to try the project as such a machine has it
# (set it before the first set-up there, so that wine32 is not installed either).
can_run_32bit_code() {
    local folder program status=0
    [ "${KORRIMAT_NO_32BIT:-0}" = 1 ] && return 1
    folder=$(mktemp -d "${TMPDIR:-/tmp}/korrimat-32bit.XXXXXX") || return 1
    program="$folder/exit42"
    # ELF header, one loadable segment at 0x08048000, then: mov eax,1; mov ebx,42; int 0x80.
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$program"
    chmod +x "$program"
    "$program" >/dev/null 2>&1 || status=$?
    rm -rf "$folder"
    [ "$status" -eq 42 ]
}

has_wine32() {
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"
}

# What a prefix made now is made with. A prefix made before wine32 came cannot start 64-bit
# programs afterwards, and one made with Wine's HTML and .NET parts switched off lacks the
# standard file associations (a program would show as "exe file" with a blank icon). This Wine
# makes a prefix that calls itself Windows 7, older than Korrimat runs on: it is set to Windows 10.
prefix_kind() {
    if has_wine32; then echo "wine64+wine32, standard associations, Windows 10"; else echo "wine64, standard associations, Windows 10"; fi
}

ensure_wine_prefix() {   # ensure_wine_prefix [PREFIX]  (default: $WINEPREFIX)
    export WINEPREFIX="${1:-$WINEPREFIX}"
    local kind marker="$WINEPREFIX/.korrimat-prefix"
    kind=$(prefix_kind)
    if [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$marker" 2>/dev/null)" != "$kind" ]; then
        echo "Making the Wine prefix $WINEPREFIX again: it was not made with $kind"
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        # Without a display Wine cannot ask to download its HTML and .NET parts, so the prefix is
        # made in full without waiting for an answer.
        env -u DISPLAY wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        env -u DISPLAY wine winecfg -v win10 >/dev/null 2>&1 || true
        wineserver -w
        echo "$kind" >"$marker"
    elif [ "$(cat "$WINEPREFIX/.update-timestamp" 2>/dev/null)" != "$(stat -c %Y /usr/share/wine/wine.inf 2>/dev/null)" ]; then
        # Wine was updated: the prefix follows it here, rather than in a test run with a display.
        env -u DISPLAY wineboot -u >/dev/null 2>&1 || true
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
