// What the uninstaller keeps in the installation record, and why.
#include "cleanup/cleanup_keep.h"

#include <string.h>

#include "common/path_walk.h"

// One line at a time, parsed again to find which entry it was; static, as a
// line is larger than a stack frame may be.
static char s_line[RECORD_LINE_CAPACITY];
static uint8_t s_data[RECORD_DATA_CAPACITY];

// Where the line that begins at start ends: at its CR LF, or size when the
// text ends first. Splits as ParseRecord does: only CR LF ends a line.
static size_t LineEnd(const char* text, size_t start, size_t size)
{
    size_t end = start;
    while (end + 1 < size && !(text[end] == '\r' && text[end + 1] == '\n'))
        ++end;
    return end + 1 < size ? end : size;
}

bool KeepRecordLines(char* text, size_t* size, const RecordView* view, const UndoOutcome* outcomes,
                     unsigned* kept)
{
    *kept = 0;
    if (!StartsWithRecordHeader(text, *size))
        return false;
    size_t written = RECORD_HEADER_LENGTH;
    unsigned next = 0;  // the entry the next line that parses must be
    for (size_t start = RECORD_HEADER_LENGTH, end; start < *size; start = end + 2) {
        end = LineEnd(text, start, *size);
        if (end == *size)
            break;
        size_t length = end - start;
        // A line that ParseRecord parsed is no longer than the longest line
        // FormatRecordLine writes, and holds no NUL.
        bool parsed = false;
        RecordEntry entry;
        if (length < sizeof s_line) {
            memcpy(s_line, text + start, length);
            s_line[length] = '\0';
            parsed = strlen(s_line) == length && ParseRecordLine(s_line, &entry, s_data, sizeof s_data);
        }
        bool stays = true;
        if (parsed && next < view->entryCount && next < RECORD_ENTRY_CAPACITY) {
            if (entry.kind != view->entries[next].kind)
                return false;
            bool scope = entry.kind == RECORD_RUN || entry.kind == RECORD_CODE_PAGE;
            stays = scope || StaysInRecord(outcomes[next]);
            *kept += stays && !scope;
            ++next;
        } else {
            ++*kept;
        }
        if (stays) {
            memmove(text + written, text + start, length + 2);
            written += length + 2;
        }
    }
    if (next != view->entryCount)
        return false;
    *size = written;
    return true;
}

// True when the product's link names hold name.
static bool IsLinkName(const char* name, const ProductNames* product)
{
    for (unsigned i = 0; i < product->linkNameCount; ++i)
        if (SameTextNoCase(name, product->linkNames[i]))
            return true;
    return false;
}

bool IsAnotherAccountsShortcut(const RecordEntry* entry, const ProductNames* product)
{
    if (entry->kind != RECORD_LINK && entry->kind != RECORD_FOLDER)
        return false;
    const char* path = entry->path;
    if (!HasDriveRoot(path))
        return false;
    // Each separator after the drive root's: what follows it is the item's
    // last components, what comes before it the folder that holds them.
    for (const char* p = NextChar(path + 2); *p != '\0'; p = NextChar(p)) {
        if (*p != '\\')
            continue;
        const char* rest = p + 1;
        if (entry->kind == RECORD_LINK ? LastSeparator(path) == p && IsLinkName(rest, product)
                                       : rest[0] != '\0' && PathBelowFolder(product->programGroup, rest) != NULL)
            return true;
    }
    return false;
}

const char* UnsoundProgramFolderOf(const RecordEntry* entry, const RecordView* view, const char* productName)
{
    if (entry->kind != RECORD_FILE && entry->kind != RECORD_FOLDER)
        return NULL;
    for (unsigned i = 0; i < view->entryCount && i < RECORD_ENTRY_CAPACITY; ++i) {
        const RecordEntry* run = &view->entries[i];
        if (run->kind != RECORD_RUN || IsSoundProgramFolder(run->path, productName))
            continue;
        if (PathBelowFolder(entry->path, run->path) != NULL ||
            (entry->kind == RECORD_FOLDER && PathBelowFolder(run->path, entry->path) != NULL))
            return run->path;
    }
    return NULL;
}
