// The uninstaller's texts: entry names and the last box.
#include "cleanup/cleanup_text.h"

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

// One paragraph about a list, after an empty line: "The <noun> <list>
// <one>" for one item, "The <noun>s <list> <many>" for more. Nothing for an
// empty list.
static bool AppendParagraph(char* out, size_t capacity, const SummaryList* list, const char* noun, const char* one,
                            const char* many)
{
    if (list->count == 0)
        return true;
    bool single = list->count == 1;
    return AppendText(out, capacity, "\r\n\r\nThe ") && AppendText(out, capacity, noun) &&
           AppendText(out, capacity, single ? " " : "s ") && AppendList(out, capacity, list) &&
           AppendText(out, capacity, " ") && AppendText(out, capacity, single ? one : many);
}

// The two forms of a paragraph's end, one item's and more items', with the
// product's name.
struct Reason {
    char one[192], many[192];
};

static bool FormatReason(Reason* reason, const char* one, const char* many, const char* name)
{
    return FormatText(reason->one, sizeof reason->one, one, name) &&
           FormatText(reason->many, sizeof reason->many, many, name);
}

static bool AppendReason(char* out, size_t capacity, const SummaryList* list, const char* noun, const Reason* reason)
{
    return AppendParagraph(out, capacity, list, noun, reason->one, reason->many);
}

bool IsCompleteRemoval(const CleanupSummary* summary)
{
    return summary->notRemoved.count == 0 && summary->otherAccount.count == 0 && summary->unplaced.count == 0 &&
           summary->unsoundFolders.count == 0 &&
           summary->outside.count == 0 && summary->unreadLines == 0;
}

bool BuildCleanupSummary(char* out, size_t capacity, const CleanupSummary* summary)
{
    const char* name = summary->productName;
    Reason foreign, earlier, account, unplaced, unsound, outside;
    bool fits =
        FormatReason(&foreign, "was kept: it holds files that were not installed by NOVLA %s.",
                     "were kept: they hold files that were not installed by NOVLA %s.", name) &&
        FormatReason(&earlier, "was kept: it was there before NOVLA %s was installed.",
                     "were kept: they were there before NOVLA %s was installed.", name) &&
        FormatReason(&account,
                     "was left alone: it belongs to another user's Start menu or desktop, and goes when that user "
                     "removes NOVLA %s.",
                     "were left alone: they belong to another user's Start menu or desktop, and go when that user "
                     "removes NOVLA %s.",
                     name) &&
        FormatReason(&unplaced,
                     "was left alone: Windows did not say where the Start menu and desktop are. Remove NOVLA %s "
                     "again to remove it.",
                     "were left alone: Windows did not say where the Start menu and desktop are. Remove NOVLA %s "
                     "again to remove them.",
                     name) &&
        FormatReason(&unsound,
                     "was left alone: the installation record names it otherwise than Windows reads it, so nothing "
                     "in it is removed.",
                     "were left alone: the installation record names them otherwise than Windows reads them, so "
                     "nothing in them is removed.",
                     name) &&
        FormatReason(&outside, "was left alone: NOVLA %s does not install it.",
                     "were left alone: NOVLA %s does not install them.", name);
    if (fits && summary->notRemoved.count != 0) {
        fits = FormatText(out, capacity, "Some parts of NOVLA %s could not be removed: ", name) &&
               AppendList(out, capacity, &summary->notRemoved) && AppendText(out, capacity, ".");
    } else if (fits && !IsCompleteRemoval(summary)) {
        fits = FormatText(out, capacity,
                          "NOVLA %s was not removed completely: the installation record keeps what was left alone.",
                          name);
    } else if (fits) {
        fits = FormatText(out, capacity, "NOVLA %s was removed from this computer.", name);
    }
    fits = fits && AppendReason(out, capacity, &summary->keptFolders, "folder", &foreign) &&
           AppendReason(out, capacity, &summary->keptFiles, "file", &earlier) &&
           AppendReason(out, capacity, &summary->otherAccount, "item", &account) &&
           AppendReason(out, capacity, &summary->unplaced, "item", &unplaced) &&
           AppendReason(out, capacity, &summary->unsoundFolders, "program folder", &unsound) &&
           AppendReason(out, capacity, &summary->outside, "item", &outside);
    if (fits && summary->unreadLines != 0) {
        char lines[128];
        fits = (summary->unreadLines == 1
                    ? CopyText(lines, sizeof lines, "\r\n\r\nOne line of the installation record could not be read: "
                                                    "it was kept.")
                    : FormatText(lines, sizeof lines,
                                 "\r\n\r\n%u lines of the installation record could not be read: they were kept.",
                                 summary->unreadLines)) &&
               AppendText(out, capacity, lines);
    }
    fits = fits && (!summary->restartCompletes ||
                    AppendText(out, capacity, "\r\n\r\nSome files are in use: restart the computer to complete the removal."));
    if (!fits && capacity > 0)
        out[0] = '\0';
    return fits;
}
