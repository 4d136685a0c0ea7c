#!/usr/bin/env bash
# Prints which cross-built tree the Windows-side tests run from: win32 when
# this machine runs 32-bit x86 code, win64 otherwise. Some virtual machines
# run no 32-bit code at all (the 32-bit Wine loader cannot start there); the
# tests then run the installer's 64-bit twin under wine64.
#
# The probe is a 93-byte 32-bit Linux program that only exits with status 0,
# written here byte by byte, so the answer does not depend on what is
# installed yet.
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
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov eax, 1 (exit); xor ebx, ebx; int 0x80
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
} > "$probe"
chmod +x "$probe"
if "$probe" 2>/dev/null; then
  echo win32
else
  echo win64
fi
