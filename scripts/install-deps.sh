#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; does nothing when
# they are all there. Usage: install-deps.sh [run|all]
set -euo pipefail

# wine64 too: the 64-bit build runs under it, where 32-bit programs cannot
# start and, for the tests, after the 32-bit one where they can.
need=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 fonts-wine xvfb imagemagick x11-utils
  nsis)
if [ "${1:-all}" = all ]; then
  # x11-xkb-utils: setxkbmap gives the tests' X server a German keyboard;
  # locales: localedef makes them a Russian locale of their own.
  # ccache: the tests' build of a width compiles what the shipped one did.
  need+=(g++ googletest libgtest-dev libbenchmark-dev clang-14 libclang-rt-14-dev python3 passwd util-linux
    x11-xkb-utils locales ccache)
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

updated=""
install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  if [ -z "$updated" ]; then
    $sudo apt-get update -qq
    updated=1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

install_missing "${need[@]}"
