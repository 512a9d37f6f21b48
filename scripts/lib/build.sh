#!/usr/bin/env bash
# Configures and builds the builds: native (portable core and its tests),
# win32 (the shipped setup, the stand-in payload and the Windows tests) and,
# where the Windows tests run on 64-bit Wine, win64 (the same sources for x64).
# Sourced by scripts/run and scripts/test. TESSOLO_BUILD_ROOT moves the
# build folder (default: build/ in the checkout).

tessolo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tessolo_build_root=${TESSOLO_BUILD_ROOT:-$tessolo_root/build}

# tessolo_build_windows win32|win64
tessolo_build_windows() {
  local arch=$1 dir=$tessolo_build_root/$1 toolchain
  case $arch in
    win32) toolchain=mingw-i686.cmake ;;
    win64) toolchain=mingw-x86_64.cmake ;;
  esac
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$tessolo_root" -B "$dir" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$tessolo_root/cmake/$toolchain" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
  fi
  cmake --build "$dir" -- -j"$(nproc)" || return 1
  if [ "$arch" = win32 ]; then
    # What a release names so that others can rebuild it (README.md).
    echo "== The shipped setup and the toolchain packages it was built with"
    (cd "$dir" && sha256sum tessolo-setup.exe && sed 's/^/   /' toolchain-packages.txt)
  fi
}

# The shipped 32-bit build, plus the build the Windows tests run on when that
# is another one.
tessolo_build_for_wine() {
  tessolo_build_windows win32 || return 1
  if [ "$TESSOLO_WINE_ARCH" != win32 ]; then
    tessolo_build_windows "$TESSOLO_WINE_ARCH" || return 1
  fi
}

tessolo_build_native() {
  local dir=$tessolo_build_root/native
  if [ ! -f "$dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$tessolo_root" -B "$dir" -G Ninja \
      -DCMAKE_BUILD_TYPE=Debug -DTESSOLO_SANITIZE=ON >/dev/null || return 1
  fi
  cmake --build "$dir" -- -j"$(nproc)"
}
