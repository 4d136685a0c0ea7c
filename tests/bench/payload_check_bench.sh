#!/usr/bin/env bash
# Benchmark (not a test): times the installer's start-up payload check under
# Wine, on the built installer's own resources. Build first (make test or
# make win32/win64).
#   tests/bench/payload_check_bench.sh [BUILD] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
runs=${2:-10}
tree=$("$here/scripts/wine-tree.sh")
root=$build/$tree/wine
program=$build/$tree/tests/payload_check_wine.exe
[ -x "$program" ] || { echo "no $program: build the $tree tree first" >&2; exit 2; }
"$here/tests/wine/setup-wine.sh" "$root" >/dev/null
winpath() { echo "Z:${1//\//\\}"; }
export NOVLA_INSTALLER=$(winpath "$build/$tree/TessaronixSetup.exe")
echo "Start-up payload check under Wine ($tree):"
"$here/tests/wine/run-wine-test.sh" "$root" win7 "$program" "$runs"
