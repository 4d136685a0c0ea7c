#!/usr/bin/env bash
# `make run`: starts the installer under Wine. On the user's display when
# DISPLAY is set, in a prefix of its own (BUILD/run-wine) that keeps what was
# installed. Otherwise on a private Xvfb display, in a fresh copy of the test
# harness's Windows 7 prefix (same fonts and window frames as the tests),
# driven by the walk-through program, which saves a picture of every page to
# BUILD/screens as PNG. With "uninstall" (`make uninstall-demo`), always the
# walk on Xvfb, which then removes the product with its uninstaller and
# prints the difference between before the installation and after the
# removal.
#   run-installer.sh BUILD TREE [uninstall]     (TREE: win32 or win64, the Wine tree)
set -euo pipefail
build=$1 tree=$2 mode=${3:-}
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tests/wine/wine-env.sh"
winpath() { echo "Z:${1//\//\\}"; }
installer=$build/$tree/TessaronixSetup.exe
if [ -n "${DISPLAY:-}" ] && [ "$mode" != uninstall ]; then
  export WINEPREFIX=$build/run-wine
  if [ ! -d "$WINEPREFIX" ]; then
    echo "Making the Wine prefix $WINEPREFIX (once)..."
    "$NOVLA_WINE" wineboot -i >/dev/null 2>&1 || true
    # The dialogs' fonts, as the test prefixes map them.
    for pair in "MS Sans Serif=Microsoft Sans Serif" "Courier New=Liberation Mono"; do
      "$NOVLA_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1
    done
  fi
  "$NOVLA_WINE" "$installer" || true
  echo "The installer ended."
  "$here/tests/win32/install/show-install.sh" "$WINEPREFIX" || true
else
  root=$build/run-xvfb
  mkdir -p "$build/screens"
  rm -f "$build"/screens/*.bmp "$build"/screens/*.png
  echo "Starting Xvfb and the Wine prefixes under $root (the first time takes a minute)..."
  "$here/tests/wine/setup-wine.sh" "$root" >/dev/null
  rc=0
  NOVLA_KEEP_PREFIX=1 NOVLA_INSTALLER=$(winpath "$installer") "$here/tests/wine/run-wine-test.sh" "$root" win7 \
    "$build/$tree/tests/novla_demo.exe" "$(winpath "$build/screens")" ${mode:+--$mode} || rc=$?
  # Where the installation put the files, links and registry values (the
  # kept prefix goes with the stop below).
  prefix=$(ls -td "$root"/runs/win7-* 2>/dev/null | head -n1)
  [ -z "$prefix" ] || "$here/tests/win32/install/show-install.sh" "$prefix" || true
  "$here/tests/wine/setup-wine.sh" "$root" stop
  for f in "$build"/screens/*.bmp; do [ -e "$f" ] && convert "$f" "${f%.bmp}.png" && rm -f "$f"; done
  ls "$build"/screens/*.png 2>/dev/null || true
  exit $rc
fi
