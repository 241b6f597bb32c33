#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target for the given number of
# seconds (default 60). Exits non-zero when a target finds a crash, a leak, a
# sanitizer report or a time-out; the input that did it is left in
# build/fuzz/artifacts/.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"

cmake --preset fuzz -S "$root" >/dev/null
cmake --build "$build" --target reader_fuzz

artifacts="$build/artifacts"
mkdir -p "$artifacts"
# New inputs go to a scratch corpus, so the seeds in the tree stay as they are.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

status=0
for target in reader; do
  mkdir -p "$work/$target"
  echo "fuzzing $target for ${seconds}s"
  if ! "$build/fuzz/${target}_fuzz" "$work/$target" "$root/fuzz/corpus/$target" \
      -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
      -artifact_prefix="$artifacts/${target}-" -print_final_stats=1 2>"$work/$target.log"; then
    status=1
    tail -n 60 "$work/$target.log"
    echo "fuzz target $target failed; see $artifacts" >&2
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$work/$target.log" || true
  fi
done
exit "$status"
