// The uninstaller's texts: entry names and the last box.
#include "product/cleanup/cleanup_text.h"

#include <string.h>

#include "common/path_text.h"

// ---- Entry names ----------------------------------------------------------

bool EntryDisplayName(char* out, size_t capacity, const RecordEntry* entry)
{
    switch (entry->kind) {
    case RECORD_FOLDER:
    case RECORD_FILE:
    case RECORD_LINK:
        return CopyText(out, capacity, entry->path);
    case RECORD_KEY:
    case RECORD_VALUE: {
        const char* root = entry->root == REGISTRY_HKLM ? "HKEY_LOCAL_MACHINE" : "HKEY_CLASSES_ROOT";
        const char* name = entry->kind == RECORD_VALUE ? entry->valueName : "";
        return FormatText(out, capacity, "%s\\%s%s%s", root, entry->path, name[0] != '\0' ? "\\" : "", name);
    }
    }
    if (capacity > 0)
        out[0] = '\0';
    return false;
}

// ---- The last box ---------------------------------------------------------

void AddSummaryName(SummaryList* list, const char* name)
{
    if (list->count < SUMMARY_NAMES_SHOWN)
        list->names[list->count] = name;
    ++list->count;
}

// "A", "A and B", "A, B and C", "A, B, C and 4 more" into out, appended.
static bool AppendList(char* out, size_t capacity, const SummaryList* list)
{
    unsigned shown = list->count < SUMMARY_NAMES_SHOWN ? list->count : (unsigned)SUMMARY_NAMES_SHOWN;
    bool fits = true;
    for (unsigned i = 0; i < shown && fits; ++i) {
        const char* separator = i == 0 ? "" : (i + 1 == shown && shown == list->count) ? " and " : ", ";
        fits = AppendText(out, capacity, separator) && AppendText(out, capacity, list->names[i]);
    }
    if (fits && list->count > shown) {
        char more[32];
        fits = FormatText(more, sizeof more, " and %u more", list->count - shown) && AppendText(out, capacity, more);
    }
    return fits;
}

// One paragraph about a list, after an empty line: "The <noun> <list> was
// kept: <one>" for one item, "The <noun>s <list> were kept: <many>" for
// more. Nothing for an empty list.
static bool AppendParagraph(char* out, size_t capacity, const SummaryList* list, const char* noun, const char* one,
                            const char* many)
{
    if (list->count == 0)
        return true;
    bool single = list->count == 1;
    return AppendText(out, capacity, "\r\n\r\nThe ") && AppendText(out, capacity, noun) &&
           AppendText(out, capacity, single ? " " : "s ") && AppendList(out, capacity, list) &&
           AppendText(out, capacity, single ? " was kept: " : " were kept: ") &&
           AppendText(out, capacity, single ? one : many);
}

bool BuildCleanupSummary(char* out, size_t capacity, const CleanupSummary* summary)
{
    const char* name = summary->productName;
    char foreignOne[96], foreignMany[96], earlierOne[96], earlierMany[96];
    bool fits = FormatText(foreignOne, sizeof foreignOne, "it holds files that were not installed by NOVLA %s.", name) &&
                FormatText(foreignMany, sizeof foreignMany, "they hold files that were not installed by NOVLA %s.",
                           name) &&
                FormatText(earlierOne, sizeof earlierOne, "it was there before NOVLA %s was installed.", name) &&
                FormatText(earlierMany, sizeof earlierMany, "they were there before NOVLA %s was installed.", name);
    if (fits && summary->notRemoved.count == 0) {
        fits = FormatText(out, capacity, "NOVLA %s was removed from this computer.", name);
    } else if (fits) {
        fits = FormatText(out, capacity, "Some parts of NOVLA %s could not be removed: ", name) &&
               AppendList(out, capacity, &summary->notRemoved) && AppendText(out, capacity, ".");
    }
    fits = fits && AppendParagraph(out, capacity, &summary->keptFolders, "folder", foreignOne, foreignMany) &&
           AppendParagraph(out, capacity, &summary->keptFiles, "file", earlierOne, earlierMany) &&
           (!summary->restartCompletes ||
            AppendText(out, capacity, "\r\n\r\nSome files are in use: restart the computer to complete the removal."));
    if (!fits && capacity > 0)
        out[0] = '\0';
    return fits;
}
