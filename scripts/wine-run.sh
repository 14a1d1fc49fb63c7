#!/usr/bin/env bash
# CTest's emulator: runs a Windows program under Wine in the private prefix, on
# the display the test command started for the requested depth.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib/wine-env.sh"
quorix_wine_env
exec wine "$@"
