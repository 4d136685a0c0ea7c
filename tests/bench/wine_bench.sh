# Sourced by the benchmarks that run under Wine. wine_bench_prepare BUILD
# PROGRAM picks the Wine tree this machine runs (tree), its prefixes (root)
# and the benchmark program in it (program), readies the prefixes, and
# points the program at that tree's release installer (NOVLA_INSTALLER).
# Expects `here`, the repository's top folder.
wine_bench_prepare() {
  tree=$("$here/scripts/wine-tree.sh")
  root=$1/$tree/wine
  program=$1/$tree/tests/$2
  [ -x "$program" ] || { echo "no $program: build the $tree tree first" >&2; exit 2; }
  "$here/tests/wine/setup-wine.sh" "$root" >/dev/null
  local installer=$1/$tree/TessaronixSetup.exe
  export NOVLA_INSTALLER="Z:${installer//\//\\}"
}
