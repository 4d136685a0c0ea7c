// Paths and user text walked character by character in the ANSI code page.
#include "common/path_walk.h"

#include <string.h>

#include "common/check.h"

// One flag per byte value: set for the lead bytes of the code page. Zero at
// start: a single-byte code page until SetLeadByteRanges says otherwise. A
// byte each rather than a bit: each test is then one compare.
static uint8_t s_leadBytes[256];

void SetLeadByteRanges(const uint8_t* ranges)
{
    memset(s_leadBytes, 0, sizeof s_leadBytes);
    for (unsigned pair = 0; ranges != NULL && pair < LEAD_BYTE_PAIRS && ranges[2 * pair] != 0; ++pair)
        for (unsigned b = ranges[2 * pair]; b <= ranges[2 * pair + 1]; ++b)
            s_leadBytes[b] = 1;
}

bool IsLeadByte(char c)
{
    return s_leadBytes[(uint8_t)c] != 0;
}

const char* NextChar(const char* p)
{
    if (*p == '\0')
        return p;
    return IsLeadByte(*p) && p[1] != '\0' ? p + 2 : p + 1;
}

static char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c; }

// Bytes of the character at p within text[0..length): 2 for a lead byte and
// its second byte, else 1.
static size_t CharSize(const char* p, size_t left)
{
    return left >= 2 && IsLeadByte(p[0]) && p[1] != '\0' ? 2 : 1;
}

// True when text begins with the characters of prefix[0..length): the same
// character boundaries, single-byte characters equal after ASCII folding,
// double-byte ones byte for byte. text is read only as far as it matches,
// so never past its terminator (which matches no byte of prefix).
static bool BeginsWithNoCase(const char* text, const char* prefix, size_t length)
{
    for (size_t i = 0; i < length;) {
        size_t size = CharSize(prefix + i, length - i);
        NOVLA_ASSERT(i + size <= length);
        if (size == 2) {
            if (text[i] != prefix[i] || text[i + 1] != prefix[i + 1])
                return false;
        } else if (FoldAscii(text[i]) != FoldAscii(prefix[i]) ||
                   (IsLeadByte(text[i]) && text[i + 1] != '\0')) {
            // A lone lead byte in prefix matches no whole character of text.
            return false;
        }
        i += size;
    }
    return true;
}

const char* LastSeparator(const char* text)
{
    const char* last = NULL;
    for (const char* p = text; *p != '\0'; p = NextChar(p))
        if (*p == '\\')
            last = p;
    return last;
}

bool EndsWithSeparator(const char* text)
{
    const char* last = LastSeparator(text);
    return last != NULL && last[1] == '\0';
}

size_t FolderLength(const char* folder)
{
    size_t length = strlen(folder);
    if (EndsWithSeparator(folder) && !(length == 3 && HasDriveRoot(folder)))
        --length;
    return length;
}

bool SameTextNoCase(const char* a, const char* b)
{
    size_t length = strlen(b);
    return strlen(a) == length && BeginsWithNoCase(a, b, length);
}

bool SameSpanNoCase(const char* text, size_t length, const char* word)
{
    // Compared from word's side: text[0..length) need hold no terminator.
    return strlen(word) == length && BeginsWithNoCase(text, word, length);
}

bool ContainsTextNoCase(const char* text, const char* needle)
{
    size_t length = strlen(needle);
    for (const char* start = text; *start != '\0'; start = NextChar(start))
        if (BeginsWithNoCase(start, needle, length))
            return true;
    return length == 0;
}

const char* PathBelowFolder(const char* path, const char* folder)
{
    size_t length = FolderLength(folder);
    if (length == 0 || !BeginsWithNoCase(path, folder, length))
        return NULL;
    // A drive root keeps its backslash: what follows it is already below.
    if (HasDriveRoot(folder) && folder[3] == '\0')
        return path + length;
    if (path[length] == '\0')
        return path + length;
    return path[length] == '\\' ? path + length + 1 : NULL;
}

bool SameFolder(const char* a, const char* b)
{
    size_t length = FolderLength(b);
    return length > 0 && FolderLength(a) == length && BeginsWithNoCase(a, b, length);
}

bool HasDriveRoot(const char* path)
{
    // Each byte is read only when the ones before it are set, so a short
    // text is never read past its terminator.
    return path[0] != '\0' && !IsLeadByte(path[0]) && path[1] == ':' && path[2] == '\\';
}

static bool IsAsciiLetter(char c) { return FoldAscii(c) >= 'A' && FoldAscii(c) <= 'Z'; }

bool IsAbsolutePath(const char* path)
{
    if (IsAsciiLetter(path[0]))
        return HasDriveRoot(path);
    // \\server\share: a server name, then a share name.
    if (path[0] != '\\' || path[1] != '\\' || path[2] == '\0' || path[2] == '\\')
        return false;
    for (const char* p = path + 2; *p != '\0'; p = NextChar(p))
        if (*p == '\\')
            return p[1] != '\0' && p[1] != '\\';
    return false;
}

bool IsPlainFolder(const char* path, size_t length, size_t maxLength)
{
    if (length < 4 || length > maxLength || !IsAsciiLetter(path[0]) || !HasDriveRoot(path))
        return false;
    // Each component ends at a backslash or at length; last is the first
    // byte of the component's last character so far.
    const char* last = NULL;
    for (const char* p = path + 3;; p += CharSize(p, (size_t)(path + length - p))) {
        bool end = p == path + length;
        if (end || *p == '\\') {
            if (last == NULL || *last == '.' || *last == ' ')
                return false;
            if (end)
                return true;
            last = NULL;
            continue;
        }
        NOVLA_ASSERT(p < path + length);
        // A lead byte whose second byte lies beyond length is cut short.
        if (IsLeadByte(*p) && (p + 1 == path + length || p[1] == '\0'))
            return false;
        if (!IsLeadByte(*p) && ((unsigned char)*p < 0x20 || strchr("/*?\"<>|:", *p) != NULL))
            return false;
        last = p;
    }
}

static bool IsLowerAscii(char c) { return c >= 'a' && c <= 'z'; }
static bool IsUpperAscii(char c) { return c >= 'A' && c <= 'Z'; }

void CapitalizePath(char* path)
{
    if (path[0] == '\0')
        return;
    if (IsLowerAscii(path[0]))
        path[0] = (char)(path[0] - 'a' + 'A');
    for (char* p = (char*)NextChar(path); *p != '\0'; p = (char*)NextChar(p)) {
        if (*p == ' ' || *p == '\\') {
            // The character after a separator is capitalised and consumed:
            // it is neither a separator itself nor lowered.
            p = (char*)NextChar(p);
            if (*p == '\0')
                return;
            if (IsLowerAscii(*p))
                *p = (char)(*p - 'a' + 'A');
        } else if (IsUpperAscii(*p)) {
            *p = (char)(*p - 'A' + 'a');
        }
    }
}
