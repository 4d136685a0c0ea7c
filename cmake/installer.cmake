# The installer: a 32-bit Windows GUI program, statically linked, without
# exceptions or RTTI, with subsystem version 4.0 so that Windows 95 and NT 4
# load it. Two builds of the same platform code:
#   TessaronixSetup.exe        the release build, stripped
#   TessaronixSetupFaults.exe  the test build: every guarded Win32 call can be
#                              made to fail (common/fault_seam.h)
#
# Lean by construction: the entry point is the installer's own
# (setup/main.cpp), so none of the runtime's start-up code is linked; no
# -fdata-sections, because on this target it gives zero-filled variables
# sections with file contents instead of .bss; no stack frame larger than a
# page, so the compiler never needs a stack probe; link-time optimisation,
# so that what one file calls once is inlined there and what nobody calls
# goes. NOVLA_ARCH_FLAGS holds what only one toolchain needs.
#
# Arguments are pushed (-mno-accumulate-outgoing-args) rather than stored
# into a frame area reserved in each prologue: a push is 1 to 5 bytes where
# a store to the stack is 3 to 8. The compiler keeps the stored form while
# stack probing is on, so probing is off (-mno-stack-arg-probe). Probes are
# only ever needed for a frame larger than the page of stack the system
# grows at a touch; -Werror=frame-larger-than keeps every frame below
# that, and each call's pushed return address touches the stack below the
# frame before the next frame starts.
#
# No frame pointer (-fomit-frame-pointer; this toolchain keeps one by
# default): each function then saves no %ebp and has one register more.
# Tables and texts aligned only as the types require (-malign-data=abi),
# not to 32 bytes for the processor's cache lines. No jump threading nor
# dominator-based rewriting (-fno-thread-jumps -fno-tree-dominator-opts):
# both copy blocks of code to spare a test on some paths, which -Oz does not
# undo; without them the installer's code is smaller (by how much:
# docs/measurements.md). A switch is a chain of compares, not a table of
# addresses (-fno-jump-tables -fno-tree-switch-conversion): each table entry
# is four bytes and a relocation. A loop stays a loop rather than becoming
# a call to memset or memcpy (-fno-tree-loop-distribute-patterns).
set(NOVLA_INSTALLER_CXX_FLAGS -Oz -flto -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections -Wall -Wextra -Werror=frame-larger-than=4000
    -mno-accumulate-outgoing-args -mno-stack-arg-probe -fomit-frame-pointer -malign-data=abi
    -fno-thread-jumps -fno-tree-dominator-opts -fno-jump-tables -fno-tree-switch-conversion
    -fno-tree-loop-distribute-patterns ${NOVLA_ARCH_FLAGS})
# At the link, where the optimiser inlines across files, a function called
# from one place only is inlined there only when it is short (at most
# max-inline-functions-called-once-insns of the optimiser's instructions):
# a long one inlined into a long caller costs more in registers saved and
# reloaded around it than the call it saves.
# Points-to analysis over the whole program (-fipa-pta) lets the optimiser
# drop loads it otherwise repeats after each call.
set(NOVLA_INSTALLER_LINK_FLAGS -Oz -flto --param=max-inline-functions-called-once-insns=150 -fipa-pta ${NOVLA_ARCH_FLAGS}
    -static -mwindows -nostartfiles
    -Wl,--disable-auto-import -Wl,--gc-sections -Wl,--no-insert-timestamp
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
# No C runtime DLL, which Windows 95 does not have: nothing of the
# toolchain's default libraries is linked (-nodefaultlibs), only the
# system's import libraries and the compiler's own support code (libgcc:
# 64-bit division and the like). The few C library functions the programs
# and the compiler call are the programs' own (novla_c_runtime below).
list(APPEND NOVLA_INSTALLER_LINK_FLAGS -nodefaultlibs)
set(NOVLA_INSTALLER_LIBS kernel32 user32 gdi32 advapi32 shell32 ole32 comctl32 gcc)

# NOVLA_READ_ONLY_DATA_IN_CODE (the i686 toolchain file sets it): the
# programs' constant data (texts, tables) lies in the code section, after the
# code, instead of in a .rdata section of its own, as the linkers of Windows
# 95's day did when told /MERGE:.rdata=.text: one section fewer to pad to the
# file's 512-byte alignment. Loaders map a section by its memory flags (read
# and execute here), whatever it holds. The linker script is the linker's own
# default, read from `ld --verbose` when the tree is configured, with that one
# change.
if(NOVLA_READ_ONLY_DATA_IN_CODE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-prog-name=ld OUTPUT_VARIABLE novla_ld
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${novla_ld} --verbose OUTPUT_VARIABLE novla_ld_says RESULT_VARIABLE novla_ld_failed)
  # The script stands between two rules of '=' (novla_rule).
  string(REPEAT "=" 50 novla_rule)
  string(FIND "${novla_ld_says}" "${novla_rule}\n" novla_start)
  string(FIND "${novla_ld_says}" "${novla_rule}" novla_end REVERSE)
  set(novla_code_end "     KEEP (*(.gcc_except_table))\n  }\n")
  string(FIND "${novla_ld_says}" "${novla_code_end}" novla_at)
  if(novla_ld_failed OR novla_start EQUAL -1 OR novla_end LESS_EQUAL novla_start OR novla_at EQUAL -1)
    message(FATAL_ERROR "${novla_ld} --verbose gives no default script whose code section ends as expected")
  endif()
  math(EXPR novla_start "${novla_start} + 51")
  math(EXPR novla_length "${novla_end} - ${novla_start}")
  string(SUBSTRING "${novla_ld_says}" ${novla_start} ${novla_length} novla_script)
  string(REPLACE "${novla_code_end}" "     KEEP (*(.gcc_except_table))\n    *(.rdata)\n    *(SORT(.rdata$*))\n  }\n"
         novla_script "${novla_script}")
  file(WRITE ${CMAKE_BINARY_DIR}/generated/installer.ld "${novla_script}")
  list(APPEND NOVLA_INSTALLER_LINK_FLAGS -Wl,-T,${CMAKE_BINARY_DIR}/generated/installer.ld)
endif()

target_compile_options(novla_core PRIVATE ${NOVLA_INSTALLER_CXX_FLAGS})

# Each folder of the programs is a library: novla_folder(NAME [LINKS lower
# folders]) makes novla_NAME for the release builds and novla_NAME_faults
# for the test builds, each linking the same-kind libraries of the lower
# folders it names, and points the folder's novla_core_sources() and
# novla_platform_sources() at them. Only the platform sources are built
# twice: the test build checks the invariants of the platform code too
# (common/check.h) and guards its calls (common/fault_seam.h); the portable
# sources, checked in the host and fuzz trees, are built once
# (novla_NAME_portable) into both. A program links the libraries of the
# folders it calls and takes from each only the objects it needs.
function(novla_folder name)
  cmake_parse_arguments(FOLDER "" "" "LINKS" ${ARGN})
  foreach(kind "" _faults)
    set(lib novla_${name}${kind})
    add_library(${lib} STATIC)
    target_include_directories(${lib} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_compile_options(${lib} PRIVATE ${NOVLA_INSTALLER_CXX_FLAGS})
    foreach(lower ${FOLDER_LINKS})
      target_link_libraries(${lib} PUBLIC novla_${lower}${kind})
    endforeach()
    target_link_libraries(${lib} PUBLIC ${NOVLA_INSTALLER_LIBS})
  endforeach()
  target_compile_definitions(novla_${name}_faults PUBLIC NOVLA_FAULTS=1 NOVLA_CHECKS=1)
  set(NOVLA_FOLDER ${name} PARENT_SCOPE)
endfunction()

function(novla_core_sources)
  set(portable novla_${NOVLA_FOLDER}_portable)
  if(NOT TARGET ${portable})
    add_library(${portable} OBJECT)
    target_include_directories(${portable} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_compile_options(${portable} PRIVATE -Wall -Wextra ${NOVLA_INSTALLER_CXX_FLAGS})
    target_sources(novla_${NOVLA_FOLDER} PRIVATE $<TARGET_OBJECTS:${portable}>)
    target_sources(novla_${NOVLA_FOLDER}_faults PRIVATE $<TARGET_OBJECTS:${portable}>)
  endif()
  target_sources(${portable} PRIVATE ${ARGN})
endfunction()

function(novla_platform_sources)
  target_sources(novla_${NOVLA_FOLDER} PRIVATE ${ARGN})
  target_sources(novla_${NOVLA_FOLDER}_faults PRIVATE ${ARGN})
endfunction()

# The C library functions of every shipped program (common/c_runtime.h),
# compiled outside the link-time optimisation: an optimised object that
# defines memcpy or memset is not seen when the optimiser's own code calls
# them, and the linker then looks for them elsewhere.
# The heap functions apart, for the installer only: the banner is their one
# caller, and an object linked in keeps its imports even when its code goes.
add_library(novla_c_runtime OBJECT ${CMAKE_SOURCE_DIR}/common/c_runtime.cpp)
add_library(novla_c_runtime_heap OBJECT ${CMAKE_SOURCE_DIR}/common/c_runtime_heap.cpp)
foreach(lib novla_c_runtime novla_c_runtime_heap)
  target_include_directories(${lib} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${lib} PRIVATE NOVLA_C_RUNTIME_NAMES)
  target_compile_options(${lib} PRIVATE ${NOVLA_INSTALLER_CXX_FLAGS} -fno-lto -ffreestanding)
endforeach()

# Resources are shared by both builds (resources/CMakeLists.txt adds to it).
add_library(novla_resources OBJECT)
target_include_directories(novla_resources PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)

foreach(exe TessaronixSetup TessaronixSetupFaults)
  add_executable(${exe} WIN32 $<TARGET_OBJECTS:novla_resources> $<TARGET_OBJECTS:novla_c_runtime>
                 $<TARGET_OBJECTS:novla_c_runtime_heap>)
  target_link_options(${exe} PRIVATE ${NOVLA_INSTALLER_LINK_FLAGS})
  set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
# The installer: its entry (setup/), every folder below it, and the
# product's records (novla_core). novla_platform and novla_platform_faults
# name the whole of it for the Windows-side tests, which call into every
# layer; both are filled in by setup/CMakeLists.txt.
add_library(novla_platform INTERFACE)
add_library(novla_platform_faults INTERFACE)
target_link_libraries(TessaronixSetup PRIVATE novla_platform)
target_link_libraries(TessaronixSetupFaults PRIVATE novla_platform_faults)
target_link_options(TessaronixSetup PRIVATE -s)
