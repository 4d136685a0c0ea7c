#pragma once
// The undo of an installation run that aborts. Platform code.

// Undoes what this run recorded, and so did, newest first, with the
// uninstaller's undo rules (record/record_undo.h): files and links it made,
// folders and keys it created (when nothing else is in them), values it set
// (given back what they held before), the uninstaller it copied. A file that
// was there before the run is kept; one in use goes at the restart. Then what
// the run set aside (record/run_backup.h) is put back over it. The
// earlier runs of the record stay as they are, so an earlier installation
// stays installed and removable. The record keeps only what could not be
// undone, and goes when nothing of it is left. Nothing when the run opened
// no record.
void UndoAbortedRun();

// At the installer's start, before the install path is read: settles what
// a run that was cut off left set aside (SettleCutOffRun, with the
// uninstaller's scope). When the earlier installation was put back, or not
// all of it could be, one box says so.
void SettleCutOffInstallation();
