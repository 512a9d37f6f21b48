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
# Where the host cannot run 32-bit code, the shipped files still run, slowly,
# under 32-bit Wine through user-mode emulation.
tessolo_packages_emulation=(qemu-user-static wine32:i386)
tessolo_binfmt=/proc/sys/fs/binfmt_misc
tessolo_emulator=/usr/bin/qemu-i386-static
# i386 ELF executables and shared objects (e_ident without OS ABI, e_type 2
# or 3, e_machine 3). F: the emulator is opened now, so it is found from any
# mount namespace; P: the program keeps its own name as argv[0].
tessolo_binfmt_i386=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:FP'

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

# Sets TESSOLO_WINE_ARCH (win32 or win64) unless the caller forced one,
# tessolo_host_runs_32bit (yes or no: natively) and tessolo_host_emulates_32bit
# (yes when i386 programs run through a registered emulator instead).
tessolo_choose_wine_arch() {
  local root probe=0
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  mkdir -p "${TESSOLO_BUILD_ROOT:-$root/build}"
  python3 "$root/scripts/lib/can_run_32bit.py" "${TESSOLO_BUILD_ROOT:-$root/build}" || probe=$?
  tessolo_host_runs_32bit=no
  tessolo_host_emulates_32bit=no
  case $probe in
    0) tessolo_host_runs_32bit=yes ;;
    2) tessolo_host_emulates_32bit=yes ;;
  esac
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
  elif [ $tessolo_host_runs_32bit = no ] && [ "${TESSOLO_SMOKE_ROUTE:-}" = emulated ]; then
    echo "This host cannot run 32-bit programs: the Windows tests ran on the x64 build of the same sources under 64-bit Wine; the shipped 32-bit files get only the smoke suite, under emulated 32-bit Wine."
  elif [ $tessolo_host_runs_32bit = no ]; then
    echo "This host cannot run 32-bit programs: the Windows tests ran on the x64 build of the same sources under 64-bit Wine; the shipped 32-bit setup was built, not run."
  else
    echo "TESSOLO_WINE_ARCH=win64: the Windows tests ran on the x64 build of the same sources under 64-bit Wine; the shipped 32-bit setup was built, not run."
  fi
}

# Makes the kernel hand i386 programs to the emulator: mounts binfmt_misc
# when needed and registers (or re-enables) the entry. Needs root.
tessolo_register_i386_emulator() {
  local sudo=$1
  if [ ! -e $tessolo_binfmt/register ]; then
    $sudo mount -t binfmt_misc binfmt_misc $tessolo_binfmt 2>/dev/null || {
      tessolo_emulation_skip_reason="binfmt_misc is not available and cannot be mounted at $tessolo_binfmt"
      return 1
    }
  fi
  if [ -e $tessolo_binfmt/qemu-i386 ]; then
    grep -qx enabled $tessolo_binfmt/qemu-i386 || echo 1 | $sudo tee $tessolo_binfmt/qemu-i386 >/dev/null
  else
    printf '%s' "$tessolo_binfmt_i386" | $sudo tee $tessolo_binfmt/register >/dev/null 2>&1 || {
      tessolo_emulation_skip_reason="the i386 entry could not be registered with binfmt_misc"
      return 1
    }
  fi
}

# Builds the library preloaded into emulated 32-bit Wine (see
# map_noreplace.c) and exports its path as TESSOLO_EMULATION_PRELOAD, which
# tests/harness/flavour.py hands to every 32-bit Wine process; and the one
# that keeps a new 64-bit prefix's 32-bit helpers from running under the
# emulator (refuse_i386.c), as TESSOLO_X64_PREFIX_PRELOAD. The paths hold
# the loader's $LIB, so the 64-bit programs Wine starts (wineserver, shell
# scripts) find an empty library of their own instead of an error.
tessolo_build_emulation_preloads() {
  local root dir
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  dir=${TESSOLO_BUILD_ROOT:-$root/build}/emulation
  mkdir -p "$dir/lib/i386-linux-gnu" "$dir/lib/x86_64-linux-gnu"
  local name
  for name in map_noreplace refuse_i386; do
    if [ ! -f "$dir/lib/x86_64-linux-gnu/$name.so" ] ||
       [ "$root/scripts/lib/$name.c" -nt "$dir/lib/i386-linux-gnu/$name.so" ]; then
      clang --target=i386-linux-gnu -O2 -fPIC -shared -nostdlib -fuse-ld=lld \
        "$root/scripts/lib/$name.c" -o "$dir/lib/i386-linux-gnu/$name.so" || return 1
      clang -shared -nostdlib -fuse-ld=lld -x c /dev/null \
        -o "$dir/lib/x86_64-linux-gnu/$name.so" || return 1
    fi
  done
  export TESSOLO_EMULATION_PRELOAD="$dir/\$LIB/map_noreplace.so"
  # Preloaded where the x64 route makes a 64-bit prefix (refuse_i386.c).
  export TESSOLO_X64_PREFIX_PRELOAD="$dir/\$LIB/refuse_i386.so"
}

# Prepares the route for the shipped-files smoke suite and sets
# TESSOLO_SMOKE_ROUTE: "native" (32-bit Wine runs as it is), "emulated"
# (set up here: emulator, binfmt_misc entry, 32-bit Wine) or "skipped", with
# TESSOLO_SMOKE_SKIP_REASON saying why.
tessolo_prepare_smoke_route() {
  TESSOLO_SMOKE_SKIP_REASON=""
  tessolo_emulation_skip_reason=""
  export TESSOLO_SMOKE_ROUTE TESSOLO_SMOKE_SKIP_REASON
  if [ "$tessolo_host_runs_32bit" = yes ]; then
    TESSOLO_SMOKE_ROUTE=native
    tessolo_apt_install "${tessolo_packages_win32[@]}" && return 0
    TESSOLO_SMOKE_ROUTE=skipped
    TESSOLO_SMOKE_SKIP_REASON="wine32:i386 could not be installed"
    return 0
  fi
  TESSOLO_SMOKE_ROUTE=skipped
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! sudo -n true 2>/dev/null; then
      TESSOLO_SMOKE_SKIP_REASON="setting up user-mode emulation needs root (or password-less sudo)"
      return 0
    fi
    sudo="sudo"
  fi
  local had_entry=no
  grep -qx enabled $tessolo_binfmt/qemu-i386 2>/dev/null && had_entry=yes
  if ! tessolo_apt_install "${tessolo_packages_emulation[@]}"; then
    TESSOLO_SMOKE_SKIP_REASON="qemu-user-static or wine32:i386 could not be installed"
    return 0
  fi
  if ! tessolo_register_i386_emulator "$sudo"; then
    TESSOLO_SMOKE_SKIP_REASON=$tessolo_emulation_skip_reason
    return 0
  fi
  if ! timeout 120 /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    TESSOLO_SMOKE_SKIP_REASON="32-bit programs still do not start after registering $tessolo_emulator"
    return 0
  fi
  if ! tessolo_build_emulation_preloads; then
    TESSOLO_SMOKE_SKIP_REASON="the emulation's mmap shim could not be built"
    return 0
  fi
  TESSOLO_SMOKE_ROUTE=emulated
  if [ $had_entry = no ]; then
    echo "This host cannot run 32-bit programs: set up user-mode emulation for them (packages qemu-user-static and wine32:i386; i386 programs registered with binfmt_misc for $tessolo_emulator, flags FP). The shipped 32-bit files run under emulated 32-bit Wine, slowly."
  else
    echo "This host cannot run 32-bit programs: they run through the i386 emulator registered with binfmt_misc; the shipped 32-bit files run under emulated 32-bit Wine, slowly."
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
