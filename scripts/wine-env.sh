# Functions for running the Windows build headless under Wine. Source this file, then:
#   t905_wine_use_prefix DIR     export WINEPREFIX and the quiet Wine settings
#   t905_wine_prefix_ready       create or refresh the prefix (once, under a lock)
#   t905_wine_session_start BIN  a virtual display, one Wine server for the run and
#                                the desktop kept alive; stopped again by
#   t905_wine_session_stop       (also installed as the EXIT trap by session_start
#                                when the caller has none)
# The prefix gets: no window manager waits (Managed=N), Japanese fonts standing in for
# the Windows ones the window asks for, and the caption-button font.

# Bump when the prefix settings below change, so existing prefixes are refreshed.
T905_WINE_SETTINGS_VERSION=1

t905_wine_use_prefix() {
  local dir=$1
  if [[ -z $dir ]]; then
    echo "wine-env: no Wine prefix given" >&2
    return 1
  fi
  mkdir -p "$(dirname "$dir")"
  WINEPREFIX=$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")
  export WINEPREFIX
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No Mono or Gecko installer prompts, and no desktop menu entries written for the user.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# Registry settings as a .reg file. Names with Japanese characters import correctly
# only from UTF-16LE with a byte-order mark and CR LF line ends.
t905_wine_write_reg() {
  local out=$1
  {
    printf '\xff\xfe'
    sed 's/$/\r/' <<'REG' | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
REG
  } >"$out"
}

t905_wine_prefix_setup_locked() {
  local marker=$WINEPREFIX/.t905-settings
  if [[ -f $marker && $(<"$marker") == "$T905_WINE_SETTINGS_VERSION" ]]; then
    return 0
  fi
  local log=$WINEPREFIX.setup.log
  : >"$log"
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    wineboot -i >>"$log" 2>&1 || { echo "wine-env: wineboot failed, see $log" >&2; return 1; }
  fi
  local reg=$WINEPREFIX.settings.reg
  t905_wine_write_reg "$reg"
  wine regedit /S "$(winepath -w "$reg" 2>>"$log")" >>"$log" 2>&1 \
    || { echo "wine-env: registry import failed, see $log" >&2; return 1; }
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  cp -f /usr/share/wine/fonts/marlett.ttf "$fonts/" \
    || { echo "wine-env: marlett.ttf missing (package fonts-wine)" >&2; return 1; }
  # The server writes the registry to disk when it ends; wait for that so a settings
  # marker never outlives settings that were lost.
  timeout 60 wineserver -w >>"$log" 2>&1 || true
  echo "$T905_WINE_SETTINGS_VERSION" >"$marker"
}

t905_wine_prefix_ready() {
  local marker=$WINEPREFIX/.t905-settings
  if [[ -f $marker && $(<"$marker") == "$T905_WINE_SETTINGS_VERSION" ]]; then
    return 0
  fi
  # ctest starts several emulators at once; only one may create the prefix.
  (
    flock -w 300 9 || { echo "wine-env: timed out waiting for $WINEPREFIX.lock" >&2; exit 1; }
    t905_wine_prefix_setup_locked
  ) 9>"$WINEPREFIX.lock"
}

# Starts Xvfb on a free display and exports DISPLAY.
t905_xvfb_start() {
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 </dev/null &
  T905_XVFB_PID=$!
  local i
  for ((i = 0; i < 200; i++)); do
    [[ -s $numfile ]] && break
    if ! kill -0 "$T905_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  if [[ ! -s $numfile ]]; then
    rm -f "$numfile"
    echo "wine-env: Xvfb did not start" >&2
    T905_XVFB_PID=
    return 1
  fi
  DISPLAY=":$(head -n1 "$numfile")"
  export DISPLAY
  rm -f "$numfile"
}

# The first program that needs a desktop makes Wine start explorer.exe /desktop, which
# inherits that program's output pipe; ctest would then wait for it forever. A keeper
# started here with its output going nowhere owns the desktop for the whole run.
t905_desktop_start() {
  local keeper=$1
  if [[ ! -f $keeper ]]; then
    echo "wine-env: desktop keeper $keeper not built" >&2
    return 1
  fi
  local log=$WINEPREFIX.keeper.log
  : >"$log"
  # A regular file, not a pipe: nothing waits for it to close.
  wine "$keeper" 3600 >"$log" 2>&1 </dev/null &
  T905_KEEPER_PID=$!
  local i
  for ((i = 0; i < 600; i++)); do
    grep -q ready "$log" 2>/dev/null && return 0
    kill -0 "$T905_KEEPER_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "wine-env: the desktop keeper did not start, see $log" >&2
  return 1
}

t905_wine_session_start() {
  local keeper=$1
  t905_wine_prefix_ready || return 1
  t905_xvfb_start || return 1
  # A caller with an EXIT trap of its own calls t905_wine_session_stop from it.
  if [[ -z $(trap -p EXIT) ]]; then
    trap t905_wine_session_stop EXIT
  fi
  wineserver -p >/dev/null 2>&1 </dev/null
  t905_desktop_start "$keeper" || return 1
}

t905_wine_session_stop() {
  if [[ -n ${WINEPREFIX:-} ]]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  if [[ -n ${T905_KEEPER_PID:-} ]]; then
    kill "$T905_KEEPER_PID" 2>/dev/null || true
    wait "$T905_KEEPER_PID" 2>/dev/null || true
    T905_KEEPER_PID=
  fi
  if [[ -n ${T905_XVFB_PID:-} ]]; then
    kill "$T905_XVFB_PID" 2>/dev/null || true
    wait "$T905_XVFB_PID" 2>/dev/null || true
    T905_XVFB_PID=
  fi
}
