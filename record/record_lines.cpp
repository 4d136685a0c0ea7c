// The installation record's lines: written and read back, and the record's
// own path.
#include "record/install_record.h"

#include <string.h>

#include "common/check.h"
#include "common/path_text.h"
#include "common/path_walk.h"

enum { RECORD_MAX_FIELDS = 6 };

bool StartsWithRecordHeader(const char* text, size_t size)
{
    return size >= RECORD_HEADER_LENGTH && memcmp(text, kRecordHeader, RECORD_HEADER_LENGTH) == 0;
}

bool RecordPath(char* out, size_t capacity, const char* windowsFolder, const char* productName)
{
    return windowsFolder[0] != '\0' && JoinPath(out, capacity, windowsFolder, productName) &&
           AppendText(out, capacity, " Install.log");
}

// True when text is a field the writer may write: not null, at most
// maxLength characters, none of them TAB, CR or LF, and not empty unless
// mayBeEmpty.
static bool IsTextField(const char* text, size_t maxLength, bool mayBeEmpty)
{
    if (text == NULL)
        return false;
    size_t length = 0;
    for (; text[length] != '\0'; ++length)
        if (length == maxLength || text[length] == '\t' || text[length] == '\r' || text[length] == '\n')
            return false;
    return length > 0 || mayBeEmpty;
}

static bool IsRoot(uint8_t root) { return root == REGISTRY_HKLM || root == REGISTRY_HKCR; }

bool AsidePath(char* out, size_t capacity, const char* path)
{
    // A name must come before the suffix, never a separator (walked by
    // character: a trail byte may be 0x5C) nor a drive root.
    size_t length = strlen(path);
    return length > 3 && FolderLength(path) == length && CopyText(out, capacity, path) &&
           AppendText(out, capacity, kAsideSuffix);
}

// An M entry's backup is its path's aside path and nothing else, so a
// record cannot make anything be moved to, or back from, another place.
static bool IsAsidePair(const char* path, const char* backup)
{
    char expected[PATH_CAPACITY];
    return IsTextField(path, RECORD_PATH_LENGTH, false) && IsTextField(backup, RECORD_PATH_LENGTH, false) &&
           AsidePath(expected, sizeof expected, path) && strcmp(expected, backup) == 0;
}

// True when every field of entry may be written. The reader applies the
// same test to what it parsed, so both sides agree on every limit.
static bool IsWritableEntry(const RecordEntry* entry)
{
    switch (entry->kind) {
    case RECORD_RUN:
    case RECORD_FILE:
    case RECORD_LINK:
    case RECORD_FOLDER:
        return IsTextField(entry->path, RECORD_PATH_LENGTH, false);
    case RECORD_KEY:
        return IsRoot(entry->root) && IsTextField(entry->path, RECORD_KEY_LENGTH, false);
    case RECORD_VALUE:
        return IsRoot(entry->root) && IsTextField(entry->path, RECORD_KEY_LENGTH, false) &&
               IsTextField(entry->valueName, RECORD_NAME_LENGTH, true) &&
               (!entry->existed ||
                (entry->dataSize <= RECORD_DATA_CAPACITY && (entry->data != NULL || entry->dataSize == 0)));
    case RECORD_CODE_PAGE:
        return entry->codePage != 0;
    case RECORD_MOVE:
        return IsAsidePair(entry->path, entry->backup);
    }
    return false;
}

// Builds a line in a bounded buffer, always keeping room for the
// terminator; what does not fit marks the line as overflowed.
struct LineWriter {
    char* out;
    size_t capacity;
    size_t used;
    bool overflow;
};

static void PutChar(LineWriter* writer, char c)
{
    if (writer->used + 1 < writer->capacity)
        writer->out[writer->used++] = c;
    else
        writer->overflow = true;
}

// A TAB, then text.
static void PutField(LineWriter* writer, const char* text)
{
    PutChar(writer, '\t');
    for (; *text != '\0'; ++text)
        PutChar(writer, *text);
}

static const char kHexDigits[] = "0123456789ABCDEF";

static const char* RootName(uint8_t root) { return root == REGISTRY_HKLM ? "HKLM" : "HKCR"; }

// A TAB, then value in decimal.
static void PutNumber(LineWriter* writer, uint32_t value)
{
    char digits[11];  // a 32-bit number has at most 10
    FormatText(digits, sizeof digits, "%u", (unsigned)value);
    PutField(writer, digits);
}

bool FormatRecordLine(char* out, size_t capacity, const RecordEntry* entry)
{
    if (capacity > 0)
        out[0] = '\0';
    if (!IsWritableEntry(entry))
        return false;
    LineWriter writer = {out, capacity, 0, false};
    PutChar(&writer, entry->kind);
    switch (entry->kind) {
    case RECORD_FOLDER:
        PutField(&writer, entry->path);
        break;
    case RECORD_KEY:
    case RECORD_VALUE:
        PutField(&writer, RootName(entry->root));
        PutField(&writer, entry->path);
        break;
    case RECORD_CODE_PAGE:
        PutNumber(&writer, entry->codePage);
        break;
    case RECORD_MOVE:
        PutField(&writer, entry->existed ? "1" : "0");
        PutField(&writer, entry->path);
        PutField(&writer, entry->backup);
        break;
    default:  // I, F, L
        PutField(&writer, (entry->kind == RECORD_RUN ? entry->allUsers : entry->existed) ? "1" : "0");
        PutField(&writer, entry->path);
        break;
    }
    if (entry->kind == RECORD_VALUE) {
        PutField(&writer, entry->valueName);
        if (entry->existed) {
            PutNumber(&writer, entry->type);
            PutChar(&writer, '\t');
            for (uint32_t i = 0; i < entry->dataSize; ++i) {
                PutChar(&writer, kHexDigits[entry->data[i] >> 4]);
                PutChar(&writer, kHexDigits[entry->data[i] & 15]);
            }
        } else {
            PutField(&writer, "-");
            PutChar(&writer, '\t');
        }
    }
    PutChar(&writer, '\r');
    PutChar(&writer, '\n');
    if (writer.overflow) {
        if (capacity > 0)
            out[0] = '\0';
        return false;
    }
    NOVLA_ASSERT(writer.used < capacity);
    out[writer.used] = '\0';
    return true;
}

// How many fields a line of kind has; 0 for an unknown kind.
static unsigned FieldCount(char kind)
{
    switch (kind) {
    case RECORD_FOLDER:
    case RECORD_CODE_PAGE:
        return 2;
    case RECORD_RUN:
    case RECORD_FILE:
    case RECORD_LINK:
    case RECORD_KEY:
        return 3;
    case RECORD_MOVE:
        return 4;
    case RECORD_VALUE:
        return 6;
    }
    return 0;
}

// "0" or "1".
static bool ParseFlag(const char* text, bool* flag)
{
    if ((text[0] != '0' && text[0] != '1') || text[1] != '\0')
        return false;
    *flag = text[0] == '1';
    return true;
}

static bool ParseRoot(const char* text, uint8_t* root)
{
    if (strcmp(text, "HKLM") == 0)
        *root = REGISTRY_HKLM;
    else if (strcmp(text, "HKCR") == 0)
        *root = REGISTRY_HKCR;
    else
        return false;
    return true;
}

// A decimal number of 0 to 4294967295 as the writer writes it: digits only,
// no leading zero.
static bool ParseType(const char* text, uint32_t* type)
{
    if (text[0] == '\0' || (text[0] == '0' && text[1] != '\0'))
        return false;
    uint64_t value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || c - text == 10)
            return false;
        value = value * 10 + (uint64_t)(*c - '0');
    }
    if (value > 0xFFFFFFFFu)
        return false;
    *type = (uint32_t)value;
    return true;
}

// The value of an upper-case hex digit; -1 for any other character.
static int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes upper-case hex digit pairs into out. False for an odd count, any
// other character, or more bytes than capacity or RECORD_DATA_CAPACITY.
static bool DecodeHex(const char* text, uint8_t* out, size_t capacity, uint32_t* size)
{
    size_t count = 0;
    // c[1] is read only when c[0] is a digit, so never past the terminator.
    for (const char* c = text; *c != '\0'; c += 2) {
        int high = HexValue(c[0]);
        int low = high < 0 ? -1 : HexValue(c[1]);
        if (low < 0 || count == capacity || count == RECORD_DATA_CAPACITY)
            return false;
        out[count++] = (uint8_t)(high << 4 | low);
    }
    *size = (uint32_t)count;
    return true;
}

bool ParseRecordLine(char* line, RecordEntry* entry, uint8_t* dataOut, size_t dataCapacity)
{
    memset(entry, 0, sizeof *entry);
    char* fields[RECORD_MAX_FIELDS];
    unsigned count = 1;
    fields[0] = line;
    for (char* c = line; *c != '\0'; ++c) {
        if (*c != '\t')
            continue;
        if (count == RECORD_MAX_FIELDS)
            return false;
        *c = '\0';
        fields[count++] = c + 1;
    }
    char kind = fields[0][0];
    if (kind == '\0' || fields[0][1] != '\0' || count != FieldCount(kind))
        return false;
    entry->kind = kind;
    bool parsed = true;
    switch (kind) {
    case RECORD_FOLDER:
        entry->path = fields[1];
        break;
    case RECORD_KEY:
    case RECORD_VALUE:
        parsed = ParseRoot(fields[1], &entry->root);
        entry->path = fields[2];
        break;
    case RECORD_CODE_PAGE: {
        uint32_t codePage = 0;
        parsed = ParseType(fields[1], &codePage) && codePage <= 0xFFFF;
        entry->codePage = (uint16_t)codePage;
        break;
    }
    case RECORD_MOVE:
        parsed = ParseFlag(fields[1], &entry->existed);
        entry->path = fields[2];
        entry->backup = fields[3];
        break;
    default:  // I, F, L
        parsed = ParseFlag(fields[1], kind == RECORD_RUN ? &entry->allUsers : &entry->existed);
        entry->path = fields[2];
        break;
    }
    if (kind == RECORD_VALUE) {
        entry->valueName = fields[3];
        if (strcmp(fields[4], "-") == 0) {
            parsed = parsed && fields[5][0] == '\0';
        } else {
            entry->existed = true;
            entry->data = dataOut;
            parsed = parsed && ParseType(fields[4], &entry->type) &&
                     DecodeHex(fields[5], dataOut, dataCapacity, &entry->dataSize);
        }
    }
    if (parsed && IsWritableEntry(entry))
        return true;
    memset(entry, 0, sizeof *entry);
    return false;
}

unsigned ForeignCodePage(const RecordView* view, unsigned codePage)
{
    for (unsigned i = 0; i < view->entryCount && i < RECORD_ENTRY_CAPACITY; ++i)
        if (view->entries[i].kind == RECORD_CODE_PAGE && view->entries[i].codePage != codePage)
            return view->entries[i].codePage;
    return 0;
}

bool ParseRecord(char* text, size_t size, RecordView* view)
{
    view->entryCount = 0;
    view->malformedCount = 0;
    view->unreadCount = 0;
    view->cutLine = false;
    view->dataUsed = 0;
    if (size > RECORD_FILE_CAPACITY)
        size = RECORD_FILE_CAPACITY;
    if (!StartsWithRecordHeader(text, size))
        return false;
    size_t start = RECORD_HEADER_LENGTH;
    while (start < size) {
        // The line runs to the first CR LF; a NUL inside it would cut its
        // last field short, so such a line is malformed.
        size_t end = start;
        bool hasNul = false;
        while (end + 1 < size && !(text[end] == '\r' && text[end + 1] == '\n')) {
            hasNul = hasNul || text[end] == '\0';
            ++end;
        }
        if (end + 1 >= size) {
            view->cutLine = true;
            break;
        }
        text[end] = '\0';
        char* line = text + start;
        start = end + 2;
        if (view->entryCount == RECORD_ENTRY_CAPACITY) {
            ++view->unreadCount;
            continue;
        }
        RecordEntry* entry = &view->entries[view->entryCount];
        if (hasNul || !ParseRecordLine(line, entry, view->data + view->dataUsed,
                                       RECORD_ARENA_CAPACITY - view->dataUsed)) {
            ++view->malformedCount;
            continue;
        }
        view->dataUsed += entry->dataSize;
        // Data takes half the bytes of its hex digits: the arena never fills.
        NOVLA_ASSERT(view->dataUsed <= RECORD_ARENA_CAPACITY);
        ++view->entryCount;
    }
    return true;
}

