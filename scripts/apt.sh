# Sourced by the scripts: the Debian packages each purpose needs, in one
# place, and installing those that are missing (as root, or through sudo).
#   packages run|test|windows|release   the names, one a line
#   install_missing NAME...             installs those not yet installed

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {  # package
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Package lists are read once; a fresh system has none yet.
apt_update() {
  [ -n "${APT_UPDATED:-}" ] || { as_root apt-get update -qq && APT_UPDATED=1; }
}

available() {  # package: installed, or known to this release's package lists
  installed "$1" || apt-cache show "$1" >/dev/null 2>&1
}

packages() {  # purpose
  case "$1" in
    # Compiler, Qt 6 Widgets, fonts for Arial-metric labels and Chinese
    # text, Qt's own texts in the desktop's language.
    run) echo cmake make g++ pkg-config qt6-base-dev libgl-dev fonts-liberation \
      fonts-wqy-microhei qt6-translations-l10n ;;
    # Tests, sanitizers, fuzzer, benchmark, lint, window checks under Xvfb,
    # package checks; the LLVM names are this release's (its clang's
    # run-time, the clang-format major version pinned in .clang-format).
    test)
      available clang || apt_update
      echo libgtest-dev libbenchmark-dev libx11-dev libxtst-dev clang clang-tidy xvfb \
        xauth xdotool imagemagick x11-utils locales dpkg-dev file lintian devscripts \
        desktop-file-utils appstream git python3 python3-pil fonts-dejavu-extra \
        "clang-format-$(sed -n 's/^# clang-format major version: //p' .clang-format)" \
        "$(apt-cache depends clang | sed -n 's/^ *Depends: clang-\([0-9]*\)$/libclang-rt-\1-dev/p')"
      ;;
    # The cross-build, its tests under Wine on Xvfb, the installer and zip;
    # the 64-bit loader is a package of its own where the release has one.
    windows)
      echo cmake make g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest \
        nsis zip wine xvfb xauth openbox xdotool imagemagick x11-utils libx11-dev python3 \
        fonts-wqy-microhei fonts-liberation
      available wine64 || apt_update
      if available wine64; then echo wine64; fi
      ;;
    release) echo cmake make g++ pkg-config qt6-base-dev libgl-dev dpkg-dev file git \
      g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis zip ;;
  esac
}

install_missing() {
  local missing=() p
  for p in "$@"; do
    installed "$p" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    apt_update
    as_root env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}
