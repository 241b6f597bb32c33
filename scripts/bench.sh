#!/usr/bin/env bash
# Benchmarks and memory figures on a generated drawing: builds the native
# preset's bench targets, writes a drawing of ENTITIES entities (default
# 1,000,000), runs t905_bench and t905_readpeak on it and prints the figures.
#
#   scripts/bench.sh [google-benchmark options, e.g. --benchmark_filter=Read]
#
# Environment: ENTITIES, SEED (default 1), T905_BENCH_KEEP=1 keeps the drawing
# and prints where it is, T905_BENCH_BUILD another build folder for the native
# preset (default build/native).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

entities=${ENTITIES:-1000000}
seed=${SEED:-1}
build=${T905_BENCH_BUILD:-build/native}

bash scripts/install-deps.sh --native

echo "== building the bench targets (native preset)"
mkdir -p build/logs
cmake --preset native -B "$build" >build/logs/bench-configure.log 2>&1 \
  || { cat build/logs/bench-configure.log >&2; exit 1; }
cmake --build "$build" --target t905_bench t905_gendrawing t905_readpeak t905cli

work=$(mktemp -d)
if [[ ${T905_BENCH_KEEP:-0} == 1 ]]; then
  echo "(keeping $work)"
else
  trap 'rm -rf "$work"' EXIT
fi
drawing=$work/JWC_TEMP.TXT

echo
echo "== drawing: $entities entities, seed $seed"
"$build/bench/t905_gendrawing" "$entities" "$seed" "$drawing"

echo
echo "== t905_bench (rates per CPU second)"
T905_BENCH_DRAWING=$drawing "$build/bench/t905_bench" "$@"

echo
echo "== t905_readpeak: reading the drawing into a store"
"$build/bench/t905_readpeak" "$drawing"

# Runs a command under /usr/bin/time -v and prints its wall time and peak memory
# beside the size of the drawing $measured (default: the drawing).
# Usage: time_peak LABEL COMMAND [ARGS...]
time_peak() {
  local label=$1
  shift
  if [[ ! -x /usr/bin/time ]]; then
    echo "$label: /usr/bin/time is missing (apt-get install time); skipped"
    return 0
  fi
  local log=$work/time.log
  if ! /usr/bin/time -v -o "$log" "$@" >"$work/out.log" 2>&1; then
    echo "$label: the command failed:" >&2
    cat "$work/out.log" >&2
    return 1
  fi
  local size rss wall
  size=$(stat -c %s "${measured:-$drawing}")
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$log")
  awk -v l="$label" -v w="$wall" -v r="$rss" -v s="$size" 'BEGIN {
    printf "%s: wall %s, peak RSS %.1f MiB, %.2f x the drawing (%.1f MiB)\n", l, w, r / 1024, r * 1024 / s, s / 1048576 }'
}

# ---------------------------------------------------------------------------
# Further measurements go here, one time_peak line each, on "$drawing" (work
# on a copy in "$work" when the command rewrites its input). For example the
# batch command, once it is built above with its target added to the build line:
#   time_peak "t905cli convert" "$build/tools/t905cli" convert ...
# ---------------------------------------------------------------------------

echo
echo "== t905cli convert: the OK flow on the drawing with the bundled presets"
cp examples/t905.dat "$work/t905.dat"
time_peak "t905cli convert" "$build/tools/t905cli" convert --exchange "$drawing" \
  --presets "$work/t905.dat" --out "$work/answer.txt" --points --dims --solids --arbitrary

echo
echo "== t905cli convert on a 10,000-entity drawing (seed $seed)"
small=$work/small.txt
"$build/bench/t905_gendrawing" 10000 "$seed" "$small" >/dev/null
measured=$small time_peak "t905cli convert (10,000)" "$build/tools/t905cli" convert --exchange "$small" \
  --presets "$work/t905.dat" --out "$work/answer-small.txt" --points --dims --solids --arbitrary
