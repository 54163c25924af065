# Sourced by scripts/dev.sh and scripts/windows.sh: installing the Debian
# packages a step needs when they are missing (as root, or through sudo).

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {  # package
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Package lists are read once; a fresh system has none yet.
APT_UPDATED=0
apt_update() {
  if [ "$APT_UPDATED" -eq 0 ]; then
    as_root apt-get update -qq
    APT_UPDATED=1
  fi
}

available() {  # package: known to this release's package lists
  apt-cache show "$1" >/dev/null 2>&1
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
