// The installation record's file: appended to by the installer, read and
// rewritten by the uninstaller and by the installer's abort path.
#include "record/record_file.h"

#include <string.h>

#include "common/check.h"
#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/win32.h"

// The record being written: null while none is open (zero at start: no data
// section), its path, and where this run's lines begin.
static HANDLE s_record;
static char s_recordPath[PATH_CAPACITY];
static uint32_t s_runStart;
// One line at a time; static, as a line is larger than a stack frame may be.
static char s_line[RECORD_LINE_CAPACITY];

// The texts of the values a run replaces are short: 64 KB holds every path,
// name and previous value of a run many times over.
enum { RUN_TEXT_CAPACITY = 64 * 1024 };
// The entries this run wrote, their paths, names and data in s_runText.
static RecordEntry s_runEntries[RUN_ENTRY_CAPACITY];
static unsigned s_runEntryCount;
static char s_runText[RUN_TEXT_CAPACITY];
static size_t s_runTextUsed;

// A copy of size bytes in s_runText; null when they do not fit.
static const void* KeepBytes(const void* bytes, size_t size)
{
    if (size > RUN_TEXT_CAPACITY - s_runTextUsed)
        return NULL;
    void* copy = s_runText + s_runTextUsed;
    memcpy(copy, bytes, size);
    s_runTextUsed += size;
    NOVLA_ASSERT(s_runTextUsed <= RUN_TEXT_CAPACITY);
    return copy;
}

static const char* KeepText(const char* text) { return (const char*)KeepBytes(text, strlen(text) + 1); }

// Keeps a copy of entry, which was just written, among the run's entries.
static bool KeepEntry(const RecordEntry* entry)
{
    if (s_runEntryCount == RUN_ENTRY_CAPACITY)
        return false;
    RecordEntry copy = *entry;
    // A field that is not there stays null; one that is, is copied whole.
    bool kept = (entry->path == NULL || (copy.path = KeepText(entry->path)) != NULL) &&
                (entry->valueName == NULL || (copy.valueName = KeepText(entry->valueName)) != NULL) &&
                (entry->backup == NULL || (copy.backup = KeepText(entry->backup)) != NULL) &&
                (entry->dataSize == 0 || (copy.data = (const uint8_t*)KeepBytes(entry->data, entry->dataSize)) != NULL);
    if (kept)
        s_runEntries[s_runEntryCount++] = copy;
    return kept;
}

const RecordEntry* RunRecordEntries(unsigned* count)
{
    *count = s_runEntryCount;
    return s_runEntries;
}

// Writes the whole of text; false when any of it is not written.
static bool WriteAll(HANDLE file, const char* text, DWORD length)
{
    DWORD written = 0;
    return WriteFile(file, text, length, &written, NULL) && written == length;
}

// Appends entry to file as one line, without flushing.
static bool WriteEntry(HANDLE file, const RecordEntry* entry)
{
    return FormatRecordLine(s_line, sizeof s_line, entry) && WriteAll(file, s_line, (DWORD)strlen(s_line));
}

bool OpenInstallRecord(const char* path, const RecordEntry* run)
{
    // The path stays only for a record this run opened: the abort path must
    // never undo an earlier run's lines.
    if (!CopyText(s_recordPath, sizeof s_recordPath, path))
        return false;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        s_recordPath[0] = '\0';
        return false;
    }
    bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    // A record that starts with the header is added to; a new file, or one
    // damaged at its start, starts again with the header. One that cannot be
    // read at all is left as it is, and the run stops before it acts.
    DWORD done = 0;
    bool open = ReadFile(file, s_line, RECORD_HEADER_LENGTH, &done, NULL);
    if (open) {
        bool readable = StartsWithRecordHeader(s_line, done);
        DWORD end = readable ? SetFilePointer(file, 0, NULL, FILE_END) : 0;
        open = readable ? end != INVALID_SET_FILE_POINTER
                        : SetFilePointer(file, 0, NULL, FILE_BEGIN) == 0 && SetEndOfFile(file) &&
                              WriteAll(file, kRecordHeader, RECORD_HEADER_LENGTH);
        s_runStart = readable ? end : (DWORD)RECORD_HEADER_LENGTH;
    }
    s_record = file;
    RecordEntry codePage = CodePageEntry((uint16_t)GetACP());
    if (open && AppendInstallRecord(run) && AppendInstallRecord(&codePage))
        return true;
    s_recordPath[0] = '\0';
    // A record this run created holds nothing of anybody's: it goes. One
    // that was there loses what this run began to write.
    if (created) {
        CloseInstallRecord();
        DeleteFileA(path);
    } else {
        if (open && SetFilePointer(file, (LONG)s_runStart, NULL, FILE_BEGIN) == s_runStart)
            SetEndOfFile(file);
        CloseInstallRecord();
    }
    return false;
}

bool AppendInstallRecord(const RecordEntry* entry)
{
    if (s_record == NULL)
        return true;
    // On the disk before the action: a run that is stopped half-way still
    // leaves what it did undoable.
    return WriteEntry(s_record, entry) && FlushFileBuffers(s_record) && KeepEntry(entry);
}

void CloseInstallRecord()
{
    if (s_record != NULL)
        CloseHandle(s_record);  // What could be lost was flushed line by line.
    s_record = NULL;
}

bool RecordFolderCreation(const char* folder)
{
    char path[PATH_CAPACITY];
    if (!CopyText(path, sizeof path, folder))
        return false;
    path[FolderLength(path)] = '\0';
    RecordEntry entry = FolderEntry(path);
    return AppendInstallRecord(&entry);
}

uint32_t InstallRecordRunStart() { return s_runStart; }

const char* InstallRecordPath() { return s_recordPath; }

RecordRead ReadRecordFile(const char* path, char* text, size_t* size)
{
    *size = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? RECORD_MISSING : RECORD_UNREADABLE;
    }
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    bool read = !(low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR);
    bool whole = read && high == 0 && low <= RECORD_FILE_CAPACITY;
    while (read && *size < RECORD_FILE_CAPACITY) {
        DWORD got = 0;
        read = ReadFile(file, text + *size, (DWORD)(RECORD_FILE_CAPACITY - *size), &got, NULL) != FALSE;
        if (got == 0)
            break;
        *size += got;
    }
    CloseHandle(file);
    return !read ? RECORD_UNREADABLE : whole ? RECORD_READ : RECORD_READ_PART;
}

bool KeepInRecord(const char* path, uint32_t from, const RecordEntry* entries, unsigned count,
                  const UndoOutcome* outcomes)
{
    bool anyFailed = false;
    for (unsigned i = 0; i < count; ++i)
        anyFailed = anyFailed || StaysInRecord(outcomes[i]);
    if (!anyFailed && from <= RECORD_HEADER_LENGTH)
        return DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool fine = SetFilePointer(file, (LONG)from, NULL, FILE_BEGIN) == from && SetEndOfFile(file) &&
                (from != 0 || WriteAll(file, kRecordHeader, RECORD_HEADER_LENGTH));
    for (unsigned i = 0; i < count && fine && anyFailed; ++i) {
        const RecordEntry* entry = &entries[i];
        if (StaysInRecord(outcomes[i]) || entry->kind == RECORD_RUN || entry->kind == RECORD_CODE_PAGE)
            fine = WriteEntry(file, entry);
    }
    // A close that fails may have lost what was written.
    return CloseHandle(file) && fine;
}

bool ReplaceRecordText(const char* path, const char* text, size_t size)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // One write, then the cut: stopped in between, the file holds every
    // line still to undo, then a tail of the old record; nothing is lost.
    bool fine = WriteAll(file, text, (DWORD)size) && SetEndOfFile(file);
    // A close that fails may have lost what was written.
    return CloseHandle(file) && fine;
}
