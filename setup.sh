#!/bin/sh
# Set-up on Debian 12, also on a machine that has nothing yet, not even
# make: installs the Debian packages that are missing, then runs make with
# the targets given. Run it as root, or as a user who may use sudo.
#
#   sh setup.sh test            build and run every test
#   sh setup.sh run             build and open zanvek on examples/blink.a51
#   sh setup.sh install         build and install under /usr/local
#   sh setup.sh --deps GROUP... install only (groups below; default: build)
#
# apt is not touched when everything is there already.
set -eu
cd "$(dirname "$0")"

# The Debian packages, by what needs them.
build_packages="cmake make g++ pkg-config libgtest-dev libgmock-dev
  qt6-base-dev libgl-dev fonts-liberation"
fuzz_packages="clang libclang-rt-14-dev"       # make fuzz
deb_packages="dpkg-dev file"                   # make deb: dpkg-shlibdeps finds the Depends
check_packages="desktop-file-utils man-db"     # CI: validates the installed desktop entry and pages
icons_packages="librsvg2-bin"                  # make icons: renders the PNG icons again

packages_of() {
  case $1 in
    build) echo "$build_packages" ;;
    fuzz) echo "$fuzz_packages" ;;
    deb) echo "$deb_packages" ;;
    check) echo "$check_packages" ;;
    icons) echo "$icons_packages" ;;
    *) echo "setup.sh: unknown package group '$1' (build, fuzz, deb, check, icons)" >&2; return 2 ;;
  esac
}

install_missing() {
  missing=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
  done
  [ -n "$missing" ] || return 0
  if [ "$(id -u)" = 0 ]; then
    as_root=""
  elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
  else
    echo "setup.sh: missing Debian packages:$missing" >&2
    echo "setup.sh: run this as root, or install sudo" >&2
    return 1
  fi
  echo "Installing:$missing"
  # sudo drops DEBIAN_FRONTEND from the environment: env passes it on.
  $as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086 # one word per package
  $as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
}

if [ "${1-}" = "--deps" ]; then
  shift
  [ $# -gt 0 ] || set -- build
  wanted=""
  for group in "$@"; do
    wanted="$wanted $(packages_of "$group")"
  done
  # shellcheck disable=SC2086
  install_missing $wanted
  exit 0
fi

# shellcheck disable=SC2086
install_missing $build_packages
[ $# -gt 0 ] || set -- build
exec make "$@"
