#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12 or Debian 13.
#   scripts/dev.sh run        install what is missing, build, open the window
#   scripts/dev.sh test       install what is missing, build, run every test
#   scripts/dev.sh windows    the Windows program, installer and zip
#   scripts/dev.sh release [DIR]   the release files and SHA256SUMS in DIR (out/)
#   scripts/dev.sh reproduce  build the release files twice and compare them
# Needs root (or sudo) only to install Debian packages that are missing.
# Every build and test run is a preset of CMakePresets.json; this script
# installs the packages, then runs the presets.
set -euo pipefail
cd "$(dirname "$0")/.."

export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
# shellcheck source=scripts/apt.sh
source scripts/apt.sh

cmd_run() {
  install_missing $(packages run)
  cmake --preset app >/dev/null && cmake --build --preset app
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the window under Xvfb. Use scripts/screenshot.sh to see it."
    install_missing xvfb xauth
    exec xvfb-run -a build/app/mensurel
  fi
  exec build/app/mensurel
}

# Every stage runs even when one before it failed; the closing line adds up
# the tests of all of them from the JUnit reports their test presets write.
cmd_test() {
  install_missing $(packages run) $(packages test) $(packages windows) $(packages release)
  local stage status=0
  rm -f build/junit.xml build-asan/junit.xml build-fuzz/junit.xml build-windows/junit.xml \
    build/junit-release.xml
  for stage in dev asan fuzz windows release; do
    echo "== $stage"
    cmake --workflow --preset "$stage" || status=1
  done
  echo "== every stage"
  python3 scripts/count_tests.py build/junit.xml build-asan/junit.xml build-fuzz/junit.xml \
    build-windows/junit.xml build/junit-release.xml || status=1
  return "$status"
}

cmd_windows() {
  install_missing $(packages windows)
  cmake --preset release-windows >/dev/null && cmake --build --preset release-windows
  ls -l build-release-windows/app/win32/mensurel.exe build-release-windows/packages/*
}

case "${1:-}" in
  run) cmd_run ;;
  test) cmd_test ;;
  windows) cmd_windows ;;
  release) shift; scripts/release.sh build "$@" ;;
  reproduce) install_missing $(packages release) python3 && cmake --workflow --preset release ;;
  *) echo "usage: $0 run|test|windows|release [DIR]|reproduce" >&2; exit 2 ;;
esac
