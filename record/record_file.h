#pragma once
// The installation record's file (record/install_record.h): written by the
// installer a line before each action, read by the uninstaller and by the
// installer's abort path, and rewritten by both to keep only what is left
// to undo. Platform code, shared by both programs.
//
// Failures: every function here reports a failed file call in its result;
// what the caller then must not do (an action whose line was not written) or
// keeps (a record that could not be rewritten) is said at each function.
#include <stdint.h>

#include "record/install_record.h"
#include "record/record_undo.h"

// ---- Writing, as the installation runs ---------------------------------------

// Opens the record at path for appending, creating it with its header when
// there is none, and writes the run's I and C lines (RunEntry and the
// system's ANSI code page). A record that does not begin with the header
// cannot be read by the uninstaller, so nothing it holds can be undone: it
// is started afresh. False when the record cannot be opened or written;
// nothing may then be installed, as it could not be undone, and a record
// this call created is not left behind.
bool OpenInstallRecord(const char* path, const RecordEntry* run);

// Appends one entry and flushes it to the disk before the action it names,
// and keeps a copy among the run's entries (RunRecordEntries). False when it
// cannot be written or kept: the action must then not be done. True without
// writing when no record is open (a step run on its own, as tests do).
bool AppendInstallRecord(const RecordEntry* entry);

// The entries this run wrote to its record, I and C lines first, copied as
// they were written (*count of them, at most RUN_ENTRY_CAPACITY): what the
// run did, for its own undo. A run writes about 90 entries; one that would
// need more stops at the first entry that does not fit.
enum { RUN_ENTRY_CAPACITY = 512 };
const RecordEntry* RunRecordEntries(unsigned* count);

// Closes the record (at the end of the run, whatever its outcome).
void CloseInstallRecord();

// Records a folder about to be created (a D line, without a trailing
// backslash), for CreateFolderChain.
bool RecordFolderCreation(const char* folder);

// ---- Reading and rewriting ----------------------------------------------------

enum RecordRead {
    RECORD_MISSING,  // no record at path
    RECORD_UNREADABLE,
    RECORD_READ_PART,  // larger than RECORD_FILE_CAPACITY: what fits was read
    RECORD_READ,
};

// Reads the record at path into text (at most RECORD_FILE_CAPACITY bytes),
// *size the bytes in text.
RecordRead ReadRecordFile(const char* path, char* text, size_t* size);

// Where the lines of the run that OpenInstallRecord opened begin, and the
// record's path ("" when none was opened).
uint32_t InstallRecordRunStart();
const char* InstallRecordPath();

// Rewrites the record at path from byte offset from on (0: the whole record)
// with what entries[0..count), the record's from there on, still have to
// undo: those whose outcomes[i] StaysInRecord, with the I and C lines that
// give them their scope, in their order; before from, nothing changes. When
// nothing failed, nothing is written from there, and a record left without
// any entry is deleted. False when the file could not be rewritten or
// deleted: it may then hold more than is left.
bool KeepInRecord(const char* path, uint32_t from, const RecordEntry* entries, unsigned count,
                  const UndoOutcome* outcomes);

// Replaces the whole record at path with text[0..size) (a record the
// uninstaller filtered, never longer than what it read: the bytes are
// written over the old ones in one call, then the file is cut after them).
// False when the file could not be opened or written whole: it may then
// still name what is gone, which a later run passes over.
bool ReplaceRecordText(const char* path, const char* text, size_t size);
