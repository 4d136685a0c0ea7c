#pragma once
// What an installation run replaces is set aside, not deleted, until the run
// has finished: the files of an existing program folder go, by renaming,
// below a hidden folder beside it (AsidePath), and an existing file the run
// writes anew is renamed beside itself, each after its M line is in the
// record. An aborted run puts everything back; a finished run removes it.
// The start of the installer and of the uninstaller settle what a run that
// was cut off left set aside. Platform code, shared by both programs.
//
// Failures: each put-back or removal ends in an UndoOutcome, as the other
// undo actions do (record/record_undo.h); what fails stays in the record.
#include "record/install_record.h"
#include "record/record_undo.h"

// The run sets path aside: a file the run is about to replace (folder
// false), or a program folder about to be emptied (folder true, its files
// at every depth, as ClearFolder would delete them). Its M line comes first;
// false when it cannot be written or, for a file, the rename fails: the run
// must then not replace it. A folder's files that cannot be moved stay, as
// they stayed when the emptying could not delete them.
bool SetAside(const char* path, bool folder);

// Puts back what entry (an M entry still aside) set aside: over what the
// run wrote at its place, and removes the emptied backup. UNDO_NOTHING
// when there is nothing at the backup; UNDO_FAILED when something stays
// there.
UndoOutcome PutBack(const RecordEntry* entry);

// Puts back, newest first, what entries[0..count) set aside and is still
// aside, when admit (if not null) lets the entry through; each outcome into
// outcomes[i]. True when nothing failed.
bool PutBackAll(const RecordEntry* entries, unsigned count, UndoOutcome* outcomes, EntryFilter admit,
                const void* context);

// The end of a run that finished (after StartUndo): an M line that is no
// longer aside for each of the run's, then what each set aside is removed;
// a file in use goes at the restart. When a line cannot be written nothing
// is removed, and the next start takes the run for one that was cut off.
void FinishSetAside();

// What the next start finds of a run cut off while something was set
// aside, and what it did (SettleCutOffRun).
enum SettleResult {
    SETTLE_NOTHING,   // the record's last run set nothing aside, or finished and left nothing
    SETTLE_FINISHED,  // the last run had finished: what it set aside and left is removed
    SETTLE_RESTORED,  // the last run was cut off: it was undone and the earlier installation put back
    SETTLE_FAILED,    // some of that could not be done: the record keeps it for the next start
};

// Before anything else reads the record at path (after StartUndo): when its
// last run set something aside and was cut off before it finished, that run
// is undone within scope (PlanUndo's rules), then what it set aside is put
// back, and the record keeps only what could not be; when it had finished,
// what it left set aside is removed. Uses a static copy of the record.
SettleResult SettleCutOffRun(const char* path, const UndoScope* scope);
