#!/usr/bin/env python3
"""A silent install timed against a peer installer doing the same work, in one
warm Wine prefix. A figure, not a test.

The peer is made with NSIS 3 (makensis, Debian's nsis) from a script this
benchmark writes after one warm-up install of ours, so it repeats exactly what
that install left: the 25 files (stored, not compressed), the program class,
the Applications and uninstall keys, the image types' extension defaults and
classes, the Start-menu group and desktop links, and one association
notification. Both run alternately in pairs, each from the same state (both
install folders and all links removed before every run). The prefix's
desktop is held open throughout, as the shell holds it on Windows: otherwise
every run would pay for Wine starting a desktop and then wait out the second
Wine gives it before closing it. The benchmark prints each pair, both
medians, the floor (a trivial program's whole run) and the ratio ours/peer.

    python3 bench/silent_install.py [--pairs N] [--keep-script PATH]

The build folder is the flavour's (build/win32, or build/win64 with
TESSOLO_WINE_ARCH=win64); TESSOLO_BUILD_DIR names another.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
if "TESSOLO_BUILD_DIR" in os.environ:
    os.environ["TESSOLO_BUILD_DIR"] = str(Path(os.environ["TESSOLO_BUILD_DIR"]).resolve())

from tests.harness.wine import (CSIDL_DESKTOP, CSIDL_PROGRAMS, FLAVOUR, PROBE_EXE,  # noqa: E402
                                REG_DWORD, REG_EXPAND_SZ, REG_SZ, SETUP_EXE_WIN, WinePrefix)

OUR_FOLDER = r"C:\Bench\Tessolo"
PEER_FOLDER = r"C:\Bench\Peer"
OPTIONS = f"/silent /folder={OUR_FOLDER} /group=1 /desktop=1 /thumbs=1 /assoc=1"
PEER_EXE_WIN = r"C:\setup\peer-setup.exe"
CLASSES = r"HKLM\SOFTWARE\Classes"
# The keys the peer writes as ours wrote them (besides the file types).
MIRRORED_KEYS = (CLASSES + r"\Tessolo",
                 CLASSES + r"\Applications\t_solo32.exe",
                 r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tessolo")
NSIS_TARGET = {"win32": "x86-unicode", "win64": "amd64-unicode"}
SHCNE_ASSOCCHANGED = 0x08000000


def nsis_text(text):
    """A quoted NSIS string: $ and quotes escaped."""
    return '"' + text.replace("$", "$$").replace('"', '$\\"') + '"'


def registry_lines(path, tree):
    root, _, subkey = path.partition("\\")
    lines = []
    for relative, values in tree.items():
        key = subkey + ("\\" + relative if relative else "")
        if not values:
            lines.append(f"WriteRegStr {root} {nsis_text(key)} \"\" \"\"")
        for name, (value_type, data) in values.items():
            if value_type == REG_DWORD:
                lines.append(f"WriteRegDWORD {root} {nsis_text(key)} {nsis_text(name)} {data}")
            elif value_type == REG_EXPAND_SZ:
                lines.append(f"WriteRegExpandStr {root} {nsis_text(key)} {nsis_text(name)} "
                             f"{nsis_text(data)}")
            elif value_type == REG_SZ:
                lines.append(f"WriteRegStr {root} {nsis_text(key)} {nsis_text(name)} "
                             f"{nsis_text(data)}")
    return lines


def peer_script(prefix, out_exe):
    """The .nsi that repeats what our warm-up install wrote, in the peer's folder."""
    ours = prefix.unix_path(OUR_FOLDER)
    lines = [f"Target {NSIS_TARGET[FLAVOUR.arch]}", "Unicode true", "SetCompress off",
             "SilentInstall silent", "RequestExecutionLevel admin",
             f"OutFile {nsis_text(str(out_exe))}", f"InstallDir {nsis_text(PEER_FOLDER)}",
             "Section"]
    for folder in sorted({p.parent for p in ours.rglob("*") if p.is_file()}):
        relative = folder.relative_to(ours)
        subfolder = "" if relative == Path(".") else "\\" + str(relative).replace("/", "\\")
        lines.append(f"SetOutPath {nsis_text(PEER_FOLDER + subfolder)}")
        for path in sorted(p for p in folder.iterdir() if p.is_file()):
            if path.name.lower() == "t_solo32.ini":
                continue
            lines.append(f"File {nsis_text(str(path))}")
    peer_ini = PEER_FOLDER + "\\t_solo32.ini"
    ini = (ours / "t_solo32.ini").read_bytes().decode("cp1252").splitlines()
    section = ""
    for line in ini:
        if line.startswith("["):
            section = line.strip("[]")
        elif "=" in line:
            name, _, value = line.partition("=")
            lines.append(f"WriteINIStr {nsis_text(peer_ini)} "
                         f"{nsis_text(section)} {nsis_text(name)} {nsis_text(value)}")
    for key in MIRRORED_KEYS:
        tree = prefix.reg_tree(key)
        if tree:
            lines += registry_lines(key, tree)
    classes = prefix.reg_subkeys(CLASSES) or []
    for name in classes:
        if name.startswith("."):
            values = prefix.reg_values(CLASSES + "\\" + name) or {}
            if values.get("", (0, ""))[1].startswith("Tessolo."):
                lines += registry_lines(CLASSES + "\\" + name, {"": {"": values[""]}})
        elif name.lower().startswith("tessolo."):
            lines += registry_lines(CLASSES + "\\" + name, prefix.reg_tree(CLASSES + "\\" + name))
    for csidl in (CSIDL_PROGRAMS, CSIDL_DESKTOP):
        base = prefix.special_folder(csidl)
        unix = prefix.unix_path(base)
        for lnk in sorted(unix.rglob("*.lnk")):
            win = base + "\\" + str(lnk.relative_to(unix)).replace("/", "\\")
            link = prefix.shortcut(win)
            target = link["target"].replace(OUR_FOLDER, PEER_FOLDER)
            icon = link["icon"].replace(OUR_FOLDER, PEER_FOLDER)
            group = win.rsplit("\\", 1)[0]
            lines.append(f"CreateDirectory {nsis_text(group)}")
            lines.append(f"SetOutPath {nsis_text(link['workdir'].replace(OUR_FOLDER, PEER_FOLDER))}")
            lines.append(f"CreateShortCut {nsis_text(win)} "
                         f"{nsis_text(target)} {nsis_text(link['arguments'])} "
                         f"{nsis_text(icon)} {link['index']} \"\" \"\" "
                         f"{nsis_text(link['description'])}")
    lines.append(f"System::Call 'shell32::SHChangeNotify(i {SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'")
    lines.append("SectionEnd")
    return "\n".join(lines) + "\n"


def clean(prefix):
    """Back to the state before an install: folders and links gone."""
    for folder in (OUR_FOLDER, PEER_FOLDER):
        shutil.rmtree(prefix.unix_path(folder), ignore_errors=True)
    for csidl in (CSIDL_PROGRAMS, CSIDL_DESKTOP):
        unix = prefix.unix_path(prefix.special_folder(csidl))
        for lnk in unix.rglob("*.lnk"):
            lnk.unlink()


def timed(prefix, args):
    start = time.perf_counter()
    result = prefix.wine(args, timeout=300)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        raise RuntimeError(f"{args} exited with {result.returncode}")
    return seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pairs", type=int, default=7)
    parser.add_argument("--keep-script", metavar="PATH", help="save the peer's .nsi there")
    args = parser.parse_args()
    if not shutil.which("makensis"):
        sys.exit("makensis is missing (apt-get install nsis)")

    with tempfile.TemporaryDirectory() as scratch, WinePrefix("bench-silent") as prefix:
        prefix.start([PROBE_EXE, "desktop"])
        setup = [prefix.unix_path(SETUP_EXE_WIN)] + OPTIONS.split()
        timed(prefix, setup)  # warm-up, and the model of the peer's work
        script = Path(scratch) / "peer.nsi"
        peer_exe = prefix.unix_path(PEER_EXE_WIN)
        script.write_text(peer_script(prefix, peer_exe), encoding="utf-8-sig")
        if args.keep_script:
            shutil.copy2(script, args.keep_script)
        subprocess.run(["makensis", "-V1", str(script)], check=True)
        clean(prefix)
        timed(prefix, [peer_exe])  # warm-up
        floor = [trivial_run(prefix) for _ in range(args.pairs)]
        ours, peer = [], []
        for pair in range(args.pairs):
            clean(prefix)
            ours.append(timed(prefix, setup))
            clean(prefix)
            peer.append(timed(prefix, [peer_exe]))
            print(f"pair {pair + 1}: ours {ours[-1]:.3f} s  peer {peer[-1]:.3f} s")
        ours_median, peer_median = statistics.median(ours), statistics.median(peer)
        print(f"median of {args.pairs} pairs: ours {ours_median:.3f} s  peer {peer_median:.3f} s  "
              f"trivial program {statistics.median(floor):.3f} s")
        print(f"ratio ours/peer: {ours_median / peer_median:.2f}")


def trivial_run(prefix):
    """One whole run of a program that does nothing but look for a window."""
    start = time.perf_counter()
    prefix.wine([PROBE_EXE, "window", "NoSuchWindowClass"], timeout=60)
    return time.perf_counter() - start


if __name__ == "__main__":
    main()
