#!/usr/bin/env bash
# Stops every wineserver of the prefixes below a folder, so nothing outlives a run.
root=${1:?folder}
eval "$(python3 "$(dirname "$0")/../../tests/harness/flavour.py" env)"
for reg in "$root"/wine/*/system.reg "$root"/wine/prefixes/*/system.reg; do
  [ -f "$reg" ] || continue
  WINEPREFIX=$(dirname "$reg") "$TESSOLO_WINESERVER" -k 2>/dev/null || true
done
