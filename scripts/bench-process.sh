#!/usr/bin/env bash
# t905cli convert against the line copy as whole processes, each started the
# way the host starts the tool: a fresh process, its start-up, memory and exit
# included. Builds the native preset's t905cli, t905_linecopy (linked as
# t905cli is) and the drawing generator, generates drawings of SIZES entities
# (default "1000000 10000", seed SEED), and runs them in turn, RUNS rounds per
# size (default 20 for a drawing of 100,000 entities or more, else 200), each
# with an answer file of its own. Prints the medians, the ranges and the ratio
# to the copy, and the peak memory of one conversion against the file's size.
#   bash scripts/bench-process.sh
# BASELINE=<another t905cli> times that build too, in the same rounds, for a
# before/after comparison. WINE=1 times the Windows build under Wine instead
# (build/windows/tools/t905cli.exe; the line copy is compiled for Windows
# beside it), with BASELINE then a t905cli.exe. NO_BUILD=1 times the programs
# already built.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
export LC_ALL=C  # a point, not a comma, in $EPOCHREALTIME and for awk

sizes=${SIZES:-1000000 10000}
seed=${SEED:-1}
build=${T905_BENCH_BUILD:-build/native}
baseline=${BASELINE:-}

if [[ ${NO_BUILD:-0} != 1 ]]; then
  bash scripts/install-deps.sh --native
  mkdir -p build/logs
  cmake --preset native -B "$build" >build/logs/bench-process-configure.log 2>&1 \
    || { cat build/logs/bench-process-configure.log >&2; exit 1; }
  cmake --build "$build" --target t905cli t905_linecopy t905_gendrawing >/dev/null
fi

work=$(mktemp -d)
cp examples/t905.dat "$work/t905.dat"

if [[ ${WINE:-0} == 1 ]]; then
  win=build/windows
  [[ ${NO_BUILD:-0} == 1 ]] || cmake --build --preset windows --target t905cli >/dev/null
  x86_64-w64-mingw32-g++ -std=c++20 -O2 -static -I. bench/line_copy_main.cpp bench/line_copy.cpp \
    -o "$win/t905_linecopy.exe"
  # shellcheck source=wine-env.sh
  source scripts/wine-env.sh
  t905_wine_use_prefix "$win/wineprefix"
  t905_wine_prefix_ready
  wineserver -p  # kept running between the runs, as on a desktop where Wine is already up
  trap 'wineserver -k || true; rm -rf "$work"' EXIT
  run=(wine)
  cli=$win/tools/t905cli.exe
  copy=$win/t905_linecopy.exe
  path() { echo "Z:$1"; }
else
  trap 'rm -rf "$work"' EXIT
  run=()
  cli=$build/tools/t905cli
  copy=$build/bench/t905_linecopy
  path() { echo "$1"; }
fi

# Milliseconds the command took, from the shell's own clock (no process of
# its own to start, so nothing but the command is timed).
elapsed_ms() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", (e - s) * 1000 }'
}

# The median, then the range, of the numbers read.
stats() { sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
  printf "%.2f %.2f %.2f\n", m, v[1], v[NR] }'; }

convert() {  # cli drawing answer
  elapsed_ms "${run[@]}" "$1" convert --exchange "$(path "$2")" --presets "$(path "$work/t905.dat")" \
    --out "$(path "$3")" --quiet
}

for entities in $sizes; do
  drawing=$work/drawing-$entities.txt
  "$build/bench/t905_gendrawing" "$entities" "$seed" "$drawing" >/dev/null
  bytes=$(stat -c %s "$drawing")
  runs=${RUNS:-$((entities >= 100000 ? 20 : 200))}
  : >"$work/copy.ms"
  : >"$work/convert.ms"
  : >"$work/baseline.ms"
  for ((i = 0; i < runs; i++)); do
    elapsed_ms "${run[@]}" "$copy" "$(path "$drawing")" "$(path "$work/copy.txt")" >>"$work/copy.ms"
    convert "$cli" "$drawing" "$work/answer.txt" >>"$work/convert.ms"
    [[ -z $baseline ]] || convert "$baseline" "$drawing" "$work/baseline.txt" >>"$work/baseline.ms"
  done
  read -r cm clo chi < <(stats <"$work/copy.ms")
  read -r am alo ahi < <(stats <"$work/convert.ms")
  printf '%d entities (%.1f MB), %d rounds: line copy %.2f ms [%.2f-%.2f]\n' "$entities" \
    "$(awk -v s="$bytes" 'BEGIN { print s / 1e6 }')" "$runs" "$cm" "$clo" "$chi"
  printf '  t905cli convert %.2f ms [%.2f-%.2f]: %.2f x the copy\n' "$am" "$alo" "$ahi" \
    "$(awk -v a="$am" -v b="$cm" 'BEGIN { print a / b }')"
  if [[ -n $baseline ]]; then
    read -r bm blo bhi < <(stats <"$work/baseline.ms")
    printf '  baseline        %.2f ms [%.2f-%.2f]: %.2f x the copy\n' "$bm" "$blo" "$bhi" \
      "$(awk -v a="$bm" -v b="$cm" 'BEGIN { print a / b }')"
  fi
  if [[ ${WINE:-0} != 1 ]]; then
    for which in cli baseline; do
      [[ $which == cli || -n $baseline ]] || continue
      prog=$cli
      [[ $which == cli ]] || prog=$baseline
      kb=$( { /usr/bin/time -f %M "$prog" convert --exchange "$drawing" --presets "$work/t905.dat" \
        --out "$work/mem.txt" --quiet >/dev/null; } 2>&1 | tail -1)
      printf '  peak memory (%s): %d KiB, %.2f x the file\n' "$which" "$kb" \
        "$(awk -v k="$kb" -v s="$bytes" 'BEGIN { print k * 1024 / s }')"
    done
  fi
done
