#!/usr/bin/env bash
# The full mutation run: every planned file, under Wine, on Xvfb when no display is set.
# Arguments go to the program (for example --seed 1234, or --only complete-root-0100 to show
# one kept file's damage again); KORRIMAT_BUILD_DIR names the build folder (default build/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
set_up_with_display "$0" "$@"
build_and_run korrimat_mutation "$build/reliability/mutation/korrimat_mutation.exe" "$@"
