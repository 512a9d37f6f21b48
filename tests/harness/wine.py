"""Throw-away Wine prefixes for the end-to-end and UI tests.

A test opens a prefix, runs the real setup in it and reads back what the setup
left: files, registry values (type and exact letter case), shell links and the
install log. Prefixes are copies of one template made per build; the Windows
folder is hard-linked (nothing here writes to it), the rest is copied, so a new
prefix costs well under a second.

    with WinePrefix("silent-xp", version="winxp") as wp:
        code = wp.run_setup('/silent /folder="C:\\Apps\\Tessolo"')
        wp.reg_values(r"HKLM\\SOFTWARE\\Classes\\Tessolo")
"""

import atexit
import ctypes
import fcntl
import itertools
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path, PureWindowsPath

from tests.harness import flavour

FLAVOUR = flavour.current()

# Debian's 64-bit loader comes without Wine's preloader, which keeps the low
# addresses free: with the address layout randomised, the loader's heap now
# and then covers the page Wine maps at a fixed address for every process,
# and the program ends at once with exit code 1 ("failed to map the shared
# user data", seen about once in a few thousand starts). Every process this
# harness starts, and every process those start, gets a fixed layout.
ADDR_NO_RANDOMIZE = 0x0040000
QUERY_PERSONALITY = 0xFFFFFFFF


def _fix_address_layout():
    libc = ctypes.CDLL(None, use_errno=True)
    libc.personality.argtypes = [ctypes.c_ulong]
    current = libc.personality(QUERY_PERSONALITY)
    if current != -1:
        libc.personality(current | ADDR_NO_RANDOMIZE)


if FLAVOUR.arch == "win64":
    _fix_address_layout()

HARNESS_DIR = Path(__file__).resolve().parent
SOURCE_DIR = HARNESS_DIR.parent.parent
BUILD_DIR = Path(os.environ.get("TESSOLO_BUILD_DIR",
                                SOURCE_DIR / "build" / FLAVOUR.arch)).resolve()
SETUP_EXE = BUILD_DIR / "tessolo-setup.exe"
PROBE_EXE = BUILD_DIR / "tools" / "probe.exe"
ARTIFACTS_DIR = Path(os.environ.get("TESSOLO_ARTIFACTS", BUILD_DIR.parent / "artifacts"))

# Where the setup is copied inside a prefix, and the folder it runs in (the
# install log is written to the current directory).
SETUP_DIR_WIN = r"C:\setup"
SETUP_EXE_WIN = SETUP_DIR_WIN + r"\tessolo-setup.exe"

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7

# Shell folder ids the tests look into.
CSIDL_DESKTOP, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DESKTOP = 0, 2, 23, 25

# (platform id, major, minor) that the version query reports under each Wine
# version name; a prefix whose programs see anything else fails at once.
REPORTED_VERSIONS = {
    "win98": (1, 4, 10), "nt40": (2, 4, 0), "win2k": (2, 5, 0), "winxp": (2, 5, 1),
    "winxp64": (2, 5, 2), "vista": (2, 6, 0), "win7": (2, 6, 1),
}

_counter = itertools.count()


def load_factor():
    """How many times busier than its cores the machine is (at least 1)."""
    try:
        return max(1.0, os.getloadavg()[0] / (os.cpu_count() or 1))
    except OSError:
        return 1.0


def patience(seconds):
    """A wait of `seconds` on a quiet machine, grown with the machine's load:
    for waits on Wine starting and answering, where nothing is measured."""
    return seconds * load_factor()


def wait_until(condition, what, timeout, interval=0.2):
    """Polls condition() until it is true; `timeout` (seconds on a quiet
    machine) grows with the load. Raises TimeoutError naming `what`."""
    limit = patience(timeout)
    deadline = time.monotonic() + limit
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise TimeoutError(f"waited {limit:.0f} s for {what} "
                               f"(load {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores)")
        time.sleep(interval)


def _end_with_parent():
    # An X server outlives a test that is killed (a ctest time-out); the
    # kernel ends it with the test instead.
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


_running_servers = set()


@atexit.register
def _end_running_servers():
    for server in list(_running_servers):
        server.stop()


def _wine_env(prefix):
    env = dict(os.environ)
    env.update(flavour.environment(FLAVOUR))
    env.update({
        "WINEPREFIX": str(prefix),
        "WINEDEBUG": "-all",
        "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
        "HOME": str(prefix) + ".home",
    })
    env.pop("DISPLAY", None)
    return env


def _reg_quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def _reg_entry(name, value):
    """One line of a .reg file: a text as REG_SZ, a number as REG_DWORD."""
    data = f"dword:{value:08x}" if isinstance(value, int) else _reg_quoted(value)
    return _reg_quoted(name) + "=" + data


def write_user_values(prefix, values):
    """Writes values {key under HKCU: {name: text or number}} (REG_SZ or
    REG_DWORD) into the prefix's user.reg while no wineserver runs: no Wine
    process is started for them (under emulation each start costs seconds,
    and Wine's own set-up programs now and then hang there)."""
    reg = Path(prefix) / "user.reg"
    lines = reg.read_text(encoding="ascii", errors="surrogateescape").rstrip("\n").split("\n")
    for key, named in values.items():
        header = "[" + key.replace("\\", "\\\\") + "]"
        start = next((i for i, line in enumerate(lines)
                      if re.fullmatch(r"(\[.*\])( \d+)?", line)
                      and line.rsplit("]", 1)[0].lower() + "]" == header.lower()), None)
        if start is None:
            lines += ["", f"{header} {int(time.time())}"]
            start = len(lines) - 1
        end = start + 1
        while end < len(lines) and lines[end] and not lines[end].startswith("["):
            end += 1
        for name, text in named.items():
            entry = _reg_entry(name, text)
            mark = (_reg_quoted(name) + "=").lower()
            found = [i for i in range(start + 1, end) if lines[i].lower().startswith(mark)]
            if found:
                lines[found[0]] = entry
            else:
                lines.insert(end, entry)
                end += 1
    reg.write_text("\n".join(lines) + "\n", encoding="ascii", errors="surrogateescape")


class SetupStepHung(Exception):
    """One of Wine's own set-up steps (making or starting a prefix, ending its
    server) passed its limit, or ended without its work done: a fault of
    Wine, not of a program under test."""

    def __init__(self, step, prefix, limit, outcome=None):
        super().__init__(f"Wine's set-up step `{step}` in prefix {Path(prefix).name} "
                         + (outcome or f"passed its limit of {limit:.0f} s"))
        self.step = step
        self.limit = limit or 0


def _run_setup_step(step, command, env, limit, prefix, **kwargs):
    """Runs one of Wine's set-up commands; None as limit waits for good."""
    try:
        return subprocess.run(command, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              check=False, timeout=limit, **kwargs)
    except subprocess.TimeoutExpired:
        raise SetupStepHung(step, prefix, limit) from None


def prefix_processes(prefix):
    """(pid, arguments) of each host process started in the prefix: Wine
    keeps the prefix in the environment of every process it starts."""
    mark = b"WINEPREFIX=" + os.fsencode(prefix)
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                if mark not in f.read().split(b"\0"):
                    continue
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                args = [os.fsdecode(a) for a in f.read().split(b"\0") if a]
        except OSError:
            continue  # ended meanwhile, or not ours to read
        yield int(pid), args


def prefix_programs(prefix):
    """The programs running in the prefix, each with its first argument: the
    Windows program where there is one (under the emulator it follows the
    emulator's and the loader's paths), else the host program."""
    names = set()
    for _, args in prefix_processes(prefix):
        program = next((i for i, arg in enumerate(args) if arg.lower().endswith(".exe")), 0)
        names.add(" ".join([PureWindowsPath(args[program]).name, *args[program + 1:program + 2]])
                  if args else "?")
    return sorted(names)


def kill_prefix(prefix, env):
    """Ends every process of a prefix at once, Wine's server first (a hung
    server may not answer -k, so what is left is killed by its environment)."""
    try:
        subprocess.run([FLAVOUR.wineserver, "-k"], env=env, check=False, timeout=patience(30),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        pass
    for pid, _ in prefix_processes(prefix):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            continue  # ended meanwhile


def note_setup_retry(hung, attempt, remedy="thrown away, done again in a fresh copy"):
    """Says that a hung set-up step was ended and what followed, and records
    it for the run's summary (ARTIFACTS_DIR/setup-retries.txt, a line each)."""
    line = f"{hung}: {remedy} (retry {attempt})"
    print(f"SET-UP RETRY: {line}", flush=True)
    ARTIFACTS_DIR.mkdir(parents=True, exist_ok=True)
    with open(ARTIFACTS_DIR / SETUP_RETRIES_FILE, "a") as retries:
        retries.write(f"{hung.step}\t{hung.limit:.0f}\t{line}\n")


SETUP_RETRIES_FILE = "setup-retries.txt"


# How long the processes of a new prefix may take to end after wineboot, on
# a quiet machine (under emulation 4.4 s at most in 33 templates, unless one
# hung for good).
TEMPLATE_SETTLE_SECONDS = 60
# The wineboot that Wine starts first in a session (making the prefix, or
# starting its services), and how long it may take to end once it let the
# command that started it go on.
FIRST_BOOT = "wineboot.exe --init"
FIRST_BOOT_END_SECONDS = 30
# How long `cmd /c vol c:` may take, on a quiet machine (a few seconds even
# under emulation), before Wine's device host counts as not answering.
DEVICE_HOST_ANSWER_SECONDS = 60


def _expect_first_boot_ended(step, prefix, limit):
    """Raises SetupStepHung unless the session's first boot ends soon. Wine
    lets the command that started it go on after a few minutes without it
    (2, or 5 when it makes the prefix); if it still runs, it hung: the
    prefix may be half made, and every later program started from the shell
    waits for it again."""
    try:
        wait_until(lambda: FIRST_BOOT not in prefix_programs(prefix),
                   "the first wineboot to end", FIRST_BOOT_END_SECONDS)
    except TimeoutError:
        raise SetupStepHung(step, prefix, limit,
                            "ended while the session's first boot still ran") from None


def _make_template(template, limit):
    env = _wine_env(template)
    Path(env["HOME"]).mkdir(parents=True, exist_ok=True)
    _run_setup_step("wineboot -i", [FLAVOUR.loader, "wineboot", "-i"],
                    dict(env, **flavour.creation_environment(FLAVOUR)), limit, template)
    # The first boot writes the update stamp before it installs wine.inf.
    _expect_first_boot_ended("wineboot -i", template, limit)
    try:
        _run_setup_step("wineserver -w", [FLAVOUR.wineserver, "-w"], env,
                        patience(TEMPLATE_SETTLE_SECONDS), template)
    except SetupStepHung as hung:
        # Under emulation a crashed service can leave Wine's device hosts
        # waiting for good. The first boot has ended, so the prefix is
        # complete: the -k below ends them and saves the registry.
        note_setup_retry(hung, 1, "ended by wineserver -k, the first boot had ended")
    # Real fonts instead of the DejaVu fallback, for honest screenshots.
    fonts = template / "drive_c" / "windows" / "Fonts"
    fonts.mkdir(parents=True, exist_ok=True)
    for font in Path("/usr/share/wine/fonts").glob("*"):
        shutil.copy2(font, fonts / font.name)
    _run_setup_step("wineserver -k", [FLAVOUR.wineserver, "-k"], env, limit, template)
    # Under emulation wineboot has been seen to end with its stamp written but
    # no user profile made; every copy of such a template would fail.
    profiles = [p for p in (template / "drive_c" / "users").glob("*") if p.name != "Public"]
    if not any(os.path.lexists(p / "Desktop") for p in profiles):
        raise SetupStepHung("wineboot -i", template, limit, "ended without a user profile")
    (template / ".complete").touch()


def _template_prefix(limit=None, retries=0):
    """The build's template prefix, made once (under a lock) when missing.
    With a limit (seconds on a quiet machine) a hung step of its making
    throws the half-made prefix away and starts again, `retries` times."""
    template = BUILD_DIR / "wine" / "template"
    template.parent.mkdir(parents=True, exist_ok=True)
    with open(str(template) + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        for attempt in itertools.count(1):
            if (template / ".complete").exists():
                break
            shutil.rmtree(template, ignore_errors=True)
            try:
                _make_template(template, None if limit is None else patience(limit))
            except SetupStepHung as hung:
                kill_prefix(template, _wine_env(template))
                shutil.rmtree(template, ignore_errors=True)
                if attempt > retries:
                    raise
                note_setup_retry(hung, attempt)
    return template


class Xvfb:
    """A private X display of the given size."""

    def __init__(self, width=1280, height=1024):
        self.size = (width, height)
        self.process = None
        self.display = None

    def start(self):
        """Starts the server on a display number that it chooses itself, so
        two tests never share one; returns the display name."""
        read_end, write_end = os.pipe()
        try:
            proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{self.size[0]}x{self.size[1]}x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                pass_fds=(write_end,), preexec_fn=_end_with_parent)
        except BaseException:
            os.close(read_end)
            os.close(write_end)
            raise
        os.close(write_end)
        self.process = proc
        _running_servers.add(self)
        try:
            number = self._read_display_number(read_end)
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.display = f":{number}"
        return self.display

    def _read_display_number(self, read_end):
        # The server writes its number once it accepts connections.
        limit = patience(30)
        deadline = time.monotonic() + limit
        text = b""
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([read_end], [], [], left)[0]:
                raise TimeoutError(f"waited {limit:.0f} s for Xvfb to name its display")
            chunk = os.read(read_end, 16)
            if not chunk:
                raise RuntimeError(f"Xvfb ended before naming a display "
                                   f"(exit code {self.process.wait()})")
            text += chunk
        return int(text)

    def stop(self):
        if self.process:
            self.process.terminate()
            try:
                self.process.wait(timeout=patience(5))
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.process = None
        _running_servers.discard(self)


class WinePrefix:
    """One throw-away prefix.

    version: a Wine version name ("winxp", "vista", "win7", "win98", ...).
    display: None for no display (windows cannot be created), or a (width,
    height) for a private Xvfb screen. virtual_desktop: a "WxH" text to run
    everything inside a Wine virtual desktop (title bars for screenshots).
    user_values: further values {HKCU key: {name: text or number}} (REG_SZ
    or REG_DWORD) the prefix starts with. setup_limit: seconds (on a quiet
    machine) that each of Wine's own set-up steps may take, or None to wait
    for good; a step that passes it throws the prefix away and starts again
    in a fresh copy, at most setup_retries times.
    """

    def __init__(self, name, version="win7", display=None, virtual_desktop=None, keep=None,
                 user_values=None, setup_limit=None, setup_retries=0):
        self.name = name
        self.version = version
        self.display_size = display
        self.virtual_desktop = virtual_desktop
        self.user_values = user_values or {}
        self.special_folders = {}
        self.setup_limit = setup_limit
        self.setup_retries = setup_retries
        self.keep = keep if keep is not None else bool(os.environ.get("TESSOLO_KEEP_PREFIX"))
        root = BUILD_DIR / "wine" / "prefixes"
        root.mkdir(parents=True, exist_ok=True)
        self.path = root / f"{name}-{os.getpid()}-{next(_counter)}"
        self.env = _wine_env(self.path)
        self.xvfb = None

    @classmethod
    def existing(cls, path, display=None, own_home=True):
        """A handle on a prefix made elsewhere (nothing is copied, nothing is
        removed); `display` is an X display name or None. With own_home False
        the prefix shares the user's HOME, as a plain `wine` would."""
        prefix = cls.__new__(cls)
        prefix.name = Path(path).name
        prefix.version = None
        prefix.display_size = None
        prefix.virtual_desktop = None
        prefix.user_values = {}
        prefix.special_folders = {}
        prefix.setup_limit = None
        prefix.setup_retries = 0
        prefix.keep = True
        prefix.path = Path(path)
        prefix.env = _wine_env(prefix.path)
        if not own_home and os.environ.get("HOME"):
            prefix.env["HOME"] = os.environ["HOME"]
        if display:
            prefix.env["DISPLAY"] = display
        prefix.xvfb = None
        return prefix

    # -- life cycle -------------------------------------------------------

    def __enter__(self):
        try:
            return self._open()
        except BaseException:
            # No __exit__ follows a failed __enter__: end the X server and
            # Wine that were started, so no display number stays taken.
            self.__exit__(None, None, None)
            raise

    def _open(self):
        template = _template_prefix(self.setup_limit, self.setup_retries)
        Path(self.env["HOME"]).mkdir(parents=True, exist_ok=True)
        if self.display_size:
            self.xvfb = Xvfb(*self.display_size)
            self.env["DISPLAY"] = self.xvfb.start()
        for attempt in itertools.count(1):
            self._copy(template)
            write_user_values(self.path, self._starting_values())
            try:
                self._start_wine()
                break
            except SetupStepHung as hung:
                kill_prefix(self.path, self.env)
                if attempt > self.setup_retries:
                    raise
                note_setup_retry(hung, attempt)
        if self.version:
            self.check_version(self.version)
        if self.virtual_desktop:
            # Set once the session runs, as always: the first program of a
            # fresh session then starts without the virtual desktop (written
            # before the start, one such program was seen to hang for good).
            self.reg_set(r"HKCU\Software\Wine\Explorer", "Desktop", REG_SZ, "Default")
            self.reg_set(r"HKCU\Software\Wine\Explorer\Desktops", "Default", REG_SZ,
                         self.virtual_desktop)
        setup_dir = self.unix_path(SETUP_DIR_WIN)
        setup_dir.mkdir(parents=True, exist_ok=True)
        if SETUP_EXE.exists():
            shutil.copy2(SETUP_EXE, setup_dir / SETUP_EXE.name)
        return self

    def _copy(self, template):
        if self.path.exists():
            shutil.rmtree(self.path)
        self.path.mkdir(parents=True)
        for entry in template.iterdir():
            if entry.name in ("drive_c", ".complete"):
                continue
            if entry.is_dir() and not entry.is_symlink():
                shutil.copytree(entry, self.path / entry.name, symlinks=True)
            elif entry.name != "wineserver":
                shutil.copy2(entry, self.path / entry.name, follow_symlinks=False)
        drive_c = self.path / "drive_c"
        drive_c.mkdir()
        for entry in (template / "drive_c").iterdir():
            if entry.name == "windows":
                subprocess.run(["cp", "-al", str(entry), str(drive_c)], check=True)
            elif entry.is_dir():
                shutil.copytree(entry, drive_c / entry.name, symlinks=True)
            else:
                shutil.copy2(entry, drive_c / entry.name)
        # Wine links the user's Desktop, Documents and the like into HOME; a
        # copy would share the template's, so each prefix gets real folders.
        for profile in (drive_c / "users").iterdir():
            for entry in profile.iterdir():
                if entry.is_symlink():
                    entry.unlink()
                    entry.mkdir()

    def _starting_values(self):
        """The user's registry values the prefix starts with: the Windows
        version (what `winecfg -v` writes, without starting a program) and
        the caller's."""
        values = {}
        if self.version:
            values[r"Software\Wine"] = {"Version": self.version}
        for key, named in self.user_values.items():
            values.setdefault(key, {}).update(named)
        return values

    def _setup_step_limit(self):
        return None if self.setup_limit is None else patience(self.setup_limit)

    def _start_wine(self):
        # Wine's background services are started detached, so they never hold
        # the test runner's pipes open.
        limit = self._setup_step_limit()
        _run_setup_step("wineserver -p", [FLAVOUR.wineserver, "-p"], self.env, limit, self.path)
        _run_setup_step("wineboot", [FLAVOUR.loader, "wineboot"], self.env, limit, self.path,
                        start_new_session=True)
        # Under emulation the session's first boot has been seen to spin for
        # good in a device host it started.
        _expect_first_boot_ended("wineboot", self.path, limit)

    def __exit__(self, *exc):
        self.stop_wine()
        if self.xvfb:
            self.xvfb.stop()
        if not self.keep:
            shutil.rmtree(self.path, ignore_errors=True)
            shutil.rmtree(self.env["HOME"], ignore_errors=True)
        return False

    def stop_wine(self):
        """Ends every Wine process of the prefix and saves its registry files."""
        limit = self._setup_step_limit()
        try:
            _run_setup_step("wineserver -k", [FLAVOUR.wineserver, "-k"], self.env, limit, self.path)
            _run_setup_step("wineserver -w", [FLAVOUR.wineserver, "-w"], self.env, limit, self.path)
        except SetupStepHung as hung:
            kill_prefix(self.path, self.env)
            note_setup_retry(hung, 1, "its processes killed")

    def check_version(self, version):
        """Raises unless programs of the prefix see the Windows version
        `version`: a family test on the wrong family would pass unnoticed."""
        expected = REPORTED_VERSIONS.get(version)
        if expected is None:
            return
        seen = self.os_version()
        if seen != expected:
            raise RuntimeError(f"Wine version {version!r} did not take: programs see "
                               f"platform {seen[0]}, version {seen[1]}.{seen[2]}, "
                               f"not {expected[0]}, {expected[1]}.{expected[2]}")

    # -- running programs -----------------------------------------------------

    def wine(self, args, timeout=120, check=False, env=None, **kwargs):
        """Runs `wine args...` in the prefix; returns the CompletedProcess.
        `timeout` is for a quiet machine and grows with the load; running
        out of it raises TimeoutError naming the command."""
        run_env = dict(self.env)
        if env:
            run_env.update(env)
        limit = patience(timeout)
        command = [FLAVOUR.loader, *[str(a) for a in args]]
        # The output goes to files, not pipes: a background process that Wine
        # starts on the way (its services, after one of them died) inherits
        # them, and a pipe would stay open, and the wait go on, long after the
        # program ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                ended = subprocess.run(command, env=run_env, stdin=subprocess.DEVNULL,
                                       stdout=out, stderr=err, timeout=limit, **kwargs)
            except subprocess.TimeoutExpired:
                shown = " ".join(Path(a).name if "/" in a else a for a in command[1:])
                # What still runs, and whether Wine's device host still
                # answers, tell whose wait it was.
                raise TimeoutError(f"waited {limit:.0f} s for `wine {shown}` to end in prefix "
                                   f"{self.name} (load {os.getloadavg()[0]:.1f} on "
                                   f"{os.cpu_count()} cores); still running: "
                                   + "; ".join(prefix_programs(self.path))
                                   + "; " + self._device_host_state()) from None
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(command, ended.returncode, out.read(), err.read())
        if check:
            result.check_returncode()
        return result

    def _device_host_state(self):
        """Whether Wine's device host answers a volume query. Under emulation
        one was seen to hang for good, and a program that asks a drive
        anything then waits for good too."""
        try:
            _run_setup_step("volume query", [FLAVOUR.loader, "cmd", "/c", "vol", "c:"], self.env,
                            patience(DEVICE_HOST_ANSWER_SECONDS), self.path)
        except SetupStepHung:
            return "Wine's device host does not answer a volume query"
        return "Wine's device host answers a volume query"

    def run_exact(self, command_line, cwd_win=None, timeout=300, env=None):
        """Starts a Windows command line exactly as given (no shell quoting
        gets in between) and returns the program's exit code."""
        extra = {"PROBE_CMDLINE": command_line, "PROBE_CWD": cwd_win or ""}
        if env:
            extra.update(env)
        return self.wine([PROBE_EXE, "run"], timeout=timeout, env=extra).returncode

    def run_setup(self, options="", cwd_win=SETUP_DIR_WIN, timeout=300, env=None):
        """Runs the setup with the command-line tail `options`, in cwd_win
        (where the install log goes); returns its exit code."""
        line = f'"{SETUP_EXE_WIN}"' + (" " + options if options else "")
        return self.run_exact(line, cwd_win=cwd_win, timeout=timeout, env=env)

    def start(self, args, env=None):
        """Starts `wine args...` in the background; returns the Popen."""
        run_env = dict(self.env)
        if env:
            run_env.update(env)
        return subprocess.Popen([FLAVOUR.loader, *[str(a) for a in args]], env=run_env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def running(self, *names):
        """True while a host process started in this prefix runs one of the
        programs `names` (file names, any case): Wine shows a Windows
        program's path in the process's arguments, and a script started
        through Wine keeps the prefix in its environment."""
        wanted = {n.lower() for n in names}
        return any(PureWindowsPath(a).name.lower() in wanted
                   for _, args in prefix_processes(self.path) for a in args)

    def window_exists(self, window_class):
        return self.wine([PROBE_EXE, "window", window_class]).returncode == 0

    def wait_for_window(self, window_class, timeout=20):
        """True once a window of window_class exists; False when none came
        within `timeout` (grown with the load)."""
        try:
            return wait_until(lambda: self.window_exists(window_class),
                              f"a window of class {window_class}", timeout)
        except TimeoutError:
            return False

    def screen_metrics(self):
        """(screen width, screen height, full-screen client width)."""
        out = self.wine([PROBE_EXE, "metrics"], check=True).stdout.decode()
        return tuple(int(v) for v in out.split())

    def os_version(self):
        """(platform id, major, minor) as the version query reports them."""
        out = self.wine([PROBE_EXE, "osversion"], check=True).stdout.decode()
        return tuple(int(v) for v in out.split())

    def screenshot(self, name, crop=None):
        """Saves the display, or the part crop = (width, height, left, top)
        of it, as ARTIFACTS_DIR/<name>.png; returns the path."""
        ARTIFACTS_DIR.mkdir(parents=True, exist_ok=True)
        target = ARTIFACTS_DIR / f"{name}.png"
        cut = ["-crop", "{}x{}+{}+{}".format(*crop), "+repage"] if crop else []
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", *cut,
                        str(target)], check=True, capture_output=True)
        return target

    # -- files ------------------------------------------------------------

    def unix_path(self, win_path):
        """The Linux path of a Windows path on drive C: (existing components
        are matched without regard to case, as Windows would)."""
        pure = PureWindowsPath(win_path)
        drive = pure.drive.rstrip(":").lower()
        if drive != "c":
            raise ValueError(f"only drive C: is mapped: {win_path}")
        current = self.path / "drive_c"
        for part in pure.parts[1:]:
            candidate = current / part
            if not candidate.exists() and current.is_dir():
                for entry in current.iterdir():
                    if entry.name.lower() == part.lower():
                        candidate = entry
                        break
            current = candidate
        return current

    def read_text(self, win_path):
        """A CP1252 text file as Python text, line ends as stored."""
        return self.unix_path(win_path).read_bytes().decode("cp1252")

    def special_folder(self, csidl):
        # Asked once a prefix: the shell folders stay where they are, and a
        # snapshot asks for four of them each time.
        if csidl not in self.special_folders:
            out = self.wine([PROBE_EXE, "folder", str(csidl)], check=True).stdout.decode().strip()
            self.special_folders[csidl] = bytes.fromhex(out).decode("cp1252")
        return self.special_folders[csidl]

    # -- registry ----------------------------------------------------------

    @staticmethod
    def _split_key(path):
        root, _, subkey = path.partition("\\")
        return root, subkey

    @staticmethod
    def _decode(value_type, data):
        if value_type in (REG_SZ, REG_EXPAND_SZ):
            return data.split(b"\0", 1)[0].decode("cp1252")
        if value_type == REG_DWORD and len(data) == 4:
            return int.from_bytes(data, "little")
        if value_type == REG_MULTI_SZ:
            return [s.decode("cp1252") for s in data.split(b"\0") if s]
        return data

    def reg_tree(self, path):
        """{relative key path ("" for the key itself): {value name: (type, data)}}
        for a key and all its subkeys, names in their stored case; None when the
        key does not exist. The default value's name is ""."""
        root, subkey = self._split_key(path)
        # The probe answers 0 or 2; anything else is Wine failing to run it
        # (seen once in hundreds of runs on a busy machine), so it gets one
        # more try.
        for _ in range(2):
            result = self.wine([PROBE_EXE, "regdump", root, subkey])
            if result.returncode in (0, 2):
                break
        if result.returncode == 2:
            return None
        if result.returncode != 0:
            raise RuntimeError(f"regdump {path} failed: {result.returncode} "
                               f"{result.stderr.decode(errors='replace').strip()}")
        tree = {}
        for line in result.stdout.decode().splitlines():
            fields = line.split(" ")
            if fields[0] == "K":
                tree[bytes.fromhex(fields[1] if len(fields) > 1 else "").decode("cp1252")] = {}
            elif fields[0] == "V":
                key = bytes.fromhex(fields[1]).decode("cp1252")
                name = bytes.fromhex(fields[2]).decode("cp1252")
                value_type = int(fields[3])
                data = bytes.fromhex(fields[4]) if len(fields) > 4 else b""
                tree[key][name] = (value_type, self._decode(value_type, data))
        return tree

    def reg_values(self, path):
        """{value name: (type, data)} of one key; None when it does not exist."""
        tree = self.reg_tree(path)
        return None if tree is None else tree[""]

    def reg_key_exists(self, path):
        return self.reg_tree(path) is not None

    def reg_subkeys(self, path):
        """Names (stored case) of the direct subkeys of a key; None when missing."""
        tree = self.reg_tree(path)
        if tree is None:
            return None
        return sorted(k for k in tree if k and "\\" not in k)

    def reg_set(self, path, name, value_type, data):
        """Writes one value (creating the key): text for REG_SZ/REG_EXPAND_SZ,
        an int for REG_DWORD, bytes otherwise."""
        if value_type in (REG_SZ, REG_EXPAND_SZ):
            raw = data.encode("cp1252") + b"\0"
        elif value_type == REG_DWORD:
            raw = int(data).to_bytes(4, "little")
        else:
            raw = bytes(data)
        root, subkey = self._split_key(path)
        result = self.wine([PROBE_EXE, "regset", root, subkey, name.encode("cp1252").hex(),
                            str(value_type), raw.hex()])
        if result.returncode != 0:
            raise RuntimeError(f"regset {path} {name} failed: {result.returncode}")

    def reg_delete(self, path):
        root, subkey = self._split_key(path)
        self.wine([PROBE_EXE, "regdelete", root, subkey])

    # -- shell links --------------------------------------------------------

    def shortcut(self, win_path):
        """A .lnk read back through IShellLinkA: target, arguments, icon,
        index, description, workdir; None when it cannot be loaded."""
        result = self.wine([PROBE_EXE, "lnk", win_path])
        if result.returncode != 0:
            return None
        fields = {}
        for line in result.stdout.decode().splitlines():
            key, _, value = line.partition(" ")
            fields[key] = int(value) if key == "index" else bytes.fromhex(value).decode("cp1252")
        return fields


def install_log_records(text):
    """Splits an install log into its records' first lines (date - time: text...)."""
    separator = "-" * 48
    records, current = [], []
    for line in text.replace("\r\n", "\n").split("\n"):
        if line == separator:
            records.append("\n".join(current))
            current = []
        elif line or current:
            current.append(line)
    return records
