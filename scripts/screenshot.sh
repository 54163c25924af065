#!/usr/bin/env bash
# Writes the two pictures of the window shown in the README, taken on a
# virtual X display by the walk-through of scripts/drive.sh: the window after
# "2" has been typed into the millimetre field with the pointer away from the
# picture button (its normal face), and the same with the pointer on the
# button (its hover face).
#
#   scripts/screenshot.sh [OUTPUT.png [HOVER.png]]
#       (default: docs/screenshot.png and docs/screenshot-hover.png)
#
# MENSUREL_BIN names the program to start (default: build/app/mensurel).
# Anything else in the environment, such as QT_SCALE_FACTOR=2, reaches the
# program unchanged.
# Needs Debian's xvfb, xauth, xdotool and imagemagick.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
output="${1:-$root/docs/screenshot.png}"
hover="${2:-$root/docs/screenshot-hover.png}"

steps="$(mktemp -d)"
trap 'rm -rf "$steps"' EXIT
"$root/scripts/drive.sh" "$steps" >/dev/null

mkdir -p "$(dirname "$output")" "$(dirname "$hover")"
cp "$steps/09-away.png" "$output"
cp "$steps/08-hover.png" "$hover"
echo "$output"
echo "$hover"
