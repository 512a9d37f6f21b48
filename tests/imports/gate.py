"""The import gate: every shipped PE file must load on Windows 98 SE, 2000
and XP, so each of its imports must be exported there. The facts are the
rows of win32_api_minimum.tsv; an import without a row is refused too, so a
new import is always looked at.

    python3 -m tests.imports.gate [BUILD_DIR]   prints the verdict per file (default build/win32)
"""

import csv
import os
import re
import sys
from dataclasses import dataclass, field
from pathlib import Path

from tests.imports.pe_imports import read_imports

TABLE = Path(__file__).with_name("win32_api_minimum.tsv")

# Values of the table's columns, oldest first. An import loads on 98 SE when
# 98 SE or an older 9x exports it (a stub loads, only the call fails), and on
# 2000 and XP when 2000 or an older NT does.
NINE_X = ("95", "98", "98se", "me", "stub", "none")
NT = ("nt3", "nt4", "2000", "xp", "vista", "later")
LOADS_ON_9X = {"95", "98", "98se", "stub"}
LOADS_ON_NT = {"nt3", "nt4", "2000"}

# Imports accepted although the table says they are too new, each with the
# reason. A call made only on one branch still needs its export on every
# system, so an exception needs a reason that holds for loading.
EXCEPTIONS = {}


@dataclass(frozen=True)
class Fact:
    oldest_9x: str
    oldest_nt: str
    source: str


def load_table(path=TABLE):
    """{(dll, function): Fact}; a row with an unknown value is an error."""
    facts = {}
    with open(path, newline="", encoding="utf-8") as file:
        rows = csv.DictReader((line for line in file if not line.startswith("#")),
                              delimiter="\t")
        for row in rows:
            key = (row["dll"], row["function"])
            if row["oldest_9x"] not in NINE_X or row["oldest_nt"] not in NT or key in facts:
                raise ValueError(f"{path}: bad or repeated row {row}")
            facts[key] = Fact(row["oldest_9x"], row["oldest_nt"], row["source"])
    return facts


@dataclass
class Verdict:
    imports: int
    too_new: list = field(default_factory=list)    # "dll!function (9x …, NT …)"
    unknown: list = field(default_factory=list)    # "dll!function"
    stubs: list = field(default_factory=list)      # load on 9x, fail when called there

    @property
    def passed(self):
        return not (self.too_new or self.unknown)

    def line(self, name):
        text = f"{name}: {self.imports} imports, {'loads' if self.passed else 'REFUSED'}"
        if self.too_new:
            text += "; too new: " + ", ".join(self.too_new)
        if self.unknown:
            text += "; not in the table: " + ", ".join(self.unknown)
        if self.stubs:
            text += "; 9x stubs: " + ", ".join(self.stubs)
        return text


def judge(imports, facts, exceptions=EXCEPTIONS):
    verdict = Verdict(len(imports))
    for item in imports:
        key = (item.dll, item.function)
        name = f"{item.dll}!{item.function}"
        fact = facts.get(key)
        if fact is None:
            verdict.unknown.append(name)
        elif (fact.oldest_9x not in LOADS_ON_9X or fact.oldest_nt not in LOADS_ON_NT) \
                and key not in exceptions:
            verdict.too_new.append(f"{name} (9x {fact.oldest_9x}, NT {fact.oldest_nt})")
        elif fact.oldest_9x == "stub":
            verdict.stubs.append(name)
    return verdict


# A resource line of the generated scripts: ID TYPE "file".
_RESOURCE = re.compile(r'^\s*\w+\s+(EXE|DLL)\s+"([^"]+)"', re.MULTILINE)


def shipped_files(build_dir):
    """The setup and every PE file it carries: the payload's programs and
    libraries and the partner check libraries it writes out and loads, read
    from the resource scripts the build generates."""
    build = Path(build_dir)
    files = [build / "tessolo-setup.exe"]
    for script in ("payload/payload.rc", "payload/partner/partner_checks.rc"):
        for _, path in _RESOURCE.findall((build / script).read_text(encoding="utf-8")):
            with open(path, "rb") as file:
                if file.read(2) == b"MZ":  # the language text is stored as "DLL" too
                    files.append(Path(path))
    return files


def main(argv):
    build = argv[1] if len(argv) > 1 else os.environ.get("TESSOLO_BUILD_DIR", "build/win32")
    facts = load_table()
    passed = True
    for path in shipped_files(build):
        verdict = judge(read_imports(path), facts)
        print(verdict.line(path.name))
        passed &= verdict.passed
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
