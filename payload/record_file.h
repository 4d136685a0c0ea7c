#pragma once
// The installer's side of the installation record (payload/install_record.h):
// the file in the Windows folder that the run appends to, one line before
// each action.
#include "payload/install_record.h"

// Opens the record for appending, creating it with its header when there is
// none. A record that does not begin with the header cannot be read by the
// uninstaller, so nothing it holds can be undone: it is started afresh.
// False when the record cannot be opened or written; nothing may then be
// installed, as it could not be undone.
bool OpenInstallRecord();

// Appends one entry and flushes it to the disk before the action it names.
// False when it cannot be written: the action must then not be done. True
// without writing when no record is open (a step run on its own, as tests
// do).
bool AppendInstallRecord(const RecordEntry* entry);

// Closes the record (at the end of the run, whatever its outcome).
void CloseInstallRecord();

// Records a folder about to be created (a D line), for CreateFolderChain.
bool RecordFolderCreation(const char* folder);

// True when a file (not a folder) stands at path.
bool FileExistsAt(const char* path);
