#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh copy of the template prefix
# of a Windows version, on an Xvfb display of its own (so tests running side
# by side never cover each other's windows), and exits with the program's
# exit code. The prefix and the display are removed afterwards.
#   run-wine-test.sh ROOT VERSION PROGRAM [ARGS...]
# NOVLA_SCREEN sets the display's size (its default: setup-wine.sh).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
root=$1 version=$2 program=$3
shift 3
if [ ! -d "$root/templates/$version" ] && [ "${version%-64}" != "$version" ] && [ -z "$NOVLA_WINE64_VERSIONS" ]; then
  # No WoW64 prefixes where the i686 tree does not run natively.
  echo "skipped: $version needs a 64-bit Wine running the i686 tree natively" >&2
  exit 77
fi
if [ ! -d "$root/templates/$version" ]; then
  echo "no Wine template for $version under $root: run setup-wine.sh first" >&2
  exit 2
fi
# Without a prefix of its own the copy below would go to the file system's
# root: stop here instead.
mkdir -p "$root/runs"
prefix=$(mktemp -d "$root/runs/$version-XXXXXX") || exit 2
cp -al "$root/templates/$version/." "$prefix/"
for f in "$prefix"/*.reg; do cp --remove-destination "$root/templates/$version/${f##*/}" "$f"; done

# Xvfb picks a free display number itself and writes it to the file.
Xvfb -displayfd 3 -screen 0 "${NOVLA_SCREEN:-1024x768x24}" -nolisten tcp 3>"$prefix/.display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$prefix/.display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$prefix/.display")"

# A WoW64 version: the i686 program in a 64-bit prefix.
case $version in *-64) export WINEARCH=win64 ;; esac
export WINEPREFIX=$prefix
export NOVLA_WINE_VERSION=$version
"$NOVLA_WINE" "$program" "$@"
rc=$?
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
[ -n "${NOVLA_KEEP_PREFIX:-}" ] || rm -rf "$prefix"
exit $rc
