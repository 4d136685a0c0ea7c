// TSXCleanup.exe, the uninstaller of the Tessaronix suite: it reads the
// installation record that the installer wrote in the Windows folder, asks
// once, and undoes what the record names, newest first, within what the
// product installs (PlanUndo), and nothing else. The uninstall entry's
// UninstallString and the program group's "Remove" shortcut start it; the
// command line is not read.
//
// Decisions the user sees:
//   - A file that was there before the installation is kept and named in
//     the last box: its earlier contents cannot be brought back, and what
//     was there before may belong to someone else.
//   - A folder is removed only when empty; one that holds anything the
//     installation did not put there is kept and named.
//   - A file in use, and the running uninstaller itself, are removed at the
//     next restart; when product files other than the uninstaller wait for
//     it, the last box says that a restart completes the removal.
//   - Entries that could not be undone stay in the record, so that a later
//     run can retry them; when every entry is undone or waits for the
//     restart, the record goes.
//
// Exit code: 0 removed (files may wait for the restart, and some may have
// been kept as above); 1 the user answered No; 2 nothing is installed; 3
// nothing was changed because the record is damaged or unreadable, the user
// lacks the rights, or the system could not be asked what it is; 4 some
// items could not be removed.
#include <string.h>

#include "common/library_search.h"
#include "common/path_text.h"
#include "common/win32.h"
#include "payload/install_record.h"
#include "payload/product_names.h"
#include "product/cleanup/cleanup_text.h"
#include "product/cleanup/cleanup_undo.h"
#include "resources/resource_ids.h"
#include "shell/registry_names.h"

// The key that the installer's administrator probe makes and deletes below
// the maker's key.
#define RIGHTS_TEST_KEY NOVLA_PROGRAMS_KEY "\\NOVLA-TEST"

enum CleanupExit {
    EXIT_REMOVED = 0,
    EXIT_DECLINED = 1,
    EXIT_NOT_INSTALLED = 2,
    EXIT_REFUSED = 3,
    EXIT_INCOMPLETE = 4,
};

enum { BOX_TEXT_CAPACITY = 4096 };

// The record as read (parsed in place) and what became of each entry.
static char s_recordText[RECORD_FILE_CAPACITY];
static RecordView s_view;
static unsigned s_order[RECORD_ENTRY_CAPACITY];
static UndoOutcome s_outcome[RECORD_ENTRY_CAPACITY];
static char s_line[RECORD_LINE_CAPACITY];
static char s_boxText[BOX_TEXT_CAPACITY];
// Names of items not removed, for the last box.
static char s_failedNames[SUMMARY_NAMES_SHOWN][ENTRY_NAME_CAPACITY];

// The folders the system names.
static char s_windows[PATH_CAPACITY];
static char s_system[PATH_CAPACITY];
static char s_programs[2][PATH_CAPACITY];
static char s_desktops[2][PATH_CAPACITY];
static char s_recordPath[PATH_CAPACITY];

static int Box(const char* text, UINT flags) { return MessageBoxA(NULL, text, SETUP_TITLE, flags | MB_SETFOREGROUND); }

// "NOVLA Tessaronix ..." texts with the product's name.
static int NamedBox(const char* format, UINT flags)
{
    if (!FormatText(s_boxText, sizeof s_boxText, format, g_productNames.name))
        CopyText(s_boxText, sizeof s_boxText, SETUP_TITLE);
    return Box(s_boxText, flags);
}

// A folder the system gives; empty when it cannot or it does not fit.
static void SystemFolder(char* out, UINT (WINAPI* query)(LPSTR, UINT))
{
    UINT length = query(out, PATH_CAPACITY);
    if (length == 0 || length >= PATH_CAPACITY)
        out[0] = '\0';
}

// The file-system path of a special folder (CSIDL), empty when the shell
// does not name one: nothing below an unknown folder is in scope.
static void SpecialFolder(char* out, int csidl)
{
    out[0] = '\0';
    LPITEMIDLIST items = NULL;
    if (SHGetSpecialFolderLocation(NULL, csidl, &items) != S_OK)
        return;
    char path[MAX_PATH];
    if (!SHGetPathFromIDListA(items, path) || !CopyText(out, PATH_CAPACITY, path))
        out[0] = '\0';
    CoTaskMemFree(items);
}

enum RecordRead { READ_MISSING, READ_FAILED, READ_PART, READ_WHOLE };

// Reads the record into s_recordText: READ_PART when it is larger than
// what the uninstaller reads.
static RecordRead LoadRecord(size_t* size)
{
    *size = 0;
    HANDLE file = CreateFileA(s_recordPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? READ_MISSING : READ_FAILED;
    }
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    bool read = !(low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR);
    bool whole = read && high == 0 && low <= RECORD_FILE_CAPACITY;
    while (read && *size < RECORD_FILE_CAPACITY) {
        DWORD got = 0;
        read = ReadFile(file, s_recordText + *size, (DWORD)(RECORD_FILE_CAPACITY - *size), &got, NULL) != FALSE;
        if (got == 0)
            break;
        *size += got;
    }
    CloseHandle(file);
    return !read ? READ_FAILED : whole ? READ_WHOLE : READ_PART;
}

// True when an installation run of the record put its shortcuts in the
// all-users folders, which on NT takes an administrator.
static bool InstalledForAllUsers()
{
    for (unsigned i = 0; i < s_view.entryCount; ++i)
        if (s_view.entries[i].kind == RECORD_RUN && s_view.entries[i].flag)
            return true;
    return false;
}

// True when this user may change what an administrator installed: a key
// below the maker's key can be made and deleted, as the installer probes
// it, and the record (in the Windows folder) can be opened for writing.
static bool HasInstallersRights()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, RIGHTS_TEST_KEY, 0, (LPSTR) "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, RIGHTS_TEST_KEY) != ERROR_SUCCESS)
        return false;
    HANDLE file = CreateFileA(s_recordPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// Writes the record back with its header, its I lines and the entries that
// could not be undone, in their order, so that a later run retries them.
static bool RewriteRecord()
{
    HANDLE file = CreateFileA(s_recordPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const DWORD headerLength = (DWORD)strlen(kRecordHeader);
    bool fine = WriteFile(file, kRecordHeader, headerLength, &written, NULL) && written == headerLength;
    for (unsigned i = 0; i < s_view.entryCount && fine; ++i) {
        const RecordEntry* entry = &s_view.entries[i];
        if (entry->kind != RECORD_RUN && s_outcome[i] != UNDO_FAILED)
            continue;
        fine = FormatRecordLine(s_line, sizeof s_line, entry);
        DWORD length = (DWORD)strlen(s_line);
        fine = fine && WriteFile(file, s_line, length, &written, NULL) && written == length;
    }
    return CloseHandle(file) && fine;
}

// True when a folder named in the last box lies below folder: the box names
// the innermost folder kept, not each of its parents.
static bool HoldsKeptFolder(const char* folder, unsigned planned)
{
    for (unsigned k = 0; k < planned; ++k) {
        unsigned other = s_order[k];
        if (s_outcome[other] == UNDO_KEPT_FOLDER && PathBelowFolder(s_view.entries[other].path, folder) != NULL)
            return true;
    }
    return false;
}

static int RunCleanup()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    SystemFolder(s_windows, GetWindowsDirectoryA);
    char recordName[PATH_CAPACITY];
    if (!GetVersionExA(&version) || s_windows[0] == '\0' ||
        !RecordFileName(recordName, sizeof recordName, g_productNames.name) ||
        !JoinPath(s_recordPath, sizeof s_recordPath, s_windows, recordName)) {
        Box("The uninstaller cannot find out how this computer is set up, and has changed nothing.",
            MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }
    bool ntFamily = version.dwPlatformId == VER_PLATFORM_WIN32_NT;

    size_t size = 0;
    RecordRead read = LoadRecord(&size);
    if (read == READ_MISSING) {
        NamedBox("NOVLA %s is not installed: there is nothing to remove.", MB_OK | MB_ICONINFORMATION);
        return EXIT_NOT_INSTALLED;
    }
    if (read == READ_FAILED) {
        NamedBox("The installation record of NOVLA %s cannot be read. Nothing was removed.", MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }
    if (!ReadRecord(s_recordText, size, &s_view)) {
        NamedBox("The installation record of NOVLA %s is damaged. Nothing was removed.", MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }

    SystemFolder(s_system, GetSystemDirectoryA);
    SpecialFolder(s_programs[0], CSIDL_PROGRAMS);
    SpecialFolder(s_programs[1], CSIDL_COMMON_PROGRAMS);
    SpecialFolder(s_desktops[0], CSIDL_DESKTOPDIRECTORY);
    SpecialFolder(s_desktops[1], CSIDL_COMMON_DESKTOPDIRECTORY);
    const UndoScope scope = {s_windows,
                             s_system,
                             {s_programs[0], s_programs[1]},
                             {s_desktops[0], s_desktops[1]},
                             g_productNames.name,
                             g_productNames.programGroup,
                             g_productNames.fileNames,
                             g_productNames.fileNameCount,
                             g_productNames.linkNames,
                             g_productNames.linkNameCount};
    unsigned refused = 0;
    unsigned planned = PlanUndo(&s_view, &scope, s_order, RECORD_ENTRY_CAPACITY, &refused);
    if (planned == 0) {
        NamedBox("NOVLA %s is not installed: there is nothing to remove.", MB_OK | MB_ICONINFORMATION);
        return EXIT_NOT_INSTALLED;
    }

    if (NamedBox("Do you want to remove NOVLA %s from this computer?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return EXIT_DECLINED;
    if (ntFamily && InstalledForAllUsers() && !HasInstallersRights()) {
        NamedBox("NOVLA %s was installed for all users: only an administrator can remove it. Nothing was removed.",
                 MB_OK | MB_ICONWARNING);
        return EXIT_REFUSED;
    }

    StartUndo(ntFamily, s_windows);
    CleanupSummary summary;
    memset(&summary, 0, sizeof summary);
    summary.productName = g_productNames.name;
    for (unsigned k = 0; k < planned; ++k) {
        unsigned i = s_order[k];
        const RecordEntry* entry = &s_view.entries[i];
        UndoOutcome outcome = UndoEntry(entry);
        s_outcome[i] = outcome;
        if (outcome == UNDO_FAILED) {
            unsigned n = summary.notRemoved.count;
            bool named = n < SUMMARY_NAMES_SHOWN && EntryDisplayName(s_failedNames[n], ENTRY_NAME_CAPACITY, entry);
            AddSummaryName(&summary.notRemoved, named ? s_failedNames[n] : entry->path);
        } else if (outcome == UNDO_KEPT_FILE) {
            AddSummaryName(&summary.keptFiles, entry->path);
        } else if (outcome == UNDO_KEPT_FOLDER && !HoldsKeptFolder(entry->path, k)) {
            AddSummaryName(&summary.keptFolders, entry->path);
        } else if (outcome == UNDO_SCHEDULED) {
            summary.restartCompletes = true;
        }
    }
    // The maker's keys, which the installer's start-up made before any run
    // could record them: gone when nothing is left in them.
    RemoveKeyWhenEmpty(REGISTRY_HKLM, NOVLA_PROGRAMS_KEY);
    RemoveKeyWhenEmpty(REGISTRY_HKLM, NOVLA_PARENT_KEY);

    // A record read only in part keeps what could not be read: it stays as
    // it is. Otherwise it goes when nothing is left to retry.
    bool recordKept = read == READ_PART ||
                      (summary.notRemoved.count == 0 ? !DeleteFileA(s_recordPath) : !RewriteRecord());
    if (recordKept)
        AddSummaryName(&summary.notRemoved, s_recordPath);

    bool complete = summary.notRemoved.count == 0;
    if (!BuildCleanupSummary(s_boxText, sizeof s_boxText, &summary))
        FormatText(s_boxText, sizeof s_boxText,
                   complete ? "NOVLA %s was removed from this computer." : "Some parts of NOVLA %s could not be removed.",
                   g_productNames.name);
    Box(s_boxText, MB_OK | (complete ? MB_ICONINFORMATION : MB_ICONWARNING));
    return complete ? EXIT_REMOVED : EXIT_INCOMPLETE;
}

// The first code of the process: the uninstaller has no static
// constructors, no thread-local data and no exit handlers, so the runtime's
// start-up code has nothing to do and is not linked.
extern "C" __attribute__((used)) void WinMainCRTStartup()
{
    // Before anything can load a library.
    RestrictLibrarySearch();
    ExitProcess((UINT)RunCleanup());
}
