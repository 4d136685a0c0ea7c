#include "payload/run_undo.h"

#include "payload/os_class.h"
#include "payload/record_file.h"
#include "payload/record_undo.h"
#include "setup/install_dirs.h"
#include "setup/session.h"

// The order of the undo, and what became of each of the run's entries.
static unsigned s_order[RUN_ENTRY_CAPACITY];
static UndoOutcome s_outcome[RUN_ENTRY_CAPACITY];

void UndoAbortedRun()
{
    const char* path = InstallRecordPath();
    if (path[0] == '\0')
        return;
    // The run's own entries, as it wrote them before each action: no scope
    // to check, as nothing but this run wrote them.
    unsigned count = 0;
    const RecordEntry* entries = RunRecordEntries(&count);
    unsigned refused = 0;
    unsigned planned = OrderUndo(entries, count, NULL, NULL, s_order, RUN_ENTRY_CAPACITY, &refused);
    // The generation was decided before the run began.
    StartUndo(g_session.osClass != OS_CLASS_WIN9X, g_installDirs[DIR_WINDOWS]);
    bool anyFailed = false;
    for (unsigned k = 0; k < planned; ++k) {
        unsigned i = s_order[k];
        s_outcome[i] = UndoEntry(&entries[i]);
        if (StaysInRecord(s_outcome[i]))
            anyFailed = true;
    }
    // A record that cannot be rewritten keeps this run's lines: a later
    // uninstaller finds what is gone already and passes over it. One that
    // should have gone and cannot goes at the restart, as a file in use.
    uint32_t from = InstallRecordRunStart();
    if (!KeepInRecord(path, from, entries, count, s_outcome) && !anyFailed && from == sizeof kRecordHeader - 1)
        RemoveAtRestart(path);
}
