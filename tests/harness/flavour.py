"""The Wine flavour the Windows tests run on: the one place that says which
loader, which wineserver and which
build of the sources it runs (the toolchain of the build folder of the same
name builds the test tools).

The 32-bit flavour runs the shipped 32-bit build. Hosts whose processor gives
user space no 32-bit code segment cannot start any 32-bit program, so there
the same sources are built for x64 and tested under 64-bit Wine. The flavour
is chosen by TESSOLO_WINE_ARCH ("win32" unless set).

On such hosts the shipped files still run under 32-bit Wine through
user-mode emulation (scripts/lib/deps.sh sets it up): then
TESSOLO_EMULATION_PRELOAD names a library every 32-bit Wine process preloads
(scripts/lib/map_noreplace.c), and TESSOLO_X64_PREFIX_PRELOAD one that the
making of a 64-bit prefix preloads (scripts/lib/refuse_i386.c).

Shell scripts take the flavour as environment variables:
    eval "$(python3 tests/harness/flavour.py env)"
"""

import os
import shlex
import sys
from dataclasses import dataclass


@dataclass(frozen=True)
class Flavour:
    arch: str            # WINEARCH, and the name of the build folder
    loader: str          # the Wine loader that starts a program
    wineserver: str
    description: str


FLAVOURS = {
    "win32": Flavour("win32", "wine", "wineserver",
                     "32-bit Wine, the shipped 32-bit build"),
    # Debian's /usr/bin/wine insists on the 32-bit loader; the 64-bit one is
    # started directly.
    "win64": Flavour("win64", "/usr/lib/wine/wine64", "wineserver",
                     "64-bit Wine, the x64 build of the same sources"),
}

DEFAULT_ARCH = "win32"


def current():
    arch = os.environ.get("TESSOLO_WINE_ARCH") or DEFAULT_ARCH
    if arch not in FLAVOURS:
        raise SystemExit(f"TESSOLO_WINE_ARCH={arch}: expected one of {', '.join(FLAVOURS)}")
    return FLAVOURS[arch]


def environment(flavour=None):
    """The variables every Wine process of the flavour gets."""
    flavour = flavour or current()
    env = {"WINEARCH": flavour.arch}
    if flavour.loader.startswith("/"):
        # Programs Wine starts itself (wineboot, services) use the same loader.
        env["WINELOADER"] = flavour.loader
    preload = os.environ.get("TESSOLO_EMULATION_PRELOAD")
    if flavour.arch == "win32" and preload:
        env["LD_PRELOAD"] = preload
    return env


def creation_environment(flavour=None):
    """The further variables for making a new prefix: where i386 programs
    run through an emulator, a 64-bit prefix's 32-bit helpers are refused
    (scripts/lib/refuse_i386.c)."""
    flavour = flavour or current()
    preload = os.environ.get("TESSOLO_X64_PREFIX_PRELOAD")
    return {"LD_PRELOAD": preload} if flavour.arch == "win64" and preload else {}


def main(argv):
    flavour = current()
    if argv[1:] == ["env"]:
        values = dict(environment(flavour), TESSOLO_WINE=flavour.loader,
                      TESSOLO_WINESERVER=flavour.wineserver,
                      TESSOLO_CREATION_PRELOAD=creation_environment(flavour).get("LD_PRELOAD", ""))
        for name, value in values.items():
            print(f"export {name}={shlex.quote(value)}")
        return 0
    if argv[1:] and hasattr(flavour, argv[1]):
        print(getattr(flavour, argv[1]))
        return 0
    print(f"usage: {argv[0]} env | arch | loader | wineserver",
          file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
