"""The built stand-in payload as the setup embeds it: texts stored as CP1252
with CRLF, toolbar skins whose PNG matches their description, compiled help
files with their pages, and an options text that names every option the
setup reads and every exit code it returns."""

import re
import struct
import unittest
import zlib
from html.parser import HTMLParser

from tests.harness.wine import BUILD_DIR, SOURCE_DIR

FILES = BUILD_DIR / "payload" / "files"

PAYLOAD = (
    "t_solo32.exe", "ts_uninstall.exe", "t_solo32.chm", "t_solo32d.chm",
    "t_about.txt", "t_changes.txt", "t_options.txt", "t_plugins.txt", "t_languages.txt",
    "Vellum_24.txt", "Quarto_16.txt", "Vellum_24.png", "Quarto_16.png",
    "Movie.dll", "Glyphs.dll", "Filters.dll", "Brush.dll", "CharConv.dll", "AreaSnap.dll",
    "Showreel.exe", "Deutsch.dll", "TP_Deutsch.lng",
    "thumbnails.html", "slideshow.html", "frame.html",
)
TEXTS = [name for name in PAYLOAD if name.endswith((".txt", ".lng", ".html"))]


def read_png(data):
    """(width, height, rows of RGBA bytes); raises on any malformed chunk."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("no PNG signature")
    pos, chunks = 8, []
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 4:pos + 8 + length]
        (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if zlib.crc32(body) & 0xFFFFFFFF != crc:
            raise ValueError(f"bad CRC in {kind!r}")
        chunks.append((kind, body[4:]))
        pos += 12 + length
    if chunks[0][0] != b"IHDR" or chunks[-1][0] != b"IEND":
        raise ValueError("IHDR must come first and IEND last")
    width, height, depth, colour = struct.unpack(">IIBB", chunks[0][1][:10])
    if (depth, colour) != (8, 6):
        raise ValueError("expected 8-bit RGBA")
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    stride = 1 + width * 4
    if len(raw) != stride * height:
        raise ValueError("pixel data does not fill the image")
    return width, height, [raw[y * stride + 1:(y + 1) * stride] for y in range(height)]


def ini_section(text, section):
    values, current = {}, None
    for line in text.splitlines():
        if line.startswith("["):
            current = line.strip("[]")
        elif current == section and "=" in line:
            key, _, value = line.partition("=")
            values[key] = value
    return values


class PayloadFilesTest(unittest.TestCase):
    def test_all_twenty_five_files_are_built(self):
        missing = [name for name in PAYLOAD if not (FILES / name).is_file()]
        self.assertEqual(missing, [])

    def test_texts_are_cp1252_with_crlf_line_ends(self):
        for name in TEXTS:
            with self.subTest(name):
                data = (FILES / name).read_bytes()
                self.assertTrue(data.endswith(b"\r\n"))
                self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), "bare LF")
                text = data.decode("cp1252")
                # UTF-8 read as CP1252 would show as "Ã¼" and the like.
                self.assertNotIn("Ã", text)

    def test_german_texts_keep_their_umlauts(self):
        for name in ("t_about.txt", "t_options.txt", "TP_Deutsch.lng"):
            with self.subTest(name):
                self.assertRegex((FILES / name).read_bytes().decode("cp1252"), "[äöüÄÖÜß]")

    def test_skin_png_matches_its_description(self):
        for skin, size in (("Vellum_24", 24), ("Quarto_16", 16)):
            with self.subTest(skin):
                info = ini_section((FILES / f"{skin}.txt").read_bytes().decode("cp1252"), "Info")
                self.assertEqual(set(info), {"Creator", "Size", "Buttons"})
                self.assertEqual(int(info["Size"]), size)
                width, height, rows = read_png((FILES / f"{skin}.png").read_bytes())
                self.assertEqual(height, size)
                self.assertEqual(width, size * int(info["Buttons"]))
                self.assertTrue(any(any(row[3::4]) for row in rows), "image is fully transparent")

    def test_help_files_are_compiled_with_their_pages(self):
        for name, pages in (("t_solo32.chm", ("start", "bedienung", "tasten")),
                            ("t_solo32d.chm", ("start", "kommandozeile", "plugins"))):
            with self.subTest(name):
                data = (FILES / name).read_bytes()
                self.assertEqual(data[:4], b"ITSF")
                for page in pages:
                    self.assertIn(f"/{page}.html".encode(), data)

    def test_html_templates_are_balanced_documents(self):
        class Checker(HTMLParser):
            VOID = {"meta", "img", "br", "link", "input"}

            def __init__(self):
                super().__init__()
                self.open, self.tags = [], set()

            def handle_starttag(self, tag, attrs):
                self.tags.add(tag)
                if tag not in self.VOID:
                    self.open.append(tag)

            def handle_endtag(self, tag):
                if not self.open or self.open.pop() != tag:
                    raise AssertionError(f"unbalanced </{tag}>")

        for name in ("thumbnails.html", "slideshow.html", "frame.html"):
            with self.subTest(name):
                checker = Checker()
                checker.feed((FILES / name).read_bytes().decode("cp1252"))
                self.assertEqual(checker.open, [])
                self.assertTrue({"html", "head", "title", "body"} <= checker.tags)

    def test_options_text_documents_every_option_and_exit_code(self):
        text = (FILES / "t_options.txt").read_bytes().decode("cp1252")
        grammar = (SOURCE_DIR / "app" / "CommandLine.cpp").read_text(encoding="utf-8")
        options = set(re.findall(r'"(/[a-z]+=?)"', grammar))
        self.assertGreaterEqual(len(options), 9)
        for option in sorted(options):
            with self.subTest(option):
                self.assertRegex(text, rf"(?m)^{re.escape(option)}")
        codes = re.findall(r"=\s*(\d+),",
                           (SOURCE_DIR / "product" / "ExitCode.h").read_text(encoding="utf-8"))
        self.assertTrue(codes)
        for code in codes:
            with self.subTest(exit_code=code):
                self.assertRegex(text, rf"(?m)^{code}\s+\S")


if __name__ == "__main__":
    unittest.main()
