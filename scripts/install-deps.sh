#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; does nothing when
# they are all there. Usage: install-deps.sh [run|all]
set -euo pipefail

need=(cmake make g++-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb imagemagick x11-utils)
if [ "${1:-all}" = all ]; then
  need+=(g++ googletest libgtest-dev libbenchmark-dev clang-14 libclang-rt-14-dev g++-mingw-w64-x86-64 python3 passwd util-linux)
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

missing=()
for package in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
