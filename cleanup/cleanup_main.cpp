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
//   - Entries it refuses stay in the record too, untouched, and the last
//     box says why: shortcuts of another account's Start menu or desktop
//     (that account's own removal takes them), a program folder the record
//     names otherwise than Windows reads it, items the product does not
//     install; so do the record's lines it cannot read.
//
// Exit code: 0 removed (files may wait for the restart, and some may have
// been kept as above); 1 the user answered No; 2 nothing is installed; 3
// nothing was changed because the record is damaged or unreadable, the user
// lacks the rights, or the system could not be asked what it is; 4 some
// items could not be removed or were left alone in the record.
#include <string.h>

#include "cleanup/cleanup_keep.h"
#include "cleanup/cleanup_text.h"
#include "cleanup/single_cleanup.h"
#include "common/code_page.h"
#include "common/library_search.h"
#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/win32.h"
#include "payload/os_class.h"
#include "record/install_record.h"
#include "record/product_names.h"
#include "record/record_file.h"
#include "record/record_undo.h"
#include "record/registry_names.h"
#include "record/run_backup.h"
#include "resources/resource_ids.h"
#include "shell/admin_probe.h"

enum CleanupExit {
    EXIT_REMOVED = 0,
    EXIT_DECLINED = 1,
    EXIT_NOT_INSTALLED = 2,
    EXIT_REFUSED = 3,
    EXIT_INCOMPLETE = 4,
};

enum { BOX_TEXT_CAPACITY = 4096 };

// The record as read (parsed in place), its bytes as they were (filtered
// into what the record keeps), and what became of each entry.
static char s_recordText[RECORD_FILE_CAPACITY];
static char s_recordBytes[RECORD_FILE_CAPACITY];
static size_t s_recordSize;
static unsigned s_refused[RECORD_ENTRY_CAPACITY];
static const char* s_unsoundFolders[RECORD_ENTRY_CAPACITY];
static RecordView s_view;
static unsigned s_order[RECORD_ENTRY_CAPACITY];
static UndoOutcome s_outcome[RECORD_ENTRY_CAPACITY];
static char s_boxText[BOX_TEXT_CAPACITY];
// Names of items not removed, for the last box.
static char s_failedNames[SUMMARY_NAMES_SHOWN][ENTRY_NAME_CAPACITY];
static char s_outsideNames[SUMMARY_NAMES_SHOWN][ENTRY_NAME_CAPACITY];
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

// True when an entry that stays in the record lies in the folder or key
// that holder names: one undone before it (s_order[0..k)) that failed, or
// one refused; for a folder a file, link or folder below it, for a key a
// key below it or a value in it. The holder then stays in the record with
// it, so that the run that removes that entry removes the holder too.
static bool HoldsEntryLeft(const RecordEntry* holder, unsigned k, unsigned refusedCount)
{
    bool folder = holder->kind == RECORD_FOLDER;
    for (unsigned j = 0; j < k + refusedCount; ++j) {
        unsigned other = j < k ? s_order[j] : s_refused[j - k];
        const RecordEntry* inside = &s_view.entries[other];
        bool sameKind = folder ? inside->kind == RECORD_FILE || inside->kind == RECORD_LINK ||
                                     inside->kind == RECORD_FOLDER
                               : (inside->kind == RECORD_KEY || inside->kind == RECORD_VALUE) &&
                                     inside->root == holder->root;
        const char* rest = sameKind ? PathBelowFolder(inside->path, holder->path) : NULL;
        if (StaysInRecord(s_outcome[other]) && rest != NULL && (rest[0] != '\0' || inside->kind == RECORD_VALUE))
            return true;
    }
    return false;
}

// True when the record has a K entry for key below HKEY_LOCAL_MACHINE: its
// own undo has dealt with it, or left it in the record for a later run.
static bool RecordNamesKey(const char* key)
{
    for (unsigned i = 0; i < s_view.entryCount; ++i)
        if (s_view.entries[i].kind == RECORD_KEY && s_view.entries[i].root == REGISTRY_HKLM &&
            SameTextNoCase(s_view.entries[i].path, key))
            return true;
    return false;
}

// Reads and checks the record at s_recordPath into s_view. 0 when it may
// be undone, else the exit code after the box that says why not.
static int ReadInstalledRecord(RecordRead* read)
{
    size_t size = 0;
    *read = ReadRecordFile(s_recordPath, s_recordText, &size);
    if (*read == RECORD_MISSING) {
        NamedBox("NOVLA %s is not installed: there is nothing to remove.", MB_OK | MB_ICONINFORMATION);
        return EXIT_NOT_INSTALLED;
    }
    if (*read == RECORD_UNREADABLE) {
        NamedBox("The installation record of NOVLA %s cannot be read. Nothing was removed.", MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }
    memcpy(s_recordBytes, s_recordText, size);
    s_recordSize = size;
    if (!ParseRecord(s_recordText, size, &s_view)) {
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
static void UndoPlanned(unsigned planned, unsigned refusedCount, CleanupSummary* summary)
{
    for (unsigned k = 0; k < planned; ++k) {
        unsigned i = s_order[k];
        const RecordEntry* entry = &s_view.entries[i];
        UndoOutcome outcome = UndoEntry(entry);
        // A folder or key kept for what is left of the product in it is not
        // kept for someone else's: it stays in the record, unnamed, as what
        // it holds is named already.
        if ((outcome == UNDO_KEPT_FOLDER || outcome == UNDO_KEPT_KEY) && HoldsEntryLeft(entry, k, refusedCount)) {
            s_outcome[i] = UNDO_REFUSED;
            continue;
        }
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

// Marks the refused entries as such, each under its reason for the last
// box. Returns how many.
static unsigned LeaveRefused(const UndoScope* scope, CleanupSummary* summary)
{
    // Shortcuts are another account's only when this account's folders
    // could all be named.
    bool placed = true;
    for (unsigned f = 0; f < 2; ++f)
        placed = placed && scope->programsFolders[f][0] != '\0' && scope->desktopFolders[f][0] != '\0';
    unsigned count = RefusedEntries(&s_view, scope, s_refused, RECORD_ENTRY_CAPACITY);
    for (unsigned k = 0; k < count; ++k) {
        unsigned i = s_refused[k];
        const RecordEntry* entry = &s_view.entries[i];
        s_outcome[i] = UNDO_REFUSED;
        // A program folder's own parents are named as the folder is, never
        // as shortcut folders of another account.
        if (const char* folder = UnsoundProgramFolderOf(entry, &s_view, g_productNames.name)) {
            // Each folder once: the oldest I line that names it stands for
            // every spelling of it.
            bool named = false;
            for (unsigned n = 0; n < summary->unsoundFolders.count && !named; ++n)
                named = s_unsoundFolders[n] == folder;
            if (!named)
                s_unsoundFolders[summary->unsoundFolders.count] = folder;
            if (!named)
                AddSummaryName(&summary->unsoundFolders, folder);
        } else if (IsAnotherAccountsShortcut(entry, &g_productNames)) {
            AddSummaryName(placed ? &summary->otherAccount : &summary->unplaced, entry->path);
        } else {
            unsigned n = summary->outside.count;
            bool named = n < SUMMARY_NAMES_SHOWN && EntryDisplayName(s_outsideNames[n], ENTRY_NAME_CAPACITY, entry);
            AddSummaryName(&summary->outside, named ? s_outsideNames[n] : entry->path);
        }
    }
    summary->unreadLines = s_view.malformedCount + s_view.unreadCount;
    return count;
}

// Rewrites the record to what is left: the entries that failed or were
// left alone, the lines that could not be read, and the I and C lines that
// give them their scope; the record goes when nothing is left. False when
// it could not be (it then stays as it was, or holds more than is left).
static bool KeepWhatIsLeft(RecordRead read)
{
    // What lies beyond what was read stays, with the whole record.
    if (read == RECORD_READ_PART)
        return false;
    unsigned kept = 0;
    if (!KeepRecordLines(s_recordBytes, &s_recordSize, &s_view, s_outcome, &kept))
        return false;
    if (kept == 0)
        return DeleteFileA(s_recordPath) || GetLastError() == ERROR_FILE_NOT_FOUND;
    return ReplaceRecordText(s_recordPath, s_recordBytes, s_recordSize);
}

static int RunCleanup()
{
    OsClass osClass;
    UndoScope scope;
    FindUndoScope(&scope, &g_productNames);
    if (!GetOsClass(&osClass) ||
        !RecordPath(s_recordPath, sizeof s_recordPath, scope.windowsFolder, g_productNames.name)) {
        Box("The uninstaller cannot find out how this computer is set up, and has changed nothing.",
            MB_OK | MB_ICONERROR);
        return EXIT_REFUSED;
    }
    bool ntFamily = osClass != OS_CLASS_WIN9X;
    // A reinstallation cut off while it had the earlier one set aside is
    // settled first, as the installer's start does: the record then holds
    // one whole installation.
    StartUndo(ntFamily, scope.windowsFolder);
    // What could not be put back is still set aside, with the user's own
    // files among it, and the record names it for the next start: removing
    // the rest now would leave that backup with nothing to bring it back by.
    if (SettleCutOffRun(s_recordPath, &scope) == SETTLE_FAILED) {
        const char* name = g_productNames.name;
        if (!FormatText(s_boxText, sizeof s_boxText,
                        "The last installation of NOVLA %s was cut off, and the installation that was there before "
                        "it could not be put back whole. Nothing more was removed.\r\n\r\nRestart your computer, "
                        "then remove NOVLA %s again.",
                        name, name))
            CopyText(s_boxText, sizeof s_boxText, SETUP_TITLE);
        Box(s_boxText, MB_OK | MB_ICONWARNING);
        return EXIT_INCOMPLETE;
    }

    RecordRead read;
    if (int refusal = ReadInstalledRecord(&read))
        return refusal;
    unsigned refused = 0;
    unsigned planned = PlanUndo(&s_view, &scope, s_order, RECORD_ENTRY_CAPACITY, &refused);
    // A record with entries left alone, or lines that could not be read, is
    // not "nothing installed": the run goes on to say what it keeps.
    if (planned == 0 && refused == 0 && s_view.malformedCount == 0 && s_view.unreadCount == 0 &&
        read != RECORD_READ_PART) {
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
    unsigned refusedCount = LeaveRefused(&scope, &summary);
    UndoPlanned(planned, refusedCount, &summary);
    // The maker's keys, which the start-up of earlier installers made
    // before any run could record them: gone when nothing is left in them.
    // A key the record names was undone with it, or stays with its entry:
    // removed here, it would still be listed.
    if (!RecordNamesKey(NOVLA_PROGRAMS_KEY))
        RemoveKeyWhenEmpty(REGISTRY_HKLM, NOVLA_PROGRAMS_KEY);
    if (!RecordNamesKey(NOVLA_PARENT_KEY))
        RemoveKeyWhenEmpty(REGISTRY_HKLM, NOVLA_PARENT_KEY);

    // A record read only in part keeps what could not be read: it stays as
    // it is. Otherwise it keeps what is left, or goes.
    if (!KeepWhatIsLeft(read))
        AddSummaryName(&summary.notRemoved, s_recordPath);

    bool complete = IsCompleteRemoval(&summary);
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
