#!/usr/bin/env bash
# `make run`: starts the installer under Wine in a prefix of its own
# (BUILD/run-wine). On the user's display when DISPLAY is set; otherwise on a
# private Xvfb display, driven by the walk-through program, which saves
# screenshots to BUILD/screens.
#   run-installer.sh BUILD TREE     (TREE: win32 or win64, the Wine tree)
set -euo pipefail
build=$1 tree=$2
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tests/wine/wine-env.sh"
export WINEPREFIX=$build/run-wine
mkdir -p "$build/screens"
if [ ! -d "$WINEPREFIX" ]; then
  echo "Making the Wine prefix $WINEPREFIX (once)..."
  "$NOVLA_WINE" wineboot -i >/dev/null 2>&1 || true
fi
winpath() { echo "Z:${1//\//\\}"; }
installer=$build/$tree/TessaronixSetup.exe
if [ -n "${DISPLAY:-}" ]; then
  "$NOVLA_WINE" "$installer" || true
  echo "The installer ended."
else
  "$here/tests/wine/setup-wine.sh" "$build/run-xvfb" >/dev/null
  export DISPLAY=$(cat "$build/run-xvfb/display")
  rc=0
  NOVLA_INSTALLER=$(winpath "$installer") "$NOVLA_WINE" "$build/$tree/novla_demo.exe" "$(winpath "$build/screens")" || rc=$?
  "$here/tests/wine/setup-wine.sh" "$build/run-xvfb" stop
  for f in "$build"/screens/*.bmp; do [ -e "$f" ] && convert "$f" "${f%.bmp}.png" && rm -f "$f"; done
  ls "$build"/screens/*.png 2>/dev/null || true
  exit $rc
fi
