#!/usr/bin/env bash
# Benchmark (not a test): times the installer's start-up payload check under
# Wine, on the built installer's own resources. Build first (make test or
# make win32/win64).
#   tests/bench/payload_check_bench.sh [BUILD] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
runs=${2:-10}
. "$here/tests/bench/wine_bench.sh"
wine_bench_prepare "$build" payload_check_wine.exe
echo "Start-up payload check under Wine ($tree):"
"$here/tests/wine/run-wine-test.sh" "$root" win7 "$program" "$runs"
