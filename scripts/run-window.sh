#!/usr/bin/env bash
# Opens the real window of t905.exe under Wine for a person to use: builds the Windows
# program, puts it with the sample drawing and preset file into a scratch folder (as the
# host would), runs it on the current display and, once the window is closed, shows the
# answer it left (Shift-JIS shown as UTF-8) and what became of the preset file.
#   bash scripts/run-window.sh              on the current $DISPLAY
#   bash scripts/run-window.sh --headless   no display: a virtual one, a picture of the
#                                           window after a few seconds, then Cancel
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

headless=0
case ${1-} in
  "") ;;
  --headless) headless=1 ;;
  -h | --help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "usage: run-window.sh [--headless]" >&2; exit 2 ;;
esac

if [[ $headless == 0 && -z ${DISPLAY:-} ]]; then
  echo "run-window: no DISPLAY. Run this from a desktop session (or ssh -X), or use" >&2
  echo "  bash scripts/run-window.sh --headless   for a picture of the window" >&2
  exit 2
fi

bash scripts/install-deps.sh

mkdir -p build/logs
echo "== building t905.exe (windows preset)"
cmake --preset windows >build/logs/run-window-configure.log 2>&1 \
  || { cat build/logs/run-window-configure.log >&2; exit 1; }
cmake --build --preset windows --target t905 desktop_keeper

exe=$root/build/windows/app/win32/t905.exe
[[ -f $exe ]] || { echo "run-window: $exe was not built" >&2; exit 1; }

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
t905_wine_use_prefix "$root/build/windows/wineprefix"
echo "== preparing the Wine prefix $WINEPREFIX (the first time takes a while)"
t905_wine_prefix_ready

work=$(mktemp -d)
folder=$work/t905
mkdir -p "$folder"
cp "$exe" examples/JWC_TEMP.TXT examples/t905.dat "$folder/"
cp examples/t905.dat "$work/t905.dat.before"

if [[ $headless == 1 ]]; then
  t905_wine_session_start "$root/build/windows/tests/wine/desktop_keeper.exe"
fi
trap 'rm -rf "$work"; t905_wine_session_stop' EXIT

echo "== t905.exe in $folder on display $DISPLAY"
# From another working folder, as the host does: the program finds its files itself.
(cd "$work" && wine "$folder/t905.exe" >"$work/wine.log" 2>&1) &
tool=$!

if [[ $headless == 1 ]]; then
  shots=$root/build/windows/screenshots
  mkdir -p "$shots"
  id=
  for _ in $(seq 1 100); do
    id=$(xdotool search --name "$(printf 'レイヤ→線幅変換')" 2>/dev/null | tail -n1 || true)
    [[ -n $id ]] && break
    sleep 0.2
  done
  sleep 1
  import -window root "$shots/run-window.png"
  echo "== picture of the window: $shots/run-window.png"
  if [[ -n $id ]]; then
    xdotool windowfocus --sync "$id" key Escape 2>/dev/null || true
  fi
  sleep 2
  kill -0 "$tool" 2>/dev/null && wineserver -k >/dev/null 2>&1 || true
else
  echo "   Use the window; it ends with OK (answer written) or Cancel (answer hq)."
fi
wait "$tool" || true

answer=$folder/JWC_TEMP.TXT
echo
if [[ ! -f $answer ]]; then
  echo "== no answer file was left"
  exit 1
fi
lines=$(wc -l <"$answer")
first=$(head -n1 "$answer" | tr -d '\r')
case $first in
  hq) echo "== answer: hq (nothing handed back: Cancel, or the window was closed)" ;;
  hd) echo "== answer: hd and $((lines - 1)) more lines (the selection is replaced)" ;;
  *) echo "== answer without hd ($lines lines): the walk was stopped with Escape" ;;
esac
head -n 30 "$answer" | iconv -f CP932 -t UTF-8 | tr -d '\r'
[[ $lines -gt 30 ]] && echo "... ($lines lines in all)"

echo
if cmp -s "$folder/t905.dat" "$work/t905.dat.before"; then
  echo "== preset file unchanged"
else
  tab=$(sed -n 4p "$folder/t905.dat" | tr -d '\r')
  echo "== preset file saved: window at $(sed -n 1p "$folder/t905.dat" | tr -d '\r'),$(sed -n 2p "$folder/t905.dat" | tr -d '\r'), table $tab in use"
  diff <(iconv -f CP932 -t UTF-8 "$work/t905.dat.before" | tr -d '\r' | nl -ba) \
       <(iconv -f CP932 -t UTF-8 "$folder/t905.dat" | tr -d '\r' | nl -ba) | grep '^>' | head -n 20 || true
fi
