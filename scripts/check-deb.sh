#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it:
# its file list, its dependencies and lintian's verdict (no error allowed).
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
lintian --fail-on error --suppress-tags running-with-root-privileges "$deb" 2>&1 |
  grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || { echo "lintian reports errors"; status=1; }
[ "$status" -eq 0 ] && echo "$(basename "$deb"): contents, dependencies and lintian are fine"
exit "$status"
