#!/usr/bin/env bash
# The Windows program, cross-built with MinGW-w64 and checked under Wine.
#   scripts/windows.sh build   build-windows/: mensurel.exe, installer, zip
#   scripts/windows.sh test    build, then under Wine: the core tests, the
#                              window tests, the installer
#   scripts/windows.sh shot [FILE.png] [DPI]
#                              screenshot of the window under Wine and Xvfb
#   scripts/windows.sh measure [N]
#                              start-up and memory against a minimal window
# Installs the Debian packages it needs when they are missing (root or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=build-windows
JOBS=$(($(nproc) < 2 ? $(nproc) : 2))
WINDOWS_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest nsis wine wine64 xvfb xauth openbox xdotool imagemagick x11-utils
  fonts-wqy-microhei fonts-liberation)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

version() {
  sed -n 's/^project(mensurel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt
}

cmd_build() {
  install_missing "${WINDOWS_PACKAGES[@]}"
  cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DMENSUREL_BUILD_UI=OFF -DMENSUREL_BUILD_BENCH=OFF \
    -DMENSUREL_BUILD_TESTS=ON -DMENSUREL_FUZZ=OFF -DMENSUREL_SANITIZE= >/dev/null
  cmake --build "$BUILD_DIR" -j"$JOBS"
  local v
  v=$(version)
  echo "== Windows build:"
  ls -l "$BUILD_DIR/app/win32/mensurel.exe" "$BUILD_DIR/packages/mensurel-$v-setup.exe" \
    "$BUILD_DIR/packages/mensurel-$v-win64.zip"
  echo "imports:" $(x86_64-w64-mingw32-objdump -p "$BUILD_DIR/app/win32/mensurel.exe" |
    sed -n 's/.*DLL Name: //p')
}

# Silent install, then silent uninstall, in the current prefix.
installer_test() {
  local setup=$BUILD_DIR/packages/mensurel-$(version)-setup.exe
  local dir=$WINEPREFIX/drive_c/Program\ Files/Mensurel
  local link=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Mensurel.lnk
  local key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mensurel'
  local failed=0 i
  wine_run 120 "$setup" /S >/dev/null 2>&1 || true
  # A 64-bit installer's exit code says little under Wine: look at the files.
  [ -f "$dir/mensurel.exe" ] || { echo "installer: mensurel.exe not installed"; failed=1; }
  [ -f "$dir/uninstall.exe" ] || { echo "installer: uninstall.exe not installed"; failed=1; }
  [ -f "$link" ] || { echo "installer: Start-menu shortcut missing"; failed=1; }
  cmp -s "$dir/mensurel.exe" "$BUILD_DIR/app/win32/mensurel.exe" ||
    { echo "installer: installed mensurel.exe differs from the build"; failed=1; }
  wine_run 30 reg query "$key" /v UninstallString 2>/dev/null | grep -q 'uninstall.exe' ||
    { echo "installer: no uninstaller in the list of installed programs"; failed=1; }
  # The uninstaller copies itself to Temp and returns at once: wait for the files to go.
  wine_run 60 "C:\\Program Files\\Mensurel\\uninstall.exe" /S >/dev/null 2>&1 || true
  for i in $(seq 1 150); do
    [ ! -e "$dir" ] && [ ! -e "$link" ] && break
    sleep 0.2
  done
  [ ! -e "$dir/mensurel.exe" ] || { echo "uninstaller: mensurel.exe left behind"; failed=1; }
  [ ! -e "$link" ] || { echo "uninstaller: shortcut left behind"; failed=1; }
  [ ! -e "$dir" ] || { echo "uninstaller: install folder left behind"; failed=1; }
  if wine_run 30 reg query "$key" >/dev/null 2>&1; then
    echo "uninstaller: still listed among installed programs"
    failed=1
  fi
  if [ "$failed" -eq 0 ]; then echo "installer: 1 passed, 0 failed"; else echo "installer: 0 passed, 1 failed"; fi
  return "$failed"
}

cmd_test() {
  cmd_build
  local start=$SECONDS status=0
  echo "== Windows tests under Wine"
  trap wine_env_stop EXIT
  wine_env_start
  ctest --test-dir "$BUILD_DIR" -j"$JOBS" --output-on-failure --timeout 300 || status=1
  installer_test || status=1
  wine_env_stop
  trap - EXIT
  echo "== Windows tests took $((SECONDS - start)) s"
  return "$status"
}

# Starts mensurel.exe under Wine and writes a PNG of its window.
cmd_shot() {
  local out=${1:-docs/screenshot-windows.png} dpi=${2:-96}
  [ -f "$BUILD_DIR/app/win32/mensurel.exe" ] || cmd_build
  trap wine_env_stop EXIT
  wine_env_start
  wine_set_dpi "$dpi"
  wine "$BUILD_DIR/app/win32/mensurel.exe" >/dev/null 2>&1 </dev/null &
  local id= i
  for i in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name '^Mensurel$' 2>/dev/null | head -n1) || true
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "shot: the window did not appear" >&2; return 1; }
  sleep "${SHOT_SETTLE:-1}"
  import -window root -crop "$(xwininfo -id "$(frame_of "$id")" |
    awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
         /Width:/{w=$NF} /Height:/{h=$NF} END{printf "%dx%d+%d+%d", w, h, x, y}')" \
    +repage "$out"
  echo "shot: $out"
  wine_env_stop
  trap - EXIT
}

# The window manager's frame around a client window (the window itself when
# it has none).
frame_of() {
  local w=$1 parent
  while :; do
    parent=$(xwininfo -children -id "$w" | sed -n 's/^  Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    [ -z "$parent" ] && break
    xwininfo -id "$parent" | grep -q '(the root window)' && break
    w=$parent
  done
  echo "$w"
}

# Start-up (launch until the window is mapped) and resident memory of
# mensurel.exe against the baseline window, under Wine, N runs each,
# alternating after one warm-up run of each. Prints medians and ratios.
cmd_measure() {
  local runs=${1:-11} out i
  [ -f "$BUILD_DIR/tests/win32/baseline_window.exe" ] || cmd_build
  trap wine_env_stop EXIT
  wine_env_start
  out=$(mktemp)
  for ((i = 0; i <= runs; i++)); do
    measure_one baseline "$BUILD_DIR/tests/win32/baseline_window.exe" '^Baseline$' >>"$out"
    measure_one mensurel "$BUILD_DIR/app/win32/mensurel.exe" '^Mensurel$' >>"$out"
  done
  sed -i '1,2d' "$out" # the warm-up runs
  local bs ms bm mm
  bs=$(median 2 baseline <"$out"); ms=$(median 2 mensurel <"$out")
  bm=$(median 3 baseline <"$out"); mm=$(median 3 mensurel <"$out")
  rm -f "$out"
  printf 'runs each:              %d\n' "$runs"
  printf 'start-up median (ms):   baseline %.0f  mensurel %.0f  ratio %.2f\n' "$bs" "$ms" \
    "$(awk -v a="$ms" -v b="$bs" 'BEGIN { print a / b }')"
  printf 'resident median (KiB):  baseline %d  mensurel %d  ratio %.2f\n' "$bm" "$mm" \
    "$(awk -v a="$mm" -v b="$bm" 'BEGIN { print a / b }')"
  printf 'mensurel.exe:           %d bytes\n' "$(stat -c %s "$BUILD_DIR/app/win32/mensurel.exe")"
  wine_env_stop
  trap - EXIT
}

measure_one() {  # name, exe, window-title pattern
  local t0 t1 id= pid rss launcher
  t0=$(date +%s%N)
  wine "$2" >/dev/null 2>&1 </dev/null &
  launcher=$!
  while [ -z "$id" ]; do
    id=$(xdotool search --onlyvisible --name "$3" 2>/dev/null | head -n1) || true
    [ $(($(date +%s%N) - t0)) -lt 20000000000 ] || { echo "measure: $1 did not appear" >&2; return 1; }
    [ -n "$id" ] || sleep 0.005
  done
  t1=$(date +%s%N)
  pid=$(xdotool getwindowpid "$id")
  sleep 1
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  kill "$pid" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
  echo "$1 $(((t1 - t0) / 1000000)) $rss"
}

median() {  # column, name
  awk -v c="$1" -v n="$2" '$1 == n { print $c }' | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

case "${1:-}" in
  build) cmd_build ;;
  test) cmd_test ;;
  shot) shift; cmd_shot "$@" ;;
  measure) shift; cmd_measure "$@" ;;
  *) echo "usage: $0 build|test|shot [FILE.png] [DPI]|measure [N]" >&2; exit 2 ;;
esac
