// The shortcut step of the installation run.
#include <string.h>

#include "common/check.h"
#include "common/folders.h"
#include "common/path_text.h"
#include "common/pump.h"
#include "common/session.h"
#include "payload/install_run.h"
#include "payload/product.h"
#include "payload/table_rules.h"
#include "record/record_file.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"

// The platform's shell-link object and its two interfaces.
InstallShortfall g_installShortfall;

static const CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID kShellLinkInterface = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID kPersistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

enum { WIDE_PATH_CAPACITY = 512 };

// One shell-link file: target, working folder and description, saved at
// linkFile (replacing an existing one). False when any step fails: the link
// is then missing or, had it been saved, incomplete, and counts as not made.
static bool CreateShellLink(const char* target, const char* workingFolder, const char* linkFile,
                            const char* description)
{
    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(kShellLinkClass, NULL, CLSCTX_INPROC_SERVER, kShellLinkInterface, (void**)&link)))
        return false;
    bool made = SUCCEEDED(GUARDED_COM("IShellLinkA::SetPath", link->SetPath(target))) &&
                SUCCEEDED(GUARDED_COM("IShellLinkA::SetWorkingDirectory", link->SetWorkingDirectory(workingFolder))) &&
                SUCCEEDED(GUARDED_COM("IShellLinkA::SetDescription", link->SetDescription(description)));
    IPersistFile* file = NULL;
    if (made && SUCCEEDED(GUARDED_COM("IShellLinkA::QueryInterface",
                                      link->QueryInterface(kPersistFileInterface, (void**)&file)))) {
        WCHAR widePath[WIDE_PATH_CAPACITY];
        // Recorded before it is saved, so that the uninstaller removes it.
        RecordEntry record = LinkEntry(linkFile, FileExistsAt(linkFile));
        made = MultiByteToWideChar(CP_ACP, 0, linkFile, -1, widePath, WIDE_PATH_CAPACITY) > 0 &&
               AppendInstallRecord(&record) &&
               SUCCEEDED(GUARDED_COM("IPersistFile::Save", file->Save(widePath, TRUE)));
        file->Release();
    } else {
        made = false;
    }
    link->Release();
    return made;
}

// One group link of a row: target and working folder from the row (program
// folder when it carries FOLDER_PROGRAM, else the Windows folder). A path
// that does not fit is skipped whole: a cut one would point elsewhere.
// False when the link was not made.
static bool CreateRowShortcut(const PayloadRow* entry, const char* programs)
{
    const char* working = (entry->flags & FOLDER_PROGRAM) ? g_installDirs[DIR_PROGRAM] : g_installDirs[DIR_WINDOWS];
    char workingFolder[PATH_CAPACITY];
    char target[PATH_CAPACITY];
    char linkFile[PATH_CAPACITY];
    if (programs[0] == '\0' || !CopyText(workingFolder, sizeof workingFolder, working) ||
        !JoinPath(target, sizeof target, workingFolder, entry->fileName) ||
        !BuildLinkPath(linkFile, sizeof linkFile, programs, g_productInfo.programGroup, entry->shortcutName))
        return false;
    return CreateShellLink(target, workingFolder, linkFile, entry->shortcutName);
}

ComUse BeginComUse()
{
    HRESULT joined = CoInitialize(NULL);
    if (SUCCEEDED(joined))
        return COM_BALANCED;
    return joined == RPC_E_CHANGED_MODE ? COM_BORROWED : COM_UNAVAILABLE;
}

void EndComUse(ComUse use)
{
    if (use == COM_BALANCED)
        CoUninitialize();
}

bool CreateShortcuts(HWND page)
{
    ComUse com = BeginComUse();
    if (com == COM_UNAVAILABLE)
        return false;

    uint16_t& missing = g_installShortfall.shortcuts;
    missing = 0;
    HWND bar = GetDlgItem(page, IDC_SHORTCUT_BAR);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, g_payloadTable.shortcutCount));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);

    bool allUsers = g_session.allUsers != 0;
    // A Programs folder the shell cannot name leaves this empty: the group
    // links are then skipped rather than made relative to the current
    // directory.
    char programs[PATH_CAPACITY];
    SpecialFolderPath(programs, PATH_CAPACITY, allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS);
    char group[PATH_CAPACITY];
    // A group that cannot be made shows as its links not saved, and counted.
    if (programs[0] != '\0' && JoinPath(group, sizeof group, programs, g_productInfo.programGroup))
        CreateFolderChain(group, RecordFolderCreation);

    unsigned groupLinks = 0;
    for (uint16_t i = 0; i < g_payloadTable.rowCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        const PayloadRow* entry = &g_payloadTable.rows[i];
        if (IsNoShortcut(entry->shortcutName))
            continue;
        ++groupLinks;
        SetDlgItemTextA(page, IDC_SHORTCUT_LABEL, entry->shortcutName);
        if (!CreateRowShortcut(entry, programs))
            ++missing;
        SendMessageA(bar, PBM_STEPIT, 0, 0);
        PumpMessagesFor(page, STEP_PAUSE);
    }

    // The packer counts the rows with a shortcut into the bar's range.
    NOVLA_ASSERT(groupLinks == g_payloadTable.shortcutCount);

    // The desktop link to the main application, named after its shortcut,
    // directly in the desktop folder.
    char desktop[PATH_CAPACITY];
    SpecialFolderPath(desktop, PATH_CAPACITY, allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
    const PayloadRow* main = &g_payloadTable.rows[ROW_MAIN_PROGRAM];
    char target[PATH_CAPACITY];
    char linkFile[PATH_CAPACITY];
    if (!(desktop[0] != '\0' && JoinPath(target, sizeof target, g_installDirs[DIR_PROGRAM], main->fileName) &&
          BuildLinkPath(linkFile, sizeof linkFile, desktop, "", main->shortcutName) &&
          CreateShellLink(target, g_installDirs[DIR_PROGRAM], linkFile, main->shortcutName)))
        ++missing;

    // "Success" only when every link is there; the run tells the user what
    // is missing before the finish page.
    SetDlgItemTextA(page, IDC_SHORTCUT_LABEL, missing == 0 ? "Success" : "");
    PumpMessagesFor(page, SUCCESS_PAUSE);
    EndComUse(com);
    return true;
}
