#!/usr/bin/env bash
# Starts the program on a virtual X display, waits for its window, writes a
# PNG picture of the window and closes the program again.
#
#   scripts/screenshot.sh [OUTPUT.png]      (default: docs/screenshot.png)
#
# MENSUREL_BIN names the program to start (default: build/app/mensurel).
# Anything else in the environment, such as QT_SCALE_FACTOR=2, reaches the
# program unchanged.
# Needs Debian's xvfb, xauth, xdotool and imagemagick.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
output="${1:-$root/docs/screenshot.png}"
program="${MENSUREL_BIN:-$root/build/app/mensurel}"

if [[ ! -x "$program" ]]; then
  echo "screenshot.sh: no program at $program (build it first, or set MENSUREL_BIN)" >&2
  exit 1
fi
mkdir -p "$(dirname "$output")"
output="$(cd "$(dirname "$output")" && pwd)/$(basename "$output")"

if [[ -z "${MENSUREL_SCREENSHOT_DISPLAY_READY:-}" ]]; then
  # Run this script again inside a fresh X server on a free display, with a
  # 24-bit screen so the colours come out as the program draws them.
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    env MENSUREL_SCREENSHOT_DISPLAY_READY=1 MENSUREL_BIN="$program" \
    bash "${BASH_SOURCE[0]}" "$output"
fi

# Keep the pointer off the window, so no hover or tooltip changes the picture.
xdotool mousemove 0 0

QT_QPA_PLATFORM=xcb "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window="$(timeout 30 xdotool search --sync --onlyvisible --name '^Mensurel$' | head -n 1)"
if [[ -z "$window" ]]; then
  echo "screenshot.sh: the window did not appear" >&2
  exit 1
fi
# There is no window manager to hand the window the focus; give it, as a
# desktop would, so the picture shows the focus in the first field. Then let
# the program paint.
xdotool windowfocus --sync "$window"
sleep 1
import -window "$window" "$output"

kill "$pid"
wait "$pid" 2>/dev/null || true
trap - EXIT
echo "$output"
