#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; does nothing when
# they are all there. Usage: install-deps.sh [run|all]
set -euo pipefail
. "$(dirname "$0")/which-wine.sh"

# wine64 too: the 64-bit build runs under it, where 32-bit programs cannot
# start and, for the tests, after the 32-bit one where they can.
need=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb imagemagick x11-utils
  nsis)
if [ "${1:-all}" = all ]; then
  # x11-xkb-utils: setxkbmap gives the tests' X server a German keyboard;
  # locales: localedef makes them a Russian locale of their own.
  # ccache: the tests' build of a width compiles what the shipped one did.
  # openssl: a certificate for the tests' untrusted https server, which
  # Wine's WinINet meets through GnuTLS (only recommended by Wine).
  need+=(g++ googletest libgtest-dev libbenchmark-dev clang-14 libclang-rt-14-dev python3 passwd util-linux
    x11-xkb-utils locales ccache openssl libgnutls30)
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

updated=""
update_lists() {
  [ -z "$updated" ] || return 0
  updated=1
  # A mirror caught in the middle of a sync serves an index that does not match
  # its release file for a while. What the other indexes hold is usually
  # enough, so after a few tries we go on with them.
  local try
  for try in 1 2 3; do
    if $sudo apt-get update -qq; then return 0; fi
    echo "apt-get update failed (try $try of 3)"
    sleep $((try * 5))
  done
  echo "Going on with the package lists as they are"
}

missing_of() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
  done
}

install_missing() {
  local missing
  mapfile -t missing < <(missing_of "$@")
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  update_lists
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

install_missing "${need[@]}"

# 32-bit Wine only where it can be used: a kernel that cannot start 32-bit
# programs, or i386 package lists the mirror cannot serve right now, leave
# the tests and run.sh to the 64-bit build (scripts/which-wine.sh says which).
if [ -n "$(missing_of wine32:i386)" ] && ! kernel_runs_32_bit; then
  echo "This kernel cannot start 32-bit programs: the 64-bit build runs instead"
elif [ -n "$(missing_of wine32:i386)" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    updated=""
  fi
  if ! install_missing wine32:i386 libgnutls30:i386 2>/dev/null; then
    echo "32-bit Wine could not be installed: the 64-bit build runs instead"
  fi
fi
