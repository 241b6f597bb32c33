#!/usr/bin/env bash
# t905cli convert against the line copy as whole processes, each started the
# way the host starts the tool: a fresh process, its start-up, memory and exit
# included. Builds the native preset's t905cli, t905_linecopy (linked as
# t905cli is) and the drawing generator, generates drawings of SIZES entities
# (default "1000000 10000", seed SEED), and runs the two in turn, RUNS pairs
# per size (default 20 for a drawing of 100,000 entities or more, else 200),
# each with an answer file of its own. Prints the medians and their ratio.
#   bash scripts/bench-process.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
export LC_ALL=C  # a point, not a comma, in $EPOCHREALTIME and for awk

sizes=${SIZES:-1000000 10000}
seed=${SEED:-1}
build=${T905_BENCH_BUILD:-build/native}

bash scripts/install-deps.sh --native
mkdir -p build/logs
cmake --preset native -B "$build" >build/logs/bench-process-configure.log 2>&1 \
  || { cat build/logs/bench-process-configure.log >&2; exit 1; }
cmake --build "$build" --target t905cli t905_linecopy t905_gendrawing >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/t905.dat "$work/t905.dat"

# Milliseconds the command took, from the shell's own clock (no process of
# its own to start, so nothing but the command is timed).
elapsed_ms() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", (e - s) * 1000 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for entities in $sizes; do
  drawing=$work/drawing-$entities.txt
  "$build/bench/t905_gendrawing" "$entities" "$seed" "$drawing" >/dev/null
  runs=${RUNS:-$((entities >= 100000 ? 20 : 200))}
  : >"$work/copy.ms"
  : >"$work/convert.ms"
  for ((i = 0; i < runs; i++)); do
    elapsed_ms "$build/bench/t905_linecopy" "$drawing" "$work/copy.txt" >>"$work/copy.ms"
    elapsed_ms "$build/tools/t905cli" convert --exchange "$drawing" --presets "$work/t905.dat" \
      --out "$work/answer.txt" --quiet >>"$work/convert.ms"
  done
  copy=$(median <"$work/copy.ms")
  convert=$(median <"$work/convert.ms")
  awk -v n="$entities" -v r="$runs" -v a="$convert" -v b="$copy" -v s="$(stat -c %s "$drawing")" 'BEGIN {
    printf "%d entities (%.1f MB), %d pairs: t905cli convert %.2f ms, line copy %.2f ms (medians): %.2f x\n",
      n, s / 1e6, r, a, b, a / b }'
done
