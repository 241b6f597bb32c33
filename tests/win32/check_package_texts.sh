#!/usr/bin/env bash
# Checks the batch files and the readme that ship beside the programs, in a folder:
#   check_package_texts.sh DIR [VERSION]   (DIR holds t905.bat, t905_tab1.bat, readme.txt)
# The host reads a batch file's directives and shows its first REM line, both as
# Shift-JIS; cmd.exe and Notepad on a Japanese system expect CR LF line ends. With
# VERSION the readme must name it.
set -uo pipefail
dir=$1
version=${2:-}
failures=0
fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

# Every line ends with CR LF, the bytes decode as code page 932, and there is Japanese text.
check_text_file() {
  local file=$1
  if [[ ! -s $file ]]; then
    fail "$file is missing or empty"
    return
  fi
  if [[ -n $(tail -c 2 "$file" | od -An -tx1 | tr -d ' \n' | grep -vx '0d0a') ]]; then
    fail "$file does not end with CR LF"
  fi
  local bare
  bare=$(LC_ALL=C grep -c -v $'\r$' "$file")
  [[ $bare == 0 ]] || fail "$file has $bare line(s) without CR LF"
  if ! iconv -f CP932 -t UTF-8 "$file" >/dev/null 2>&1; then
    fail "$file is not valid Shift-JIS (code page 932)"
  elif ! LC_ALL=C grep -q $'[\x81-\x9f\xe0-\xfc]' "$file"; then
    fail "$file holds no Japanese text"
  elif iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1 && LC_ALL=C grep -q $'\xe3' "$file"; then
    fail "$file looks like UTF-8, not Shift-JIS"
  fi
}

readme=$dir/readme.txt
check_text_file "$readme"

# One batch file the host runs: the description, the directives, the jump over them
# and the program run after the label. Prints the lines after the label.
check_bat() {
  local bat=$1 name
  name=$(basename "$bat")
  check_text_file "$bat"
  [[ -s $bat ]] || return
  local text first directives expected
  text=$(iconv -f CP932 -t UTF-8 "$bat" 2>/dev/null | tr -d '\r')
  first=$(head -n1 <<<"$text")
  # The first REM line is the description in the host's dialog.
  [[ $first == "REM "*レイヤ→線幅変換* ]] || fail "$name: first line is not the description REM: $first"
  # The directives, in order, exactly as the host expects them.
  directives=$(grep -E '^REM #' <<<"$text" | sed -E 's/^REM (#[a-z0-9]+).*/\1/' | tr '\n' ' ')
  expected="#jww #cd #zw #zz #zc #h1 #hc #g1 #ht10 #e "
  [[ $directives == "$expected" ]] || fail "$name: directives are '$directives', expected '$expected'"
  [[ $(LC_ALL=C grep -c $'^REM #hc [\x81-\xfc]' "$bat") == 1 ]] \
    || fail "$name: #hc carries no Japanese prompt"
  # No directive line may run as a command: a goto jumps over them to a label after #e.
  local goto_line label first_directive end_line label_line
  goto_line=$(grep -n -i -E '^@?goto ' <<<"$text" | head -n1 | cut -d: -f1)
  label=$(grep -i -E '^@?goto ' <<<"$text" | head -n1 | awk '{print $2}')
  first_directive=$(grep -n -E '^REM #' <<<"$text" | head -n1 | cut -d: -f1)
  end_line=$(grep -n -E '^REM #e$' <<<"$text" | head -n1 | cut -d: -f1)
  label_line=$(grep -n -i -x ":${label:-none}" <<<"$text" | head -n1 | cut -d: -f1)
  if [[ -z $goto_line || -z $label_line || -z $first_directive || -z $end_line ]] \
     || ((goto_line > first_directive || label_line < end_line)); then
    fail "$name: no goto from before the directives to a label after #e"
  fi
  # A trail byte that cmd.exe takes for an operator breaks the line on a system that does
  # not read the file as code page 932.
  if python3 - "$bat" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
i = 0
while i < len(data):
    b = data[i]
    if 0x81 <= b <= 0x9f or 0xe0 <= b <= 0xfc:
        if i + 1 < len(data) and data[i + 1] in b'|<>&^%"\\':
            sys.exit(0)
        i += 2
    else:
        i += 1
sys.exit(1)
PY
  then
    fail "$name: a Japanese character has a trail byte that cmd.exe reads as an operator"
  fi
  after_label=$(sed -n "$((${label_line:-0} + 1)),\$p" <<<"$text" | grep -v -i -E '^(@?rem |::)')
}

# The host waits for the batch file: the program must run in it, not be started apart.
check_bat "$dir/t905.bat"
if [[ -s $dir/t905.bat ]]; then
  run=$(grep -i 't905\.exe' <<<"$after_label" | head -n1)
  [[ -n $run ]] || fail "t905.bat: t905.exe is not run after the label"
  [[ ${run,,} != *start* ]] || fail "t905.bat: t905.exe is run with start: $run"
fi

# The table without the window: t905cli beside the batch file, table 1, and a pause
# only when it fails, so that its message can be read and a good run closes at once.
check_bat "$dir/t905_tab1.bat"
if [[ -s $dir/t905_tab1.bat ]]; then
  run=$(grep -i 't905cli\.exe' <<<"$after_label" | head -n1)
  [[ $run == '"%~dp0t905cli.exe" convert --tab 1' ]] \
    || fail "t905_tab1.bat: t905cli.exe is not run beside itself with --tab 1: $run"
  [[ $(head -n1 <<<"$(iconv -f CP932 -t UTF-8 "$dir/t905_tab1.bat" | tr -d '\r')") == *①* ]] \
    || fail "t905_tab1.bat: the description does not name table ①"
  pauses=$(grep -i -E 'pause' <<<"$after_label")
  [[ $pauses == "if errorlevel 1 pause" ]] || fail "t905_tab1.bat: pauses other than on failure: $pauses"
  run_line=$(grep -n -i 't905cli\.exe' <<<"$after_label" | head -n1 | cut -d: -f1)
  pause_line=$(grep -n -i 'pause' <<<"$after_label" | head -n1 | cut -d: -f1)
  ((${pause_line:-0} == ${run_line:-0} + 1)) || fail "t905_tab1.bat: the pause does not follow the run"
fi

if [[ -s $readme ]]; then
  text=$(iconv -f CP932 -t UTF-8 "$readme" 2>/dev/null | tr -d '\r')
  for word in t905.bat t905_tab1.bat t905cli.exe t905.dat 'C:\jww' 概要 動作環境 64 ビット 変更履歴 \
              免責 ブロックの解除 SmartScreen 更新 アンインストール ブロック 曲線 寸法図形 任意色 \
              '0.25 mm' 実行されなかった; do
    [[ $text == *"$word"* ]] || fail "readme.txt does not mention $word"
  done
  if [[ -n $version ]]; then
    [[ $text == *"$version"* ]] || fail "readme.txt does not name the version $version"
  fi
  # Notepad and a console of 80 columns show every line whole: a Shift-JIS byte is one
  # column, so no line may be longer than 80 bytes.
  wide=$(LC_ALL=C awk '{ sub(/\r$/, ""); if (length($0) > 80) printf "%d (%d) ", NR, length($0) }' "$readme")
  [[ -z $wide ]] || fail "readme.txt: lines wider than 80 columns: $wide"
fi

if ((failures)); then
  echo "$failures problem(s) in $dir"
  exit 1
fi
echo "ok: t905.bat, t905_tab1.bat and readme.txt in $dir"
