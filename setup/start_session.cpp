// Start-up: the install folders and the two probes whose results the welcome
// page turns into warnings.
#include <string.h>

#include "common/folders.h"
#include "common/path_walk.h"
#include "payload/default_folder.h"
#include "payload/os_class.h"
#include "payload/run_undo.h"
#include "payload/table_rules.h"
#include "setup/setup.h"
#include "shell/admin_probe.h"

// The Windows or System folder, capitalised as the installer shows and
// records its paths.
static void ReadSystemFolder(char* out, UINT(WINAPI* query)(LPSTR, UINT))
{
    SystemFolderPath(out, query);
    CapitalizePath(out);
}

void StartSession()
{
    // The generation is decided before anything depends on it; when the
    // system cannot tell it, nothing is probed and the entry stops.
    OsClass osClass;
    if (!DecideOsClass(&osClass))
        return;

    ReadSystemFolder(g_installDirs[DIR_WINDOWS], GetWindowsDirectoryA);
    ReadSystemFolder(g_installDirs[DIR_SYSTEM], GetSystemDirectoryA);
    // A run that was cut off may have changed the install path: settled first.
    SettleCutOffInstallation();

    char* program = g_installDirs[DIR_PROGRAM];
    if (!ReadInstallPath(program, PATH_CAPACITY))
        ReadDefaultProgramFolder(program, PATH_CAPACITY);

    // The files-in-use probe builds its paths from all three folders.
    ProbeAdminRights();
    ProbeFilesInUse();
}

void ProbeAdminRights()
{
    // Only a refused creation counts: a reopen or delete that fails is
    // silent, as the key could be made.
    if (!ProbeAdminKey(NULL))
        g_session.notAdmin = 1;
}

void ProbeFilesInUse()
{
    OsClass osClass;
    if (!DecideOsClass(&osClass))
        return;
    OsVariantMask mask = VariantMaskFor(osClass);
    for (uint16_t i = 0; i < g_payloadTable.rowCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        const PayloadRow* entry = &g_payloadTable.rows[i];
        if (!RowApplies(entry, mask))
            continue;
        char path[PATH_CAPACITY];
        if (!RowTargetPath(entry, path, sizeof path))
            continue;
        // Exclusive write access without creating anything: any other open
        // of the file, by any process, refuses it.
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);  // Nothing was written through it.
            continue;
        }
        if (GetLastError() == ERROR_SHARING_VIOLATION) {
            g_session.filesInUse = 1;
            return;
        }
    }
}
