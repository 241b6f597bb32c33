#!/usr/bin/env bash
# Every test of the project, as CI runs it: installs the packages, then for each preset
# configures and builds (warnings are errors in every preset) and runs its tests — native, with
# sanitizers, the Windows build under Wine (Xvfb and a kept desktop, so the window's
# tests run too), and a bounded fuzz run. Every stage runs even after a failure; the
# summary at the end gives each stage's result and time, then "N passed, N failed":
# tests that ctest ran plus the check stages without ctest (fuzz run, window tests),
# with every stage that failed outright (a build, say) counted as one failure.
# Exits non-zero when anything failed.
#   bash scripts/test-all.sh                  every preset (what CI runs)
#   bash scripts/test-all.sh native windows   only the presets named
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

wanted=("$@")
for preset in "${wanted[@]}"; do
  case $preset in
    native | asan | windows | fuzz) ;;
    *) echo "usage: test-all.sh [native] [asan] [windows] [fuzz]" >&2; exit 2 ;;
  esac
done
want() {
  ((${#wanted[@]} == 0)) && return 0
  local preset
  for preset in "${wanted[@]}"; do [[ $preset == "$1" ]] && return 0; done
  return 1
}

fuzz_seconds=${T905_FUZZ_SECONDS:-60}
logs=$root/build/logs
mkdir -p "$logs"

stage_names=()
stage_results=()
stage_seconds=()
stage_notes=()
tests_passed=0
tests_failed=0

record() {  # name result seconds note
  stage_names+=("$1")
  stage_results+=("$2")
  stage_seconds+=("$3")
  stage_notes+=("$4")
}

# Runs one stage: its output goes to the terminal and to build/logs/<name>.log.
# Sets stage_ok to 1 when it succeeded.
run_stage() {
  local name=$1 kind=$2
  shift 2
  local file=${name//[^A-Za-z0-9]/-}
  file=$(sed -E 's/-+/-/g; s/-$//' <<<"$file")
  local log=$logs/$file.log
  echo
  echo "=== $name"
  local start=$SECONDS
  ("$@") 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local took=$((SECONDS - start))
  local note=""
  stage_ok=0
  ((rc == 0)) && stage_ok=1
  local line passed=0 failed=0 total
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [[ -n $line ]]; then
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((total - failed))
  fi
  case $kind in
    ctest | check)
      if [[ -n $line ]]; then
        note="$passed passed, $failed failed"
        tests_passed=$((tests_passed + passed))
        tests_failed=$((tests_failed + failed))
        # A run that failed without failing a test (a discovery error, say) still fails.
        if ((rc != 0 && failed == 0)); then tests_failed=$((tests_failed + 1)); fi
      elif ((rc != 0)); then
        tests_failed=$((tests_failed + 1))
      elif [[ $kind == check ]]; then
        tests_passed=$((tests_passed + 1))
      fi
      ;;
    build)
      if ((rc != 0)); then tests_failed=$((tests_failed + 1)); fi
      ;;
  esac
  record "$name" "$([[ $stage_ok == 1 ]] && echo ok || echo FAILED)" "$took" "$note"
  return 0
}

skip_stage() {  # name why
  echo
  echo "=== $1: skipped ($2)"
  record "$1" skipped 0 "$2"
}

build_preset() {
  cmake --preset "$1" && cmake --build --preset "$1"
}

ctest_preset() {
  local preset=$1
  shift
  ctest --preset "$preset" --no-tests=error --timeout 300 "$@"
}

windows_tests() {
  # shellcheck source=wine-env.sh
  source scripts/wine-env.sh
  t905_wine_use_prefix "$root/build/windows/wineprefix"
  trap t905_wine_session_stop EXIT
  t905_wine_session_start "$root/build/windows/tests/wine/desktop_keeper.exe" || return 1
  echo "Wine prefix $WINEPREFIX, display $DISPLAY"
  ctest_preset windows "$@"
}

# scripts/window-tests.sh runs the tests that drive the real window (window_harness.*)
# and check the package (package.*) on a display of its own; when it is there, the
# whole Windows run leaves those out so that each test runs once.
window_tests_pattern='^(window_harness|package)\.'

run_stage "install packages" build bash scripts/install-deps.sh
if [[ $stage_ok != 1 ]]; then
  echo "test-all: the packages could not be installed; the stages below will fail" >&2
fi

for preset in native asan; do
  want "$preset" || continue
  run_stage "$preset build" build build_preset "$preset"
  if [[ $stage_ok == 1 ]]; then
    run_stage "$preset tests" ctest ctest_preset "$preset"
  else
    skip_stage "$preset tests" "build failed"
  fi
done

if want windows; then
  run_stage "windows build" build build_preset windows
  if [[ $stage_ok != 1 ]]; then
    skip_stage "windows tests (Wine)" "build failed"
  elif [[ -f scripts/window-tests.sh ]]; then
    run_stage "windows tests (Wine)" ctest windows_tests -E "$window_tests_pattern"
    run_stage "window tests (Wine)" check bash scripts/window-tests.sh
  else
    run_stage "windows tests (Wine)" ctest windows_tests
  fi
fi

if want fuzz; then
  run_stage "fuzz build" build build_preset fuzz
  if [[ $stage_ok != 1 ]]; then
    skip_stage "fuzz run" "build failed"
  elif [[ -f scripts/fuzz.sh ]]; then
    run_stage "fuzz run (${fuzz_seconds} s)" check bash scripts/fuzz.sh "$fuzz_seconds"
  else
    skip_stage "fuzz run" "scripts/fuzz.sh not present"
  fi
fi

echo
echo "=== summary (logs in build/logs)"
any_failed=0
for i in "${!stage_names[@]}"; do
  printf '%-26s %-8s %5s s  %s\n' "${stage_names[$i]}" "${stage_results[$i]}" \
    "${stage_seconds[$i]}" "${stage_notes[$i]}"
  [[ ${stage_results[$i]} == FAILED ]] && any_failed=1
done
printf '%-26s %-8s %5s s\n' "total" "" "$SECONDS"
echo "$tests_passed passed, $tests_failed failed"
if ((any_failed || tests_failed)); then exit 1; fi
exit 0
