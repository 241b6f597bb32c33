#!/usr/bin/env bash
# The real-window tests alone: builds the Windows programs and the harness, then runs,
# under Wine on a virtual display of its own, the ctest cases that start t905.exe from
# outside and drive its window (window_harness.*), and the checks of what the package
# ships (package.*); then builds the package (scripts/package.sh), which checks the zip
# a user unpacks. Pictures of the window go to build/windows/screenshots/*.png.
# The same ctest cases also run within the whole Windows ctest run of scripts/test-all.sh.
#   bash scripts/window-tests.sh [extra ctest arguments]
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
start=$(date +%s)

mkdir -p build/logs
if ! cmake --preset windows >build/logs/window-tests-configure.log 2>&1; then
  cat build/logs/window-tests-configure.log >&2
  exit 1
fi
cmake --build --preset windows --target t905 t905cli window_harness desktop_keeper || exit 1

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
t905_wine_use_prefix "$root/build/windows/wineprefix"
t905_wine_session_start "$root/build/windows/tests/wine/desktop_keeper.exe" || exit 1

rm -f build/windows/screenshots/*.png
ctest --test-dir build/windows --output-on-failure --no-tests=error \
  -R '^(window_harness|package)\.' "$@"
status=$?
t905_wine_session_stop

echo "window-tests: building and checking the package"
bash scripts/package.sh || status=1

shots=$(ls build/windows/screenshots/*.png 2>/dev/null | wc -l)
echo "window-tests: $shots picture(s) in build/windows/screenshots, $(($(date +%s) - start)) s"
exit $status
