#!/usr/bin/env bash
# The Windows program, cross-built with MinGW-w64 and checked under Wine.
#   scripts/windows.sh build   build-windows/: mensurel.exe, installer, zip
#   scripts/windows.sh test    build, then ctest under Wine: the core and ui
#                              tests, the window tests, the window at 192 dpi,
#                              the DLLs loaded at start, the imports, the
#                              installer and its cases
#                              (tests/win32/installer_test.sh), clang-tidy on
#                              the Win32 sources
#   scripts/windows.sh check imports|dpi N|startup|installer|installer-cases
#                              one of those checks, as ctest runs it
#   scripts/windows.sh shot [FILE.png] [DPI]
#                              screenshot of the window under Wine and Xvfb
#                              (SHOT_NOTICE=1: with the out-of-range notice)
#   scripts/windows.sh drive [DIR] [DPI]
#                              real X input: typing, rollover, paste, hover, click
#   scripts/windows.sh measure [N]
#                              start-up and memory against a minimal window,
#                              and the DLLs each loads at start
# Installs the Debian packages it needs when they are missing (root or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${MENSUREL_WINDOWS_BUILD:-build-windows}
JOBS=$(($(nproc) < 2 ? $(nproc) : 2))
# Warnings stop the build only in the test command.
WARNINGS_AS_ERRORS=OFF
WINDOWS_PACKAGES=(cmake make g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest nsis zip wine xvfb xauth openbox xdotool imagemagick x11-utils
  fonts-wqy-microhei fonts-liberation)

# shellcheck source=scripts/apt.sh
source scripts/apt.sh

# The 64-bit loader is a package of its own where the release has one.
windows_packages() {
  local p
  for p in "${WINDOWS_PACKAGES[@]}"; do echo "$p"; done
  installed wine64 || available wine64 || apt_update >&2
  if installed wine64 || available wine64; then echo wine64; fi
}

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
# shellcheck source=scripts/design.sh
source scripts/design.sh
# shellcheck source=tests/win32/installer_test.sh
source tests/win32/installer_test.sh

version() {
  sed -n 's/^project(mensurel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt
}

cmd_build() {
  local packages
  mapfile -t packages < <(windows_packages)
  install_missing "${packages[@]}"
  cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DMENSUREL_BUILD_UI=OFF -DMENSUREL_BUILD_BENCH=OFF \
    -DBUILD_TESTING=ON -DMENSUREL_FUZZ=OFF -DMENSUREL_SANITIZE= \
    -DCMAKE_COMPILE_WARNING_AS_ERROR="$WARNINGS_AS_ERRORS" >/dev/null
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
  local failed=0 i code=0
  # `wine setup.exe` returns the installer's exit code; the files tell the rest.
  wine_run 120 "$setup" /S >/dev/null 2>&1 || code=$?
  [ "$code" -eq 0 ] || { echo "installer: exit code $code"; failed=1; }
  # The uninstaller exists only once written by the installer.
  protections_test "$dir/uninstall.exe" || failed=1
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
  [ ! -e "$dir" ] || { echo "uninstaller: install folder left behind:" "$dir"/*; failed=1; }
  if wine_run 30 reg query "$key" >/dev/null 2>&1; then
    echo "uninstaller: still listed among installed programs"
    failed=1
  fi
  if [ "$failed" -eq 0 ]; then echo "installer: 1 passed, 0 failed"; else echo "installer: 0 passed, 1 failed"; fi
  return "$failed"
}

# mensurel.exe must run on a bare Windows: it may import only system DLLs.
imports_test() {
  local dll bad=
  for dll in $(x86_64-w64-mingw32-objdump -p "$BUILD_DIR/app/win32/mensurel.exe" |
    sed -n 's/.*DLL Name: //p'); do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | shell32.dll | ole32.dll | \
        oleaut32.dll | oleacc.dll | msimg32.dll | msvcrt.dll | shlwapi.dll | advapi32.dll | \
        windowscodecs.dll | uxtheme.dll | shcore.dll) ;;
      *) bad="$bad $dll" ;;
    esac
  done
  if [ -n "$bad" ]; then
    echo "imports: mensurel.exe needs DLLs Windows does not ship:$bad"
    echo "imports: 0 passed, 1 failed"
    return 1
  fi
  echo "imports: 1 passed, 0 failed"
}

# Windows' exploit protections, as the PE header's DllCharacteristics ask
# for them: address-space randomisation (64-bit, high entropy) and a
# non-executable stack and heap, for the program, the installer and the
# uninstaller the installer writes (checked by installer_test).
protections_test() {  # files
  local file flag passed=0 failed=0 flags
  for file in "$@"; do
    flags=$(x86_64-w64-mingw32-objdump -p "$file" 2>/dev/null |
      sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p') || true
    for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
      if grep -qw "$flag" <<<"$flags"; then
        passed=$((passed + 1))
      else
        echo "protections: $(basename "$file") lacks $flag"
        failed=$((failed + 1))
      fi
    done
  done
  echo "protections: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# mensurel.exe starts with only what its first frame needs: once its window
# is up it has loaded no DLL the bare window of bench/win32 does not load.
# COM, accessibility, the shell and the shell's scaling API come when first
# used (an assistive tool asking, a click, a second monitor).
startup_test() {
  local base prog extra
  if ! base=$(start_dlls "$BUILD_DIR/bench/win32/baseline_window.exe" '^Baseline$') ||
    ! prog=$(start_dlls "$BUILD_DIR/app/win32/mensurel.exe" '^Mensurel$'); then
    echo "start-up DLLs: 0 passed, 1 failed"
    return 1
  fi
  extra=$(comm -13 <(echo "$base") <(echo "$prog") | xargs)
  if [ -n "$extra" ]; then
    echo "start-up DLLs: mensurel.exe loads at start what the bare window does not: $extra"
    echo "start-up DLLs: 0 passed, 1 failed"
    return 1
  fi
  echo "start-up DLLs: 1 passed, 0 failed"
}

# The window's geometry again at another DPI, in a program started after
# the DPI is set.
dpi_test() {  # dpi
  local status=0
  wine_set_dpi "$1"
  MENSUREL_TEST_DPI=$1 wine_run 120 "$BUILD_DIR/tests/win32/window_scenarios.exe" \
    --gtest_filter='Layout.*' --gtest_brief=1 || status=1
  wine_set_dpi 96
  if [ "$status" -eq 0 ]; then
    echo "window at $1 dpi: 1 passed, 0 failed"
  else
    echo "window at $1 dpi: 0 passed, 1 failed"
  fi
  return "$status"
}

# Every Windows check is a ctest test of the Windows build (labels win32,
# package, installer, lint, core, ui); they run here in one Wine prefix on
# one X display.
cmd_test() {
  WARNINGS_AS_ERRORS=ON
  cmd_build
  local start=$SECONDS status=0
  echo "== Windows tests under Wine"
  trap wine_env_stop EXIT
  wine_env_start
  # A Wine process now and then dies at start, before the test program runs
  # and without a word (about one start in a thousand here); such a test
  # gets two more tries. A test that fails on its own merits fails all three.
  ctest --test-dir "$BUILD_DIR" -j"$JOBS" --output-on-failure --timeout 300 \
    --repeat until-pass:3 || status=1
  wine_env_stop
  trap - EXIT
  echo "== Windows tests took $((SECONDS - start)) s"
  return "$status"
}

# One check of the Windows build, as ctest runs it (tests/win32), in the Wine
# prefix and display the environment names (WINEPREFIX, DISPLAY).
cmd_check() {
  case "${1:-}" in
    imports)
      local status=0
      imports_test || status=1
      protections_test "$BUILD_DIR/app/win32/mensurel.exe" \
        "$BUILD_DIR/packages/mensurel-$(version)-setup.exe" || status=1
      return "$status"
      ;;
    dpi) dpi_test "${2:?dots per inch}" ;;
    startup) startup_test ;;
    installer) installer_test ;;
    installer-cases) installer_rows_test ;;
    *) echo "usage: $0 check imports|dpi N|startup|installer|installer-cases" >&2; return 2 ;;
  esac
}

# The X window of the program's main window, once it is shown (10 s at most).
window_id() {
  local id i
  for i in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name '^Mensurel$' 2>/dev/null | head -n1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Starts mensurel.exe under Wine and writes a PNG of its window.
cmd_shot() {
  local out=${1:-docs/screenshot-windows.png} dpi=${2:-96}
  [ -f "$BUILD_DIR/app/win32/mensurel.exe" ] || cmd_build
  trap wine_env_stop EXIT
  wine_env_start
  wine_set_dpi "$dpi"
  wine "$BUILD_DIR/app/win32/mensurel.exe" >/dev/null 2>&1 </dev/null &
  local id
  id=$(window_id) || { echo "shot: the window did not appear" >&2; return 1; }
  sleep "${SHOT_SETTLE:-1}"
  if [ -n "${SHOT_NOTICE:-}" ]; then
    # Types a number beyond the range into mils, so the warning shows.
    local mils surface
    eval "$(design_points "$BUILD_DIR" "$dpi")"
    xdotool mousemove --window "$id" "${mils[@]}" click 1
    xdotool key --delay 30 ctrl+a 1 e 9 9 9
    xdotool mousemove --window "$id" "${surface[@]}"
    sleep 1
  fi
  # The notice may reach past the window's right edge.
  grab "$id" "$out" "$([ -n "${SHOT_NOTICE:-}" ] && echo $((110 * dpi / 96)) || echo 0)"
  echo "shot: $out"
  wine_env_stop
  trap - EXIT
}

# Writes a PNG of the screen where window `id` and its frame are, popups
# over it (tooltips, the notice) included.
grab() {  # id, file, [extra pixels to the right]
  import -window root -crop "$(xwininfo -id "$(frame_of "$1")" |
    awk -v extra="${3:-0}" '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
         /Width:/{w=$NF} /Height:/{h=$NF} END{printf "%dx%d+%d+%d", w + extra, h, x, y}')" \
    +repage "$2"
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

# Drives mensurel.exe under Wine with real X key and pointer events as a
# user would: typing in all four fields, a digit rolled over Tab, a copy and
# paste, the hover swap and a click on the face, with a stand-in xdg-open
# behind Wine's browser hand-off. Writes a PNG after each step into DIR for a look; fails when the
# click did not reach xdg-open with the site's address.
cmd_drive() {
  local dir=${1:-build-windows/drive} dpi=${2:-96}
  [ -f "$BUILD_DIR/app/win32/mensurel.exe" ] || cmd_build
  mkdir -p "$dir"
  rm -f "$dir"/*.png
  trap wine_env_stop EXIT
  wine_env_start
  wine_set_dpi "$dpi"
  local fake=$WINE_ENV_DIR/bin
  mkdir -p "$fake"
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/xdg-open.log"\n' "$WINE_ENV_DIR" >"$fake/xdg-open"
  chmod +x "$fake/xdg-open"
  PATH=$fake:$PATH wine "$BUILD_DIR/app/win32/mensurel.exe" >/dev/null 2>&1 </dev/null &
  local id
  id=$(window_id) || { echo "drive: the window did not appear" >&2; return 1; }
  sleep 1
  local n=0 mils mm inchs ums button surface site_host
  eval "$(design_points "$BUILD_DIR" "$dpi")"
  at() { xdotool mousemove --window "$id" "$@"; }
  snap() { sleep 0.4; n=$((n + 1)); grab "$id" "$dir/$(printf %02d "$n")-$1.png"; }
  at "${mils[@]}"; xdotool click 1 key --delay 40 ctrl+a 2 5 period 4; snap mils-25.4
  at "${mm[@]}"; xdotool click 1 key --delay 40 ctrl+a 2; snap mm-2
  at "${inchs[@]}"; xdotool click 1 key --delay 40 ctrl+a minus 1; snap inchs-minus-1
  at "${ums[@]}"; xdotool click 1 key --delay 40 ctrl+a 1 0 0 0; snap ums-1000
  # A digit still down as Tab moves on: mils keeps "17", the others follow it.
  at "${mils[@]}"; xdotool click 1 key --delay 40 ctrl+a 1 sleep 0.1 keydown 7 keydown Tab keyup 7 keyup Tab
  snap mils-17-rolled-over-tab
  # Copy the inch value and paste it into mils.
  at "${inchs[@]}"; xdotool click 1 key --delay 40 ctrl+a ctrl+c
  at "${mils[@]}"; xdotool click 1 key --delay 40 ctrl+a ctrl+v; snap mils-pasted
  at "${surface[@]}"; snap surface-command1
  at "${button[@]}"; snap hover-command2
  xdotool click 1
  for i in $(seq 1 50); do
    [ -s "$WINE_ENV_DIR/xdg-open.log" ] && break
    sleep 0.1
  done
  local opened=
  opened=$(cat "$WINE_ENV_DIR/xdg-open.log" 2>/dev/null || true)
  echo "drive: xdg-open was given: ${opened:-nothing}"
  echo "drive: pictures in $dir"
  wine_env_stop
  trap - EXIT
  [[ $opened == *"$site_host"* ]]
}

# Start-up (launch until the window is mapped) and resident memory of
# mensurel.exe against the baseline window, under Wine, N runs each,
# alternating after one warm-up run of each. Prints medians and ratios, then
# the DLLs mensurel.exe has loaded at start and those the baseline has not.
cmd_measure() {
  local runs=${1:-11} out i
  [ -f "$BUILD_DIR/bench/win32/baseline_window.exe" ] || cmd_build
  trap wine_env_stop EXIT
  wine_env_start
  out=$(mktemp)
  for ((i = 0; i <= runs; i++)); do
    measure_one baseline "$BUILD_DIR/bench/win32/baseline_window.exe" '^Baseline$' >>"$out" ||
      measure_one baseline "$BUILD_DIR/bench/win32/baseline_window.exe" '^Baseline$' >>"$out"
    measure_one mensurel "$BUILD_DIR/app/win32/mensurel.exe" '^Mensurel$' >>"$out" ||
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
  local base prog
  base=$(start_dlls "$BUILD_DIR/bench/win32/baseline_window.exe" '^Baseline$')
  prog=$(start_dlls "$BUILD_DIR/app/win32/mensurel.exe" '^Mensurel$')
  printf 'DLLs at start:          baseline %d  mensurel %d\n' "$(wc -w <<<"$base")" \
    "$(wc -w <<<"$prog")"
  printf 'mensurel loads:         %s\n' "$(xargs <<<"$prog")"
  printf 'beyond the baseline:    %s\n' "$(comm -13 <(echo "$base") <(echo "$prog") | xargs)"
  wine_env_stop
  trap - EXIT
}

# The DLLs a program's own process has loaded once its window is mapped and
# has had a second to settle, as the memory figure is taken: one name a line,
# lower case, sorted (Wine's +loaddll trace, lines prefixed with the process id).
start_dlls() {  # exe, window-title pattern
  local log id='' pid i launcher
  log=$(mktemp)
  WINEDEBUG=+pid,+loaddll wine "$1" >/dev/null 2>"$log" </dev/null &
  launcher=$!
  for i in $(seq 1 200); do
    id=$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -n1) || true
    [ -n "$id" ] && break
    sleep 0.05
  done
  [ -n "$id" ] || { echo "$1 did not appear" >&2; kill "$launcher"; rm -f "$log"; return 1; }
  sleep 1
  pid=$(xdotool getwindowpid "$id")
  # The program's process is the one that loaded the program.
  awk -v exe="$(basename "$1")" '
    /:trace:loaddll:.* Loaded L"/ {
      split($0, part, ":"); name = $0
      sub(/.*Loaded L"/, "", name); sub(/".*/, "", name); n = split(name, path, /\\/)
      name = tolower(path[n])
      if (process == "" && name == tolower(exe)) process = part[1]
      if (part[1] == process && name != tolower(exe)) print name
    }' "$log" | sort -u
  kill "$pid" 2>/dev/null || true
  for i in $(seq 1 100); do
    xdotool search --onlyvisible --name "$2" >/dev/null 2>&1 || break
    sleep 0.05
  done
  rm -f "$log"
}

measure_one() {  # name, exe, window-title pattern
  local t0 t1 id= pid rss launcher i
  t0=$(date +%s%N)
  wine "$2" >/dev/null 2>&1 </dev/null &
  launcher=$!
  while [ -z "$id" ]; do
    id=$(xdotool search --onlyvisible --name "$3" 2>/dev/null | head -n1) || true
    if [ $(($(date +%s%N) - t0)) -gt 20000000000 ]; then
      echo "measure: $1 did not appear" >&2
      kill "$launcher" 2>/dev/null || true
      return 1
    fi
    [ -n "$id" ] || sleep 0.005
  done
  t1=$(date +%s%N)
  pid=$(xdotool getwindowpid "$id")
  sleep 1
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  kill "$pid" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
  # The next run starts only when this window is gone.
  for i in $(seq 1 100); do
    xdotool search --onlyvisible --name "$3" >/dev/null 2>&1 || break
    sleep 0.05
  done
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
  drive) shift; cmd_drive "$@" ;;
  check) shift; cmd_check "$@" ;;
  *) echo "usage: $0 build|test|check CHECK|shot [FILE.png] [DPI]|measure [N]|drive [DIR] [DPI]" >&2; exit 2 ;;
esac
