#pragma once
// The start-up rename list of Windows 95, 98 and ME (WININIT.INI), which
// removes files at the next restart: what the undo of an installation uses
// there for a file in use. Portable: no Windows header, no heap.
#include <stddef.h>

// Adds the line "NUL=<path>" to the [rename] section of a WININIT.INI text
// held in text[0..*length), in place: Windows deletes each file so named
// while it starts, before any program can hold it. Every existing line is
// kept as it is; the line goes after the last line of the first [rename]
// section that is not blank (the section name without regard to case), or,
// without such a section, in a new one at the end. Lines written here end
// in CR LF; a last line without its line end gets one first. A line that
// already names path (without regard to case) is not added again.
// *firstChange is set to the offset of the first byte that changed (the old
// *length when nothing did): everything before it is as it was, so only
// the rest needs writing. capacity counts bytes; no terminator is kept.
// False (text unchanged) when path is empty or holds CR or LF, or the
// result would not fit capacity.
bool AddStartupRemoval(char* text, size_t* length, size_t capacity, const char* path, size_t* firstChange);
