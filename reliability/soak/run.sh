#!/usr/bin/env bash
# Builds the soak and runs it under Wine in the build's private prefix (Xvfb when no display is
# set). Arguments go to korrimat_soak; without any it is the full run of 10,000 files.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
set_up_with_display "$0" "$@"
build_and_run korrimat_soak "$build/reliability/soak/korrimat_soak.exe" "$@"
