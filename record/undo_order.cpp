// The order of an undo: the record's admitted entries, newest first, each
// item once.
#include "record/install_record.h"

#include "common/check.h"
#include "common/path_walk.h"

// Files and links are both files: one path names one item of either kind.
static char ItemClass(char kind) { return kind == RECORD_LINK ? (char)RECORD_FILE : kind; }

// True when a and b name the same item.
static bool IsSameItem(const RecordEntry* a, const RecordEntry* b)
{
    if (ItemClass(a->kind) != ItemClass(b->kind) || a->root != b->root || !SameTextNoCase(a->path, b->path))
        return false;
    return a->kind != RECORD_VALUE || SameTextNoCase(a->valueName, b->valueName);
}

// What PlanUndo admits: the record's scope and its program folders.
struct ScopeCheck {
    const UndoScope* scope;
    const char* folders[RECORD_FOLDER_CAPACITY];
    unsigned folderCount;
};

static bool IsAdmitted(const RecordEntry* entry, const void* context)
{
    const ScopeCheck* check = (const ScopeCheck*)context;
    return IsEntryInScope(entry, check->scope, check->folders, check->folderCount);
}

unsigned OrderUndo(const RecordEntry* entries, unsigned entryCount, EntryFilter admit, const void* context,
                   unsigned* order, unsigned capacity, unsigned* refused)
{
    unsigned count = 0;
    *refused = 0;
    for (unsigned i = entryCount; i-- > 0;) {
        const RecordEntry* entry = &entries[i];
        if (entry->kind == RECORD_RUN || entry->kind == RECORD_CODE_PAGE || entry->kind == RECORD_MOVE)
            continue;
        if (admit != NULL && !admit(entry, context)) {
            ++*refused;
            continue;
        }
        bool namedBefore = false;
        for (unsigned older = 0; older < i && !namedBefore; ++older)
            namedBefore = IsSameItem(&entries[older], entry);
        // Newest first: each index below the one before it.
        NOVLA_ASSERT(count == 0 || order[count - 1] > i);
        if (!namedBefore && count < capacity)
            order[count++] = i;
    }
    return count;
}

// The scope and program folders PlanUndo and RefusedEntries admit by.
static void StartScopeCheck(ScopeCheck* check, const RecordView* view, const UndoScope* scope)
{
    check->scope = scope;
    check->folderCount = RecordProgramFolders(view, scope->product->name, check->folders, RECORD_FOLDER_CAPACITY);
}

static unsigned ViewEntryCount(const RecordView* view)
{
    return view->entryCount < RECORD_ENTRY_CAPACITY ? view->entryCount : (unsigned)RECORD_ENTRY_CAPACITY;
}

unsigned PlanUndo(const RecordView* view, const UndoScope* scope, unsigned* order, unsigned capacity,
                  unsigned* refused)
{
    return PlanRunUndo(view, 0, scope, order, capacity, refused);
}

unsigned PlanRunUndo(const RecordView* view, unsigned first, const UndoScope* scope, unsigned* order,
                     unsigned capacity, unsigned* refused)
{
    ScopeCheck check;
    StartScopeCheck(&check, view, scope);
    unsigned entryCount = ViewEntryCount(view);
    if (first > entryCount)
        first = entryCount;
    unsigned count = OrderUndo(view->entries + first, entryCount - first, IsAdmitted, &check, order, capacity, refused);
    for (unsigned k = 0; k < count; ++k)
        order[k] += first;
    return count;
}

unsigned RefusedEntries(const RecordView* view, const UndoScope* scope, unsigned* refused, unsigned capacity)
{
    ScopeCheck check;
    StartScopeCheck(&check, view, scope);
    unsigned count = 0;
    for (unsigned i = 0; i < ViewEntryCount(view) && count < capacity; ++i) {
        const RecordEntry* entry = &view->entries[i];
        if (entry->kind != RECORD_RUN && entry->kind != RECORD_CODE_PAGE && !IsAdmitted(entry, &check))
            refused[count++] = i;
    }
    return count;
}
