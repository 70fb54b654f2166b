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
}

stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
}
