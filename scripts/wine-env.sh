# Sourced by scripts/windows.sh: a private Wine prefix on a private X
# display (Xvfb with openbox, so focus and keyboard work as on a desktop).
#
#   wine_env_start      new prefix and display; exports WINEPREFIX, DISPLAY
#   wine_run SECS ARGS  runs `wine ARGS` with a time limit, output kept
#   wine_set_dpi DPI    LogPixels for programs started afterwards
#   wine_env_stop       ends wineserver, openbox and Xvfb, removes the prefix
#
# Every call has a time limit. The first wine call starts wineserver and
# services that inherit stdout and stderr, so they are started here with
# their output sent to /dev/null before anything captures output.

WINE_ENV_DIR=
WINE_XVFB_PID=
WINE_WM_PID=

wine_env_start() {
  WINE_ENV_DIR=$(mktemp -d /tmp/mensurel-wine.XXXXXX)
  export WINEPREFIX=$WINE_ENV_DIR/prefix
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No Mono or Gecko download prompts in a fresh prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml="

  local fd_file=$WINE_ENV_DIR/display
  Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    >"$fd_file" 2>/dev/null &
  WINE_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  [ -s "$fd_file" ] || { echo "wine-env: Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(head -n1 "$fd_file")
  openbox --sm-disable >/dev/null 2>&1 &
  WINE_WM_PID=$!

  mkdir -p "$WINEPREFIX"
  timeout 30 wineserver -p >/dev/null 2>&1 </dev/null
  timeout 120 wine wineboot -i >/dev/null 2>&1 </dev/null || {
    echo "wine-env: wineboot failed" >&2
    return 1
  }
  # Test-machine settings: the window's first-choice Chinese face maps onto
  # the CJK font installed here, so Chinese shows as characters.
  cat >"$WINE_ENV_DIR/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Microsoft YaHei UI"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
REG
  timeout 60 wine regedit /S "$(winepath_of "$WINE_ENV_DIR/settings.reg")" >/dev/null 2>&1 </dev/null
}

# The Windows path of a Unix file (Wine maps / to Z:).
winepath_of() {
  printf 'Z:%s' "${1//\//\\}"
}

wine_run() {  # seconds, program and arguments
  local secs=$1
  shift
  timeout "$secs" wine "$@" </dev/null
}

wine_set_dpi() {  # dots per inch for programs started from now on
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$1" /f >/dev/null 2>&1 </dev/null
  # Newer Wine reads it when its server starts: start a new one.
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    timeout 30 wineserver -w >/dev/null 2>&1 || true
  fi
  [ -n "$WINE_WM_PID" ] && kill "$WINE_WM_PID" 2>/dev/null
  [ -n "$WINE_XVFB_PID" ] && kill "$WINE_XVFB_PID" 2>/dev/null
  wait "$WINE_WM_PID" "$WINE_XVFB_PID" 2>/dev/null
  [ -n "$WINE_ENV_DIR" ] && rm -rf "$WINE_ENV_DIR"
  WINE_ENV_DIR= WINE_WM_PID= WINE_XVFB_PID=
  return 0
}
