#pragma once
// Rules over the file table: which rows apply to a Windows generation, where
// each goes, and how much space they need. Portable.
#include <stddef.h>
#include <stdint.h>

#include "payload/os_class.h"
#include "payload/product.h"

typedef uint16_t OsVariantMask;

// OS_MODERN for classes 2 and 3, OS_LEGACY otherwise.
OsVariantMask VariantMaskFor(OsClass osClass);
// True when the row's flags share a bit with the mask.
bool RowApplies(const PayloadRow* entry, OsVariantMask mask);
// The install folder (g_installDirs) a row goes to: the Windows folder when
// 0x0002 is set, else the System folder when 0x0004 is, else the program
// folder.
const char* RowFolder(const PayloadRow* entry);
// Unsigned 32-bit sum of fileSize over the rows that apply.
uint32_t RequiredSpaceFor(const PayloadTable* table, OsVariantMask mask);
// True when a shortcut name means "no shortcut" (first character '-').
bool IsNoShortcut(const char* shortcutName);

// The row's install folder (g_installDirs) joined with its fileName. False (out empty) when the
// path would not fit the capacity.
bool RowTargetPath(const PayloadRow* entry, char* out, size_t capacity);
