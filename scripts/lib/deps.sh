#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one is
# missing, and chooses the Wine flavour the Windows tests run on.
# Sourced by scripts/run and scripts/test.

tessolo_packages=(
  cmake ninja-build python3 g++ clang libclang-rt-14-dev curl
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine64 xvfb xauth fonts-wine x11-utils imagemagick
  googletest fp-utils locales lld llvm
)
# The shipped 32-bit setup is built on every host; where 32-bit programs run
# it is tested under 32-bit Wine, elsewhere the x64 build of the same sources
# is tested under 64-bit Wine.
tessolo_packages_win32=(wine32:i386)
tessolo_packages_win64=(g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64)

tessolo_missing_packages() {
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed$' || echo "$pkg"
  done
}

tessolo_apt_install() {
  local missing
  missing=$(tessolo_missing_packages "$@")
  [ -z "$missing" ] && return 0
  echo "Installing missing packages: $(echo $missing | tr '\n' ' ')"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  if echo "$missing" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
}

# Sets TESSOLO_WINE_ARCH (win32 or win64) unless the caller forced one, and
# tessolo_host_runs_32bit (yes or no).
tessolo_choose_wine_arch() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  mkdir -p "${TESSOLO_BUILD_ROOT:-$root/build}"
  if python3 "$root/scripts/lib/can_run_32bit.py" "${TESSOLO_BUILD_ROOT:-$root/build}"; then
    tessolo_host_runs_32bit=yes
  else
    tessolo_host_runs_32bit=no
  fi
  if [ -z "${TESSOLO_WINE_ARCH:-}" ]; then
    if [ $tessolo_host_runs_32bit = yes ]; then TESSOLO_WINE_ARCH=win32; else TESSOLO_WINE_ARCH=win64; fi
  fi
  case $TESSOLO_WINE_ARCH in
    win32 | win64) ;;
    *) echo "TESSOLO_WINE_ARCH=$TESSOLO_WINE_ARCH: expected win32 or win64" >&2; return 1 ;;
  esac
  export TESSOLO_WINE_ARCH
}

# One line for the start and the end of a run that says where Windows
# programs ran.
tessolo_wine_arch_note() {
  if [ "$TESSOLO_WINE_ARCH" = win32 ]; then
    echo "The Windows tests ran on the shipped 32-bit build under 32-bit Wine."
  elif [ $tessolo_host_runs_32bit = no ]; then
    echo "This host cannot run 32-bit programs: the Windows tests ran on the x64 build of the same sources under 64-bit Wine; the shipped 32-bit setup was built, not run."
  else
    echo "TESSOLO_WINE_ARCH=win64: the Windows tests ran on the x64 build of the same sources under 64-bit Wine; the shipped 32-bit setup was built, not run."
  fi
}

tessolo_install_deps() {
  tessolo_apt_install "${tessolo_packages[@]}" || return 1
  tessolo_choose_wine_arch || return 1
  if [ "$TESSOLO_WINE_ARCH" = win32 ]; then
    tessolo_apt_install "${tessolo_packages_win32[@]}"
  else
    tessolo_apt_install "${tessolo_packages_win64[@]}"
  fi
}
