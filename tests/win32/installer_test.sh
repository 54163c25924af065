#!/usr/bin/env bash
# The installer and the uninstaller under Wine, as a user meets them: with
# the program running, with a copy that will not close, into nested folders,
# over an older installation, into another folder, after a killed setup,
# and a removal chained with a setup. One row per case; each starts from a
# machine without Mensurel.
#
#   bash tests/win32/installer_test.sh [ROW...]
#       builds nothing; runs the rows (all by default) in a Wine prefix and
#       X display of its own, with the build in $MENSUREL_WINDOWS_BUILD
#       (default build-windows)
# scripts/windows.sh test sources this file and calls installer_rows_test
# in its own prefix.
#
# Exit codes are read from `wine setup.exe` itself, which returns the
# Windows process's exit code. `uninstall.exe /S` starts a copy of itself
# from the Temp folder and returns 0 at once, as on Windows: the rows that
# need the uninstaller's own exit code run it the way that copy is run,
# from another folder with `_?=<installation folder>`, through `cmd /c` so
# the folder reaches it unquoted.

# The rows: function, then what it checks.
INSTALLER_ROWS=(
  "row_update_running|silent install over a running older copy: it ends, the new mensurel.exe is in place, a copy outside the installation runs on, exit 0"
  "row_install_stubborn|silent install while a copy will not close: exit 2, installation unchanged"
  "row_uninstall_running|silent uninstall while the program runs: nothing of the installation left, nor the place the window kept"
  "row_uninstall_stubborn|silent uninstall while a copy will not close: exit 2, installation whole, removable once it has ended"
  "row_nested_new|nested /D= folder: after uninstall no folder the installer made is left"
  "row_nested_existing|nested /D= folder in an existing folder: that folder stays"
  "row_update_older|update of an older version in its own folder: one list entry, the new version, the files replaced there"
  "row_reinstall_same|the same version again: one list entry, same folder, still removed whole"
  "row_remove_then_install|uninstall.exe /S then at once setup.exe /S, 6 times: the program installed whole each time"
  "row_remove_held_back|the same with the uninstaller's copy in Temp held until the setup has ended: the installation stays"
  "row_killed_first_install|first install into a nested /D= folder killed, run again, removed: no folder the installer made is left"
  "row_other_folder|install into another folder: the first installation removed, the user's file in it kept, one installation"
  "row_other_folder_stubborn|install into another folder while the first one's copy will not close: exit 2, nothing changed"
)

IT_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mensurel'
IT_PIDS=()
IT_LIST=

it_setup() { echo "$BUILD_DIR/packages/mensurel-$(version)-setup.exe"; }
# The older release the update rows start from (tests/win32/CMakeLists.txt).
it_old_version() { sed -n 's/^MENSUREL_OLD_VERSION:STRING=//p' "$BUILD_DIR/CMakeCache.txt"; }
it_old_setup() { echo "$BUILD_DIR/tests/win32/old/mensurel-$(it_old_version)-setup.exe"; }
# The Unix path of a Windows path on drive C:.
it_c() { local p=${1#C:\\}; echo "$WINEPREFIX/drive_c/${p//\\//}"; }
it_link() { it_c 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Mensurel.lnk'; }

it_fail() { echo "    $*"; IT_FAILED=1; }

# Runs `wine ARGS` silently; prints nothing, returns the program's exit code.
it_wine() { wine_run 120 "$@" >/dev/null 2>&1; }

# Starts a program under Wine and waits for its Mensurel window (10 s);
# its process id in IT_PID.
it_start() {  # windows path or unix path of the program
  local w i
  wine "$1" >/dev/null 2>&1 </dev/null &
  IT_PID=$!
  IT_PIDS+=("$IT_PID")
  for i in $(seq 1 100); do
    for w in $(xdotool search --onlyvisible --name '^Mensurel$' 2>/dev/null); do
      [ "$(xdotool getwindowpid "$w" 2>/dev/null)" = "$IT_PID" ] && return 0
    done
    sleep 0.1
  done
  it_fail "$1 did not show its window"
}

# Whether process pid ended within 3 s.
it_ended() {
  local i
  for i in $(seq 1 30); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# The list of installed programs, read once into IT_LIST (each wine start
# costs half a second); it_entries and it_reg read that copy.
it_list() {
  IT_LIST=$(wine_run 30 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s \
    2>/dev/null | tr -d '\r')
}

# Number of entries named Mensurel in the list of installed programs.
it_entries() {
  grep -c '^ *DisplayName *REG_SZ *Mensurel$' <<<"$IT_LIST"
}

# Mensurel's entry: the lines of its key.
it_entry() {
  awk '/^HKEY_/ { on = ($0 ~ /\\Uninstall\\Mensurel$/) } on && NF' <<<"$IT_LIST"
}

it_reg() {  # value name: its data in Mensurel's entry, nothing when missing
  it_entry | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

# What an installation is made of: its files' checksums, the shortcut and
# the list entry.
it_state() {  # windows path of the installation folder
  local dir
  dir=$(it_c "$1")
  (cd "$dir" 2>/dev/null && find . -type f -exec md5sum {} + | sort)
  [ -f "$(it_link)" ] && echo "shortcut"
  it_list
  it_entry
}

# Nothing of an installation in folder left: files, folder, shortcut, entry
# (as it_list last read it).
it_gone() {  # windows path of the installation folder
  local dir
  dir=$(it_c "$1")
  [ ! -e "$dir" ] || it_fail "left behind: $1 ($(cd "$dir" && find . -mindepth 1 | tr '\n' ' '))"
  [ ! -e "$(it_link)" ] || it_fail "left behind: the Start-menu shortcut"
  [ "$(it_entries)" = 0 ] || it_fail "left behind: the entry in the list of installed programs"
}

# Silent uninstall as a user runs it (QuietUninstallString); it returns at
# once, so this waits up to 15 s for the installation to go.
it_uninstall() {  # windows path of the installation folder
  local dir i
  dir=$(it_c "$1")
  it_wine "$1\\uninstall.exe" /S || it_fail "uninstall.exe /S: exit code $?"
  for i in $(seq 1 75); do
    if [ ! -e "$dir" ] && [ ! -e "$(it_link)" ]; then
      it_list
      [ "$(it_entries)" = 0 ] && return 0
    fi
    sleep 0.2
  done
  it_list
}

# The uninstaller's own exit code: the uninstaller copied out of the
# folder and run on it with _?=, as the copy uninstall.exe starts is.
it_uninstall_code() {  # windows path of the installation folder
  mkdir -p "$(it_c 'C:\it-uninstall')"
  cp "$(it_c "$1")/uninstall.exe" "$(it_c 'C:\it-uninstall')/u.exe"
  wine_run 120 cmd /c "C:\\it-uninstall\\u.exe /S _?=$1" >/dev/null 2>&1
}

# A whole installation in folder: program, uninstaller, shortcut, one entry
# naming that folder.
it_whole() {  # windows path of the installation folder
  local dir
  dir=$(it_c "$1")
  it_list
  [ -f "$dir/mensurel.exe" ] && [ -f "$dir/uninstall.exe" ] && [ -f "$(it_link)" ] &&
    [ "$(it_entries)" = 1 ] && [ "$(it_reg InstallLocation)" = "$1" ] && return 0
  it_fail "not a whole installation in $1: files: $(cd "$dir" 2>/dev/null && find . -mindepth 1 | tr '\n' ' ')" \
    "shortcut: $([ -f "$(it_link)" ] && echo yes || echo no), entries: $(it_entries)"
  return 1
}

# Process ids of the copies uninstall.exe starts from Temp
# (...\Temp\~nsu1.tmp\...), in this prefix only.
it_temp_copies() {
  local pid
  for pid in $(pgrep -f '[\]~nsu[^\]*[.]tmp[\]'); do
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && echo "$pid"
  done
}

# Waits up to 15 s for the uninstaller's copies in Temp to end.
it_copies_ended() {
  local i
  for i in $(seq 1 75); do
    [ -z "$(it_temp_copies)" ] && return 0
    sleep 0.2
  done
  it_fail "the uninstaller's copy in Temp still runs"
}

# Back to a machine without Mensurel.
it_reset() {
  local pid d
  for pid in "${IT_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${IT_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  IT_PIDS=()
  wine_run 30 reg delete "$IT_KEY" /f >/dev/null 2>&1 || true
  for d in 'C:\Program Files\Mensurel' 'C:\Tools' 'C:\Apps' 'C:\Shared' 'C:\Other' 'C:\it-uninstall'; do
    rm -rf "$(it_c "$d")"
  done
  rm -f "$(it_link)"
}

it_install() {  # setup, then its arguments; fails the row on a non-zero exit
  local code=0
  it_wine "$@" || code=$?
  [ "$code" = 0 ] || it_fail "$(basename "$1") ${*:2}: exit code $code, 0 expected"
}

row_update_running() {
  local dir='C:\Program Files\Mensurel' installed portable code=0
  it_install "$(it_old_setup)" /S
  it_start "$dir\\mensurel.exe"
  installed=$IT_PID
  # The zip's copy, run from elsewhere: not this installation's.
  it_start "$BUILD_DIR/app/win32/mensurel.exe"
  portable=$IT_PID
  it_wine "$(it_setup)" /S || code=$?
  [ "$code" = 0 ] || it_fail "setup /S: exit code $code, 0 expected"
  it_ended "$installed" || it_fail "the running installed copy was not closed"
  kill -0 "$portable" 2>/dev/null || it_fail "the copy outside the installation was closed"
  cmp -s "$(it_c "$dir")/mensurel.exe" "$BUILD_DIR/app/win32/mensurel.exe" ||
    it_fail "installed mensurel.exe is not the new one"
  it_list
  [ "$(it_reg DisplayVersion)" = "$(version)" ] ||
    it_fail "DisplayVersion $(it_reg DisplayVersion), $(version) expected"
}

row_install_stubborn() {
  local dir='C:\Program Files\Mensurel' pid before code=0
  it_install "$(it_old_setup)" /S
  # The installed program stands in for one that ignores the close message.
  cp "$BUILD_DIR/tests/win32/stubborn_window.exe" "$(it_c "$dir")/mensurel.exe"
  it_start "$dir\\mensurel.exe"
  pid=$IT_PID
  before=$(it_state "$dir")
  it_wine "$(it_setup)" /S || code=$?
  [ "$code" = 2 ] || it_fail "setup /S: exit code $code, 2 expected"
  [ "$(it_state "$dir")" = "$before" ] || it_fail "the installation changed"
  kill -0 "$pid" 2>/dev/null || it_fail "the stand-in is no longer running"
}

row_uninstall_running() {
  local dir='C:\Program Files\Mensurel' pid
  it_install "$(it_setup)" /S
  it_start "$dir\\mensurel.exe"
  pid=$IT_PID
  wine_run 30 reg add 'HKCU\Software\Mensurel' /v WindowPlace /d '8 32 0 0 1280 1024 96' /f \
    >/dev/null 2>&1 || it_fail "reg add"
  it_uninstall "$dir"
  it_ended "$pid" || it_fail "the running program was not closed"
  it_gone "$dir"
  if wine_run 30 reg query 'HKCU\Software\Mensurel' >/dev/null 2>&1; then
    it_fail "left behind: HKCU\Software\Mensurel"
  fi
}

row_uninstall_stubborn() {
  local dir='C:\Program Files\Mensurel' pid before code=0
  it_install "$(it_setup)" /S
  cp "$BUILD_DIR/tests/win32/stubborn_window.exe" "$(it_c "$dir")/mensurel.exe"
  it_start "$dir\\mensurel.exe"
  pid=$IT_PID
  before=$(it_state "$dir")
  it_uninstall_code "$dir" || code=$?
  [ "$code" = 2 ] || it_fail "uninstall /S: exit code $code, 2 expected"
  [ "$(it_state "$dir")" = "$before" ] || it_fail "the installation changed"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  it_uninstall "$dir"
  it_gone "$dir"
}

row_nested_new() {
  local dir='C:\Tools\Mensurel\App'
  it_install "$(it_setup)" /S "/D=$dir"
  [ -f "$(it_c "$dir")/mensurel.exe" ] || it_fail "mensurel.exe not installed in $dir"
  it_uninstall "$dir"
  it_gone 'C:\Tools'
}

row_nested_existing() {
  local dir='C:\Shared\Mensurel\App'
  mkdir -p "$(it_c 'C:\Shared')"
  it_install "$(it_setup)" /S "/D=$dir"
  [ -f "$(it_c "$dir")/mensurel.exe" ] || it_fail "mensurel.exe not installed in $dir"
  it_uninstall "$dir"
  it_gone 'C:\Shared\Mensurel'
  [ -d "$(it_c 'C:\Shared')" ] || it_fail "C:\\Shared, which was there before, was removed"
}

row_update_older() {
  local dir='C:\Apps\Mensurel'
  it_install "$(it_old_setup)" /S "/D=$dir"
  it_list
  [ "$(it_reg DisplayVersion)" = "$(it_old_version)" ] || it_fail "the older version did not install"
  it_install "$(it_setup)" /S
  it_list
  [ "$(it_entries)" = 1 ] || it_fail "$(it_entries) entries in the list of installed programs, 1 expected"
  [ "$(it_reg DisplayVersion)" = "$(version)" ] ||
    it_fail "DisplayVersion $(it_reg DisplayVersion), $(version) expected"
  [ "$(it_reg InstallLocation)" = "$dir" ] ||
    it_fail "InstallLocation $(it_reg InstallLocation), $dir expected"
  cmp -s "$(it_c "$dir")/mensurel.exe" "$BUILD_DIR/app/win32/mensurel.exe" ||
    it_fail "mensurel.exe in $dir is not the new one"
  [ ! -e "$(it_c 'C:\Program Files\Mensurel')" ] || it_fail "a second copy in C:\\Program Files\\Mensurel"
  it_uninstall "$dir"
  it_gone 'C:\Apps'
}

row_reinstall_same() {
  local dir='C:\Apps\Mensurel'
  it_install "$(it_setup)" /S "/D=$dir"
  it_install "$(it_setup)" /S
  it_list
  [ "$(it_entries)" = 1 ] || it_fail "$(it_entries) entries in the list of installed programs, 1 expected"
  [ "$(it_reg InstallLocation)" = "$dir" ] ||
    it_fail "InstallLocation $(it_reg InstallLocation), $dir expected"
  [ ! -e "$(it_c 'C:\Program Files\Mensurel')" ] || it_fail "a second copy in C:\\Program Files\\Mensurel"
  it_uninstall "$dir"
  it_gone 'C:\Apps'
}

# An administrator's script that removes and installs again. When the two
# did not take turns, the copy in Temp was now and then still removing, or
# had not yet begun, while the setup wrote (12 runs in 32 here).
row_remove_then_install() {
  local dir='C:\Program Files\Mensurel' i
  it_install "$(it_setup)" /S
  for i in 1 2 3 4 5 6; do
    it_wine "$dir\\uninstall.exe" /S
    it_install "$(it_setup)" /S
    it_copies_ended
    it_whole "$dir" || return
  done
}

# The race above made to come out the late way: the copy is stopped as soon
# as it shows (nearly always before it has acted) and let go once the setup
# started after it has ended, or after 3 s should that setup be waiting for
# the copy's turn.
row_remove_held_back() {
  local dir='C:\Program Files\Mensurel' copy='' setup i code=0
  it_install "$(it_setup)" /S
  wine "$dir\\uninstall.exe" /S >/dev/null 2>&1 </dev/null &
  IT_PIDS+=("$!")
  for i in $(seq 1 500); do
    copy=$(it_temp_copies)
    [ -n "$copy" ] && break
    sleep 0.01
  done
  [ -n "$copy" ] || { it_fail "uninstall.exe started no copy in Temp"; return; }
  kill -STOP "$copy" 2>/dev/null || true
  wine "$(it_setup)" /S >/dev/null 2>&1 </dev/null &
  setup=$!
  IT_PIDS+=("$setup")
  it_ended "$setup"
  kill -CONT "$copy" 2>/dev/null || true
  wait "$setup" || code=$?
  [ "$code" = 0 ] || it_fail "setup /S: exit code $code, 0 expected"
  it_copies_ended
  it_whole "$dir"
}

# Killed as soon as mensurel.exe shows, before the setup's last steps.
row_killed_first_install() {
  local dir='C:\Tools\Mensurel\App' pid i
  wine "$(it_setup)" /S "/D=$dir" >/dev/null 2>&1 </dev/null &
  pid=$!
  IT_PIDS+=("$pid")
  for i in $(seq 1 1000); do
    [ -e "$(it_c "$dir")/mensurel.exe" ] && break
    sleep 0.01
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  it_install "$(it_setup)" /S "/D=$dir"
  it_uninstall "$dir"
  it_gone 'C:\Tools'
}

row_other_folder() {
  local first='C:\Program Files\Mensurel' dir='C:\Other\Mensurel' left
  it_install "$(it_setup)" /S
  echo notes >"$(it_c "$first")/notes.txt"
  it_install "$(it_setup)" /S "/D=$dir"
  it_whole "$dir"
  left=$(cd "$(it_c "$first")" && find . -mindepth 1)
  [ "$left" = ./notes.txt ] || it_fail "in $first: $(tr '\n' ' ' <<<"$left")only ./notes.txt expected"
  it_uninstall "$dir"
  it_gone 'C:\Other'
}

row_other_folder_stubborn() {
  local first='C:\Program Files\Mensurel' before code=0
  it_install "$(it_setup)" /S
  cp "$BUILD_DIR/tests/win32/stubborn_window.exe" "$(it_c "$first")/mensurel.exe"
  it_start "$first\\mensurel.exe"
  before=$(it_state "$first")
  it_wine "$(it_setup)" /S '/D=C:\Other\Mensurel' || code=$?
  [ "$code" = 2 ] || it_fail "setup /S /D=C:\\Other\\Mensurel: exit code $code, 2 expected"
  [ "$(it_state "$first")" = "$before" ] || it_fail "the first installation changed"
  [ ! -e "$(it_c 'C:\Other')" ] || it_fail "C:\\Other was made"
}

# Runs the rows named (all by default) in the current prefix and display.
# A Wine process now and then dies at start without a word (see the ctest
# call in scripts/windows.sh): a failed row gets two more tries, its
# messages printed each time; a row that fails on its merits fails all three.
installer_rows_test() {
  local passed=0 failed=0 row name what start try
  for row in "${INSTALLER_ROWS[@]}"; do
    name=${row%%|*}
    what=${row#*|}
    if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
    start=$SECONDS
    for try in 1 2 3; do
      it_reset
      IT_FAILED=0
      "$name"
      [ "$IT_FAILED" = 0 ] && break
      [ "$try" -lt 3 ] && echo "  ($name failed at try $try)"
    done
    if [ "$IT_FAILED" = 0 ]; then
      passed=$((passed + 1))
      echo "  ok   $name ($((SECONDS - start)) s): $what"
    else
      failed=$((failed + 1))
      echo "  FAIL $name ($((SECONDS - start)) s, 3 tries): $what"
    fi
  done
  it_reset
  echo "installer-cases: $passed passed, $failed failed"
  [ "$failed" = 0 ]
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  cd "$(dirname "$0")/../.." || exit 1
  BUILD_DIR=${MENSUREL_WINDOWS_BUILD:-build-windows}
  version() { sed -n 's/^project(mensurel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt; }
  # shellcheck source=scripts/wine-env.sh
  source scripts/wine-env.sh
  trap wine_env_stop EXIT
  wine_env_start
  installer_rows_test "$@"
fi
