// The start-up rename list of Windows 95, 98 and ME (WININIT.INI).
#include "record/startup_list.h"

#include <string.h>

#include "common/check.h"
#include "common/path_walk.h"

// Blanks, brackets and line ends are tested byte by byte: ' ', TAB, CR, LF
// and '[' at a line's start are never the second byte of a double-byte
// character, and a ']' that is one fails the name's comparison.
static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

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
    return SameSpanNoCase(text + start, end - start, name);
}

// True when text[0..length) is "NUL=" followed by path.
static bool IsRemovalOf(const char* text, size_t length, const char* path)
{
    return length >= 4 && SameSpanNoCase(text, 4, "NUL=") && SameSpanNoCase(text + 4, length - 4, path);
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
    NOVLA_ASSERT(used + added <= capacity);
    *length = used + added;
    *firstChange = insertAt;
    return true;
}
