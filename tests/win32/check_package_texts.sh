#!/usr/bin/env bash
# Checks the batch file and the readme that ship beside the programs, in a folder:
#   check_package_texts.sh DIR      (DIR holds t905.bat and readme.txt)
# The host reads the batch file's directives and shows its first REM line, both as
# Shift-JIS; cmd.exe and Notepad on a Japanese system expect CR LF line ends.
set -uo pipefail
dir=$1
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

bat=$dir/t905.bat
readme=$dir/readme.txt
check_text_file "$bat"
check_text_file "$readme"

if [[ -s $bat ]]; then
  text=$(iconv -f CP932 -t UTF-8 "$bat" 2>/dev/null | tr -d '\r')
  first=$(head -n1 <<<"$text")
  # The first REM line is the description in the host's dialog.
  [[ $first == "REM "*レイヤ→線幅変換* ]] || fail "t905.bat: first line is not the description REM: $first"
  # The directives, in order, exactly as the host expects them.
  directives=$(grep -E '^REM #' <<<"$text" | sed -E 's/^REM (#[a-z0-9]+).*/\1/' | tr '\n' ' ')
  expected="#jww #cd #zw #zz #zc #h1 #hc #g1 #ht10 #e "
  [[ $directives == "$expected" ]] || fail "t905.bat: directives are '$directives', expected '$expected'"
  [[ $(LC_ALL=C grep -c $'^REM #hc [\x81-\xfc]' "$bat") == 1 ]] \
    || fail "t905.bat: #hc carries no Japanese prompt"
  # No directive line may run as a command: a goto jumps over them to a label after #e.
  goto_line=$(grep -n -i -E '^@?goto ' <<<"$text" | head -n1 | cut -d: -f1)
  label=$(grep -i -E '^@?goto ' <<<"$text" | head -n1 | awk '{print $2}')
  first_directive=$(grep -n -E '^REM #' <<<"$text" | head -n1 | cut -d: -f1)
  end_line=$(grep -n -E '^REM #e$' <<<"$text" | head -n1 | cut -d: -f1)
  label_line=$(grep -n -i -x ":${label:-none}" <<<"$text" | head -n1 | cut -d: -f1)
  if [[ -z $goto_line || -z $label_line || -z $first_directive || -z $end_line ]] \
     || ((goto_line > first_directive || label_line < end_line)); then
    fail "t905.bat: no goto from before the directives to a label after #e"
  fi
  # The host waits for the batch file: the program must run in it, not be started apart.
  run=$(sed -n "$((${label_line:-0} + 1)),\$p" <<<"$text" | grep -i 't905\.exe' | head -n1)
  [[ -n $run ]] || fail "t905.bat: t905.exe is not run after the label"
  [[ ${run,,} != *start* ]] || fail "t905.bat: t905.exe is run with start: $run"
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
    fail "t905.bat: a Japanese character has a trail byte that cmd.exe reads as an operator"
  fi
fi

if [[ -s $readme ]]; then
  text=$(iconv -f CP932 -t UTF-8 "$readme" 2>/dev/null | tr -d '\r')
  for word in t905.bat t905.dat 'C:\jww' アンインストール ブロック 曲線 寸法図形; do
    [[ $text == *"$word"* ]] || fail "readme.txt does not mention $word"
  done
fi

if ((failures)); then
  echo "$failures problem(s) in $dir"
  exit 1
fi
echo "ok: t905.bat and readme.txt in $dir"
