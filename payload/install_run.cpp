// The installation run's file step: every file of this Windows generation
// extracted into its folder, each recorded before it is written.
#include "payload/install_run.h"

#include <string.h>

#include "codec/lzhuf.h"
#include "codec/lzhuf_output_win.h"
#include "common/check.h"
#include "common/folders.h"
#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/pump.h"
#include "common/session.h"
#include "payload/default_folder.h"
#include "payload/install_folder.h"
#include "payload/os_class.h"
#include "payload/payload_check.h"
#include "payload/product.h"
#include "payload/table_rules.h"
#include "record/record_file.h"
#include "record/run_backup.h"
#include "resources/resource_ids.h"

// Empties the program folder only when it is the product's own (recorded by
// an earlier installation, or the default folder): any other existing
// folder the user chose may hold data that is not ours. Its files are set
// aside (record/run_backup.h), not deleted, until the run has finished. A
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
    for (uint16_t i = 0; i < g_payloadTable.rowCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        const PayloadRow* entry = &g_payloadTable.rows[i];
        char path[PATH_CAPACITY];
        if (!RowApplies(entry, mask))
            continue;
        if (!RowTargetPath(entry, path, sizeof path) || !IsAbsolutePath(path))
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
    const PayloadRow* entry = &g_payloadTable.rows[row];
    LzhufSetOutputFile(file);
    // inputCount: the stored bytes the stream did not need.
    bool written = entry->storedSize != 0
                       ? LzhufDecodeStream(bytes, entry->storedSize, entry->fileSize) && g_lzhufDecoder.inputCount == 0
                       : LzhufWriteOutput(bytes, entry->fileSize);
    written = written && LzhufOutputChecksum() == RowChecksum(row);
    LzhufSetOutputFile(NULL);
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
bool ExtractPayload(HWND page)
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
    NOVLA_ASSERT(g_payloadTable.rowCount <= PAYLOAD_ROW_CAPACITY);
    HWND bar = GetDlgItem(page, IDC_FILE_BAR);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, g_payloadTable.rowCount));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);

    FILETIME fileTime;
    bool stamp = InstalledFileTime(&fileTime);

    for (uint16_t i = 0; i < g_payloadTable.rowCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        const PayloadRow* entry = &g_payloadTable.rows[i];
        DWORD pause = 0;
        if (RowApplies(entry, mask)) {
            // A path that does not fit cannot be created: cutting it would
            // write some other file.
            char path[PATH_CAPACITY];
            if (!RowTargetPath(entry, path, sizeof path))
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
