#include "payload/record_file.h"

#include <string.h>

#include "common/win32.h"
#include "payload/product.h"
#include "setup/session.h"

// Null while no record is open (zero at start: no data section).
static HANDLE s_record;
// One line at a time; static, as a line is larger than a stack frame may be.
static char s_line[RECORD_LINE_CAPACITY];

bool OpenInstallRecord()
{
    char name[PATH_CAPACITY], path[PATH_CAPACITY];
    if (!RecordFileName(name, sizeof name, g_productInfo.name) ||
        !JoinPath(path, sizeof path, g_installDirs[DIR_WINDOWS], name))
        return false;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // A record that starts with the header is added to; a new file, or one
    // damaged at its start, starts again with the header. One that cannot be
    // read at all is left as it is, and the run stops before it acts.
    size_t headerLength = strlen(kRecordHeader);
    DWORD done = 0;
    bool open = ReadFile(file, s_line, (DWORD)headerLength, &done, NULL);
    if (open) {
        bool readable = done == headerLength && memcmp(s_line, kRecordHeader, headerLength) == 0;
        open = readable ? SetFilePointer(file, 0, NULL, FILE_END) != INVALID_SET_FILE_POINTER
                        : SetFilePointer(file, 0, NULL, FILE_BEGIN) == 0 && SetEndOfFile(file) &&
                              WriteFile(file, kRecordHeader, (DWORD)headerLength, &done, NULL) &&
                              done == headerLength;
    }
    if (!open) {
        CloseHandle(file);
        return false;
    }
    s_record = file;
    return true;
}

bool AppendInstallRecord(const RecordEntry* entry)
{
    if (s_record == NULL)
        return true;
    if (!FormatRecordLine(s_line, sizeof s_line, entry))
        return false;
    DWORD length = (DWORD)strlen(s_line);
    DWORD written = 0;
    // On the disk before the action: a run that is stopped half-way still
    // leaves what it did undoable.
    return WriteFile(s_record, s_line, length, &written, NULL) && written == length && FlushFileBuffers(s_record);
}

void CloseInstallRecord()
{
    if (s_record != NULL)
        CloseHandle(s_record);
    s_record = NULL;
}

bool RecordFolderCreation(const char* folder)
{
    // A folder is recorded without a trailing backslash.
    char path[PATH_CAPACITY];
    if (!CopyText(path, sizeof path, folder))
        return false;
    size_t length = strlen(path);
    if (length > 3 && path[length - 1] == '\\')
        path[length - 1] = '\0';
    RecordEntry entry = {};
    entry.kind = RECORD_FOLDER;
    entry.path = path;
    return AppendInstallRecord(&entry);
}

bool FileExistsAt(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
