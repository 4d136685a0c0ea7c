#!/usr/bin/env bash
# Prints which cross-built tree the Windows-side tests run from: win32 when
# this machine runs 32-bit x86 code (Wine's 32-bit loader starts), win64
# otherwise. Some virtual machines run no 32-bit code at all; there the tests
# run the installer's 64-bit twin under wine64.
if [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo win32
else
  echo win64
fi
