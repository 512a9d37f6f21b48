"""The setup's wizard driven from a second process in the same Wine session.

    with WinePrefix("ui", display=(1024, 768), virtual_desktop="1024x768") as wp:
        wizard = Wizard.open(wp)
        wizard.set_text(1000, r"C:\\Apps\\Tessolo")
        wizard.next(expect_page=1)

Every call runs tools/wizard_driver.exe inside the prefix; texts travel as hex
of their CP1252 bytes.
"""

from tests.harness import images, partners, wine

DRIVER_EXE = wine.BUILD_DIR / "tools" / "wizard_driver.exe"
# Time between two shots of a dialog that must agree before it counts as shown.
SETTLE_INTERVAL = 0.3
# The "browser" command's exit code when the browser never came to the expected item.
BROWSER_NOT_SETTLED = 3

# Page positions without an offer page.
WELCOME, WHATS_NEW, FILE_TYPES, READY, FINISHED = range(5)

# Wine's debug channels in the driver's runs: its error lines only.
DRIVER_WINEDEBUG = "-all,err+all"

# The sheet's buttons.
CANCEL_BUTTON, BACK_BUTTON, NEXT_BUTTON, FINISH_BUTTON = 2, 0x3023, 0x3024, 0x3025


class DriverError(AssertionError):
    pass


def patient_ms(timeout_ms):
    """A wait inside the driver, in milliseconds for a quiet machine, grown
    with the load as the harness's own waits are."""
    return int(wine.patience(timeout_ms / 1000) * 1000)


class Wizard:
    def __init__(self, prefix, process):
        self.prefix = prefix
        self.process = process

    @classmethod
    def open(cls, prefix, options="", cwd_win=wine.SETUP_DIR_WIN, timeout_ms=30000, offers=()):
        """Starts the setup without waiting for it and waits for its first page.
        `offers` names the partner offers the checks allow ("toolbar",
        "browser"); by default neither, so the wizard has five pages."""
        timeout_ms = patient_ms(timeout_ms)
        partners.steer_offers(prefix, toolbar="toolbar" in offers, browser="browser" in offers)
        line = f'"{wine.SETUP_EXE_WIN}"' + (" " + options if options else "")
        process = prefix.start([wine.PROBE_EXE, "run"],
                               env={"PROBE_CMDLINE": line, "PROBE_CWD": cwd_win})
        wizard = cls(prefix, process)
        wizard.driver("wait-wizard", timeout_ms)
        wizard.wait_page(WELCOME)
        return wizard

    # -- plumbing ---------------------------------------------------------

    def run_driver(self, *args, timeout=60):
        # Wine's own error lines stay on: a failure that the driver could not
        # report itself (its start failed) then still says why.
        return self.prefix.wine([DRIVER_EXE, *[str(a) for a in args]], timeout=timeout,
                                env={"WINEDEBUG": DRIVER_WINEDEBUG})

    @staticmethod
    def _failure(result):
        return f"{result.returncode} {result.stderr.decode(errors='replace').strip()}"

    def driver(self, *args, timeout=60):
        """Runs one driver command; its stdout, or DriverError when it failed."""
        result = self.run_driver(*args, timeout=timeout)
        if result.returncode != 0:
            raise DriverError(f"wizard_driver {' '.join(str(a) for a in args)}: "
                              f"{self._failure(result)}")
        return result.stdout.decode().strip()

    @staticmethod
    def _text(hex_text):
        return bytes.fromhex(hex_text).decode("cp1252")

    # -- pages and buttons ------------------------------------------------

    def page(self):
        return int(self.driver("page"))

    def wait_page(self, index, timeout_ms=30000):
        timeout_ms = patient_ms(timeout_ms)
        result = self.run_driver("wait-page", index, timeout_ms)
        if result.returncode != 0:
            raise DriverError(f"expected page {index}, the wizard shows "
                              f"{result.stdout.decode().strip() or '?'} ({self._failure(result)})")

    def next(self, expect_page=None):
        self.driver("press", "next")
        if expect_page is not None:
            self.wait_page(expect_page)

    def back(self, expect_page=None):
        self.driver("press", "back")
        if expect_page is not None:
            self.wait_page(expect_page)

    def click_cancel(self):
        """Clicks the sheet's Cancel button (its caption changes on the last page)."""
        self.driver("sheet-click", CANCEL_BUTTON)

    def close_box(self):
        self.driver("sysclose")

    def sheet_text(self, control_id):
        return self._text(self.driver("sheet-text", control_id))

    def sheet_state(self, control_id):
        checked, enabled, visible = self.driver("sheet-state", control_id).split()
        return {"checked": int(checked), "enabled": enabled == "1", "visible": visible == "1"}

    def wait_gone(self, timeout_ms=30000):
        timeout_ms = patient_ms(timeout_ms)
        self.driver("wait-gone", timeout_ms)

    def is_open(self):
        return self.run_driver("wait-wizard", 0).returncode == 0

    # -- controls of the current page ------------------------------------

    def click(self, control_id):
        self.driver("click", control_id)

    def click_async(self, control_id):
        self.driver("click-async", control_id)

    def set_text(self, control_id, text):
        self.driver("set-text", control_id, text.encode("cp1252").hex())

    def text(self, control_id):
        return self._text(self.driver("get-text", control_id))

    def state(self, control_id):
        checked, enabled, visible = self.driver("state", control_id).split()
        return {"checked": int(checked), "enabled": enabled == "1", "visible": visible == "1"}

    def checked(self, control_id):
        return self.state(control_id)["checked"] == 1

    def set_checked(self, control_id, checked):
        if self.checked(control_id) != checked:
            self.click(control_id)

    # -- the file-type list -------------------------------------------------

    def row_states(self):
        """State image per row: 1 unticked, 2 ticked."""
        return [int(c) for c in self.driver("lv-states")]

    def tick_row(self, row, ticked=True):
        self.driver("lv-set", row, 1 if ticked else 0)

    def row_text(self, row, sub_item):
        return self._text(self.driver("lv-text", row, sub_item))

    def list_columns(self):
        """(outer width of the list, width of column 0, width of column 1)."""
        return tuple(int(v) for v in self.driver("lv-columns").split())

    # -- message boxes ----------------------------------------------------

    def answer(self, button, timeout_ms=30000):
        """Waits for the setup's message box, answers it with "yes", "no" or
        "ok"; returns its text."""
        timeout_ms = patient_ms(timeout_ms)
        return self._text(self.driver("answer", button, timeout_ms, timeout=timeout_ms / 1000 + 30))

    def message_text(self, timeout_ms=30000):
        """The text of the open message box, which stays open."""
        timeout_ms = patient_ms(timeout_ms)
        return self._text(self.driver("msgbox", timeout_ms, timeout=timeout_ms / 1000 + 30))

    def no_message_box(self, within_ms=1500):
        return self.run_driver("no-msgbox", within_ms).returncode == 0

    def close_folder_browser(self, button, expected_item="", timeout_ms=30000):
        """Waits for the shell's folder browser and closes it with "ok" or
        "cancel"; with expected_item, only once the selected tree item's
        text contains it (the browser expands to its start folder slowly)."""
        timeout_ms = patient_ms(timeout_ms)
        args = ["browser", button, timeout_ms]
        if expected_item:
            args.append(expected_item.encode("cp1252").hex())
        self.driver(*args, timeout=timeout_ms / 1000 + 30)

    def browse(self, browse_button, button, expected_item, timeout_ms=30000):
        """Opens the folder browser with browse_button and closes it as
        close_folder_browser does. Wine's browser, first opened on a busy
        machine, now and then stays at its root; the driver then cancels it
        and it is opened once more."""
        timeout_ms = patient_ms(timeout_ms)
        args = ["browser", button, timeout_ms, expected_item.encode("cp1252").hex()]
        for attempt in range(2):
            self.click_async(browse_button)
            result = self.run_driver(*args, timeout=timeout_ms / 1000 + 30)
            if result.returncode != BROWSER_NOT_SETTLED or attempt:
                break
        if result.returncode != 0:
            raise DriverError(f"wizard_driver {' '.join(str(a) for a in args)}: "
                              f"{self._failure(result)}")

    def box(self, timeout_ms=30000):
        """The setup's open message box as a person sees it, which stays open:
        caption, text, icon ("stop", "question", "exclamation",
        "information"), the ids of its buttons, the default one, its owner's
        title (None without owner) and whether the wizard is enabled."""
        timeout_ms = patient_ms(timeout_ms)
        fields = dict(line.split(" ", 1) for line in
                      self.driver("box", timeout_ms, timeout=timeout_ms / 1000 + 30).splitlines())
        return {
            "caption": self._text(fields["caption"]),
            "text": self._text(fields["text"]),
            "icon": fields["icon"],
            "buttons": [int(b) for b in fields["buttons"].split()],
            "default": int(fields["default"]),
            "owner": None if fields["owner"] == "-" else self._text(fields["owner"]),
            "wizard_enabled": fields["wizard-enabled"] == "1",
        }

    # -- real key input -----------------------------------------------------

    def keys(self, *keys):
        """Types keys ("tab", "shift+tab", "alt+u", "enter", "esc", "space",
        "down", ...) through the system's input queue into whichever of the
        setup's windows is in front; returns where the keyboard focus is after
        each: "page ID", "sheet ID", "box ID" (a message box) or "gone"."""
        return self.driver("keys", *keys).splitlines()

    def focus(self):
        return self.driver("focus")

    # -- what a screen reader, a large-font screen and a keyboard meet -------

    def controls(self):
        """The current page's controls in z-order (a screen reader's reading
        order), each a dict: id, cls, tabstop, visible, disabled, hscroll,
        frame (a group box), rect (left, top, width, height on the page),
        client (width, height), text."""
        found = []
        for line in self.driver("controls").splitlines():
            fields = line.split()
            (control_id, cls, flags), numbers = fields[:3], [int(v) for v in fields[3:9]]
            found.append({
                "id": int(control_id), "cls": cls, "tabstop": "t" in flags, "visible": "v" in flags,
                "disabled": "d" in flags, "hscroll": "h" in flags, "frame": "g" in flags,
                "rect": tuple(numbers[0:4]), "client": tuple(numbers[4:6]),
                "text": self._text(fields[9]) if len(fields) > 9 else "",
            })
        return found

    def shown_area(self):
        """(width, height) of the current page that the sheet shows (the rest
        is cut off by its edge or the line above its buttons)."""
        return tuple(int(v) for v in self.driver("shown-area").split())

    def text_fits(self):
        """[(id, text, (width, height) needed, (width, height) of its box)]
        of the current page's visible text statics, wrapped as shown."""
        found = []
        for line in self.driver("text-fits").splitlines():
            control_id, *numbers, text = line.split(" ")
            width, height, box_width, box_height = map(int, numbers)
            found.append((int(control_id), self._text(text), (width, height), (box_width, box_height)))
        return found

    def ink(self, control_id):
        """(width, height, lines) of the text the control shows on screen
        (right of its box, for a check box or radio button); lines counts
        bands of inked rows, so a wrapped line cut off below shows as one
        more."""
        return tuple(int(v) for v in self.driver("ink", control_id).split())

    def names(self):
        """{id: (role, name, label)} of the current page's visible tab stops:
        the accessible role and name oleacc reports, and the label Windows
        names a field after (the static or frame just before it; None)."""
        found = {}
        for line in self.driver("names").splitlines():
            control_id, role, name, label = line.split()
            found[int(control_id)] = (int(role), None if name == "-" else self._text(name),
                                      None if label == "-" else self._text(label))
        return found

    def colours(self, control_id):
        """The two colours the control shows most on screen, (background,
        text), each as an (r, g, b) tuple."""
        return tuple(tuple(bytes.fromhex(c)) for c in self.driver("colours", control_id).split())

    # -- looks ----------------------------------------------------------------

    def screenshot(self, name, title="Tessolo Setup"):
        """Saves the visible dialog with that title (the wizard by default),
        cut out of the display, as an artifact; returns its path. The wizard
        is brought to the front first, so its title bar looks active."""
        if title == "Tessolo Setup":
            self.driver("activate")
        x, y, width, height = self.driver("rect", title.encode("cp1252").hex()).split()
        crop = (int(width), int(height), int(x), int(y))
        # The dialog has painted itself when the driver returns; what reaches
        # the screen may still lag behind (the emulated route is slow), so the
        # shot is kept once the next one shows the same picture.
        shot = self.prefix.screenshot(name, crop=crop)
        previous = shot.with_name(shot.stem + "-previous.png")

        def settled():
            shot.replace(previous)
            self.prefix.screenshot(name, crop=crop)
            return images.alike(previous, shot)
        try:
            wine.wait_until(settled, f"{name} to stop changing on screen", 30, SETTLE_INTERVAL)
        finally:
            previous.unlink(missing_ok=True)
        return shot

    # -- end ----------------------------------------------------------------

    def wait_exit(self, timeout=60):
        """The setup's exit code, once it has ended (`timeout` grows with the
        machine's load)."""
        try:
            wine.wait_until(lambda: self.process.poll() is not None, "the setup to end", timeout, 0.1)
        except TimeoutError as error:
            raise DriverError(str(error)) from None
        return self.process.returncode

    def exit_without_message_box(self, timeout=60):
        """The setup's exit code once it has ended; DriverError when a
        message box shows before that (a question would keep it running)."""
        def ended_or_box():
            if self.process.poll() is not None:
                return True
            if self.run_driver("no-msgbox", 0).returncode != 0:
                raise DriverError("a message box came before the setup ended: "
                                  + repr(self.message_text(0)))
            return False
        try:
            wine.wait_until(ended_or_box, "the setup to end", timeout, 0.1)
        except TimeoutError as error:
            raise DriverError(str(error)) from None
        return self.process.returncode


class _StandInWindow:
    """A window of another program, made by the driver, that is open inside
    the with block."""

    open_command = ready_command = close_command = ""

    def __init__(self, prefix):
        self.prefix = prefix
        self.process = None

    def __enter__(self):
        self.process = self.prefix.start([DRIVER_EXE, self.open_command])
        if self.prefix.wine([DRIVER_EXE, self.ready_command]).returncode != 0:
            raise DriverError(f"{self.open_command}: the window is not there")
        return self

    def __exit__(self, *exc):
        self.prefix.wine([DRIVER_EXE, self.close_command])
        try:
            self.process.wait(timeout=10)
        except Exception:  # noqa: BLE001 - the prefix's end kills it anyway
            self.process.kill()
        return False


class FakeViewer(_StandInWindow):
    """A top-level window of the viewer's class, as a running viewer shows."""

    open_command, ready_command, close_command = "fake-viewer", "viewer-window", "close-viewer"


class ForeignWindow(_StandInWindow):
    """Another program's window, which has taken the foreground from the wizard."""

    open_command, ready_command, close_command = "foreign-window", "wait-foreign", "close-foreign"
