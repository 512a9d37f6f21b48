"""Runs the built setup under Wine for scripts/run and summarises what a
demonstration install wrote."""

import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT))

from tests.harness import flavour  # noqa: E402

FLAVOUR = flavour.current()
os.environ.setdefault("TESSOLO_BUILD_DIR",
                      str(Path(os.environ.get("TESSOLO_BUILD_ROOT", ROOT / "build")) / FLAVOUR.arch))

from tests.harness import wine  # noqa: E402

DEMO_FOLDER = r"C:\Apps\Tessolo"
# Values listed per registry key in the summary.
SHOWN_VALUES = 10
DEMO_OPTIONS = f'/silent /folder="{DEMO_FOLDER}" /group=1 /desktop=1 /thumbs=1 /assoc=1'
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tessolo"
# A prefix is of one architecture for good: the 64-bit flavour keeps its own.
DEFAULT_PREFIX = Path.home() / (".wine-tessolo" if FLAVOUR.arch == "win32"
                                else f".wine-tessolo-{FLAVOUR.arch}")


def prefix_arch(path):
    """The architecture an existing prefix was made for, or None."""
    try:
        with open(Path(path) / "system.reg", encoding="ascii", errors="replace") as reg:
            for line in reg:
                if line.startswith("#arch="):
                    return line.strip().partition("=")[2]
    except OSError:
        pass
    return None


def prepare_prefix(path, display, own_home):
    arch = prefix_arch(path)
    if arch and arch != FLAVOUR.arch:
        sys.exit(f"WINEPREFIX {path} is a {arch} prefix; this host runs the setup on "
                 f"{FLAVOUR.description}, which needs a {FLAVOUR.arch} prefix.")
    prefix = wine.WinePrefix.existing(path, display=display, own_home=own_home)
    Path(prefix.env["HOME"]).mkdir(parents=True, exist_ok=True)
    if not (Path(path) / "system.reg").exists():
        print(f"Creating Wine prefix {path} ...", file=sys.stderr)
        subprocess.run([FLAVOUR.loader, "wineboot", "-i"], env=prefix.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        subprocess.run([FLAVOUR.wineserver, "-w"], env=prefix.env, check=False)
        # Debian's Wine does not read its own fonts folder: without these the
        # dialogs fall back to a wider face and their texts wrap.
        fonts = Path(path) / "drive_c" / "windows" / "Fonts"
        for font in Path("/usr/share/wine/fonts").glob("*"):
            shutil.copy2(font, fonts / font.name)
    prefix._start_wine()
    return prefix


def run(prefix, options):
    line = f'"{wine_path(wine.SETUP_EXE)}"' + (" " + options if options else "")
    return prefix.run_exact(line, cwd_win=wine_path(Path.cwd()), timeout=None)


def wine_path(unix_path):
    """Wine's Z: drive maps the Linux root."""
    return "Z:" + str(Path(unix_path).resolve()).replace("/", "\\")


def display_works(display):
    if not display:
        return False
    return subprocess.run(["xdpyinfo", "-display", display], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def installed_folder(prefix):
    """The install folder the uninstall entry names, when it is on drive C:."""
    values = prefix.reg_values(UNINSTALL_KEY) or {}
    location = values.get("InstallLocation", (None, ""))[1]
    return location.rstrip("\\") if location[:2].upper() == "C:" else None


def summary(prefix, log_dir, folder_win):
    print("\n== What the install wrote")
    folder = prefix.unix_path(folder_win)
    print(f"\nFiles in {folder_win} ({folder}):")
    for path in sorted(p for p in folder.rglob("*") if p.is_file()):
        rel = path.relative_to(folder)
        print(f"  {str(rel):40} {path.stat().st_size:>9} bytes")
    ini = folder / "t_solo32.ini"
    if ini.exists():
        print("\nt_solo32.ini:")
        for line in ini.read_bytes().decode("cp1252").splitlines():
            print("  " + line)
    print("\nShortcuts:")
    for csidl in (wine.CSIDL_DESKTOP, wine.CSIDL_PROGRAMS):
        base = prefix.special_folder(csidl)
        unix = prefix.unix_path(base)
        for lnk in sorted(unix.rglob("*.lnk")):
            win = base + "\\" + str(lnk.relative_to(unix)).replace("/", "\\")
            link = prefix.shortcut(win) or {}
            args = f" {link.get('arguments')}" if link.get("arguments") else ""
            print(f"  {win}\n      -> {link.get('target')}{args}")
    print("\nRegistry:")
    for key in (r"HKLM\SOFTWARE\Classes\Tessolo", UNINSTALL_KEY, r"HKLM\SOFTWARE\Tessolo"):
        tree = prefix.reg_tree(key)
        if tree is None:
            continue
        for sub, values in tree.items():
            if not values:
                continue
            print(f"  [{key}{chr(92) + sub if sub else ''}]")
            shown = list(values.items())
            for name, (_, data) in shown[:SHOWN_VALUES]:
                print(f"    {name or '(default)'} = {data}")
            if len(shown) > SHOWN_VALUES:
                print(f"    ... {len(shown)} values in all")
    classes = prefix.reg_subkeys(r"HKLM\SOFTWARE\Classes") or []
    ours = [k for k in classes if k.lower().startswith("tessolo.")]
    print(f"  {len(ours)} file-type classes (Tessolo.<stem>), e.g. {', '.join(ours[:5])}")
    log = log_dir / "Tessolo_Install.log"
    print("\nInstall log:", log.read_bytes().decode("cp1252") if log.exists() else "(none: no stop)")


def main(argv):
    display = os.environ.get("DISPLAY")
    if argv:
        path = os.environ.get("WINEPREFIX", str(DEFAULT_PREFIX))
        prefix = prepare_prefix(path, display if display_works(display) else None, False)
        code = run(prefix, " ".join(argv))
        print(f"tessolo-setup.exe exited with {code}", file=sys.stderr)
        folder = installed_folder(prefix) if "/silent" in " ".join(argv) and code == 0 else None
        if folder:
            summary(prefix, Path.cwd(), folder)
        return code
    if display_works(display):
        path = os.environ.get("WINEPREFIX", str(DEFAULT_PREFIX))
        prefix = prepare_prefix(path, display, False)
        return run(prefix, "")
    path = os.environ.get("WINEPREFIX") or tempfile.mkdtemp(prefix="tessolo-demo-")
    print(f"No display: demonstration silent install into {path}", file=sys.stderr)
    print(f"  tessolo-setup.exe {DEMO_OPTIONS}", file=sys.stderr)
    prefix = prepare_prefix(path, None, "WINEPREFIX" not in os.environ)
    log_dir = Path(tempfile.mkdtemp(prefix="tessolo-demo-log-"))
    os.chdir(log_dir)
    code = run(prefix, DEMO_OPTIONS)
    print(f"tessolo-setup.exe exited with {code}")
    summary(prefix, log_dir, DEMO_FOLDER)
    prefix.stop_wine()
    return code


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
