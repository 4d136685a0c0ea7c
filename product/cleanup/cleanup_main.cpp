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
//   - A reinstallation that was cut off while it had the earlier
//     installation set aside is settled before the question, without a box
//     of its own: undone and the earlier one put back, or, when it had
//     finished, what it set aside removed.
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

#include "common/code_page.h"
#include "common/library_search.h"
#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/win32.h"
#include "common/windows_version.h"
#include "payload/install_record.h"
#include "payload/product_names.h"
#include "payload/record_file.h"
#include "payload/record_undo.h"
#include "payload/run_backup.h"
#include "product/cleanup/cleanup_text.h"
#include "product/cleanup/single_cleanup.h"
#include "resources/resource_ids.h"
#include "shell/admin_probe.h"
#include "shell/registry_names.h"

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
static char s_boxText[BOX_TEXT_CAPACITY];
// Names of items not removed, for the last box.
static char s_failedNames[SUMMARY_NAMES_SHOWN][ENTRY_NAME_CAPACITY];
static char s_recordPath[PATH_CAPACITY];

static int Box(const char* text, UINT flags) { return MessageBoxA(NULL, text, SETUP_TITLE, flags | MB_SETFOREGROUND); }

// "NOVLA Tessaronix ..." texts with the product's name.
static int NamedBox(const char* format, UINT flags)
{
    if (!FormatText(s_boxText, sizeof s_boxText, format, g_productNames.name))
        CopyText(s_boxText, sizeof s_boxText, SETUP_TITLE);
    return Box(s_boxText, flags);
}

// True when an installation run of the record put its shortcuts in the
// all-users folders, which on NT takes an administrator.
static bool InstalledForAllUsers()
{
    for (unsigned i = 0; i < s_view.entryCount; ++i)
        if (s_view.entries[i].kind == RECORD_RUN && s_view.entries[i].allUsers)
            return true;
    return false;
}

// True when this user may change what an administrator installed: a key
// below the maker's key can be made and deleted, as the installer probes
// it, and the record (in the Windows folder) can be opened for writing.
static bool HasInstallersRights()
{
    bool deleted = false;
    if (!ProbeAdminKey(&deleted) || !deleted)
        return false;
    HANDLE file = CreateFileA(s_recordPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
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

// Reads and checks the record at s_recordPath into s_view. 0 when it may
// be undone, else the exit code after the box that says why not.
static int ReadInstalledRecord(RecordRead* read)
{
    size_t size = 0;
    *read = LoadRecord(s_recordPath, s_recordText, &size);
    if (*read == RECORD_MISSING) {
        NamedBox("NOVLA %s is not installed: there is nothing to remove.", MB_OK | MB_ICONINFORMATION);
        return EXIT_NOT_INSTALLED;
    }
    if (*read == RECORD_UNREADABLE) {
        NamedBox("The installation record of NOVLA %s cannot be read. Nothing was removed.", MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }
    if (!ReadRecord(s_recordText, size, &s_view)) {
        NamedBox("The installation record of NOVLA %s is damaged. Nothing was removed.", MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }
    // Its paths are bytes of the code page they were written in: read in
    // another, they would name other places.
    unsigned here = GetACP();
    unsigned foreign = ForeignCodePage(&s_view, here);
    if (foreign != 0) {
        const char* name = g_productNames.name;
        if (!FormatText(s_boxText, sizeof s_boxText,
                        "The installation record of NOVLA %s was written under another language for non-Unicode "
                        "programs (code page %u; this computer now uses %u). Nothing was removed.\r\n\r\n"
                        "Switch back to that language, then remove NOVLA %s again.",
                        name, foreign, here, name))
            CopyText(s_boxText, sizeof s_boxText, SETUP_TITLE);
        Box(s_boxText, MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }
    return 0;
}

// Undoes the planned entries, newest first, and sums up for the last box
// what became of them.
static void UndoPlanned(unsigned planned, CleanupSummary* summary)
{
    for (unsigned k = 0; k < planned; ++k) {
        unsigned i = s_order[k];
        const RecordEntry* entry = &s_view.entries[i];
        UndoOutcome outcome = UndoEntry(entry);
        s_outcome[i] = outcome;
        if (outcome == UNDO_FAILED) {
            unsigned n = summary->notRemoved.count;
            bool named = n < SUMMARY_NAMES_SHOWN && EntryDisplayName(s_failedNames[n], ENTRY_NAME_CAPACITY, entry);
            AddSummaryName(&summary->notRemoved, named ? s_failedNames[n] : entry->path);
        } else if (outcome == UNDO_KEPT_FILE) {
            AddSummaryName(&summary->keptFiles, entry->path);
        } else if (outcome == UNDO_KEPT_FOLDER && !HoldsKeptFolder(entry->path, k)) {
            AddSummaryName(&summary->keptFolders, entry->path);
        } else if (outcome == UNDO_SCHEDULED) {
            summary->restartCompletes = true;
        }
    }
}

static int RunCleanup()
{
    WindowsVersion version;
    UndoScope scope;
    FindUndoScope(&scope, &g_productNames);
    if (!ReadWindowsVersion(&version) ||
        !RecordPath(s_recordPath, sizeof s_recordPath, scope.windowsFolder, g_productNames.name)) {
        Box("The uninstaller cannot find out how this computer is set up, and has changed nothing.",
            MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }
    bool ntFamily = version.platformId == VER_PLATFORM_WIN32_NT;
    // A reinstallation cut off while it had the earlier one set aside is
    // settled first, as the installer's start does: the record then holds
    // one whole installation.
    StartUndo(ntFamily, scope.windowsFolder);
    SettleCutOffRun(s_recordPath, &scope);

    RecordRead read;
    if (int refusal = ReadInstalledRecord(&read))
        return refusal;
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

    StartUndo(ntFamily, scope.windowsFolder);
    NoteRunningProgram();
    CleanupSummary summary;
    memset(&summary, 0, sizeof summary);
    summary.productName = g_productNames.name;
    UndoPlanned(planned, &summary);
    // The maker's keys, which the start-up of earlier installers made
    // before any run could record them: gone when nothing is left in them.
    RemoveKeyWhenEmpty(REGISTRY_HKLM, NOVLA_PROGRAMS_KEY);
    RemoveKeyWhenEmpty(REGISTRY_HKLM, NOVLA_PARENT_KEY);

    // A record read only in part keeps what could not be read: it stays as
    // it is. Otherwise it keeps what is left to retry, or goes.
    if (read == RECORD_READ_PART || !KeepInRecord(s_recordPath, 0, s_view.entries, s_view.entryCount, s_outcome))
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
    // Before any path is walked.
    LoadCodePageRules();
    ExitProcess((UINT)(ClaimCleanupRun() ? RunCleanup() : EXIT_REFUSED));
}
