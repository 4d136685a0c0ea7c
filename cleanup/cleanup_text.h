#pragma once
// The uninstaller's texts: the names of record entries as the user reads
// them, and the last box. Portable: no Windows header, no heap; every
// output is bounded by its capacity.
#include <stddef.h>

#include "record/install_record.h"

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
    // Left alone and kept in the record:
    SummaryList otherAccount;    // shortcut items of another account's Start menu or desktop
    SummaryList unplaced;        // shortcut items, when the system could not name its shortcut folders
    SummaryList unsoundFolders;  // program folders the record names otherwise than Windows reads them
    SummaryList outside;         // items the product does not install
    unsigned unreadLines;        // lines of the record that could not be read
};

// The last box's text: what was done ("was removed" only when nothing was
// left: not removed, or left alone and kept in the record), then what was
// kept, not removed or left alone,
// each list named up to SUMMARY_NAMES_SHOWN items and "and N more", then,
// when files wait for the restart, that the restart completes the removal.
// Paragraphs are separated by an empty line. False (out empty) when it does
// not fit capacity.
bool BuildCleanupSummary(char* out, size_t capacity, const CleanupSummary* summary);

// True when nothing of the product was left: nothing failed, nothing was
// left alone in the record. Only then does the uninstaller say "removed"
// and end with 0.
bool IsCompleteRemoval(const CleanupSummary* summary);
