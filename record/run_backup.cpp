// Setting aside what an installation run replaces, putting it back, removing
// it, and settling what a run that was cut off left set aside.
#include "record/run_backup.h"

#include "common/folders.h"
#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/win32.h"
#include "record/record_file.h"

// The record as the settling reads it, and what became of its entries.
static char s_text[RECORD_FILE_CAPACITY];
static RecordView s_view;
static unsigned s_order[RECORD_ENTRY_CAPACITY];
static UndoOutcome s_outcome[RECORD_ENTRY_CAPACITY];

bool SetAside(const char* path, bool folder)
{
    char place[PATH_CAPACITY], backup[PATH_CAPACITY];
    if (!CopyText(place, sizeof place, path))
        return false;
    place[FolderLength(place)] = '\0';
    RecordEntry entry = MoveEntry(place, backup, true);
    if (!AsidePath(backup, sizeof backup, place) || !AppendInstallRecord(&entry))
        return false;
    if (!folder)
        return MoveFileA(place, backup) != FALSE;
    // A hidden folder: the user sees the program folder emptied, as before.
    MoveFolderFiles(place, backup, false);
    SetFileAttributesA(backup, FILE_ATTRIBUTE_HIDDEN);
    return true;
}

UndoOutcome PutBack(const RecordEntry* entry)
{
    DWORD attributes = GetFileAttributesA(entry->backup);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return UNDO_NOTHING;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return MoveFolderFiles(entry->backup, entry->path, true) == 0 ? UNDO_DONE : UNDO_FAILED;
    // What the run wrote in its place goes first: a rename does not replace
    // a file on Windows 9x.
    SetFileAttributesA(entry->path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(entry->path);
    return MoveFileA(entry->backup, entry->path) ? UNDO_DONE : UNDO_FAILED;
}

static UndoOutcome Discard(const char* path);

static bool DiscardEntry(const char* path, const WIN32_FIND_DATAA*, void* context)
{
    UndoOutcome* worst = (UndoOutcome*)context;
    UndoOutcome outcome = Discard(path);
    if (outcome > *worst)
        *worst = outcome;
    return true;
}

// Removes path, a file or a whole folder of what a run set aside; what is in
// use goes at the restart. Only set-aside files are below a backup folder:
// no link is ever moved into one, so every folder in it is entered.
static UndoOutcome Discard(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return UNDO_NOTHING;
    UndoOutcome worst = UNDO_DONE;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        WalkFolder(path, DiscardEntry, &worst);
        if (RemoveDirectoryA(path))
            return worst;
    } else {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileA(path))
            return UNDO_DONE;
    }
    return RemoveAtRestart(path) ? UNDO_SCHEDULED : UNDO_FAILED;
}

void FinishSetAside()
{
    unsigned count = 0;
    const RecordEntry* entries = RunRecordEntries(&count);
    bool recorded = true;
    for (unsigned i = 0; i < count && recorded; ++i)
        if (entries[i].kind == RECORD_MOVE) {
            RecordEntry done = MoveEntry(entries[i].path, entries[i].backup, false);
            recorded = AppendInstallRecord(&done);
        }
    for (unsigned i = 0; i < count && recorded; ++i)
        if (entries[i].kind == RECORD_MOVE && entries[i].existed)
            Discard(entries[i].backup);
}

bool PutBackAll(const RecordEntry* entries, unsigned count, UndoOutcome* outcomes, EntryFilter admit,
                const void* context)
{
    bool whole = true;
    for (unsigned i = count; i-- > 0;) {
        if (entries[i].kind != RECORD_MOVE || !entries[i].existed || (admit != NULL && !admit(&entries[i], context)))
            continue;
        outcomes[i] = PutBack(&entries[i]);
        whole = whole && outcomes[i] != UNDO_FAILED;
    }
    return whole;
}

// The program folders of the settled record, for the M lines' scope.
struct MoveScope {
    const UndoScope* scope;
    const char* folders[RECORD_FOLDER_CAPACITY];
    unsigned folderCount;
};

static bool IsMoveInScope(const RecordEntry* entry, const void* context)
{
    const MoveScope* check = (const MoveScope*)context;
    return IsEntryInScope(entry, check->scope, check->folders, check->folderCount);
}

SettleResult SettleCutOffRun(const char* path, const UndoScope* scope)
{
    // A record read in part, or one of another code page, is the
    // uninstaller's to refuse: it is not touched.
    size_t size = 0;
    if (ReadRecordFile(path, s_text, &size) != RECORD_READ || !ParseRecord(s_text, size, &s_view) ||
        ForeignCodePage(&s_view, GetACP()) != 0)
        return SETTLE_NOTHING;
    unsigned count = s_view.entryCount, first = count;
    for (unsigned i = count; i-- > 0 && first == count;)
        if (s_view.entries[i].kind == RECORD_RUN)
            first = i;
    MoveScope check;
    check.scope = scope;
    check.folderCount = RecordProgramFolders(&s_view, scope->product->name, check.folders, RECORD_FOLDER_CAPACITY);
    const RecordEntry* run = s_view.entries + first;
    unsigned runCount = count - first;
    bool aside = false, finished = false;
    for (unsigned i = 0; i < runCount; ++i)
        if (run[i].kind == RECORD_MOVE && IsMoveInScope(&run[i], &check)) {
            aside = aside || run[i].existed;
            finished = finished || !run[i].existed;
        }
    if (!aside)
        return SETTLE_NOTHING;
    if (finished) {
        for (unsigned i = 0; i < runCount; ++i)
            if (run[i].kind == RECORD_MOVE && run[i].existed && IsMoveInScope(&run[i], &check))
                Discard(run[i].backup);
        return SETTLE_FINISHED;
    }
    // Cut off before it finished: the run is undone as its abort would have
    // undone it, within the record's scope, then the earlier installation
    // comes back.
    unsigned refused = 0;
    unsigned planned = PlanRunUndo(&s_view, first, scope, s_order, RECORD_ENTRY_CAPACITY, &refused);
    bool whole = true;
    for (unsigned k = 0; k < planned; ++k) {
        unsigned i = s_order[k];
        s_outcome[i] = UndoEntry(&s_view.entries[i]);
        whole = whole && s_outcome[i] != UNDO_FAILED;
    }
    whole = PutBackAll(run, runCount, s_outcome + first, IsMoveInScope, &check) && whole;
    // An I line's folder begins after its kind, a TAB, its users flag and a
    // TAB: the run's lines begin there in the file.
    uint32_t from = (uint32_t)(run->path - s_text) - 4;
    whole = KeepInRecord(path, from, run, runCount, s_outcome + first) && whole;
    return whole ? SETTLE_RESTORED : SETTLE_FAILED;
}
