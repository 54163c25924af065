#!/usr/bin/env bash
# The release files, built so that anyone can rebuild them byte for byte.
#   scripts/release.sh build [DIR]   into DIR (default out/, a relative one
#                                    from the source folder): the Debian
#                                    package, mensurel.exe, the Windows zip
#                                    and installer, SHA256SUMS beside them
#   scripts/release.sh reproduce     builds them twice, from two copies of
#                                    the source in two folders, and compares
# Every time in the files is SOURCE_DATE_EPOCH (default: the time of the last
# commit). The Debian package is compiled with the flags dpkg-buildflags
# gives with every hardening feature on (MENSUREL_DEBIAN_FLAGS).
# Installs the Debian packages it needs when they are missing (root or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

JOBS=$(($(nproc) < 2 ? $(nproc) : 2))
LINUX_PACKAGES=(cmake make g++ pkg-config qt6-base-dev libgl-dev dpkg-dev file)
WINDOWS_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis zip)

# shellcheck source=scripts/apt.sh
source scripts/apt.sh

version() {
  sed -n 's/^project(mensurel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt
}

# SOURCE_DATE_EPOCH as given, else the committer time of the last commit.
source_date_epoch() {
  if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    [[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] || {
      echo "SOURCE_DATE_EPOCH is not a number of seconds: $SOURCE_DATE_EPOCH" >&2
      return 1
    }
    echo "$SOURCE_DATE_EPOCH"
  elif git rev-parse --git-dir >/dev/null 2>&1; then
    git log -1 --format=%ct
  else
    echo "not a git checkout: set SOURCE_DATE_EPOCH to the release's time" >&2
    return 1
  fi
}

# The build folder lies inside the source folder, so dpkg-buildflags' map of
# the source folder covers the generated sources too.
build_deb() {  # out dir
  local dir=build-release
  install_missing "${LINUX_PACKAGES[@]}"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMENSUREL_BUILD_UI=ON \
    -DBUILD_TESTING=OFF -DMENSUREL_BUILD_BENCH=OFF -DMENSUREL_FUZZ=OFF \
    -DMENSUREL_SANITIZE= -DMENSUREL_DEBIAN_FLAGS=ON >/dev/null
  cmake --build "$dir" -j"$JOBS"
  rm -rf "$dir/cpack"
  cpack --config "$dir/CPackConfig.cmake" -G DEB -B "$dir/cpack" >/dev/null
  cp "$dir/cpack/mensurel_$(version)_amd64.deb" "$1/"
}

build_windows() {  # out dir
  local dir=build-release-windows v
  install_missing "${WINDOWS_PACKAGES[@]}"
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DMENSUREL_BUILD_UI=OFF -DMENSUREL_BUILD_BENCH=OFF \
    -DBUILD_TESTING=OFF -DMENSUREL_FUZZ=OFF -DMENSUREL_SANITIZE= >/dev/null
  cmake --build "$dir" -j"$JOBS"
  v=$(version)
  cp "$dir/app/win32/mensurel.exe" "$dir/packages/mensurel-$v-win64.zip" \
    "$dir/packages/mensurel-$v-setup.exe" "$1/"
}

# DIR may hold other files: only the release's own are replaced.
cmd_build() {
  local out=${1:-out} v files
  v=$(version)
  files=("mensurel_${v}_amd64.deb" mensurel.exe "mensurel-$v-win64.zip"
    "mensurel-$v-setup.exe")
  SOURCE_DATE_EPOCH=$(source_date_epoch)
  export SOURCE_DATE_EPOCH
  # Nothing the tools write may depend on the builder's zone, language or mask.
  export TZ=UTC LC_ALL=C.UTF-8
  umask 022
  mkdir -p "$out"
  out=$(cd "$out" && pwd)
  (cd "$out" && rm -f "${files[@]}" SHA256SUMS)
  # From empty build folders: nothing cached by an earlier configure (flags
  # given by hand, say) may reach the release.
  rm -rf build-release build-release-windows
  build_deb "$out"
  build_windows "$out"
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

# The times the release files hold, read from their bytes, one per line as
# seconds since 1970.
pe_time() {  # file: the TimeDateStamp of the PE header
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}
zip_times() {  # file: the DOS date and time (UTC) of each entry's local header
  local offset=0 size sig time date name extra length
  size=$(stat -c %s "$1")
  while [ $((offset + 30)) -le "$size" ]; do
    read -r sig <<<"$(od -An -tu4 -j"$offset" -N4 "$1")"
    [ "$sig" -eq 67324752 ] || break # "PK\3\4"
    read -r time date <<<"$(od -An -tu2 -j$((offset + 10)) -N4 "$1")"
    read -r length <<<"$(od -An -tu4 -j$((offset + 18)) -N4 "$1")"
    read -r name extra <<<"$(od -An -tu2 -j$((offset + 26)) -N4 "$1")"
    date -u +%s -d "$(printf '%04d-%02d-%02d %02d:%02d:%02d' $(((date >> 9) + 1980)) \
      $(((date >> 5) & 15)) $((date & 31)) $((time >> 11)) $(((time >> 5) & 63)) \
      $(((time & 31) * 2)))"
    offset=$((offset + 30 + name + extra + length))
  done
}
deb_times() {  # file: the ar members' times, then those of the control and data files
  local offset=8 size header length
  size=$(stat -c %s "$1")
  while [ "$offset" -lt "$size" ]; do
    header=$(dd if="$1" bs=1 skip="$offset" count=60 status=none)
    echo "${header:16:12}" | tr -d ' '
    length=$(echo "${header:48:10}" | tr -d ' ')
    offset=$((offset + 60 + length + length % 2))
  done
  { dpkg-deb --ctrl-tarfile "$1" | TZ=UTC tar -tvf - --full-time
    dpkg-deb --fsys-tarfile "$1" | TZ=UTC tar -tvf - --full-time; } |
    awk '{ print $4 " " $5 }' | while read -r stamp; do date -u +%s -d "$stamp"; done
}

# Every time in the Linux and Windows files is SOURCE_DATE_EPOCH, in the
# zip to its format's two seconds. The installer's PE header is not ours:
# it is NSIS's prebuilt stub, with the time Debian built it, the same in
# every build.
times_test() {  # dir, epoch
  local v passed=0 failed=0 row file reader step times other
  v=$(version)
  for row in "mensurel_${v}_amd64.deb deb_times 1" "mensurel.exe pe_time 1" \
    "mensurel-$v-win64.zip zip_times 2"; do
    read -r file reader step <<<"$row"
    times=$("$reader" "$1/$file")
    other=$(awk -v e="$2" -v s="$step" '$1 - e >= s || e - $1 >= s' <<<"$times" | sort -u)
    if [ -z "$other" ] && [ -n "$times" ]; then
      passed=$((passed + 1))
    else
      echo "times: $file holds a time other than $2:" "$(tr "\n" " " <<<"$other")"
      failed=$((failed + 1))
    fi
  done
  echo "times: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# Two builds of the same source in two folders of different names and
# depths, one after the other; every release file must come out the same.
cmd_reproduce() {
  local start=$SECONDS epoch work passed=0 failed=0 f
  epoch=$(source_date_epoch)
  work=$(mktemp -d /tmp/mensurel-reproduce.XXXXXX)
  # shellcheck disable=SC2064 # the folder is known now
  trap "rm -rf '$work'" EXIT
  copy_source "$work/first"
  SOURCE_DATE_EPOCH=$epoch bash "$work/first/scripts/release.sh" build "$work/out-first"
  sleep 1 # so no file time of the second build can match the first's by chance
  copy_source "$work/second/deeper/source"
  SOURCE_DATE_EPOCH=$epoch bash "$work/second/deeper/source/scripts/release.sh" build \
    "$work/out-second"
  echo "== SHA-256 of the release files (SOURCE_DATE_EPOCH=$epoch)"
  cat "$work/out-first/SHA256SUMS"
  for f in $(awk '{ print $2 }' "$work/out-first/SHA256SUMS") SHA256SUMS; do
    if cmp -s "$work/out-first/$f" "$work/out-second/$f"; then
      passed=$((passed + 1))
    else
      echo "reproduce: $f differs between the two builds"
      failed=$((failed + 1))
      if command -v diffoscope >/dev/null; then
        diffoscope --text - "$work/out-first/$f" "$work/out-second/$f" | head -n 60 || true
      fi
    fi
  done
  echo "== reproduce took $((SECONDS - start)) s"
  echo "reproduce: $passed passed, $failed failed"
  times_test "$work/out-first" "$epoch" || failed=$((failed + 1))
  [ "$failed" -eq 0 ]
}

case "${1:-}" in
  build) shift; cmd_build "$@" ;;
  reproduce) cmd_reproduce ;;
  *) echo "usage: $0 build [DIR]|reproduce" >&2; exit 2 ;;
esac
