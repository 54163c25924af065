#!/usr/bin/env bash
# Uses the program on a virtual X display as a person would and writes a PNG
# picture of the window after every step: types into each field (one number
# out of range among them), then moves the pointer onto the bare window
# surface, onto the picture button and away again.
#
#   scripts/drive.sh [OUTPUT_DIR]      (default: build/drive)
#
# The pictures, in order:
#   01-start           right after start, pointer off the window
#   02-mils            "-2" typed into mils
#   03-inchs-too-large "1e400" typed into inchs: the other fields keep their
#                      texts, a notice at the field says the number is out of range
#   04-inchs           "1" typed into inchs
#   05-ums             "1000" typed into ums
#   06-mm              "2" typed into mm
#   07-normal          pointer on the bare surface: the normal face
#   08-hover           pointer on the button: the hover face
#   09-away            pointer back on the surface: the normal face again
#
# MENSUREL_BIN names the program to start (default: build/app/mensurel).
# Anything else in the environment, such as QT_SCALE_FACTOR=2, reaches the
# program unchanged. Needs Debian's xvfb, xauth, xdotool and imagemagick.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/build/drive}"
program="${MENSUREL_BIN:-$root/build/app/mensurel}"

if [[ ! -x "$program" ]]; then
  echo "drive.sh: no program at $program (build it first, or set MENSUREL_BIN)" >&2
  exit 1
fi
mkdir -p "$out"
out="$(cd "$out" && pwd)"

if [[ -z "${MENSUREL_DRIVE_DISPLAY_READY:-}" ]]; then
  # Run this script again inside a fresh X server on a free display, with a
  # 24-bit screen so the colours come out as the program draws them.
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    env MENSUREL_DRIVE_DISPLAY_READY=1 MENSUREL_BIN="$program" \
    bash "${BASH_SOURCE[0]}" "$out"
fi

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
xdotool mousemove 0 0

QT_QPA_PLATFORM=xcb "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window="$(timeout 30 xdotool search --sync --onlyvisible --name '^Mensurel$' | head -n 1)"
if [[ -z "$window" ]]; then
  echo "drive.sh: the window did not appear" >&2
  exit 1
fi
# There is no window manager to hand the window the focus; give it, as a
# desktop would.
xdotool windowfocus --sync "$window"
# The window's area on the screen. Pictures are cut from the whole screen so
# that tooltips, which are windows of their own, show as the user sees them.
eval "$(xdotool getwindowgeometry --shell "$window")"
area="${WIDTH}x${HEIGHT}+${X}+${Y}"

# Places in the window, in device-independent pixels from the top-left
# corner of its client area: the fields, the button, the bare surface.
# shellcheck source=scripts/design.sh
source "$root/scripts/design.sh"
build="$(dirname "$(dirname "$program")")"
[[ -f "$build/CMakeCache.txt" ]] || build="$root/build"
eval "$(cd "$root" && design_points "$build")"

shot() { # name [seconds to wait before]
  sleep "${2:-0.5}"
  import -window root -crop "$area" +repage "$out/$1.png"
  echo "$out/$1.png"
}
point() { # x y, scaled with the program's QT_SCALE_FACTOR
  xdotool mousemove --window "$window" \
    $(awk -v s="${QT_SCALE_FACTOR:-1}" -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", x * s, y * s }')
}
type_into() { # x y text: click into the field, replace its text by typing
  point "$1" "$2"
  xdotool click 1 key ctrl+a
  xdotool type --delay 50 -- "$3"
}

shot 01-start 1
type_into "${mils[@]}" "-2"
shot 02-mils
type_into "${inchs[@]}" "1e400"
shot 03-inchs-too-large
type_into "${inchs[@]}" "1"
shot 04-inchs
type_into "${ums[@]}" "1000"
shot 05-ums
type_into "${mm[@]}" "2"
shot 06-mm
point "${surface[@]}"
shot 07-normal
# Before the button's own tooltip comes up.
point "${button[@]}"
shot 08-hover 0.3
point "${surface[@]}"
shot 09-away

kill "$pid"
wait "$pid" 2>/dev/null || true
trap - EXIT
