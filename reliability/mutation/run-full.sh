#!/usr/bin/env bash
# The full mutation run: every planned file, under Wine, on Xvfb when no display is set.
# Arguments go to the program (for example --seed 1234, or --only complete-root-0100 to show
# one kept file's damage again); KORRIMAT_BUILD_DIR names the build folder (default build/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
if [ -z "${KORRIMAT_IN_XVFB:-}" ]; then
    "$root/scripts/setup.sh"
    if [ -z "${DISPLAY:-}" ]; then
        KORRIMAT_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
    fi
fi
configure_and_build "$build" mingw-x86_64.cmake korrimat_mutation
trap stop_wine EXIT
ensure_wine_prefix
wine "$build/reliability/mutation/korrimat_mutation.exe" "$@"
