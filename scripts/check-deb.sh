#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it:
# its file list, its dependencies, lintian's verdict (no error allowed) and,
# for a tree built with Debian's hardening flags, hardening-check's.
#   scripts/check-deb.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/mensurel_*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
depends=$(dpkg-deb -f "$deb" Depends)
app_id=$(sed -n 's/^MENSUREL_APP_ID:STRING=//p' "$build/CMakeCache.txt")

status=0
for path in ./usr/bin/mensurel \
  "./usr/share/applications/$app_id.desktop" \
  "./usr/share/metainfo/$app_id.metainfo.xml" \
  "./usr/share/icons/hicolor/16x16/apps/$app_id.png" \
  "./usr/share/icons/hicolor/32x32/apps/$app_id.png" \
  ./usr/share/man/man1/mensurel.1.gz \
  ./usr/share/doc/mensurel/copyright ./usr/share/doc/mensurel/changelog.gz; do
  grep -qxF "$path" <<<"$contents" || { echo "missing from the package: $path"; status=1; }
done
for package in libqt6widgets6 libqt6gui6 fonts-liberation fonts-wqy-microhei qt6-translations-l10n; do
  grep -q "$package" <<<"$depends" || { echo "missing dependency: $package"; status=1; }
done
# A tree built with MENSUREL_DEBIAN_FLAGS ships a hardened program:
# hardening-check must pass on the packaged binary. A protection that lives
# in a mark every linked object must carry is asked for only where the C
# start files of this release carry it too, since without it there no
# program can: x86 control-flow protection (IBT, SHSTK) and AArch64 branch
# protection (BTI, PAC), the latter checked by newer hardening-checks only.
if grep -qx 'MENSUREL_DEBIAN_FLAGS:BOOL=ON' "$build/CMakeCache.txt"; then
  dpkg-deb -x "$deb" "$out/unpacked"
  compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
  marks=$(readelf -n "$("$compiler" -print-file-name=Scrt1.o)")
  known=$(hardening-check --help 2>&1 || true) # its help ends with status 1
  options=()
  for row in "--nocfprotection|x86 feature: IBT, SHSTK" \
    "--nobranchprotection|AArch64 feature: BTI, PAC"; do
    option=${row%%|*} mark=${row#*|}
    if grep -q -- "$option" <<<"$known" && ! grep -q "$mark" <<<"$marks"; then
      options+=("$option")
      echo "hardening: the C start files carry no \"$mark\": $option"
    fi
  done
  hardening-check "${options[@]}" "$out/unpacked/usr/bin/mensurel" ||
    { echo "the packaged binary is not hardened"; status=1; }
fi
lintian --fail-on error --suppress-tags running-with-root-privileges "$deb" 2>&1 |
  grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || { echo "lintian reports errors"; status=1; }
[ "$status" -eq 0 ] && echo "$(basename "$deb"): contents, dependencies, hardening and lintian are fine"
exit "$status"
