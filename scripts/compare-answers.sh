#!/usr/bin/env bash
# Compares the answers of two builds of t905cli byte for byte: every exchange
# file among the fixtures and generated drawings (SEEDS x SIZES), converted with
# each set of kind flags, and the stats of each. Prints the runs and the
# differences; exits 1 when any answer differs.
#   bash scripts/compare-answers.sh BASELINE_CLI NEW_CLI [GENDRAWING]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

base=${1:?usage: compare-answers.sh BASELINE_CLI NEW_CLI [GENDRAWING]}
new=${2:?usage: compare-answers.sh BASELINE_CLI NEW_CLI [GENDRAWING]}
gen=${3:-build/native/bench/t905_gendrawing}
seeds=${SEEDS:-1 2 3 4 5}
sizes=${SIZES:-1000 10000 40000 100000 300000 1000000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/t905.dat "$work/t905.dat"

# No flag (the preset file decides), each kind alone, and all of them.
flag_sets=("" "--points" "--dims" "--solids" "--solids --arbitrary" "--points --dims --solids --arbitrary")

runs=0
diffs=0
compare() {  # drawing name
  local drawing=$1 name=$2 flags out
  for flags in "${flag_sets[@]}"; do
    for cli in base new; do
      out=$work/$cli.answer
      rm -f "$out"
      # shellcheck disable=SC2086
      "${!cli}" convert --exchange "$drawing" --presets "$work/t905.dat" --out "$out" --force --quiet $flags \
        >"$work/$cli.stdout" 2>&1 && echo 0 >>"$work/$cli.stdout" || echo "exit $?" >>"$work/$cli.stdout"
      [[ -f $out ]] || : >"$out"
    done
    runs=$((runs + 1))
    if ! cmp -s "$work/base.answer" "$work/new.answer" || ! cmp -s "$work/base.stdout" "$work/new.stdout"; then
      diffs=$((diffs + 1))
      echo "DIFFERS: $name convert $flags"
    fi
  done
  "$base" stats --exchange "$drawing" >"$work/base.stats" 2>&1 || true
  "$new" stats --exchange "$drawing" >"$work/new.stats" 2>&1 || true
  runs=$((runs + 1))
  if ! cmp -s "$work/base.stats" "$work/new.stats"; then
    diffs=$((diffs + 1))
    echo "DIFFERS: $name stats"
  fi
}

for fixture in examples/JWC_TEMP.TXT tests/data/cli/*.txt tests/data/reader/*.txt tests/data/writer/*.txt; do
  compare "$fixture" "$fixture"
done
for size in $sizes; do
  for seed in $seeds; do
    "$gen" "$size" "$seed" "$work/drawing.txt" >/dev/null
    compare "$work/drawing.txt" "generated $size seed $seed"
  done
done
echo "$runs runs, $diffs differences"
[[ $diffs -eq 0 ]]
