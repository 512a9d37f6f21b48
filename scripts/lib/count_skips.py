"""Lists the tests a ctest run skipped, with their reasons, and their count,
so no test is skipped quietly. Reads ctest's LastTest.log: Python's unittest
(-v) writes "name ... skipped 'reason'", GoogleTest "[  SKIPPED ] name" after
the reason it printed.
    python3 scripts/lib/count_skips.py build/win64/Testing/Temporary/LastTest.log
"""

import re
import sys

UNITTEST_SKIP = re.compile(r"^(\S+ \([\w.]+\)) \.\.\. skipped '(.*)'$")
GTEST_SKIP = re.compile(r"^\[  SKIPPED \] (\S+\.\S+)(?: \(\d+ ms\))?$")
GTEST_REASON = re.compile(r"^.*: Skipped$")


def skips(lines):
    found = []
    reason = ""
    for index, line in enumerate(lines):
        match = UNITTEST_SKIP.match(line)
        if match:
            found.append((match.group(1), match.group(2)))
            continue
        if GTEST_REASON.match(line) and index + 1 < len(lines):
            reason = lines[index + 1].strip()
            continue
        match = GTEST_SKIP.match(line)
        if match and "(" in line:  # the per-test line, not the summary list
            found.append((match.group(1), reason))
            reason = ""
    return found


def main(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as log:
            lines = log.read().splitlines()
    except OSError:
        print(f"Skipped tests: unknown ({path} is missing)")
        return 0
    found = skips(lines)
    for name, reason in found:
        print(f"  skipped: {name}: {reason}")
    print(f"Skipped tests: {len(found)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
