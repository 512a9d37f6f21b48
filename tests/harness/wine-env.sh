#!/usr/bin/env bash
# Environment of an isolated Wine prefix. Source it with WINEPREFIX set.
# The prefix gets its own HOME (its Desktop and Documents link into HOME),
# no Mono/Gecko prompts and no Linux menu entries from Start-menu links.
# The loader and wineserver of the flavour are $TESSOLO_WINE and
# $TESSOLO_WINESERVER (tests/harness/flavour.py).

: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEPREFIX
eval "$(python3 "$(dirname "${BASH_SOURCE[0]}")/flavour.py" env)"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$WINEPREFIX.home"
mkdir -p "$HOME"

# Creates the prefix when missing and starts its wineserver and Wine's
# background services detached, so that they never hold a caller's pipes.
tessolo_wine_ready() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    LD_PRELOAD=$TESSOLO_CREATION_PRELOAD "$TESSOLO_WINE" wineboot -i </dev/null >/dev/null 2>&1
    "$TESSOLO_WINESERVER" -w
  fi
  "$TESSOLO_WINESERVER" -p </dev/null >/dev/null 2>&1
  setsid "$TESSOLO_WINE" wineboot </dev/null >/dev/null 2>&1
}
