#!/usr/bin/env bash
# Fails on formatting drift (clang-format, the version pinned in
# .clang-format) or any clang-tidy warning in our own code. Needs a
# configured build directory for its compile commands, and the Windows build
# for those of the Win32 sources.
#   scripts/lint.sh [BUILD_DIR [WINDOWS_BUILD_DIR]]
#   scripts/lint.sh --fix   (reformat only)
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

if [ "${1:-}" = "--fix" ]; then
  [ -n "$clang_format" ] || { echo "clang-format $format_major is not installed" >&2; exit 1; }
  "$clang_format" -i "${sources[@]}"
  exit 0
fi
build=${1:-build}

echo "== clang-format"
if [ -n "$clang_format" ]; then
  "$clang_format" --dry-run --Werror "${sources[@]}"
else
  echo "clang-format $format_major is not installed: formatting check skipped"
fi

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
    return 1
  fi
  rm -f "$log"
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

echo "== clang-tidy ($(clang-tidy --version | sed -n 's/.*LLVM version \([0-9.]*\).*/\1/p'))"
mapfile -t units < <(git ls-files 'core/*.cpp' 'platform/*.cpp' 'ui/*.cpp' 'app/*.cpp' \
  ':!:*/win32/*')
tidy "$build" "${units[@]}" || { echo "clang-tidy found problems" >&2; exit 1; }

# The Win32 sources build only with the MinGW cross compiler, whose compile
# commands are in the Windows build.
windows_build=${2:-build-windows}
if [ -f "$windows_build/compile_commands.json" ]; then
  echo "== clang-tidy on the Windows sources ($windows_build)"
  mapfile -t units < <(git ls-files 'platform/win32/*.cpp' 'app/win32/*.cpp')
  mapfile -t extra < <(mingw_includes)
  tidy "$windows_build" "${units[@]}" -- "${extra[@]}" ||
    { echo "clang-tidy found problems in the Windows sources" >&2; exit 1; }
elif [ -n "${MENSUREL_REQUIRE_ALL_TESTS:-}" ]; then
  echo "no Windows build at $windows_build: its sources cannot be analysed" >&2
  exit 1
else
  echo "no Windows build at $windows_build: the Win32 sources are not analysed"
fi
echo "lint: 1 passed, 0 failed"
