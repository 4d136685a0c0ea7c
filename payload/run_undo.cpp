#include "payload/run_undo.h"

#include "common/install_dirs.h"
#include "common/path_text.h"
#include "common/session.h"
#include "payload/os_class.h"
#include "payload/product.h"
#include "record/product_names.h"
#include "record/record_file.h"
#include "record/record_undo.h"
#include "record/run_backup.h"
#include "resources/resource_ids.h"

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
    // Then what the run set aside comes back over what it wrote.
    anyFailed = !PutBackAll(entries, count, s_outcome, NULL, NULL) || anyFailed;
    // A record that cannot be rewritten keeps this run's lines: a later
    // uninstaller finds what is gone already and passes over it. One that
    // should have gone and cannot goes at the restart, as a file in use.
    uint32_t from = InstallRecordRunStart();
    if (!KeepInRecord(path, from, entries, count, s_outcome) && !anyFailed && from == RECORD_HEADER_LENGTH)
        RemoveAtRestart(path);
}

void SettleCutOffInstallation()
{
    char record[PATH_CAPACITY];
    if (!RecordPath(record, sizeof record, g_installDirs[DIR_WINDOWS], g_productInfo.name))
        return;
    UndoScope scope;
    FindUndoScope(&scope, &g_productNames);
    StartUndo(g_session.osClass != OS_CLASS_WIN9X, g_installDirs[DIR_WINDOWS]);
    SettleResult result = SettleCutOffRun(record, &scope);
    if (result != SETTLE_RESTORED && result != SETTLE_FAILED)
        return;
    char text[KEY_CAPACITY];
    FormatText(text, sizeof text,
               result == SETTLE_RESTORED
                   ? "The last installation of NOVLA %s was cut off before it finished. The installation that was "
                     "there before it has been put back."
                   : "The last installation of NOVLA %s was cut off before it finished, and not all that it "
                     "replaced could be put back. Setup will try again when it next starts.",
               g_productInfo.name);
    MessageBoxA(NULL, text, SETUP_TITLE, MB_OK | (result == SETTLE_RESTORED ? MB_ICONINFORMATION : MB_ICONWARNING));
}
