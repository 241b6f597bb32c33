#!/usr/bin/env bash
# The main job: builds t905cli and converts the bundled sample drawing with the bundled
# preset file in a scratch folder, exactly as the OK button would, then shows the
# summary and the start of the answer (Shift-JIS shown as UTF-8).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh --native

for sample in examples/JWC_TEMP.TXT examples/t905.dat; do
  if [[ ! -f $sample ]]; then
    echo "main-job: $sample is missing" >&2
    exit 1
  fi
done

echo "== building t905cli (native preset)"
mkdir -p build/logs
cmake --preset native >build/logs/main-job-configure.log 2>&1 \
  || { cat build/logs/main-job-configure.log >&2; exit 1; }
cmake --build --preset native --target t905cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/JWC_TEMP.TXT examples/t905.dat "$work/"
cli=$(pwd)/build/native/tools/t905cli

echo
echo "== sample: examples/JWC_TEMP.TXT ($(wc -l <"$work/JWC_TEMP.TXT") lines), presets: examples/t905.dat"
echo "== t905cli convert --summary"
# Files named, since by default t905cli uses the ones beside itself (as the window does).
"$cli" convert --summary --exchange "$work/JWC_TEMP.TXT" --presets "$work/t905.dat"

echo
echo "== the answer, first 30 of $(wc -l <"$work/JWC_TEMP.TXT") lines (JWC_TEMP.TXT as UTF-8)"
head -n 30 "$work/JWC_TEMP.TXT" | iconv -f CP932 -t UTF-8 | tr -d '\r'
