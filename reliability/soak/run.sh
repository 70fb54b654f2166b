#!/usr/bin/env bash
# Builds the soak and runs it under Wine in the build's private prefix (Xvfb when no display is
# set). Arguments go to korrimat_soak; without any it is the full run of 10,000 files.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
if [ -z "${KORRIMAT_IN_XVFB:-}" ]; then
    "$root/scripts/setup.sh"
    if [ -z "${DISPLAY:-}" ]; then
        KORRIMAT_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
    fi
fi
configure_and_build "$build" mingw-x86_64.cmake korrimat_soak
trap stop_wine EXIT
ensure_wine_prefix
wine "$build/reliability/soak/korrimat_soak.exe" "$@"
