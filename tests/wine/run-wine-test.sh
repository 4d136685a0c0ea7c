#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh copy of the template prefix
# of a Windows version, on the test run's Xvfb display, and exits with the
# program's exit code. The prefix is removed afterwards.
#   run-wine-test.sh ROOT VERSION PROGRAM [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
root=$1 version=$2 program=$3
shift 3
if [ ! -d "$root/templates/$version" ] || [ ! -f "$root/display" ]; then
  echo "no Wine template for $version under $root: run setup-wine.sh first" >&2
  exit 2
fi
export DISPLAY=$(cat "$root/display")
prefix=$(mktemp -d "$root/runs/$version-XXXXXX")
cp -al "$root/templates/$version/." "$prefix/"
for f in "$prefix"/*.reg; do cp --remove-destination "$root/templates/$version/${f##*/}" "$f"; done
export WINEPREFIX=$prefix
# Tests find the installers and the product through these (Windows paths).
export NOVLA_WINE_VERSION=$version
"$NOVLA_WINE" "$program" "$@"
rc=$?
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
[ -n "${NOVLA_KEEP_PREFIX:-}" ] || rm -rf "$prefix"
exit $rc
