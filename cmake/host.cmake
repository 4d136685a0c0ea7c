# Native build: the portable core with its unit tests, fuzzers, benchmarks and
# the host tools.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Here every folder's portable sources join the one core library, and the
# Windows-only ones are not built.
function(novla_folder name)
endfunction()
function(novla_core_sources)
  target_sources(novla_core PRIVATE ${ARGN})
endfunction()
# Invariants are checked here, in the unit tests and the fuzzers
# (common/check.h).
add_compile_definitions(NOVLA_CHECKS=1)
option(NOVLA_SANITIZE "Build the host tree with AddressSanitizer and UBSan" OFF)
if(NOVLA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
find_package(GTest REQUIRED)

# Fuzz targets (clang, libFuzzer, AddressSanitizer and UBSan): every
# tests/fuzz/*_fuzz.cpp, linked with the core built the same way. Each gets a
# short smoke test (label fuzz-smoke, part of `make test`) and a long run
# (label fuzz-long, `make fuzz`), both starting from tests/fuzz/corpus/<name>.
# A long run ends after NOVLA_FUZZ_RUNS executions, or NOVLA_FUZZ_SECONDS
# when that is not 0, whichever comes first.
option(NOVLA_FUZZ "Build the libFuzzer targets" OFF)
set(NOVLA_FUZZ_RUNS 10000000 CACHE STRING "Executions of each long fuzz run")
set(NOVLA_FUZZ_SECONDS 0 CACHE STRING "Seconds of each long fuzz run at most (0: no limit)")
if(NOVLA_FUZZ)
  set(NOVLA_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(novla_core PRIVATE ${NOVLA_FUZZ_FLAGS})
  # The LZHUF coder and the banner's resampler compare tree counts, node
  # indices and loop bounds, never input bytes with constants, so libFuzzer's
  # comparison tracing has nothing to learn there; its callbacks, on every
  # compare of the tree walks and pixel loops, took most of those fuzzers'
  # time. Edge coverage, ASan and UBSan stay. The parsers keep it.
  set_source_files_properties(codec/lzhuf.cpp codec/lzhuf_tree.cpp codec/lzhuf_encoder.cpp
                              codec/lzhuf_host.cpp banner/area_scale.cpp
                              PROPERTIES COMPILE_OPTIONS -fno-sanitize-coverage=trace-cmp)
endif()
function(novla_fuzz_targets)
  if(NOT NOVLA_FUZZ)
    return()
  endif()
  file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
  foreach(src ${fuzzers})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE novla_core)
    # The manifest fuzzer reads manifests with the packer's own code; the
    # record fuzzer plans against the product's names (product/).
    if(name STREQUAL "manifest_fuzz")
      target_link_libraries(${name} PRIVATE novlapack_lib)
    elseif(name STREQUAL "install_record_fuzz")
      target_link_libraries(${name} PRIVATE novla_product_names)
    endif()
    # A harness that loops over pixels itself gets the same treatment as the
    # resampler (see NOVLA_FUZZ_FLAGS above).
    if(name STREQUAL "banner_scale_fuzz")
      set_source_files_properties(${src} PROPERTIES COMPILE_OPTIONS -fno-sanitize-coverage=trace-cmp)
    endif()
    set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
    set(work ${CMAKE_BINARY_DIR}/corpus/${name})
    # libFuzzer adds what it finds to its first corpus folder: a scratch one,
    # so the seeds in the source tree stay as they are. A smoke runs the whole
    # corpus, then fuzzes for as many executions (-runs) or seconds
    # (-max_total_time) as its command names, whichever ends first, so that
    # `make test` stays short on a busy machine too.
    set(smoke_work ${CMAKE_BINARY_DIR}/corpus-smoke/${name})
    add_test(NAME ${name}.smoke COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
             sh -c "mkdir -p \"$1\" && exec \"$2\" -runs=20000 -max_total_time=20 -max_len=65536 \"$1\" \"$3\""
             smoke ${smoke_work} $<TARGET_FILE:${name}> ${corpus})
    set_tests_properties(${name}.smoke PROPERTIES LABELS fuzz-smoke)
    add_test(NAME ${name}.long COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
             sh -c "mkdir -p \"$1\" && exec \"$2\" -runs=${NOVLA_FUZZ_RUNS} -max_total_time=${NOVLA_FUZZ_SECONDS} \
-max_len=65536 -print_final_stats=1 \"$1\" \"$3\""
             long ${work} $<TARGET_FILE:${name}> ${corpus})
    set_tests_properties(${name}.long PROPERTIES LABELS fuzz-long)
  endforeach()
endfunction()
