#!/usr/bin/env bash
# The Windows program under Wine on a private X display, for a person to look
# at (its tests are ctest's: cmake --workflow --preset windows).
#   scripts/windows.sh shot [FILE.png] [DPI]
#       a picture of the window (SHOT_NOTICE=1: with the out-of-range notice)
#   scripts/windows.sh drive [DIR] [DPI]
#       real X input as a user gives it: typing in the four fields, a digit
#       rolled over Tab, copy and paste, the hover swap, a click on the face
#       (a stand-in xdg-open behind Wine's browser hand-off records the
#       address); a PNG after each step in DIR; fails when the click did not
#       hand over the site's address
#   scripts/windows.sh measure [N]
#       start-up and memory against a bare window, and the DLLs each loads
# Uses the build in $MENSUREL_WINDOWS_BUILD (build-windows), built first if
# missing; installs the Debian packages it needs (root or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${MENSUREL_WINDOWS_BUILD:-build-windows}
EXE=$BUILD_DIR/app/win32/mensurel.exe
# shellcheck source=scripts/apt.sh
source scripts/apt.sh
# shellcheck source=scripts/design.sh
source scripts/design.sh

install_missing $(packages windows)
if [ ! -f "$EXE" ]; then
  cmake --preset windows -B "$BUILD_DIR" >/dev/null && cmake --build "$BUILD_DIR"
fi

desktop() { python3 scripts/wine_desktop.py "$@"; }

# A desktop of its own at DPI, ended on exit; the program's window WINDOW
# shows on it, with the stand-in xdg-open first on the path.
start() {  # dpi
  STATE=$(mktemp -d /tmp/mensurel-wine.XXXXXX)
  trap 'desktop stop "$STATE"; rm -rf "$STATE"' EXIT
  desktop start "$STATE" >/dev/null
  desktop dpi "$STATE" "$1"
  export DISPLAY WINEPREFIX=$STATE/prefix
  DISPLAY=$(cat "$STATE/display")
  mkdir -p "$STATE/bin"
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/xdg-open.log"\n' "$STATE" >"$STATE/bin/xdg-open"
  chmod +x "$STATE/bin/xdg-open"
  WINDOW=$(PATH=$STATE/bin:$PATH desktop show "$STATE" Mensurel "$EXE")
  eval "$(design_points "$BUILD_DIR" "$1")"
  sleep 1
}

# A PNG of the screen where the window and its frame are, popups over it
# (tooltips, the notice) included, and `extra` pixels to the right of it.
grab() {  # file, [extra]
  local w=$WINDOW parent
  while parent=$(xwininfo -children -id "$w" | sed -n 's/^  Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
    [ -n "$parent" ] && ! xwininfo -id "$parent" | grep -q '(the root window)'; do
    w=$parent
  done
  import -window root -crop "$(xwininfo -id "$w" | awk -v extra="${2:-0}" '
    /Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF}
    /Height:/{h=$NF} END{printf "%dx%d+%d+%d", w + extra, h, x, y}')" +repage "$1"
}

at() { xdotool mousemove --window "$WINDOW" "$@"; }

cmd_shot() {
  local out=${1:-docs/screenshot-windows.png} dpi=${2:-96} extra=0
  start "$dpi"
  if [ -n "${SHOT_NOTICE:-}" ]; then
    at "${mils[@]}" click 1
    xdotool key --delay 30 ctrl+a 1 e 9 9 9
    at "${surface[@]}"
    sleep 1
    extra=$((110 * dpi / 96)) # the notice may reach past the window's right edge
  fi
  grab "$out" "$extra"
  echo "shot: $out"
}

cmd_drive() {
  local dir=${1:-$BUILD_DIR/drive} n=0
  mkdir -p "$dir"
  rm -f "$dir"/*.png
  start "${2:-96}"
  snap() { sleep 0.4; n=$((n + 1)); grab "$dir/$(printf %02d "$n")-$1.png"; }
  type_in() { at "${!1}" click 1; xdotool key --delay 40 ctrl+a "${@:2}"; }
  type_in 'mils[@]' 2 5 period 4; snap mils-25.4
  type_in 'mm[@]' 2; snap mm-2
  type_in 'inchs[@]' minus 1; snap inchs-minus-1
  type_in 'ums[@]' 1 0 0 0; snap ums-1000
  # A digit still down as Tab moves on: mils keeps "17", the others follow it.
  type_in 'mils[@]' 1 sleep 0.1 keydown 7 keydown Tab keyup 7 keyup Tab
  snap mils-17-rolled-over-tab
  type_in 'inchs[@]' ctrl+c
  type_in 'mils[@]' ctrl+v; snap mils-pasted
  at "${surface[@]}"; snap surface-command1
  at "${button[@]}"; snap hover-command2
  xdotool click 1
  for _ in $(seq 1 50); do
    [ -s "$STATE/xdg-open.log" ] && break
    sleep 0.1
  done
  local opened
  opened=$(cat "$STATE/xdg-open.log" 2>/dev/null || true)
  echo "drive: xdg-open was given: ${opened:-nothing}; pictures in $dir"
  [[ $opened == *"$site_host"* ]]
}

case "${1:-}" in
  shot) shift; cmd_shot "$@" ;;
  drive) shift; cmd_drive "$@" ;;
  measure) python3 bench/startup.py windows "$BUILD_DIR" "${2:-11}" ;;
  *) echo "usage: $0 shot [FILE.png] [DPI]|drive [DIR] [DPI]|measure [N]" >&2; exit 2 ;;
esac
