"""Runs the real setup or uninstaller as Windows 98 SE or 2000 answer it.

Wine's version setting only changes what the version query reports; the
personality tool (tests/tools/personality) also makes the calls that differ
answer as 98 SE does (see PersonalityHooks.cpp for the list, and for what
cannot be redirected). "2000" is Wine's win2k with the hooks' empty list.

    with personality_prefix("98") as wp:
        code = run_setup_as(wp, "98", "/silent /allusers=1")
"""

import subprocess

from tests.harness.wine import FLAVOUR, BUILD_DIR, SETUP_EXE_WIN, SETUP_DIR_WIN, WinePrefix

TOOLS_DIR = BUILD_DIR / "tools"
PERSONALITY_EXE = TOOLS_DIR / "personality.exe"

# personality -> the Wine version it runs under
VERSIONS = {"98": "win98", "2000": "win2k"}


def personality_prefix(personality, name=None, **kwargs):
    """A new prefix whose Windows version is the personality's."""
    return WinePrefix(name or f"personality-{personality}", version=VERSIONS[personality],
                      **kwargs)


def run_as(wp, personality, command_line, cwd_win=SETUP_DIR_WIN, timeout=300, env=None,
           stdout=subprocess.DEVNULL):
    """Runs a Windows command line under the personality (in cwd_win, which
    must be on C:); returns the program's exit code, or 102 when the hooks
    could not be loaded. `stdout` may be a file to take the program's output."""
    run_env = dict(wp.env, PROBE_CMDLINE=command_line, PROBE_CWD=cwd_win)
    if env:
        run_env.update(env)
    # No pipes: a desktop process that Wine starts on the way would hold them
    # open for as long as another program of the prefix runs.
    return subprocess.run([FLAVOUR.loader, str(PERSONALITY_EXE), personality], env=run_env,
                          stdin=subprocess.DEVNULL, stdout=stdout,
                          stderr=subprocess.DEVNULL, timeout=timeout, check=False).returncode


def start_as(wp, personality, command_line, cwd_win=SETUP_DIR_WIN):
    """Starts a command line under the personality in the background; returns the Popen."""
    return wp.start([PERSONALITY_EXE, personality],
                    env={"PROBE_CMDLINE": command_line, "PROBE_CWD": cwd_win})


def run_setup_as(wp, personality, options="", **kwargs):
    line = f'"{SETUP_EXE_WIN}"' + (" " + options if options else "")
    return run_as(wp, personality, line, **kwargs)


def open_wizard_as(wp, personality, options="", offers=(), timeout_ms=30000):
    """Starts the setup's wizard under the personality and waits for its first page."""
    from tests.harness import partners
    from tests.harness.wizard import WELCOME, Wizard
    partners.steer_offers(wp, toolbar="toolbar" in offers, browser="browser" in offers)
    line = f'"{SETUP_EXE_WIN}"' + (" " + options if options else "")
    wizard = Wizard(wp, start_as(wp, personality, line))
    wizard.driver("wait-wizard", timeout_ms)
    wizard.wait_page(WELCOME)
    return wizard
