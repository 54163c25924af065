#!/usr/bin/env bash
# Formatting drift (clang-format, the version pinned in .clang-format) and
# clang-tidy warnings in our own code. The test command runs each as a ctest
# test (label lint); by hand:
#   scripts/lint.sh --format                  the formatting check
#   scripts/lint.sh --tidy [BUILD_DIR]        clang-tidy on the Linux sources
#   scripts/lint.sh --tidy-windows [DIR]      clang-tidy on the Win32 sources,
#                                             with the Windows build's commands
#   scripts/lint.sh [BUILD_DIR [WINDOWS_BUILD_DIR]]   all three
#   scripts/lint.sh --fix                     reformat
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t sources < <(git ls-files '*.cpp' '*.h')

# The formatter is pinned to one major version (see .clang-format): Debian's
# clang-format-N, or a plain clang-format of that version.
format_major=$(sed -n 's/^# clang-format major version: \([0-9][0-9]*\)$/\1/p' .clang-format)
clang_format=
if command -v "clang-format-$format_major" >/dev/null; then
  clang_format=clang-format-$format_major
elif command -v clang-format >/dev/null &&
  clang-format --version | grep -q "version $format_major\."; then
  clang_format=clang-format
fi

check_format() {
  echo "== clang-format"
  if [ -n "$clang_format" ]; then
    "$clang_format" --dry-run --Werror "${sources[@]}"
  else
    echo "clang-format $format_major is not installed: formatting check skipped"
  fi
}

# clang-tidy over `units` with the compile commands of `build` and any
# further arguments for it; prints what it found and fails on any of it.
tidy() { # build, units..., -- extra arguments...
  local build=$1 log status=0
  shift
  local units=() extra=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do units+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  extra=("$@")
  log=$(mktemp)
  printf '%s\n' "${units[@]}" |
    xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet \
      --extra-arg=-Wno-unknown-warning-option ${extra[@]+"${extra[@]}"} >"$log" 2>&1 || status=$?
  grep -v -E '^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' "$log" || true
  if [ "$status" -ne 0 ] || grep -q -E '(warning|error):' "$log"; then
    rm -f "$log"
    echo "clang-tidy found problems" >&2
    return 1
  fi
  rm -f "$log"
}

check_tidy() { # build
  echo "== clang-tidy ($(clang-tidy --version | sed -n 's/.*LLVM version \([0-9.]*\).*/\1/p'))"
  local units
  mapfile -t units < <(git ls-files 'core/*.cpp' 'platform/*.cpp' 'ui/*.cpp' 'app/*.cpp' \
    ':!:*/win32/*')
  tidy "$1" "${units[@]}"
}

# The MinGW-w64 C++ headers for clang, which does not find them under GCC's
# "12-posix" directory names; GCC's own intrinsics headers are left to
# clang's.
mingw_includes() {
  local dir
  for dir in $(echo | x86_64-w64-mingw32-g++-posix -xc++ -std=c++20 -E -v - 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ /' |
    grep -v -E '/include$|/include-fixed$'); do
    echo "--extra-arg=-isystem$dir"
  done
  echo "--extra-arg=-isystem/usr/x86_64-w64-mingw32/include"
  echo "--extra-arg=--target=x86_64-w64-mingw32"
}

# The Win32 sources build only with the MinGW cross compiler, whose compile
# commands are in the Windows build.
check_tidy_windows() { # windows build
  echo "== clang-tidy on the Windows sources ($1)"
  if [ ! -f "$1/compile_commands.json" ]; then
    echo "no Windows build at $1: its sources cannot be analysed" >&2
    return 1
  fi
  local units extra
  mapfile -t units < <(git ls-files 'platform/win32/*.cpp' 'app/win32/*.cpp')
  mapfile -t extra < <(mingw_includes)
  tidy "$1" "${units[@]}" -- "${extra[@]}"
}

case "${1:-}" in
  --fix)
    [ -n "$clang_format" ] || { echo "clang-format $format_major is not installed" >&2; exit 1; }
    "$clang_format" -i "${sources[@]}"
    ;;
  --format) check_format ;;
  --tidy) check_tidy "${2:-build}" ;;
  --tidy-windows) check_tidy_windows "${2:-build-windows}" ;;
  *)
    check_format
    check_tidy "${1:-build}"
    if [ -f "${2:-build-windows}/compile_commands.json" ]; then
      check_tidy_windows "${2:-build-windows}"
    else
      echo "no Windows build: the Win32 sources are not analysed"
    fi
    ;;
esac
