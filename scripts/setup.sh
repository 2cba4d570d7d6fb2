#!/bin/bash
# Installs everything the build, the tests and the demo need: the two MinGW-w64
# toolchains, WoW64 Wine (64-bit and 32-bit halves), Xvfb, CMake, Ninja and
# GoogleTest. Quick when everything is already there.
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev
          clang-14 libclang-rt-14-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64
          binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
          wine wine64 wine32:i386 xvfb xauth)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
