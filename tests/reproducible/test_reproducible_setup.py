"""Builds the shipped setup a second time, from a copy of the sources in
another folder into another build folder, and compares it byte for byte with
the build under test (TESSOLO_BUILD_DIR): the same sources and toolchain must
give the same file wherever and whenever they are built."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

from tests.reproducible.pe_diff import report

SOURCE = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("TESSOLO_BUILD_DIR", SOURCE / "build" / "win32"))
SETUP = "tessolo-setup.exe"


def _cache(build):
    values = {}
    for line in (build / "CMakeCache.txt").read_text().splitlines():
        key, sep, value = line.partition("=")
        if sep and not line.startswith(("#", "//")):
            values[key.split(":")[0]] = value
    return values


def _source_files():
    """The files of the checkout as a fresh clone with these changes has them."""
    listed = subprocess.run(["git", "-C", SOURCE, "ls-files", "-z", "--cached", "--others",
                             "--exclude-standard"], capture_output=True)
    if listed.returncode == 0:
        names = [Path(os.fsdecode(name)) for name in listed.stdout.split(b"\0") if name]
        return [name for name in names if (SOURCE / name).is_file()]
    return [path.relative_to(SOURCE) for path in SOURCE.rglob("*")
            if path.is_file() and "build" not in path.relative_to(SOURCE).parts]


class ReproducibleSetupTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cache = _cache(BUILD)
        # Another path of another length, beside the build under test.
        cls.work = Path(tempfile.mkdtemp(prefix="reproducible-", dir=BUILD.parent))
        cls.addClassCleanup(shutil.rmtree, cls.work, ignore_errors=True)
        sources = cls.work / "elsewhere" / "tessolo-sources"
        for name in _source_files():
            (sources / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(SOURCE / name, sources / name)
        cls.second = cls.work / "second-build"
        toolchain = Path(cache["CMAKE_TOOLCHAIN_FILE"]).resolve().relative_to(SOURCE)
        # The copy has no history: it gets the first build's commit time.
        env = dict(os.environ, SOURCE_DATE_EPOCH=cache["TESSOLO_SOURCE_DATE_EPOCH"])
        log = cls.work / "second-build.log"
        started = time.monotonic()
        with open(log, "w") as out:
            for command in (
                    ["cmake", "-S", sources, "-B", cls.second, "-G", "Ninja",
                     f"-DCMAKE_TOOLCHAIN_FILE={sources / toolchain}",
                     f"-DCMAKE_BUILD_TYPE={cache['CMAKE_BUILD_TYPE']}"],
                    ["cmake", "--build", cls.second, "--target", "tessolo-setup",
                     "--", f"-j{os.cpu_count()}"]):
                if subprocess.run(command, env=env, stdout=out, stderr=subprocess.STDOUT).returncode:
                    sys.stderr.write(log.read_text()[-4000:])
                    raise AssertionError(f"second build failed: {' '.join(map(str, command))}")
        print(f"second build: {time.monotonic() - started:.0f} s", file=sys.stderr)

    def test_setup_is_byte_identical_to_a_build_elsewhere(self):
        first = (BUILD / SETUP).read_bytes()
        second = (self.second / SETUP).read_bytes()
        if first != second:
            self.fail(f"{BUILD / SETUP} and the build in {self.second} differ:\n"
                      + "\n".join(report(first, second)))


if __name__ == "__main__":
    unittest.main()
