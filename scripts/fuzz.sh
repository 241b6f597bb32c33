#!/usr/bin/env bash
# Builds the fuzz preset and runs the fuzz targets (fuzz/targets.txt) for the
# given number of seconds in all (default 60), shared evenly among them.
# Exits non-zero when a target finds a crash, a leak, a sanitizer report or a
# time-out; the input that did it is left in build/fuzz/artifacts/.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"

cmake --preset fuzz -S "$root" >/dev/null
mapfile -t targets < <(grep -v '^\s*$' "$root/fuzz/targets.txt")
cmake --build "$build" --target "${targets[@]/%/_fuzz}"
each=$(( seconds / ${#targets[@]} ))
(( each >= 1 )) || each=1

# Each input is read into fresh stores: ASan's filling of every new block and
# its 256 MiB quarantine of freed ones cost more page faults than the reading
# itself. A use after free within one input is still caught with 16 MiB.
export ASAN_OPTIONS="${ASAN_OPTIONS:-max_malloc_fill_size=0:quarantine_size_mb=16}"

artifacts="$build/artifacts"
mkdir -p "$artifacts"
# New inputs go to a scratch corpus, so the seeds in the tree stay as they are.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

status=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  echo "fuzzing $target for ${each}s"
  seeds=()
  [[ -d "$root/fuzz/corpus/$target" ]] && seeds=("$root/fuzz/corpus/$target")
  if ! "$build/fuzz/${target}_fuzz" "$work/$target" "${seeds[@]}" \
      -max_total_time="$each" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
      -artifact_prefix="$artifacts/${target}-" -print_final_stats=1 2>"$work/$target.log"; then
    status=1
    tail -n 60 "$work/$target.log"
    echo "fuzz target $target failed; see $artifacts" >&2
  else
    grep -E "^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)" "$work/$target.log" || true
  fi
done
exit "$status"
