#!/usr/bin/env bash
# Builds Korrimat and starts it under Wine on the current display; an argument is the path for it
# to show (a Windows path, 'C:\windows\notepad.exe', or a Linux one through drive Z:).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/setup.sh"
configure_and_build "$build" mingw-x86_64.cmake korrimat
if [ -z "${DISPLAY:-}" ]; then
    echo "No display is set (DISPLAY is empty): Korrimat needs one to show its window." >&2
    exit 1
fi
trap stop_wine EXIT
ensure_wine_prefix
# Started in the Windows folder, as from a Windows desktop; from a Linux folder it would start on
# drive Z: and move to the Windows drive's root, where a fresh prefix holds no file.
cd "$WINEPREFIX/drive_c/windows"
wine "$build/app/korrimat.exe" "$@"
