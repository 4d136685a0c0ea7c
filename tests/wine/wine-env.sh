# Environment shared by every Wine run of the test harness (sourced).
# Wine must not write menu entries or file associations into the host's
# desktop, nor ask for Mono or Gecko; its own debug output stays off. A test
# adds overrides of its own with NOVLA_DLL_OVERRIDES (on its "wine-env:"
# line): Wine takes them from the environment a process starts with, so a
# test program cannot set them for the programs it starts.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d${NOVLA_DLL_OVERRIDES:+;$NOVLA_DLL_OVERRIDES}"
# 32-bit Wine where this machine runs 32-bit code, else wine64 with the
# installer's 64-bit twin (scripts/wine-tree.sh). WINE_TREE=win64, as
# `make ... WINE_TREE=win64` sets it, runs the twin here too.
if [ "${WINE_TREE:-$("$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-tree.sh")}" = win32 ]; then
  export WINEARCH=win32
  NOVLA_WINE=wine
else
  export WINEARCH=win64
  NOVLA_WINE=/usr/lib/wine/wine64
fi
# Versions a test can ask for; GetOsClass gives 0 for win98, 1 for win2k, 2
# for winxp and win2003, 3 for vista, win7 and win10. The i686 smoke makes
# templates of only the versions it runs (tests/wine/i686-smoke.cmake).
# win7-64 and win10-64 are 64-bit prefixes (WINEARCH=win64) in which the
# i686 programs run through WoW64: made only where the i686 tree runs
# natively and a 64-bit Wine is there; where only the twin runs, their tests
# are not registered (tests/win32/harness.cmake).
NOVLA_WINE_VERSIONS=${NOVLA_WINE_VERSIONS:-"win98 win2k winxp win2003 vista win7 win10"}
if [ "$WINEARCH" = win32 ] && [ -x /usr/lib/wine/wine64 ]; then
  NOVLA_WINE64_VERSIONS=${NOVLA_WINE64_VERSIONS-"win7-64 win10-64"}
else
  NOVLA_WINE64_VERSIONS=""
fi
