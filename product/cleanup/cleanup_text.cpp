// The uninstaller's texts: the start-up rename list, entry names and the
// last box.
#include "product/cleanup/cleanup_text.h"

#include <string.h>

#include "common/path_text.h"

// ---- The start-up rename list ---------------------------------------------

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

static char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

// True when text[0..length) is word, ASCII letters without regard to case.
static bool SameSpan(const char* text, size_t length, const char* word)
{
    size_t i = 0;
    for (; i < length && word[i] != '\0'; ++i)
        if (Lower(text[i]) != Lower(word[i]))
            return false;
    return i == length && word[i] == '\0';
}

// True when text[0..length), blanks already trimmed, is the header of the
// section named name: "[", the name with blanks around it allowed, "]".
static bool IsSectionHeader(const char* text, size_t length, const char* name)
{
    if (length < 2 || text[0] != '[' || text[length - 1] != ']')
        return false;
    size_t start = 1, end = length - 1;
    while (start < end && IsBlank(text[start]))
        ++start;
    while (end > start && IsBlank(text[end - 1]))
        --end;
    return SameSpan(text + start, end - start, name);
}

// True when text[0..length) is "NUL=" followed by path.
static bool IsRemovalOf(const char* text, size_t length, const char* path)
{
    return length >= 4 && SameSpan(text, 4, "NUL=") && SameSpan(text + 4, length - 4, path);
}

bool AddStartupRemoval(char* text, size_t* length, size_t capacity, const char* path, size_t* firstChange)
{
    size_t used = *length;
    size_t pathLength = strlen(path);
    if (pathLength == 0 || strchr(path, '\r') != NULL || strchr(path, '\n') != NULL)
        return false;
    bool inSection = false, found = false, needsLineEnd = false;
    size_t insertAt = used;
    for (size_t start = 0; start < used;) {
        size_t end = start;
        while (end < used && text[end] != '\n')
            ++end;
        size_t next = end < used ? end + 1 : used;
        size_t first = start, last = end;
        while (first < last && IsBlank(text[first]))
            ++first;
        while (last > first && IsBlank(text[last - 1]))
            --last;
        if (last > first && text[first] == '[') {
            if (inSection)
                break;
            if (!found && IsSectionHeader(text + first, last - first, "rename")) {
                inSection = found = true;
                insertAt = next;
                needsLineEnd = end == used;
            }
        } else if (inSection && last > first) {
            if (IsRemovalOf(text + first, last - first, path)) {
                *firstChange = used;
                return true;
            }
            insertAt = next;
            needsLineEnd = end == used;
        }
        start = next;
    }
    if (!found)
        needsLineEnd = used > 0 && text[used - 1] != '\n';
    static const char kLineEnd[] = "\r\n";
    static const char kHeader[] = "[rename]\r\n";
    static const char kRemoval[] = "NUL=";
    size_t added = (needsLineEnd ? 2 : 0) + (found ? 0 : sizeof kHeader - 1) + sizeof kRemoval - 1 + pathLength + 2;
    if (used > capacity || added > capacity - used)
        return false;
    memmove(text + insertAt + added, text + insertAt, used - insertAt);
    char* out = text + insertAt;
    if (needsLineEnd) {
        memcpy(out, kLineEnd, 2);
        out += 2;
    }
    if (!found) {
        memcpy(out, kHeader, sizeof kHeader - 1);
        out += sizeof kHeader - 1;
    }
    memcpy(out, kRemoval, sizeof kRemoval - 1);
    out += sizeof kRemoval - 1;
    memcpy(out, path, pathLength);
    memcpy(out + pathLength, kLineEnd, 2);
    *length = used + added;
    *firstChange = insertAt;
    return true;
}

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
