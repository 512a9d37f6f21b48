"""Silent installs of the real setup in XP, Vista-family and 9x prefixes: what
each family finds in its registry and its shell folders afterwards.

Every case compares the registry before and after the install under the roots
the setup may write to, and requires the difference to be exactly what a
model of the registration (written here from the published rules, not from
the setup's code) predicts: no key or value missing, none more.
"""

import re
import unittest

from tests.harness.wine import (CSIDL_COMMON_DESKTOP, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOP,
                                CSIDL_PROGRAMS, REG_DWORD, REG_SZ, WinePrefix)

FOLDER = r"C:\Program Files\Tessolo" + "\\"
VIEWER = FOLDER + "t_solo32.exe"
OPEN_COMMAND = f'"{VIEWER}" "%1"'
THUMBNAIL_COMMAND = f'"{VIEWER}" "%1 /thumbs"'
VERB = "Browse with &Tessolo"
FULL_OPTIONS = '/silent /folder="C:\\Program Files\\Tessolo" /group=1 /desktop=1 /thumbs=1 /assoc=2'

CLASSES = r"HKLM\SOFTWARE\Classes"
FILE_EXTS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts"
APPLICATION = r"HKLM\SOFTWARE\Tessolo"
REGISTERED = r"HKLM\SOFTWARE\RegisteredApplications"
UNINSTALL = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tessolo"
ROOTS = (CLASSES, FILE_EXTS, APPLICATION, REGISTERED, UNINSTALL)

# The published file types, one row each: extensions with "(stem)" closing
# the extensions it applies to (a lone extension is its own stem), then the
# icon suffix after the viewer's path, or "%1" for the file's own icon.
CATALOGUE = """
ani|%1  b3d|,0  bmp dib (bmp)|,0  cam|,0  clp|,0  crw (crw) cr2 (cr2)|,0  cur|%1
dcm acr ima (dcm)|,0  dcx|,0  dds|,0  djvu iw44 (djvu)|,0  ecw|,0  emf|,0  eps ps (eps)|,0
exr|,0  fpx|,0  fsh|,0  g3|,0  gif|,0  hdp wdp (hdp)|,0  icl|%1  ico|%1  iff lbm (iff)|,0
img|,0  jls|,0  jp2 jpc j2k (jp2)|,0  jpg jpeg jpe (jpg)|,0  jpm|,0  kdc|,0
mng (mng) jng (jng)|,0  nlm nol ngg gsm (nlm)|,0  pbm|,0  pcd|,0  pcx|,0  pgm|,0  png|,0
ppm|,0  psd|,0  psp|,0  ras sun (ras)|,0  raw|,0  rle|,0  sff|,0  sfw|,0  sgi rgb (sgi)|,0
sid|,0  tga|,0  tif tiff (tif)|,0  wbmp|,0  wmf|,0  xbm|,0  xpm|,0
swf (swf) flv (flv)|,0  ttf|,0  asf|,9  avi|,9  mpg (mpg) mpe (mpe) mpeg (mpg)|,9  mov|,9
wmv|,9  aif|,8  mid (mid) rmi (rmi)|,8  med|,8  mp3|,8  ogg|,8  ra|,8  au snd (au)|,8
wav|,8  wma|,8
"""
IMAGE_ROWS = 52


def parse_catalogue():
    rows = []
    for cell in re.split(r"\s{2,}|\n", CATALOGUE.strip()):
        words, icon = cell.split("|")
        extensions, pending = [], []
        for word in words.split():
            if word.startswith("("):
                extensions += [(ext, word[1:-1]) for ext in pending]
                pending = []
            else:
                pending.append(word)
        extensions += [(ext, ext) for ext in pending]
        rows.append((extensions, icon))
    assert (len(rows), sum(len(e) for e, _ in rows)) == (68, 92), "transcription incomplete"
    return rows


ROWS = parse_catalogue()

# Group links: name, target, arguments, icon, icon index. None of them has a description.
GROUP_LINKS = [
    ("Tessolo 4.30.lnk", VIEWER, "", "", 0),
    ("Tessolo - Thumbnails.lnk", VIEWER, "/thumbs", VIEWER, 7),
    ("Tessolo deinstallieren.lnk", FOLDER + "ts_uninstall.exe", "", "", 0),
    ("Über Tessolo.lnk", FOLDER + "t_about.txt", "", "", 0),
    ("Was ist neu.lnk", FOLDER + "t_changes.txt", "", "", 0),
    ("Kommandozeilen-Optionen.lnk", FOLDER + "t_options.txt", "", "", 0),
    ("Verfügbare PlugIns.lnk", FOLDER + "t_plugins.txt", "", "", 0),
    ("Verfügbare Sprachen.lnk", FOLDER + "t_languages.txt", "", "", 0),
    ("Tessolo Hilfe.lnk", FOLDER + r"help\t_solo32d.chm", "", "", 0),
]
# Desktop links: name, target, arguments, icon, icon index, description.
DESKTOP_LINK = ("Tessolo.lnk", VIEWER, "", "", 0, "Tessolo - Bildbetrachter")
THUMBNAILS_LINK = ("Tessolo Thumbnails.lnk", VIEWER, "/thumbs", VIEWER, 7, "Tessolo - Thumbnails")


def expected_writes(family, chosen_rows, assoc_all_users=False, thumbnails=True,
                    registered_key=True):
    """{root: {key path relative to root: {value name: (type, data)}}} of every
    key the install writes to, keys that it only creates having no values."""
    sz = lambda text: (REG_SZ, text)
    vista = family == "vista"
    classes = {
        "Tessolo": {"": sz("Tessolo")},
        r"Tessolo\shell\open\command": {"": sz(OPEN_COMMAND)},
        r"Applications\t_solo32.exe\shell\open\command": {"": sz(OPEN_COMMAND)},
    }
    file_exts, application, registered = {}, {}, {}
    uninstall = {"": {
        "": sz(""),
        "DisplayName": sz("Tessolo (remove only)"),
        # Quoted, unlike the bare path: a path with blanks must not be split.
        "UninstallString": sz(f'"{FOLDER}ts_uninstall.exe"'),
        "Publisher": sz("Corvin Halden"),
        "InstallLocation": sz(FOLDER),
        "DisplayVersion": sz("4.30"),
        "VersionMajor": (REG_DWORD, 4),
        "VersionMinor": (REG_DWORD, 30),
        "EstimatedSize": (REG_DWORD, 1536),
        # For the uninstaller: the folder the install made, and that the
        # icon library was the setup's own.
        "CreatedFolder": sz(FOLDER.rstrip("\\")),
        "IconLibraryKept": (REG_DWORD, 0),
    }}
    if vista and thumbnails:
        for kind in ("Directory", "Drive"):
            classes[rf"{kind}\shell\{VERB}"] = {"": sz(VERB)}
            classes[rf"{kind}\shell\{VERB}\command"] = {"": sz(THUMBNAIL_COMMAND)}
    if vista:
        application = {
            "": {},
            r"shell\open\command": {"": sz(f'"{VIEWER}"')},
            "Capabilities": {"ApplicationDescription": sz(
                "Picture viewer, editor and converter - one of the most popular viewers worldwide")},
            r"Capabilities\FileAssociations": {},
        }
        if registered_key:
            registered = {"": {"Tessolo": sz(r"SOFTWARE\Tessolo\Capabilities")}}

    # The Vista family registers every row (taking over only the chosen
    # ones); the other families register the chosen rows only.
    for row, (extensions, icon_suffix) in enumerate(ROWS):
        chosen = row in chosen_rows
        if not vista and not chosen:
            continue
        icon = "%1" if icon_suffix == "%1" else VIEWER + icon_suffix
        capitalised = set()
        for ext, stem in extensions:
            # The first extension of a stem is mapped before the stem's
            # description turns it into capitals, which then stay.
            prog_id = "Tessolo." + (stem.upper() if stem in capitalised else stem)
            class_key = f"Tessolo.{stem}"  # named when first created
            if family == "xp":
                file_exts[f".{ext}"] = {"": sz(""), "ProgID": sz(prog_id)}
                if assoc_all_users:
                    classes[f".{ext}"] = {"": sz(prog_id)}
            elif not vista or chosen:
                classes[f".{ext}"] = {"": sz(prog_id)}
            if stem not in capitalised:
                classes[class_key] = {"": sz(f"Tessolo {stem.upper()} File")}
                classes[class_key + r"\shell\open\command"] = {"": sz(OPEN_COMMAND)}
                classes[class_key + r"\DefaultIcon"] = {"": sz(icon)}
            capitalised.add(stem)
            if vista:
                application[r"Capabilities\FileAssociations"][f".{stem.upper()}"] = \
                    sz(f"Tessolo.{stem.upper()}")
                if chosen:
                    file_exts[rf".{ext}\UserChoice"] = {"Progid": sz(f"Tessolo.{stem.upper()}")}
    return {CLASSES: classes, FILE_EXTS: file_exts, APPLICATION: application,
            REGISTERED: registered, UNINSTALL: uninstall}


def changes(before, after):
    """{key: {name: value}} of the keys that are new or whose values are new
    or different in `after`."""
    before, after = before or {}, after or {}
    result = {}
    for key, values in after.items():
        old = before.get(key)
        if old is None:
            result[key] = dict(values)
            continue
        changed = {name: value for name, value in values.items() if old.get(name) != value}
        if changed:
            result[key] = changed
    return result


class RegistrationTest(unittest.TestCase):

    def snapshot(self, wp):
        return {root: wp.reg_tree(root) for root in ROOTS}

    def assert_writes(self, before, after, expected):
        """The difference under every root is exactly `expected`; keys that the
        install created only on the way to an expected key are allowed."""
        for root in ROOTS:
            found = changes(before[root], after[root])
            wanted = expected[root]
            for key in list(found):
                is_parent = any(k.lower().startswith(key.lower() + "\\") for k in wanted)
                if not found[key] and key not in wanted and is_parent:
                    del found[key]
            # The root key itself, when the install created it.
            if before[root] is None and "" in found and not found[""] and "" not in wanted:
                del found[""]
            with self.subTest(root=root):
                self.assertEqual((set(), set()), (wanted.keys() - found.keys(),
                                                  found.keys() - wanted.keys()),
                                 "keys (missing, unexpected)")
                for key in wanted:
                    self.assertEqual(wanted[key], found.get(key), f"values of {key}")

    def install(self, wp, options, prepare=None):
        """Runs one silent install in the prefix; returns the registry under
        ROOTS before and after it."""
        # A copied prefix's desktop is a link into the template's home, shared
        # by every prefix; the links written here must land on a desktop of
        # this prefix alone.
        desktop = wp.unix_path(wp.special_folder(CSIDL_DESKTOP))
        if desktop.is_symlink():
            desktop.unlink()
            desktop.mkdir()
        # The key exists on real Vista-family systems, not in a fresh Wine prefix.
        wp.reg_set(REGISTERED, "Other Viewer", REG_SZ, r"SOFTWARE\Other\Capabilities")
        if prepare:
            prepare(wp)
        before = self.snapshot(wp)
        self.assertEqual(0, wp.run_setup(options))
        return before, self.snapshot(wp)

    def assert_links(self, wp, folder, links):
        for name, target, arguments, icon, index, *description in links:
            with self.subTest(link=name):
                self.assertEqual(
                    {"target": target, "arguments": arguments, "icon": icon, "index": index,
                     "description": description[0] if description else ""},
                    {k: v for k, v in (wp.shortcut(folder + name) or {}).items() if k != "workdir"})

    def link_names(self, wp, folder):
        path = wp.unix_path(folder)
        return sorted(p.name for p in path.iterdir()) if path.exists() else []

    # -- the complete install, per family --------------------------------------

    def test_full_install_writes_what_each_family_needs(self):
        for version, family in (("winxp", "xp"), ("win7", "vista"), ("win98", "other"),
                                ("win2k", "other")):
            with self.subTest(family=family), WinePrefix("registration", version=version) as wp:
                before, after = self.install(wp, FULL_OPTIONS)
                self.assert_writes(before, after, expected_writes(family, set(range(68))))
                group = wp.special_folder(CSIDL_PROGRAMS) + "\\Tessolo\\"
                desktop = wp.special_folder(CSIDL_DESKTOP) + "\\"
                self.assertEqual(sorted(link[0] for link in GROUP_LINKS), self.link_names(wp, group))
                self.assert_links(wp, group, GROUP_LINKS)
                self.assert_links(wp, desktop, [DESKTOP_LINK, THUMBNAILS_LINK])
                self.assertEqual([], self.link_names(wp, wp.special_folder(CSIDL_COMMON_PROGRAMS)
                                                     + "\\Tessolo"))

    # -- variations of the options ---------------------------------------------------------

    def test_registry_writes_by_family_and_options(self):
        base = '/silent /folder="C:\\Program Files\\Tessolo"'
        images = set(range(IMAGE_ROWS))
        cases = [
            # Without a chosen row XP writes no file type at all.
            ("XP, no row chosen", "winxp", base + " /thumbs=1", "xp", set(), {}),
            # The machine-wide mapping on XP only with /assocallusers.
            ("XP, images for all users", "winxp", base + " /assoc=1 /assocallusers", "xp",
             images, {"assoc_all_users": True, "thumbnails": False}),
            # Vista: every class and capability, but no take-over of an extension.
            ("Vista, no row chosen", "win7", base, "vista", set(), {"thumbnails": False}),
            ("Vista, images, no thumbnails link", "win7", base + " /assoc=1", "vista", images,
             {"thumbnails": False}),
            ("9x, images", "win98", base + " /assoc=1 /thumbs=1", "other", images, {}),
            # 2000 is NT with the other family's layout.
            ("2000, images", "win2k", base + " /assoc=1 /thumbs=1", "other", images, {}),
        ]
        for name, version, options, family, chosen, extra in cases:
            with self.subTest(case=name), WinePrefix("registration", version=version) as wp:
                before, after = self.install(wp, options)
                self.assert_writes(before, after, expected_writes(family, chosen, **extra))

    def test_extensions_map_to_the_class_of_their_stem(self):
        with WinePrefix("registration", version="win98") as wp:
            classes = self.install(wp, FULL_OPTIONS)[1][CLASSES]
        for ext, prog_id in ((".jpg", "Tessolo.jpg"), (".jpeg", "Tessolo.JPG"),
                             (".jpe", "Tessolo.JPG"), (".mpg", "Tessolo.mpg"),
                             (".mpe", "Tessolo.mpe"), (".mpeg", "Tessolo.MPG"),
                             (".ps", "Tessolo.EPS"), (".wbmp", "Tessolo.wbmp")):
            with self.subTest(ext=ext):
                self.assertEqual((REG_SZ, prog_id), classes[ext][""])
        for stem, icon in (("ico", "%1"), ("mp3", VIEWER + ",8"), ("avi", VIEWER + ",9"),
                           ("bmp", VIEWER + ",0")):
            with self.subTest(stem=stem):
                self.assertEqual((REG_SZ, icon), classes[rf"Tessolo.{stem}\DefaultIcon"][""])
        self.assertEqual((REG_SZ, "Tessolo BMP File"), classes["Tessolo.bmp"][""])

    def test_vista_without_registered_applications_key_adds_none(self):
        with WinePrefix("registration", version="win7") as wp:
            after = self.install(wp, FULL_OPTIONS, prepare=lambda wp: wp.reg_delete(REGISTERED))[1]
        self.assertIsNone(after[REGISTERED])
        self.assertIsNotNone(after[APPLICATION])

    def test_old_icon_key_of_the_viewer_class_is_removed_unless_it_has_subkeys(self):
        icon = r"Tessolo\DefaultIcon"
        for subkey in (None, "Theme"):
            def prepare(wp):
                wp.reg_set(CLASSES + "\\" + icon, "", REG_SZ, r"C:\old\t_solo32.exe,3")
                if subkey:
                    wp.reg_set(CLASSES + "\\" + icon + "\\" + subkey, "", REG_SZ, "kept")
            with self.subTest(subkey=subkey), WinePrefix("registration", version="winxp") as wp:
                classes = self.install(wp, "/silent", prepare=prepare)[1][CLASSES]
                self.assertEqual(bool(subkey), icon in classes)
                if subkey:
                    self.assertEqual({"": (REG_SZ, "kept")}, classes[icon + "\\" + subkey])

    def test_vista_renews_the_user_choice_of_chosen_rows_only(self):
        """Another program's UserChoice, with its Hash, gives way to a fresh
        one for a chosen row; an unchosen row's stays as it was."""
        def seeded(ext):
            return {"Progid": (REG_SZ, f"Other.{ext}"), "Hash": (REG_SZ, "c2VlZGVkIGhhc2g=")}

        def prepare(wp):
            for ext in ("jpg", "mp3"):
                for name, (value_type, data) in seeded(ext).items():
                    wp.reg_set(rf"{FILE_EXTS}\.{ext}\UserChoice", name, value_type, data)

        with WinePrefix("registration", version="win7") as wp:
            after = self.install(wp, '/silent /folder="C:\\Program Files\\Tessolo" /assoc=1',
                                 prepare=prepare)[1][FILE_EXTS]
        self.assertEqual({"Progid": (REG_SZ, "Tessolo.JPG")}, after[r".jpg\UserChoice"])
        self.assertEqual(seeded("mp3"), after[r".mp3\UserChoice"])

    # -- repeated installs and old links ---------------------------------------------------

    def test_second_install_replaces_entry_and_links(self):
        def prepare(wp):
            group = wp.unix_path(wp.special_folder(CSIDL_PROGRAMS) + "\\Tessolo")
            group.mkdir(parents=True)
            for name in ("Tessolo 4.28.lnk", "Tessolo 4.27.lnk", "Tessolo 4.26.lnk", "Notes.lnk"):
                (group / name).write_bytes(b"old link")

        with WinePrefix("registration", version="win7") as wp:
            self.install(wp, FULL_OPTIONS, prepare=prepare)
            self.assertEqual(0, wp.run_setup(
                '/silent /folder="C:\\Viewer" /group=1 /desktop=1 /thumbs=1'))
            uninstall = wp.reg_subkeys(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall")
            self.assertEqual(["Tessolo"], [k for k in uninstall if "tessolo" in k.lower()])
            entry = wp.reg_values(UNINSTALL)
            self.assertEqual((REG_SZ, "C:\\Viewer\\"), entry["InstallLocation"])
            self.assertEqual((REG_SZ, '"C:\\Viewer\\ts_uninstall.exe"'), entry["UninstallString"])

            # The 4.28 and 4.27 links give way to the new one; other links stay.
            group = wp.special_folder(CSIDL_PROGRAMS) + "\\Tessolo\\"
            self.assertEqual(sorted([link[0] for link in GROUP_LINKS] + ["Notes.lnk", "Tessolo 4.26.lnk"]),
                             self.link_names(wp, group))
            self.assertEqual(r"C:\Viewer\t_solo32.exe", wp.shortcut(group + "Tessolo 4.30.lnk")["target"])
            desktop = wp.special_folder(CSIDL_DESKTOP) + "\\"
            self.assertEqual(["Tessolo Thumbnails.lnk", "Tessolo.lnk"],
                             [n for n in self.link_names(wp, desktop) if n.endswith(".lnk")])
            self.assertEqual(r"C:\Viewer\t_solo32.exe", wp.shortcut(desktop + "Tessolo.lnk")["target"])

    def test_all_users_links_go_to_the_common_folders(self):
        with WinePrefix("registration", version="winxp") as wp:
            self.install(wp, FULL_OPTIONS + " /allusers=1")
            common_group = wp.special_folder(CSIDL_COMMON_PROGRAMS) + "\\Tessolo\\"
            common_desktop = wp.special_folder(CSIDL_COMMON_DESKTOP) + "\\"
            self.assert_links(wp, common_group, GROUP_LINKS)
            self.assert_links(wp, common_desktop, [DESKTOP_LINK, THUMBNAILS_LINK])
            self.assertEqual([], self.link_names(wp, wp.special_folder(CSIDL_PROGRAMS) + "\\Tessolo"))
            self.assertEqual([], [n for n in self.link_names(wp, wp.special_folder(CSIDL_DESKTOP))
                                  if n.endswith(".lnk")])

if __name__ == "__main__":
    unittest.main()
