// Any bytes as an installation record, read and planned against a fixed
// scope of the product's names (generated from the manifest): nothing may be read or written outside the record and the view,
// the planned indices must name in-scope entries, each once, newest first
// (over the whole record and over one run from any entry on),
// and every parsed entry must come back the same through its line.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "record/install_record.h"
#include "tests/host/common/char_model.h"

namespace {

const UndoScope kScope = {"C:\\Windows",
                          "C:\\Windows\\System32",
                          {"C:\\Menu\\Programs", "C:\\All\\Menu\\Programs"},
                          {"C:\\Desktop", ""},
                          &g_productNames};

RecordView g_view;
unsigned g_order[RECORD_ENTRY_CAPACITY];

bool SameText(const char* a, const char* b) { return (a == NULL) == (b == NULL) && (a == NULL || strcmp(a, b) == 0); }

bool SameEntry(const RecordEntry& a, const RecordEntry& b)
{
    return a.kind == b.kind && a.existed == b.existed && a.allUsers == b.allUsers && a.codePage == b.codePage &&
           a.root == b.root && SameText(a.path, b.path) &&
           SameText(a.valueName, b.valueName) && SameText(a.backup, b.backup) && a.type == b.type && a.dataSize == b.dataSize &&
           (a.dataSize == 0 || memcmp(a.data, b.data, a.dataSize) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The record is copied to a buffer of exactly its size, so that reading
    // past it is caught. Most inputs get the header put in front, or they
    // would stop there.
    bool withHeader = size > 0 && data[0] != 'N';
    // Paths are walked under each code page the installer meets.
    SetLeadByteRanges(model::kCodePages[size % (sizeof model::kCodePages / sizeof model::kCodePages[0])].leadBytes);
    size_t headerLength = withHeader ? strlen(kRecordHeader) : 0;
    size_t total = headerLength + size;
    char* text = static_cast<char*>(malloc(total ? total : 1));
    memcpy(text, kRecordHeader, headerLength);
    if (size)
        memcpy(text + headerLength, data, size);
    if (!ParseRecord(text, total, &g_view)) {
        if (g_view.entryCount != 0)
            abort();
        free(text);
        return 0;
    }
    if (g_view.entryCount > RECORD_ENTRY_CAPACITY || g_view.dataUsed > RECORD_ARENA_CAPACITY)
        abort();

    for (unsigned i = 0; i < g_view.entryCount; ++i) {
        const RecordEntry& entry = g_view.entries[i];
        char line[RECORD_LINE_CAPACITY];
        if (!FormatRecordLine(line, sizeof line, &entry))
            abort();
        size_t length = strlen(line);
        if (length < 2 || line[length - 2] != '\r' || line[length - 1] != '\n')
            abort();
        line[length - 2] = '\0';
        RecordEntry again;
        uint8_t bytes[RECORD_DATA_CAPACITY];
        if (!ParseRecordLine(line, &again, bytes, sizeof bytes) || !SameEntry(entry, again))
            abort();
    }

    unsigned refused = 0;
    unsigned count = PlanUndo(&g_view, &kScope, g_order, RECORD_ENTRY_CAPACITY, &refused);
    const char* folders[RECORD_FOLDER_CAPACITY];
    unsigned folderCount = RecordProgramFolders(&g_view, g_productNames.name, folders, RECORD_FOLDER_CAPACITY);
    if (count + refused > g_view.entryCount)
        abort();
    for (unsigned k = 0; k < count; ++k) {
        unsigned i = g_order[k];
        if (i >= g_view.entryCount || (k > 0 && i >= g_order[k - 1]))
            abort();
        const RecordEntry& entry = g_view.entries[i];
        if (entry.kind == RECORD_RUN || entry.kind == RECORD_CODE_PAGE || entry.kind == RECORD_MOVE ||
            !IsEntryInScope(&entry, &kScope, folders, folderCount))
            abort();
    }
    // One run on its own, from any entry: indices from there on only, each
    // once, newest first.
    unsigned first = g_view.entryCount == 0 ? 0 : (unsigned)(size % g_view.entryCount);
    count = PlanRunUndo(&g_view, first, &kScope, g_order, RECORD_ENTRY_CAPACITY, &refused);
    for (unsigned k = 0; k < count; ++k)
        if (g_order[k] < first || g_order[k] >= g_view.entryCount || (k > 0 && g_order[k] >= g_order[k - 1]))
            abort();
    free(text);
    return 0;
}
