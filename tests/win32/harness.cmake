# Windows-side tests: GoogleTest cross-built from the system's sources, one
# program per tests/win32/**/*_test.cpp, each run by CTest under Wine once for
# every Windows version named on its "// wine-versions:" line, in a fresh
# prefix of that version on an Xvfb display of its own
# (tests/wine/run-wine-test.sh). An optional "// wine-env: NAME=value ..."
# line adds environment (NOVLA_SCREEN for a smaller screen, TZ, ...).
# An optional "// wine-locales: ja_JP.UTF-8 ..." line runs the program once
# per version and locale instead (LANG and LC_ALL set; the test is named
# <program>.<version>.<locale without its charset>): Wine takes the ANSI code
# page from the locale its session starts in, and a process started from a
# Windows program keeps its parent's, whatever its environment block says.
# The fixture "wine" makes the template prefixes. Every test here carries the
# label wine; the fault sweeps' subsets carry faults as well.
option(NOVLA_WINE_TESTS "Build and register the Windows-side tests" OFF)
if(NOT NOVLA_WINE_TESTS)
  return()
endif()

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(wine_root ${CMAKE_BINARY_DIR}/wine)
set(wine_dir ${CMAKE_SOURCE_DIR}/tests/wine)

# Unix path -> the Windows path Wine gives it (drive Z: is the root).
function(novla_windows_path out path)
  string(REPLACE "/" "\\" p "${path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()

file(GLOB driver_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/driver/*.cpp)
add_library(novla_ui_driver STATIC ${driver_sources})
target_include_directories(novla_ui_driver PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_LIST_DIR}/driver)
target_link_libraries(novla_ui_driver PUBLIC gtest novla_platform_faults)

add_test(NAME wine.setup COMMAND ${wine_dir}/setup-wine.sh ${wine_root})
add_test(NAME wine.cleanup COMMAND ${wine_dir}/setup-wine.sh ${wine_root} stop)
set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 LABELS wine)
set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine LABELS wine)

novla_windows_path(installer_path ${CMAKE_BINARY_DIR}/TessaronixSetup.exe)
novla_windows_path(faults_path ${CMAKE_BINARY_DIR}/TessaronixSetupFaults.exe)
novla_windows_path(cleanup_faults_path ${CMAKE_BINARY_DIR}/TSXCleanupFaults.exe)
novla_windows_path(product_path ${CMAKE_BINARY_DIR}/product/files)
novla_windows_path(screens_path ${CMAKE_BINARY_DIR}/screens)
novla_windows_path(helpers_path ${CMAKE_BINARY_DIR}/helpers)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/screens)

# The signed release of `make release` (its own i686 tree): the tests that
# install or damage it find it through NOVLA_SIGNED_INSTALLER and its product
# files, the signed uninstaller among them, through NOVLA_SIGNED_PRODUCT_DIR.
# Only the i686 tree names it: the 64-bit twin runs where 32-bit code cannot.
set(NOVLA_SIGNED_EXE "" CACHE FILEPATH "The signed release (make release) that Windows-side tests run")
set(signed_env "")
if(NOVLA_SIGNED_EXE AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  get_filename_component(signed_tree ${NOVLA_SIGNED_EXE} DIRECTORY)
  get_filename_component(signed_tree ${signed_tree} DIRECTORY)
  novla_windows_path(signed_path ${NOVLA_SIGNED_EXE})
  novla_windows_path(signed_product_path ${signed_tree}/product/files)
  set(signed_env "NOVLA_SIGNED_INSTALLER=${signed_path}" "NOVLA_SIGNED_PRODUCT_DIR=${signed_product_path}")
endif()

# The words of a test source's "// wine-<tag>:" line into out, or default
# when it has none.
function(novla_test_line src tag default out)
  file(STRINGS ${src} line REGEX "^// wine-${tag}:" LIMIT_COUNT 1)
  set(words "${default}")
  if(line)
    string(REGEX REPLACE "^// wine-${tag}:[ ]*" "" words "${line}")
    separate_arguments(words)
  endif()
  set(${out} "${words}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE wine_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
foreach(src ${wine_tests})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE novla_ui_driver gtest_main novla_platform_faults novla_core)
  target_link_options(${name} PRIVATE -static)
  add_dependencies(${name} TessaronixSetup TessaronixSetupFaults TSXCleanupFaults)
  novla_test_line(${src} versions "" versions)
  if(NOT versions)
    message(FATAL_ERROR "${src}: no \"// wine-versions:\" line")
  endif()
  novla_test_line(${src} env "" extra_env)
  set(test_env "NOVLA_INSTALLER=${installer_path}" "NOVLA_INSTALLER_FAULTS=${faults_path}"
      "NOVLA_CLEANUP_FAULTS=${cleanup_faults_path}"
      "NOVLA_PRODUCT_DIR=${product_path}" "NOVLA_SCREENS=${screens_path}" "NOVLA_TEST_HELPERS=${helpers_path}"
      ${signed_env} ${extra_env})
  novla_test_line(${src} locales "-" locales)
  set(novla_env_${name} "${test_env}")
  foreach(version ${versions})
    foreach(locale ${locales})
      set(test_name ${name}.${version})
      set(run_env ${test_env})
      if(NOT locale STREQUAL "-")
        string(REGEX REPLACE "[.@].*" "" short "${locale}")
        set(test_name ${test_name}.${short})
        list(APPEND run_env "LANG=${locale}" "LC_ALL=${locale}")
      endif()
      # The WoW64 versions run the i686 programs only: the twin's tree has
      # none of them, and run-wine-test.sh skips them (SKIP_RETURN_CODE)
      # where no 64-bit prefix could be made.
      if(version MATCHES "-64$" AND NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
        continue()
      endif()
      add_test(NAME ${test_name}
               COMMAND ${wine_dir}/run-wine-test.sh ${wine_root} ${version} $<TARGET_FILE:${name}>)
      set_tests_properties(${test_name} PROPERTIES
        FIXTURES_REQUIRED wine
        TIMEOUT 600
        SKIP_RETURN_CODE 77
        ENVIRONMENT "${run_env}"
        LABELS wine)
    endforeach()
  endforeach()
endforeach()

# The walk-through that `make run` starts when there is no display.
add_executable(novla_demo ${CMAKE_CURRENT_LIST_DIR}/demo/novla_demo.cpp)
target_link_libraries(novla_demo PRIVATE novla_ui_driver)
target_link_options(novla_demo PRIVATE -static)
add_dependencies(novla_demo TessaronixSetup TessaronixSetupFaults)

# Benchmarks that run under Wine (tests/bench/*_wine.cpp): built here, run by
# their scripts in tests/bench, never by the tests.
file(GLOB wine_benches CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*_wine.cpp)
foreach(src ${wine_benches})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE novla_ui_driver)
  target_link_options(${name} PRIVATE -static)
endforeach()

# Helper programs that tests start as other processes (tests/win32/helpers):
# found through NOVLA_TEST_HELPERS.
file(GLOB helper_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/helpers/*.cpp)
foreach(src ${helper_sources})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_options(${name} PRIVATE -static)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/helpers)
  foreach(t ${wine_tests})
    get_filename_component(tname ${t} NAME_WE)
    add_dependencies(${tname} ${name})
  endforeach()
endforeach()
# Libraries that tests plant beside a copy of the installer or the
# uninstaller, under system libraries' names (helpers/planted/NAME.dll).
foreach(planted uxtheme msimg32)
  add_library(planted_${planted} SHARED ${CMAKE_CURRENT_LIST_DIR}/helpers/planted/planted.cpp)
  target_link_options(planted_${planted} PRIVATE -static)
  set_target_properties(planted_${planted} PROPERTIES OUTPUT_NAME ${planted} PREFIX "" RUNTIME_OUTPUT_DIRECTORY
                        ${CMAKE_BINARY_DIR}/helpers/planted)
  foreach(t ${wine_tests})
    get_filename_component(tname ${t} NAME_WE)
    add_dependencies(${tname} planted_${planted})
  endforeach()
endforeach()

# One run of the fault sweep (scripts/fault-sweep.sh): the test build
# walked through an installation with one guarded call failed, then judged.
# `make test` runs the sweep's subset, every guarded name failed at its first
# call and from there on; `make faults` the whole sweep.
add_executable(fault_run ${CMAKE_CURRENT_LIST_DIR}/faults/fault_run.cpp)
target_link_libraries(fault_run PRIVATE novla_ui_driver novla_platform_faults novla_core)
target_link_options(fault_run PRIVATE -static)
set_target_properties(fault_run PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/helpers)
add_dependencies(fault_run TessaronixSetupFaults)
add_test(NAME faults.subset COMMAND ${CMAKE_SOURCE_DIR}/scripts/fault-sweep.sh ${CMAKE_BINARY_DIR} --subset)
# The longest Wine test: started first.
set_tests_properties(faults.subset PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 900 COST 10000 LABELS "wine;faults")

# The uninstaller's fault sweep (fault-sweep.sh --cleanup): the test build
# of the uninstaller run over a whole installation with one guarded call
# failed, then judged; its subset in `make test`, the whole in `make faults`.
add_executable(cleanup_fault_run ${CMAKE_CURRENT_LIST_DIR}/faults/cleanup_fault_run.cpp)
target_link_libraries(cleanup_fault_run PRIVATE novla_ui_driver gtest novla_platform_faults novla_core)
target_link_options(cleanup_fault_run PRIVATE -static)
set_target_properties(cleanup_fault_run PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/helpers)
add_dependencies(cleanup_fault_run TessaronixSetup TSXCleanupFaults)
add_test(NAME faults.cleanup-subset
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/fault-sweep.sh ${CMAKE_BINARY_DIR} --subset --cleanup)
set_tests_properties(faults.cleanup-subset PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600 COST 5000
                     LABELS "wine;faults")

# The i686 smoke's cases, registered apart (tests/wine/i686-smoke.cmake).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  include(${wine_dir}/i686-smoke.cmake)
endif()
