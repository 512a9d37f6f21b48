#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one is missing.
# Sourced by scripts/run and scripts/test.

tessolo_packages=(
  cmake ninja-build python3 g++ clang libclang-rt-14-dev curl
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 wine64 xvfb xauth fonts-wine x11-utils imagemagick
  googletest fp-utils locales
)

tessolo_missing_packages() {
  local pkg
  for pkg in "${tessolo_packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed$' || echo "$pkg"
  done
}

tessolo_install_deps() {
  local missing
  missing=$(tessolo_missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing missing packages: $(echo $missing | tr '\n' ' ')"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
}
