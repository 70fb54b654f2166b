#!/usr/bin/env bash
# Builds everything and runs every test under Wine; starts Xvfb when no display is set.
# Leaves nothing running behind it. Arguments go to ctest (for example -R fileinfo).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
set_up_with_display "$0" "$@"
# KORRIMAT_TARGETS builds only the named targets (default: all).
configure_and_build "$build" mingw-x86_64.cmake ${KORRIMAT_TARGETS:-}
trap stop_wine EXIT
ensure_wine_prefix
status=0
ctest --test-dir "$build" --output-on-failure "$@" || status=$?
# The pictures the window tests saved, also as PNG where ImageMagick can make them.
for picture in "$build"/pictures/*.bmp; do
    [ -f "$picture" ] && { convert "$picture" "${picture%.bmp}.png" >/dev/null 2>&1 || true; }
done
exit $status
