#!/usr/bin/env bash
# Runs a Windows program under Wine in a build folder's own prefix, creating the prefix
# on first use. CMake uses it as the emulator for cross-compiled tests:
#   wine-run.sh --prefix=DIR program.exe [arguments...]
# Without --prefix it uses $WINEPREFIX. The program's exit status is passed through.
set -euo pipefail
prefix=${WINEPREFIX:-}
if [[ ${1-} == --prefix=* ]]; then
  prefix=${1#--prefix=}
  shift
fi
# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
t905_wine_use_prefix "$prefix"
t905_wine_prefix_ready
exec wine "$@"
