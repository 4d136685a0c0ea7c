#pragma once
// The undo actions of the uninstaller, and of the installer when it aborts:
// one entry of the installation record at a time, on this system, never
// beyond what the entry names. Files and links are removed only when they
// are plain files the installation made; folders and registry keys only
// when nothing is left in them; values get back what they held before, or
// go. A file in use is removed at the next restart instead. Platform code.
//
// Failures: each entry's undo ends in an UndoOutcome, never a box; the
// caller sums the outcomes up for the user and keeps the failed entries in
// the record.
#include <stdint.h>

#include "record/install_record.h"

enum UndoOutcome : uint8_t {
    UNDO_NOTHING = 0,     // nothing to do: already gone, or no longer a plain file or folder
    UNDO_DONE,            // removed, or the previous value restored
    UNDO_SCHEDULED,       // a product file or folder, removed at the next restart
    UNDO_SCHEDULED_SELF,  // the running uninstaller, removed at the next restart
    UNDO_KEPT_FILE,       // a file that was there before the installation: kept
    UNDO_KEPT_FOLDER,     // a folder holding what others put in it: kept
    UNDO_KEPT_KEY,        // a key holding what others put in it: kept
    UNDO_FAILED,          // could not be undone; the record keeps it for a later run
    UNDO_REFUSED,         // left: outside what may be undone here, or a folder holding such; the record keeps it
};

// True when the record must keep the entry after its undo: nothing was
// undone that a later run could not still do. Both programs rewrite the
// record by this rule.
inline bool StaysInRecord(UndoOutcome outcome) { return outcome == UNDO_FAILED || outcome == UNDO_REFUSED; }

// What may be undone on this system (PlanUndo): the Windows, System,
// Programs and desktop folders as the system names them now, with the
// product's names. A folder the system cannot name is "", which puts
// nothing below it in scope. The folders are kept in static buffers.
void FindUndoScope(UndoScope* scope, const ProductNames* product);

// Once, before UndoEntry: whether the system is of the NT family (pending
// removals go to the session manager; else to WININIT.INI in
// windowsFolder).
void StartUndo(bool ntFamily, const char* windowsFolder);

// The uninstaller, whose own file is in the record, names itself before
// UndoEntry: the running program's file can only go at the restart. The
// installer's file is never in a record.
void NoteRunningProgram();

// Removes the file at path at the next restart (after StartUndo), as a
// file in use is: the session manager's list on NT, WININIT.INI on Windows
// 9x. False when it cannot be scheduled.
bool RemoveAtRestart(const char* path);

// Undoes one entry that OrderUndo or PlanUndo chose. Entries must come in
// that order: a folder is examined after the files in it were dealt with.
UndoOutcome UndoEntry(const RecordEntry* entry);

// Deletes the key below HKEY_LOCAL_MACHINE (REGISTRY_HKLM) or
// HKEY_CLASSES_ROOT only when it has neither subkeys nor values; Windows 95
// and 98 would delete a whole tree otherwise. UNDO_NOTHING when it is not
// there, UNDO_KEPT_KEY when something is left in it.
UndoOutcome RemoveKeyWhenEmpty(uint8_t root, const char* key);
