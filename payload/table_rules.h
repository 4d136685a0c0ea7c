#pragma once
// Rules over the file table: which rows apply to a Windows generation, where
// each goes, and how much space they need. Portable.
#include <stddef.h>
#include <stdint.h>

#include "payload/product.h"

// The Windows generation: which of a program's two builds is installed.
typedef uint8_t OsClass;
enum : OsClass {
    OS_CLASS_WIN9X = 0,  // Windows 95, 98, ME (not the NT platform)
    OS_CLASS_NT = 1,     // NT 4 and 2000: the legacy builds too
    OS_CLASS_XP = 2,     // NT 5.1 and 5.2 (XP, XP x64, Server 2003)
    OS_CLASS_VISTA = 3,  // NT 6.0 and every later version
};
typedef uint16_t OsVariantMask;

enum { PLATFORM_WIN32_NT = 2 };

// The class for a version record's platform id, major and minor version.
OsClass ClassifyWindowsVersion(uint32_t platformId, uint32_t major, uint32_t minor);
// OS_MODERN for classes 2 and 3, OS_LEGACY otherwise.
OsVariantMask VariantMaskFor(OsClass osClass);
// True when the row's flags share a bit with the mask.
bool EntryApplies(const PayloadEntry* entry, OsVariantMask mask);
// The install folder (g_installDirs) a row goes to: the Windows folder when
// 0x0002 is set, else the System folder when 0x0004 is, else the program
// folder.
const char* EntryFolder(const PayloadEntry* entry);
// Unsigned 32-bit sum of fileSize over the rows that apply.
uint32_t RequiredSpaceFor(const PayloadTable* table, OsVariantMask mask);
// True when a shortcut name means "no shortcut" (first character '-').
bool IsNoShortcut(const char* shortcutName);

// The row's install folder (g_installDirs) joined with its fileName. False (out empty) when the
// path would not fit the capacity.
bool EntryTargetPath(const PayloadEntry* entry, char* out, size_t capacity);
