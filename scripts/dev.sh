#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12.
#   scripts/dev.sh run    install what is missing, build, open the window
#   scripts/dev.sh test   install what is missing, build, run every test
#   scripts/dev.sh windows  cross-build the Windows program, installer and zip
# Needs root (or sudo) only to install Debian packages that are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

JOBS=$(nproc)

# Build and run time: compiler, Qt 6 Widgets (with the GIF and ICO image
# plug-ins in libqt6gui6), fonts for Arial-metric labels and Chinese text.
BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev libgl-dev
  fonts-liberation fonts-wqy-microhei qt6-translations-l10n)
# Tests, sanitizers, fuzzer, benchmark, window checks under Xvfb.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev libx11-dev clang libclang-rt-14-dev
  clang-format clang-tidy xvfb xauth xdotool imagemagick x11-utils locales
  dpkg-dev file lintian desktop-file-utils appstream git)

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

# The locale test switches the C library to a comma-decimal locale.
ensure_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' ||
    as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

configure_and_build() {  # dir, extra cmake args...
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMENSUREL_BUILD_UI=ON \
    -DMENSUREL_BUILD_TESTS=ON -DMENSUREL_BUILD_BENCH=ON -DMENSUREL_FUZZ=OFF \
    -DMENSUREL_SANITIZE= "$@" >/dev/null
  cmake --build "$dir" -j"$JOBS"
}

run_tests() {  # dir, extra environment...
  local dir=$1
  shift
  env QT_QPA_PLATFORM=offscreen "$@" \
    ctest --test-dir "$dir" -j"$JOBS" --output-on-failure
}

cmd_run() {
  install_missing "${BUILD_PACKAGES[@]}"
  configure_and_build build -DMENSUREL_BUILD_TESTS=OFF -DMENSUREL_BUILD_BENCH=OFF
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the window under Xvfb. Use scripts/screenshot.sh to see it."
    install_missing xvfb xauth
    exec xvfb-run -a build/app/mensurel
  fi
  exec build/app/mensurel
}

cmd_test() {
  install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
  ensure_comma_locale

  echo "== build and test"
  configure_and_build build
  run_tests build

  echo "== formatting and static analysis"
  scripts/lint.sh build

  echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
  configure_and_build build-asan -DMENSUREL_SANITIZE=address,undefined \
    -DMENSUREL_BUILD_BENCH=OFF
  run_tests build-asan ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

  echo "== fuzz the conversion for a bounded, seeded number of runs"
  configure_and_build build-fuzz -DCMAKE_CXX_COMPILER=clang++ \
    -DMENSUREL_FUZZ=ON -DMENSUREL_SANITIZE=address,undefined \
    -DMENSUREL_BUILD_UI=OFF -DMENSUREL_BUILD_TESTS=OFF -DMENSUREL_BUILD_BENCH=OFF
  local corpus
  corpus=$(mktemp -d)
  cp fuzz/corpus/* "$corpus"/
  build-fuzz/fuzz/fuzz_convert -seed=1 -runs=500000 -max_len=256 "$corpus" \
    2>&1 | tail -n 2
  rm -rf "$corpus"
  echo "fuzz: 1 passed, 0 failed"

  scripts/windows.sh test
}

case "${1:-}" in
  run) cmd_run ;;
  test) cmd_test ;;
  windows) scripts/windows.sh build ;;
  *) echo "usage: $0 run|test|windows" >&2; exit 2 ;;
esac
