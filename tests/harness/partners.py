"""Steering the stand-in partner checks and reading what the stand-in partner
programs recorded (payload/partner/README.md has their rules).

The checks offer the toolbar unless its key exists, and the browser unless its
client-state key exists; the installers leave those keys behind."""

from tests.harness import wine

TOOLBAR_KEY = r"HKLM\SOFTWARE\Google\Google Toolbar"
BROWSER_STATE_KEY = (r"HKLM\SOFTWARE\Google\Update\ClientState"
                     r"\{8A69D345-D564-463C-AFF1-A69D9E530F96}")
BROWSER_PROFILE_KEY = r"HKCU\Software\Google\Chrome"
DEFAULT_BROWSER_KEY = r"HKCU\Software\Clients\StartMenuInternet"
PARTNER_DIR = wine.BUILD_DIR / "payload" / "partner"

# Marks a product as present for the checks (its key exists).
_PRESENT_VALUE = "pv"


def _set_present(prefix, key, present):
    if present:
        prefix.reg_set(key, _PRESENT_VALUE, wine.REG_SZ, "1.0")
    else:
        prefix.reg_delete(key)


def steer_offers(prefix, toolbar=False, browser=False):
    """Makes the checks offer the toolbar and/or the browser (the wizard shows
    at most one: the toolbar wins)."""
    _set_present(prefix, TOOLBAR_KEY, not toolbar)
    _set_present(prefix, BROWSER_STATE_KEY, not browser)


def recorded_value(prefix, key, name):
    values = prefix.reg_values(key) or {}
    return values.get(name, (None, None))[1]


def toolbar_install_line(prefix):
    """The command line the toolbar installer ran with, or None."""
    return recorded_value(prefix, TOOLBAR_KEY, "InstallCommandLine")


def toolbar_installer_windows(prefix):
    """{title: (enabled, answered)} of the top-level windows the toolbar
    installer told about a settings change, or None when it did not run."""
    lines = recorded_value(prefix, TOOLBAR_KEY, "TopLevelWindows")
    if lines is None:
        return None
    windows = {}
    for line in lines.splitlines():
        title, enabled, answered = line.rsplit("|", 2)
        windows[title] = (enabled == "1", answered == "1")
    return windows


def browser_install_line(prefix):
    return recorded_value(prefix, BROWSER_STATE_KEY, "InstallCommandLine")


def browser_launch_line(prefix):
    """The command line of the browser's last start, or None."""
    return recorded_value(prefix, BROWSER_PROFILE_KEY, "LastLaunchCommandLine")
