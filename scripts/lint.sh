#!/usr/bin/env bash
# Fails on formatting drift (clang-format, the version pinned in
# .clang-format) or any clang-tidy warning in our own code. Needs a
# configured build directory for its compile commands.
#   scripts/lint.sh [BUILD_DIR]      scripts/lint.sh --fix   (reformat only)
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

echo "== clang-tidy ($(clang-tidy --version | sed -n 's/.*LLVM version \([0-9.]*\).*/\1/p'))"
# The Win32 sources build only with the MinGW cross compiler, whose
# compile commands live in build-windows; the Linux analysis leaves them out.
mapfile -t units < <(git ls-files 'core/*.cpp' 'platform/*.cpp' 'ui/*.cpp' 'app/*.cpp' \
  ':!:*/win32/*')
log=$(mktemp)
status=0
printf '%s\n' "${units[@]}" |
  xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option >"$log" 2>&1 || status=$?
grep -v -E '^[0-9]+ warnings? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' "$log" || true
if [ "$status" -ne 0 ] || grep -q -E '(warning|error):' "$log"; then
  rm -f "$log"
  echo "clang-tidy found problems" >&2
  exit 1
fi
rm -f "$log"
echo "lint: 1 passed, 0 failed"
