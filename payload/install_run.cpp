// The progress page and the installation run: half a second after the page
// opens, its one-shot timer extracts every file of this Windows generation,
// creates the shortcuts, registers the product and moves the wizard on.
#include "payload/install_run.h"

#include <string.h>

#include "common/check.h"
#include "common/folders.h"
#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/pump.h"
#include "payload/install_folder.h"
#include "payload/lzhuf.h"
#include "payload/lzhuf_output_win.h"
#include "payload/os_class.h"
#include "payload/payload_check.h"
#include "payload/record_file.h"
#include "payload/record_undo.h"
#include "payload/run_backup.h"
#include "payload/run_undo.h"
#include "payload/product.h"
#include "payload/table_rules.h"
#include "resources/resource_ids.h"
#include "setup/session.h"
#include "shell/shell.h"

InstallShortfall g_installShortfall;

static void StartInstallTimer(HWND page);
static LRESULT OnInstallTimer(HWND page, UINT_PTR timer);
static bool ExtractPayload(HWND page);
static void AbortInstallation();

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        StartInstallTimer(page);
        return TRUE;
    case WM_TIMER:
        if (wParam == IDT_INSTALL)
            return OnInstallTimer(page, wParam);
        return FALSE;
    }
    return FALSE;
}

// The page's one-shot installation timer. Without a timer, the run is
// started by a tick posted at once; when not even that can be posted, the
// installation cannot start and takes the abort path rather than leave the
// page waiting for ever.
static void StartInstallTimer(HWND page)
{
    if (SetTimer(page, IDT_INSTALL, INSTALL_START_DELAY, NULL) == 0 &&
        !PostMessageA(page, WM_TIMER, IDT_INSTALL, 0))
        AbortInstallation();
}

void PostFrameCommand(int id)
{
    if (!PostMessageA(g_session.frame, WM_COMMAND, (WPARAM)id, 0))
        SendMessageA(g_session.frame, WM_COMMAND, (WPARAM)id, 0);
}

// Tells the user, once, what the shortcut and registry steps could not
// write; the files themselves are all in place.
static void ReportShortfall()
{
    const InstallShortfall& missing = g_installShortfall;
    if (missing.shortcuts == 0 && missing.registryEntries == 0)
        return;
    char shortcuts[64], entries[64], text[KEY_CAPACITY];
    shortcuts[0] = entries[0] = '\0';
    if (missing.shortcuts != 0)
        FormatText(shortcuts, sizeof shortcuts, "%u shortcut%s could not be created", (unsigned)missing.shortcuts,
                   missing.shortcuts == 1 ? "" : "s");
    if (missing.registryEntries != 0)
        FormatText(entries, sizeof entries, "%u registry entr%s could not be written",
                   (unsigned)missing.registryEntries, missing.registryEntries == 1 ? "y" : "ies");
    FormatText(text, sizeof text, "The program files were installed, but %s%s%s.", shortcuts,
               shortcuts[0] != '\0' && entries[0] != '\0' ? " and " : "", entries);
    MessageBoxA(g_session.frame, text, SETUP_TITLE, MB_OK | MB_ICONWARNING);
}

// The installation run, on the timer's first tick. Returns 0.
static LRESULT OnInstallTimer(HWND page, UINT_PTR timer)
{
    // First, before anything can dispatch messages. The run happens once
    // even when the timer cannot be killed: a later tick finds it started.
    KillTimer(page, timer);
    static bool started;
    if (started)
        return 0;
    started = true;
    bool extracted = ExtractPayload(page) && CreateShortcuts(page);
    if (extracted) {
        RegisterProduct(page);
        // Only now does what the run replaced go.
        StartUndo(g_session.osClass != OS_CLASS_WIN9X, g_installDirs[DIR_WINDOWS]);
        FinishSetAside();
    }
    // Whatever the outcome, the record holds what the run did.
    CloseInstallRecord();
    if (!extracted) {
        AbortInstallation();
        return 0;
    }
    ReportShortfall();
    PostFrameCommand(IDC_CONTINUE);
    return 0;
}

// What the run did undone, then the abort message over the frame, and
// Cancel posted to it: when the user reads the message, the system is as it
// was before the run.
static void AbortInstallation()
{
    UndoAbortedRun();
    char text[KEY_CAPACITY];
    FormatText(text, sizeof text,
               "Installation Aborted!\r\n\r\nNOVLA %s could not be installed at this time.\r\n"
               "Please restart your computer before running setup again.",
               g_productInfo.name);
    MessageBoxA(g_session.frame, text, SETUP_TITLE, MB_OK | MB_ICONWARNING);
    PostFrameCommand(IDC_CANCEL);
}

// Empties the program folder only when it is the product's own (recorded by
// an earlier installation, or the default folder): any other existing
// folder the user chose may hold data that is not ours. Its files are set
// aside (payload/run_backup.h), not deleted, until the run has finished. A
// missing folder is created with its parents; that outcome is not examined
// here: a folder that is not there shows up as a file that cannot be
// created. False when the files cannot be set aside: nothing may go then.
static bool PrepareProgramFolder()
{
    const char* folder = g_installDirs[DIR_PROGRAM];
    if (!PathExists(folder)) {
        CreateFolderChain(folder, RecordFolderCreation);
        return true;
    }
    char recorded[PATH_CAPACITY];
    if (!ReadInstallPath(recorded, sizeof recorded))
        recorded[0] = '\0';
    char defaultFolder[PATH_CAPACITY];
    ReadDefaultProgramFolder(defaultFolder, sizeof defaultFolder);
    // A folder without files has nothing to set aside.
    return !IsProductFolder(folder, recorded, defaultFolder) || MoveFolderFiles(folder, NULL, false) == 0 ||
           SetAside(folder, true);
}

// The fixed time of every installed file: the product's local time,
// converted to UTC with the bias in force now. False when a conversion
// fails: the files then keep the time of their writing rather than get a
// made-up one.
static bool InstalledFileTime(FILETIME* utc)
{
    const FileTimeFields& t = g_productInfo.fileTime;
    SYSTEMTIME local = {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds};
    FILETIME localTime;
    return SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, utc);
}

// Which rows of this generation have a file at their target path now, one
// bit per row in *existing. Asked before the program folder is emptied: a
// file of an earlier installation that the emptying takes away was there
// before this run all the same, and an aborted run keeps the copy it wrote
// in its place. False when a target path does not name a place by itself: a
// Windows or System folder the system did not give, or any other path that
// is not absolute, would make a file land relative to the current folder,
// so nothing is written then.
static bool ExistingTargets(OsVariantMask mask, uint16_t* existing)
{
    static_assert(PAYLOAD_ROW_CAPACITY <= 16, "one bit per row");
    *existing = 0;
    for (uint16_t i = 0; i < g_payloadTable.entryCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        const PayloadEntry* entry = &g_payloadTable.rows[i];
        char path[PATH_CAPACITY];
        if (!EntryApplies(entry, mask))
            continue;
        if (!EntryTargetPath(entry, path, sizeof path) || !IsAbsolutePath(path))
            return false;
        if (FileExistsAt(path))
            *existing = (uint16_t)(*existing | 1u << i);
    }
    return true;
}

// Expands a compressed row, or writes a raw row in one call, into the open
// file. False when a write failed (a full disk: the file is then short) or
// the bytes written are not the file the packer recorded. Every stream the
// packer makes ends exactly at its last stored byte: one that ends earlier
// is damaged too.
static bool WriteRow(HANDLE file, unsigned row, const uint8_t* bytes)
{
    const PayloadEntry* entry = &g_payloadTable.rows[row];
    SetOutputFile(file);
    // inputCount: the stored bytes the stream did not need.
    bool written = entry->storedSize != 0
                       ? DecodeEntry(bytes, entry->storedSize, entry->fileSize) && g_lzhufDecoder.inputCount == 0
                       : WriteOutput(bytes, entry->fileSize);
    written = written && OutputChecksum() == RowChecksum(row);
    SetOutputFile(NULL);
    return written;
}

// The failure of one row: the error box over the page, the label emptied,
// the pause.
static bool FailRow(HWND page)
{
    MessageBoxA(page, "Unable to create destination file!\r\nInstallation will now be aborted.", SETUP_TITLE,
                MB_OK | MB_ICONERROR);
    SetDlgItemTextA(page, IDC_FILE_LABEL, "");
    PumpMessagesFor(page, SUCCESS_PAUSE);
    return false;
}

// Writes every file-table row of this Windows generation into its folder
// with the product's fixed file time, showing each path in IDC_FILE_LABEL
// and stepping IDC_FILE_BAR. False after the "Unable to create destination file!"
// box when a row cannot be written whole (its file cannot be created, its
// resource is missing or short, a write fails); the rows before it stay.
static bool ExtractPayload(HWND page)
{
    OsClass osClass;
    if (!DecideOsClass(&osClass))
        return FailRow(page);
    OsVariantMask mask = VariantMaskFor(osClass);
    uint16_t existing;
    if (!ExistingTargets(mask, &existing))
        return FailRow(page);
    // What the run does is recorded before it is done, so that the
    // uninstaller, or the abort, can undo it; a run that cannot record does
    // nothing.
    char record[PATH_CAPACITY];
    RecordEntry run = RunEntry(g_installDirs[DIR_PROGRAM], g_session.allUsers != 0);
    if (!RecordPath(record, sizeof record, g_installDirs[DIR_WINDOWS], g_productInfo.name) ||
        !OpenInstallRecord(record, &run) || !PrepareProgramFolder())
        return FailRow(page);

    // The start-up check refused a table of more rows than it can hold.
    NOVLA_ASSERT(g_payloadTable.entryCount <= PAYLOAD_ROW_CAPACITY);
    HWND bar = GetDlgItem(page, IDC_FILE_BAR);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, g_payloadTable.entryCount));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);

    FILETIME fileTime;
    bool stamp = InstalledFileTime(&fileTime);

    for (uint16_t i = 0; i < g_payloadTable.entryCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        const PayloadEntry* entry = &g_payloadTable.rows[i];
        DWORD pause = 0;
        if (EntryApplies(entry, mask)) {
            // A path that does not fit cannot be created: cutting it would
            // write some other file.
            char path[PATH_CAPACITY];
            if (!EntryTargetPath(entry, path, sizeof path))
                return FailRow(page);
            SetDlgItemTextA(page, IDC_FILE_LABEL, path);
            const uint8_t* bytes = RowBytes(entry);
            RecordEntry file = FileEntry(path, (existing >> i) & 1);
            // A file that is there is renamed aside, never overwritten.
            if (bytes == NULL || !AppendInstallRecord(&file) || (FileExistsAt(path) && !SetAside(path, false)))
                return FailRow(page);
            HANDLE output = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                                        FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, NULL);
            if (output == INVALID_HANDLE_VALUE)
                return FailRow(page);
            bool written = WriteRow(output, i, bytes);
            // A time that cannot be set leaves the time of writing: the file
            // itself is whole.
            if (written && stamp)
                SetFileTime(output, &fileTime, &fileTime, &fileTime);
            // A close that fails may have lost the last of the data.
            if (!CloseHandle(output) || !written) {
                // A short file must not stay behind looking complete; one
                // that cannot be deleted is the abort's to undo.
                DeleteFileA(path);
                return FailRow(page);
            }
            pause = STEP_PAUSE;
        }
        // Every row steps the bar, so it is full when the last row is done.
        SendMessageA(bar, PBM_STEPIT, 0, 0);
        PumpMessagesFor(page, pause);
    }
    SetDlgItemTextA(page, IDC_FILE_LABEL, "Success");
    PumpMessagesFor(page, SUCCESS_PAUSE);
    return true;
}
