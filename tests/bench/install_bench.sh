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
. "$here/tests/bench/wine_bench.sh"
wine_bench_prepare "$build" install_phase_wine.exe
echo "Installation phase under Wine ($tree, $version), $runs runs:"
"$here/tests/wine/run-wine-test.sh" "$root" "$version" "$program" "$runs"
