# The i686 smoke (scripts/i686-smoke.sh): where this machine runs 32-bit
# code only through an emulator, the whole Windows-side suite runs the 64-bit
# twin, and these cases run the i686 files, the release installer users
# download among them, under 32-bit Wine and qemu-user. They are chosen so
# that what only the i686 build has runs: its entry point, the x87 banner
# code built with -ffloat-store, the LZHUF decoder and the checksums as the
# i686 link-time optimisation made them, 32-bit structure layouts in every
# Win32 call, the uninstaller.
#
# Registered apart from the tree's own tests, in i686-smoke/ of the build
# tree (a CTest file of its own that the tree's `ctest` never reads), with
# template prefixes of their own under i686-smoke/wine; each case is a test
# program of tests/win32 run on one Windows version with a filter of its
# cases (a case named DISABLED_ is one that only the smoke runs). Versions
# are named, not picked by generation: win98 for Windows 9x, winxp for NT.
# Each carries the label wine, as the tree's own Windows-side tests do.
#   name      version  program                  its cases
set(novla_smoke_cases
  "start     winxp    startup_test             Startup.*"
  "install   win98    install_test             Install.*"
  "install   winxp    install_test             Install.*"
  "removal   win98    cleanup_round_trip_test  CleanupRoundTrip.*"
  "removal   winxp    cleanup_round_trip_test  CleanupRoundTrip.*"
  "damaged   winxp    damaged_setup_test       DamagedSetup.*"
  "banner    win98    banner_paint_test        BannerPaint.DISABLED_TheReleaseFilePaintsTheSameBanner")

set(smoke_dir ${CMAKE_BINARY_DIR}/i686-smoke)
set(smoke_root ${smoke_dir}/wine)
set(smoke_versions "")
foreach(c ${novla_smoke_cases})
  separate_arguments(c UNIX_COMMAND "${c}")
  list(GET c 1 version)
  list(APPEND smoke_versions ${version})
endforeach()
list(REMOVE_DUPLICATES smoke_versions)
list(JOIN smoke_versions " " smoke_versions)

# Every run picks 32-bit Wine (under the emulator the probe of
# scripts/wine-tree.sh says win64) and makes templates of these versions
# only, no WoW64 ones.
set(smoke_env "WINE_TREE=win32;NOVLA_WINE_VERSIONS=${smoke_versions};NOVLA_WINE64_VERSIONS=")
set(content "# The i686 smoke's cases, made by tests/wine/i686-smoke.cmake.\n")
string(APPEND content
  "add_test([=[i686.wine.setup]=] [=[${wine_dir}/setup-wine.sh]=] [=[${smoke_root}]=])\n"
  "set_tests_properties([=[i686.wine.setup]=] PROPERTIES FIXTURES_SETUP i686-wine TIMEOUT 300 LABELS wine"
  " ENVIRONMENT [=[${smoke_env}]=])\n"
  "add_test([=[i686.wine.cleanup]=] [=[${wine_dir}/setup-wine.sh]=] [=[${smoke_root}]=] stop)\n"
  "set_tests_properties([=[i686.wine.cleanup]=] PROPERTIES FIXTURES_CLEANUP i686-wine LABELS wine"
  " ENVIRONMENT [=[${smoke_env}]=])\n")
foreach(c ${novla_smoke_cases})
  separate_arguments(c UNIX_COMMAND "${c}")
  list(GET c 0 case)
  list(GET c 1 version)
  list(GET c 2 program)
  list(GET c 3 filter)
  if(NOT TARGET ${program})
    message(FATAL_ERROR "i686 smoke: no test program ${program}")
  endif()
  set(test i686.${case}.${version})
  string(APPEND content
    "add_test([=[${test}]=] [=[${wine_dir}/run-wine-test.sh]=] [=[${smoke_root}]=] ${version}"
    " [=[$<TARGET_FILE:${program}>]=] [=[--gtest_filter=${filter}]=] --gtest_also_run_disabled_tests)\n"
    "set_tests_properties([=[${test}]=] PROPERTIES FIXTURES_REQUIRED i686-wine TIMEOUT 600 LABELS wine"
    " ENVIRONMENT [=[${smoke_env};${novla_env_${program}}]=])\n")
endforeach()
file(GENERATE OUTPUT ${smoke_dir}/CTestTestfile.cmake CONTENT "${content}")
