#!/usr/bin/env bash
# Configures and builds the two builds: native (portable core and its tests)
# and win32 (the setup, the stand-in payload and the Windows tests).
# Sourced by scripts/run and scripts/test. TESSOLO_BUILD_ROOT moves the
# build folder (default: build/ in the checkout).

tessolo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tessolo_build_root=${TESSOLO_BUILD_ROOT:-$tessolo_root/build}

tessolo_build_win32() {
  local dir=$tessolo_build_root/win32
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$tessolo_root" -B "$dir" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$tessolo_root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
  fi
  cmake --build "$dir" -- -j"$(nproc)"
}

tessolo_build_native() {
  local dir=$tessolo_build_root/native
  if [ ! -f "$dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$tessolo_root" -B "$dir" -G Ninja \
      -DCMAKE_BUILD_TYPE=Debug -DTESSOLO_SANITIZE=ON >/dev/null || return 1
  fi
  cmake --build "$dir" -- -j"$(nproc)"
}
