#pragma once
// The uninstaller's texts: the start-up rename list of Windows 95, 98 and
// ME (WININIT.INI) that removes files at the next restart, the names of
// record entries as the user reads them, and the last box. Portable: no
// Windows header, no heap; every output is bounded by its capacity.
#include <stddef.h>

#include "payload/install_record.h"

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

enum { ENTRY_NAME_CAPACITY = 32 + RECORD_KEY_LENGTH + RECORD_NAME_LENGTH };

// An entry's item as the user reads it: a path for D, F and L; for K
// "HKEY_LOCAL_MACHINE\key" (or HKEY_CLASSES_ROOT); for V the key and then
// the value's name after a backslash, the default value without one. False
// (out empty) for an I entry or when it does not fit.
bool EntryDisplayName(char* out, size_t capacity, const RecordEntry* entry);

enum { SUMMARY_NAMES_SHOWN = 3 };

// Items of one kind for the last box: how many in all, and the first
// SUMMARY_NAMES_SHOWN of them by name (the names must outlive the list).
struct SummaryList {
    unsigned count;
    const char* names[SUMMARY_NAMES_SHOWN];
};

// Counts name in list, keeping it when there is room to show it.
void AddSummaryName(SummaryList* list, const char* name);

// What the uninstallation did, for the last box.
struct CleanupSummary {
    const char* productName;  // "Tessaronix"
    SummaryList notRemoved;   // items that could not be undone
    SummaryList keptFolders;  // folders kept for what others put in them
    SummaryList keptFiles;    // files that were there before the installation
    bool restartCompletes;    // product files are removed at the next restart
};

// The last box's text: what was done, then what was kept or not removed,
// each list named up to SUMMARY_NAMES_SHOWN items and "and N more", then,
// when files wait for the restart, that the restart completes the removal.
// Paragraphs are separated by an empty line. False (out empty) when it does
// not fit capacity.
bool BuildCleanupSummary(char* out, size_t capacity, const CleanupSummary* summary);
