# Cross build of the installer: 32-bit Windows with the i686 MinGW-w64 toolchain.
# The posix thread model: the cross-built GoogleTest needs std::mutex. The
# installer itself uses no threads and no STL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
# The archiver wrappers that keep link-time optimisation's objects usable.
set(CMAKE_AR i686-w64-mingw32-gcc-ar-posix)
set(CMAKE_RANLIB i686-w64-mingw32-gcc-ranlib-posix)
# What only the i686 build needs. x87 arithmetic keeps floats in 80-bit
# registers, while the banner's resampler is defined with every float rounded
# to 32 bits, as SSE code (the 64-bit twin, the host) computes it. With
# link-time optimisation its code may be inlined anywhere, so every file of
# the installer is compiled, and linked, this way.
#
# The 32-bit Windows interface keeps the stack aligned to 4 bytes only, and
# the installer has no SSE code that would want more: without
# -mpreferred-stack-boundary=2 the compiler pads frames and argument lists to
# 16 bytes that no caller from the system keeps anyway.
#
# -march=i386: the code runs on every processor Windows 95 and NT 4 run on.
# This toolchain's default is the Pentium Pro, whose conditional moves
# (cmov) stop a 486 or Pentium with an invalid-instruction fault; tests
# /release/cpu_baseline_test.cpp reads the programs' code for them. It is
# scheduled for the Pentium (-mtune=pentium), the processor most of those
# systems had, whose cost model also gives shorter code here than the 386's.
set(NOVLA_ARCH_FLAGS -ffloat-store -mpreferred-stack-boundary=2 -march=i386 -mtune=pentium)
# The release installer's engine is budgeted (tests/release): its constant
# data shares the code section (cmake/installer.cmake).
set(NOVLA_READ_ONLY_DATA_IN_CODE ON)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
