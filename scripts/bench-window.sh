#!/usr/bin/env bash
# OK in the real window under Wine against the batch command on the same drawing:
# builds the Windows programs and the timer, generates a drawing of ENTITIES
# entities (default 1,000,000, seed SEED), and runs each RUNS times (default 3)
# on a fresh copy, on a virtual display of its own. The window's figure is the
# time from the OK click to the end of the process; the command's is its whole
# run, started from the same Windows process. Prints each run and the ratio of
# the medians. T905_BENCH_PROGRAMS names another Windows build folder whose
# t905.exe and t905cli.exe are timed instead (e.g. an older build, for a
# before-and-after figure).
#   bash scripts/bench-window.sh
# The preview mode times the preview pane instead, in the real window on the
# same drawing: the drawing's reading alone, the window's opening without and
# with the pane, and the pane's redraws at fit, zoomed and panned.
#   bash scripts/bench-window.sh preview
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

entities=${ENTITIES:-1000000}
seed=${SEED:-1}
runs=${RUNS:-3}

mode=${1:-ok}
case $mode in
  ok | preview) ;;
  *) echo "usage: bench-window.sh [preview]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh
mkdir -p build/logs

if [[ $mode == preview ]]; then
  echo "== building (windows preset: the preview timer; native: the drawing generator)"
  cmake --preset windows >build/logs/bench-window-configure.log 2>&1 \
    || { cat build/logs/bench-window-configure.log >&2; exit 1; }
  cmake --build --preset windows --target window_preview_timer desktop_keeper >/dev/null
  cmake --preset native >build/logs/bench-window-native.log 2>&1 \
    || { cat build/logs/bench-window-native.log >&2; exit 1; }
  cmake --build --preset native --target t905_gendrawing >/dev/null
  win=$root/build/windows
  work=$(mktemp -d)
  mkdir -p "$work/run"
  build/native/bench/t905_gendrawing "$entities" "$seed" "$work/run/JWC_TEMP.TXT.source"
  cp examples/t905.dat "$work/run/t905.dat"
  # shellcheck source=wine-env.sh
  source scripts/wine-env.sh
  t905_wine_use_prefix "$win/wineprefix"
  t905_wine_session_start "$win/tests/wine/desktop_keeper.exe"
  trap 't905_wine_session_stop; rm -rf "$work"' EXIT
  wine "$win/tests/win32/window_preview_timer.exe" "Z:$work/run" | tr -d '\r'
  exit 0
fi
echo "== building (windows preset: t905, t905cli, the timer; native: the drawing generator)"
cmake --preset windows >build/logs/bench-window-configure.log 2>&1 \
  || { cat build/logs/bench-window-configure.log >&2; exit 1; }
cmake --build --preset windows --target t905 t905cli window_ok_timer desktop_keeper >/dev/null
cmake --preset native >build/logs/bench-window-native.log 2>&1 \
  || { cat build/logs/bench-window-native.log >&2; exit 1; }
cmake --build --preset native --target t905_gendrawing >/dev/null

win=$root/build/windows
programs=${T905_BENCH_PROGRAMS:-$win}
work=$(mktemp -d)
drawing=$work/drawing.txt
build/native/bench/t905_gendrawing "$entities" "$seed" "$drawing"

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
t905_wine_use_prefix "$win/wineprefix"
t905_wine_session_start "$win/tests/wine/desktop_keeper.exe"
trap 't905_wine_session_stop; rm -rf "$work"' EXIT

timer=$win/tests/win32/window_ok_timer.exe
# A fresh folder with the tool, the drawing and the bundled presets.
fresh() {
  rm -rf "$work/run"
  mkdir -p "$work/run"
  cp "$drawing" "$work/run/JWC_TEMP.TXT"
  cp examples/t905.dat "$work/run/t905.dat"
  cp "$programs/app/win32/t905.exe" "$programs/tools/t905cli.exe" "$work/run/"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

window_times=()
cli_times=()
for ((i = 1; i <= runs; i++)); do
  fresh
  window_times+=("$(wine "$timer" window "Z:$work/run" | tr -d '\r')")
  fresh
  cli_times+=("$(wine "$timer" cli "Z:$work/run/t905cli.exe" "Z:$work/run" | tr -d '\r')")
  echo "run $i: window OK to exit ${window_times[-1]} s, t905cli.exe convert ${cli_times[-1]} s"
done
w=$(printf '%s\n' "${window_times[@]}" | median)
c=$(printf '%s\n' "${cli_times[@]}" | median)
awk -v w="$w" -v c="$c" -v n="$entities" -v s="$(stat -c %s "$drawing")" 'BEGIN {
  printf "%d entities (%.1f MiB): window OK %.3f s, t905cli.exe %.3f s (medians), window / command %.2f\n",
    n, s / 1048576, w, c, w / c }'
