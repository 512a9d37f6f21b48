#!/usr/bin/env bash
# Stops every wineserver of the prefixes below a folder, so nothing outlives a run.
root=${1:?folder}
for reg in "$root"/wine/*/system.reg "$root"/wine/prefixes/*/system.reg; do
  [ -f "$reg" ] || continue
  WINEPREFIX=$(dirname "$reg") wineserver -k 2>/dev/null || true
done
