#!/usr/bin/env bash
# Benchmark (not a test): times the installation phase of the release
# installer under Wine against its pacing floor, in a fresh prefix of one
# Windows version. Build first (make test or make win64/win32).
#   tests/bench/install_bench.sh [BUILD] [VERSION] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
version=${2:-win7}
runs=${3:-5}
tree=$("$here/scripts/wine-tree.sh")
root=$build/$tree/wine
program=$build/$tree/tests/install_phase_wine.exe
[ -x "$program" ] || { echo "no $program: build the $tree tree first" >&2; exit 2; }
"$here/tests/wine/setup-wine.sh" "$root" >/dev/null
winpath() { echo "Z:${1//\//\\}"; }
export NOVLA_INSTALLER=$(winpath "$build/$tree/TessaronixSetup.exe")
echo "Installation phase under Wine ($tree, $version), $runs runs:"
"$here/tests/wine/run-wine-test.sh" "$root" "$version" "$program" "$runs"
