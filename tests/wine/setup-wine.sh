#!/usr/bin/env bash
# Makes the template Wine prefixes, one per Windows version, under ROOT
# (build/<tree>/wine), with an Xvfb display for wineboot. Each test then runs
# in a fresh copy of its version's template on a display of its own
# (run-wine-test.sh).
#   setup-wine.sh ROOT        start Xvfb, make missing templates
#   setup-wine.sh ROOT stop   stop Xvfb and the template prefixes' servers
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
root=$1
mkdir -p "$root/templates" "$root/runs"

if [ "${2:-}" = stop ]; then
  if [ -f "$root/xvfb.pid" ]; then
    kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
    rm -f "$root/xvfb.pid" "$root/display"
  fi
  rm -rf "$root/runs"
  exit 0
fi

# A display of our own: the first free number from 90 on.
if [ -f "$root/xvfb.pid" ] && kill -0 "$(cat "$root/xvfb.pid")" 2>/dev/null; then
  :
else
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  setsid Xvfb ":$n" -screen 0 "${NOVLA_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 < /dev/null &
  echo $! > "$root/xvfb.pid"
  echo ":$n" > "$root/display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi
export DISPLAY=$(cat "$root/display")

stamp="$WINEARCH $($NOVLA_WINE --version 2>/dev/null) $(md5sum "$0" | cut -c1-8) $NOVLA_WINE_VERSIONS $NOVLA_WINE64_VERSIONS"
base="$root/templates/base"
if [ ! -f "$base/.novla-stamp" ] || [ "$(cat "$base/.novla-stamp")" != "$stamp" ]; then
  rm -rf "$root/templates"
  mkdir -p "$root/templates"
  # base: the 32-bit (or, for the twin, 64-bit) prefix of every version;
  # base64: the 64-bit one of the WoW64 versions.
  make_templates() {
    local base=$1 versions=$2 arch=$3
    WINEARCH=$arch WINEPREFIX=$base $NOVLA_WINE wineboot -i >/dev/null 2>&1
    # Wine links the user's shell folders (Desktop, Documents, Templates...) to
    # the host's home folder, at more than one depth: make every one of them a
    # folder of the prefix, so that no test writes links or files into the
    # host's home.
    find "$base/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
      rm -f "$link" && mkdir -p "$link"
    done
    # Wine draws Windows-style captions itself (no window manager under Xvfb).
    WINEARCH=$arch WINEPREFIX=$base $NOVLA_WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    WINEARCH=$arch WINEPREFIX=$base $NOVLA_WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    # The dialogs' fonts. Wine's own MS Sans Serif (the 8-point bitmap face,
    # 13 pixels high, as on Windows) and Marlett (the caption buttons) are not
    # picked up from Wine's data folder here: put them in the prefix's Fonts.
    # Courier New is mapped to its metric-compatible Liberation face.
    for f in sserife.fon marlett.ttf; do
      cp /usr/share/wine/fonts/$f "$base/drive_c/windows/Fonts/" 2>/dev/null || true
    done
    for pair in "Courier New=Liberation Mono"; do
      WINEARCH=$arch WINEPREFIX=$base $NOVLA_WINE reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1
    done
    # The dialogs' face "MS Shell Dlg" is MS Sans Serif on Western Windows;
    # Wine's prefix leaves it to its default, Tahoma.
    WINEARCH=$arch WINEPREFIX=$base $NOVLA_WINE reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "MS Shell Dlg" /d "MS Sans Serif" /f >/dev/null 2>&1
    WINEPREFIX=$base wineserver -w
    for v in $versions; do
      cp -al "$base" "$root/templates/$v"
      # Hard links share the installed system files; the registry files are
      # rewritten per prefix, so each gets its own copy.
      for f in "$root/templates/$v"/*.reg; do cp --remove-destination "$base/${f##*/}" "$f"; done
      WINEARCH=$arch WINEPREFIX=$root/templates/$v $NOVLA_WINE reg add 'HKCU\Software\Wine' /v Version /d "${v%-64}" /f >/dev/null 2>&1
      WINEPREFIX=$root/templates/$v wineserver -w
    done
  }
  make_templates "$base" "$NOVLA_WINE_VERSIONS" "$WINEARCH"
  if [ -n "$NOVLA_WINE64_VERSIONS" ]; then
    make_templates "$root/templates/base64" "$NOVLA_WINE64_VERSIONS" win64
  fi
  echo "$stamp" > "$base/.novla-stamp"
fi
