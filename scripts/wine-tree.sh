#!/usr/bin/env bash
# Prints which cross-built tree the Windows-side tests run from: win32 when
# this machine runs 32-bit x86 code natively, win64 otherwise. Some virtual
# machines run no 32-bit code at all (the 32-bit Wine loader cannot start
# there); others run it only through an emulator registered in binfmt_misc
# (qemu-user), several times slower (docs/measurements.md) and with hardware
# exceptions reaching Windows code with wrong codes: too slow and too
# different for the whole suite. In both cases the tests run the installer's
# 64-bit twin under wine64, and `make test` adds the i686 smoke
# (scripts/i686-smoke.sh).
#   wine-tree.sh         win32 or win64
#   wine-tree.sh --how   native, "emulated by INTERPRETER", or none
#
# The probe is a 32-bit Linux program of a few instructions, written here
# byte by byte so the answer does not depend on what is installed yet. It
# writes one byte, then reads its input to the end and exits with status 0.
# While it waits, the kernel's record of what it runs (/proc/PID/exe) tells
# the two ways apart: the probe itself when the kernel runs it, the emulator
# otherwise. The Makefile asks only in the targets that run Windows code;
# `make ... WINE_TREE=win64` overrides the answer (tests/wine/wine-env.sh).
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
{
  # ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  # One loadable segment: the whole file at 0x08048000, read and execute.
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  printf '\x87\x00\x00\x00\x87\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # write(1, 0x08048000, 1): the header's first byte
  printf '\xb8\x04\x00\x00\x00\xbb\x01\x00\x00\x00\xb9\x00\x80\x04\x08\xba\x01\x00\x00\x00\xcd\x80'
  # again: read(0, esp, 1); while it gave a byte, again
  printf '\xb8\x03\x00\x00\x00\x31\xdb\x89\xe1\xba\x01\x00\x00\x00\xcd\x80\x85\xc0\x7f\xec'
  # exit(0)
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
} > "$probe"
chmod +x "$probe"

how=none
coproc probe_io { exec "$probe" 2>/dev/null; }
pid=$probe_io_PID in=${probe_io[1]}
if read -r -N1 -u "${probe_io[0]}" _; then
  if [ "/proc/$pid/exe" -ef "$probe" ]; then
    how=native
  else
    how="emulated by $(readlink "/proc/$pid/exe")"
  fi
fi
exec {in}>&-
wait "$pid" || how=none

if [ "${1:-}" = --how ]; then
  echo "$how"
elif [ "$how" = native ]; then
  echo win32
else
  echo win64
fi
