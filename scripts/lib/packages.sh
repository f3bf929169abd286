# Sourced by every script that installs what it needs (Debian 12): one way to find what is missing
# and to install it.

# Runs the command as root: itself when this is root already, else through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_missing WHO PACKAGE...: installs with apt-get the packages that are not installed yet,
# saying "WHO: installing …" first; quick, and silent, when every one is there.
install_missing() {
  local who=$1 package
  local missing=()
  shift
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "$who: installing ${missing[*]}"
  # One script installs at a time (CI builds in the background while it tests), and apt waits
  # for any other holder of its lock.
  as_root flock /tmp/velluma-packages.lock apt-get -o DPkg::Lock::Timeout=600 update -qq
  as_root flock /tmp/velluma-packages.lock env DEBIAN_FRONTEND=noninteractive \
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
}
