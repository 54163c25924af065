#!/usr/bin/env bash
# The release files, built so that anyone can rebuild them byte for byte.
#   scripts/release.sh build [DIR]   into DIR (default out/, a relative one
#                                    from the source folder): the Debian
#                                    package, mensurel.exe, the Windows zip
#                                    and installer, SHA256SUMS beside them
#   scripts/release.sh twice DIR     builds them twice, from two copies of
#                                    the source in two folders, into
#                                    DIR/first and DIR/second (the ctest
#                                    tests of label release compare them)
# Every time in the files is SOURCE_DATE_EPOCH (default: the time of the last
# commit). The builds are the presets release-deb (hardened with Debian's
# flags) and release-windows of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=scripts/apt.sh
source scripts/apt.sh

# SOURCE_DATE_EPOCH as given, else the committer time of the last commit.
source_date_epoch() {
  if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    [[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] ||
      { echo "SOURCE_DATE_EPOCH is not a number of seconds: $SOURCE_DATE_EPOCH" >&2; return 1; }
    echo "$SOURCE_DATE_EPOCH"
  elif git rev-parse --git-dir >/dev/null 2>&1; then
    git log -1 --format=%ct
  else
    echo "not a git checkout: set SOURCE_DATE_EPOCH to the release's time" >&2
    return 1
  fi
}

# DIR may hold other files: only the release's own are replaced. The build
# folders lie inside the source folder, so dpkg-buildflags' map of the
# source folder covers the generated sources too.
cmd_build() {
  local out=${1:-out} v files
  v=$(sed -n 's/^project(mensurel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  files=("mensurel_${v}_amd64.deb" mensurel.exe "mensurel-$v-win64.zip" "mensurel-$v-setup.exe")
  install_missing $(packages release)
  SOURCE_DATE_EPOCH=$(source_date_epoch)
  # Nothing the tools write may depend on the builder's zone, language or mask.
  export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
  umask 022
  mkdir -p "$out"
  out=$(cd "$out" && pwd)
  (cd "$out" && rm -f "${files[@]}" SHA256SUMS)
  # From empty build folders: nothing cached by an earlier configure (flags
  # given by hand, say) may reach the release.
  rm -rf build-release build-release-windows
  local preset
  for preset in release-deb release-windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
  done
  cpack --config build-release/CPackConfig.cmake -G DEB -B build-release/cpack >/dev/null
  cp "build-release/cpack/${files[0]}" build-release-windows/app/win32/mensurel.exe \
    "build-release-windows/packages/${files[2]}" "build-release-windows/packages/${files[3]}" "$out/"
  (cd "$out" && sha256sum "${files[@]}" >SHA256SUMS)
  echo "== release files in $out (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH):"
  cat "$out/SHA256SUMS"
}

# Copies the files git knows of (tracked, and new ones not ignored) as they
# are in the work tree; out of a git checkout, all but the build folders.
copy_source() {  # destination
  mkdir -p "$1"
  if git rev-parse --git-dir >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
      while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
      tar --null -T - -cf - | tar -xf - -C "$1"
  else
    tar --exclude='./build*' --exclude=./out -cf - . | tar -xf - -C "$1"
  fi
}

# Two builds of the same source in two folders of different names and
# depths, one after the other.
cmd_twice() {
  local dir=${1:?usage: $0 twice DIR} epoch work
  epoch=$(source_date_epoch)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  work=$(mktemp -d /tmp/mensurel-reproduce.XXXXXX)
  # shellcheck disable=SC2064 # the folder is known now
  trap "rm -rf '$work'" EXIT
  rm -rf "$dir/first" "$dir/second"
  copy_source "$work/first"
  SOURCE_DATE_EPOCH=$epoch bash "$work/first/scripts/release.sh" build "$dir/first"
  sleep 1 # so no file time of the second build can match the first's by chance
  copy_source "$work/second/deeper/source"
  SOURCE_DATE_EPOCH=$epoch bash "$work/second/deeper/source/scripts/release.sh" build "$dir/second"
  echo "$epoch" >"$dir/epoch"
}

case "${1:-}" in
  build) shift; cmd_build "$@" ;;
  twice) shift; cmd_twice "$@" ;;
  *) echo "usage: $0 build [DIR]|twice DIR" >&2; exit 2 ;;
esac
