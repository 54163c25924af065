#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12 or Debian 13.
#   scripts/dev.sh run    install what is missing, build, open the window
#   scripts/dev.sh test   install what is missing, build, run every test
#   scripts/dev.sh windows  cross-build the Windows program, installer and zip
#   scripts/dev.sh release [DIR]  the release files and SHA256SUMS in DIR (out/)
#   scripts/dev.sh reproduce  build the release files twice and compare them
# Needs root (or sudo) only to install Debian packages that are missing.
# Each build is a preset of CMakePresets.json (app, dev, asan, fuzz): this
# script installs, then runs the presets. Warnings are errors in the tested
# builds (CMAKE_COMPILE_WARNING_AS_ERROR), and they must find every test
# tool (MENSUREL_REQUIRE_ALL_TESTS).
set -euo pipefail
cd "$(dirname "$0")/.."

JOBS=$(nproc)
export CMAKE_BUILD_PARALLEL_LEVEL=$JOBS CTEST_PARALLEL_LEVEL=$JOBS

# shellcheck source=scripts/apt.sh
source scripts/apt.sh

# The clang-format major version the sources are formatted with, as pinned
# in .clang-format.
pinned_clang_format() {
  sed -n 's/^# clang-format major version: \([0-9][0-9]*\)$/\1/p' .clang-format
}

# Fills BUILD_PACKAGES and TEST_PACKAGES with the names this release uses.
# The names that carry an LLVM version are taken from the release itself:
# the sanitizer and libFuzzer run-time of its default clang, and the pinned
# clang-format where the release has it (scripts/lint.sh says when not).
choose_packages() {
  # Build and run time: compiler, Qt 6 Widgets (with the GIF and ICO image
  # plug-ins in libqt6gui6), fonts for Arial-metric labels and Chinese text,
  # Qt's own texts in the desktop's language.
  BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev libgl-dev
    fonts-liberation fonts-wqy-microhei qt6-translations-l10n)
  # Tests, sanitizers, fuzzer, benchmark, window checks under Xvfb.
  TEST_PACKAGES=(libgtest-dev libbenchmark-dev libx11-dev libxtst-dev clang
    clang-tidy xvfb xauth xdotool imagemagick x11-utils locales
    dpkg-dev file lintian devscripts desktop-file-utils appstream git python3-pil
    fonts-dejavu-extra)

  available clang || apt_update
  local llvm format
  llvm=$(apt-cache depends clang 2>/dev/null |
    sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
  if [ -z "$llvm" ]; then
    echo "cannot tell which clang this release ships" >&2
    exit 1
  fi
  TEST_PACKAGES+=("libclang-rt-$llvm-dev")

  format=$(pinned_clang_format)
  if available "clang-format-$format"; then
    TEST_PACKAGES+=("clang-format-$format")
  fi
}

# The locale test switches the C library to a comma-decimal locale.
ensure_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' ||
    as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

configure_and_build() {  # preset
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}

# What every ctest run of the test command counted, for the closing line.
PASSED=0
FAILED=0

# Adds a ctest run's counts (its output in `log`) to PASSED and FAILED.
count_tests() {  # log
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    FAILED=$((FAILED + 1)) # a run that did not get as far as its report
    return
  fi
  local failed total
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  PASSED=$((PASSED + total - failed))
  FAILED=$((FAILED + failed))
}

run_tests() {  # preset
  local log status=0
  log=$(mktemp)
  ctest --preset "$1" 2>&1 | tee "$log" || status=$?
  count_tests "$log"
  rm -f "$log"
  return "$status"
}

cmd_run() {
  choose_packages
  install_missing "${BUILD_PACKAGES[@]}"
  configure_and_build app
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the window under Xvfb. Use scripts/screenshot.sh to see it."
    install_missing xvfb xauth
    exec xvfb-run -a build/app/mensurel
  fi
  exec build/app/mensurel
}

# The unit, window and package tests, and formatting and clang-tidy (label
# lint). Built with the release's hardening flags, so the package tests
# check the program as it ships.
test_build_and_run() {
  echo "== build and test"
  configure_and_build dev && run_tests dev
}

test_sanitizers() {
  echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
  # Formatting and clang-tidy do not change with the sanitizers.
  configure_and_build asan && run_tests asan
}

test_fuzz() {
  echo "== fuzz the conversion for a bounded, seeded number of runs"
  configure_and_build fuzz && run_tests fuzz
}

test_windows() {
  echo "== the Windows program: cross-built, tested under Wine, installer"
  local log status=0
  log=$(mktemp)
  scripts/windows.sh test 2>&1 | tee "$log" || status=$?
  count_tests "$log"
  rm -f "$log"
  return "$status"
}

test_reproduce() {
  echo "== the release files, built twice in two folders and compared"
  if scripts/release.sh reproduce; then
    PASSED=$((PASSED + 1))
  else
    FAILED=$((FAILED + 1))
    return 1
  fi
}

cmd_test() {
  choose_packages
  install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
  ensure_comma_locale

  # Every stage runs even when one before it failed; the closing line counts
  # the tests of all of them.
  local status=0
  test_build_and_run || status=1
  test_sanitizers || status=1
  test_fuzz || status=1
  test_windows || status=1
  test_reproduce || status=1
  echo "== every stage"
  echo "tests: $PASSED passed, $FAILED failed"
  return "$status"
}

case "${1:-}" in
  run) cmd_run ;;
  test) cmd_test ;;
  windows) scripts/windows.sh build ;;
  release) shift; scripts/release.sh build "$@" ;;
  reproduce) scripts/release.sh reproduce ;;
  *) echo "usage: $0 run|test|windows|release [DIR]|reproduce" >&2; exit 2 ;;
esac
