// The destination page (template IDD_DESTINATION): the program folder, typed or browsed
// for, the disk space the files need, and the shortcut scope on NT systems.
#include "common/session.h"
#include "payload/os_class.h"
#include "payload/product.h"
#include "payload/table_rules.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"
#include "wizard/byte_size.h"
#include "wizard/folder_rules.h"
#include "wizard/page_helpers.h"
#include "wizard/pages.h"

static void InitDestinationPage(HWND page);
static void OnDestinationCommand(HWND page, int controlId, int code);
static void BrowseInstallFolder(HWND page);
static void ResetInstallFolder(HWND page);
static void ReadShortcutScope(HWND page);
static void ShowRequiredSpace(HWND page);

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitDestinationPage(page);
        return 1;
    case WM_COMMAND:
        OnDestinationCommand(page, LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
    return 0;
}

static void InitDestinationPage(HWND page)
{
    char text[512];
    if (FormatText(text, sizeof text,
                   "The program files for NOVLA %s will be installed to the following default location. It is "
                   "recommended that you do not change the location below as it is optimized especially for "
                   "program files to help them start faster and run smoother.",
                   g_productInfo.name))
        SetDlgItemTextA(page, IDC_DEST_DESCRIPTION, text);
    SendDlgItemMessageA(page, IDC_DEST_FOLDER, EM_LIMITTEXT, PATH_CAPACITY - 1, 0);
    ResetInstallFolder(page);
    ApplyBoldFont(page, IDC_REQUIRED_SPACE);
    ShowRequiredSpace(page);
    OsClass osClass;
    if (DecideOsClass(&osClass) && osClass != OS_CLASS_WIN9X) {
        g_session.allUsers = 1;
        CheckDlgButton(page, IDC_SCOPE_ALL, BST_CHECKED);
    } else {
        // Windows 95, 98 and ME have one set of shortcuts for everyone.
        ShowControl(page, IDC_SCOPE_GROUP, false);
        ShowControl(page, IDC_SCOPE_USER, false);
        ShowControl(page, IDC_SCOPE_ALL, false);
    }
}

static void OnDestinationCommand(HWND page, int controlId, int code)
{
    if (code != BN_CLICKED)
        return;
    switch (controlId) {
    case IDC_BROWSE:
        BrowseInstallFolder(page);
        break;
    case IDC_RESET:
        ResetInstallFolder(page);
        break;
    case IDC_SCOPE_USER:
    case IDC_SCOPE_ALL:
        ReadShortcutScope(page);
        break;
    }
}

// Releases an item list with the shell's own allocator.
static void FreeItemList(LPITEMIDLIST items)
{
    if (items == NULL)
        return;
    IMalloc* allocator = NULL;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != NULL) {
        allocator->Free(items);
        allocator->Release();
    }
}

// The folder browser runs with COM joined, as the shell requires: the
// extensions it loads to list the folders are COM objects. Without COM the
// button does nothing; the folder can still be typed.
static void BrowseInstallFolder(HWND page)
{
    ComUse com = BeginComUse();
    if (com == COM_UNAVAILABLE)
        return;
    // Rooted at My Computer; at the desktop when that cannot be had.
    LPITEMIDLIST root = NULL;
    if (FAILED(SHGetSpecialFolderLocation(page, CSIDL_DRIVES, &root)))
        root = NULL;
    char folder[PATH_CAPACITY];
    folder[0] = '\0';
    BROWSEINFOA browse;
    ZeroMemory(&browse, sizeof browse);
    browse.hwndOwner = page;
    browse.pidlRoot = root;
    browse.pszDisplayName = folder;
    browse.lpszTitle = "Select Install To Folder";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (chosen != NULL && SHGetPathFromIDListA(chosen, folder))
        SetDlgItemTextA(page, IDC_DEST_FOLDER, folder);
    FreeItemList(chosen);
    FreeItemList(root);
    EndComUse(com);
}

static void ResetInstallFolder(HWND page)
{
    SetDlgItemTextA(page, IDC_DEST_FOLDER, g_installDirs[DIR_PROGRAM]);
}

static void ReadShortcutScope(HWND page)
{
    g_session.allUsers = IsDlgButtonChecked(page, IDC_SCOPE_ALL) == BST_CHECKED ? 1 : 0;
}

static void ShowRequiredSpace(HWND page)
{
    char text[32];
    OsClass osClass;
    text[0] = '\0';
    if (DecideOsClass(&osClass))
        FormatByteSize(text, sizeof text, RequiredSpaceFor(&g_payloadTable, VariantMaskFor(osClass)));
    SetDlgItemTextA(page, IDC_REQUIRED_SPACE, text);
}

int ValidateInstallFolder(HWND page)
{
    // The edit holds up to PATH_CAPACITY - 1 characters, which in a
    // double-byte code page are up to twice as many bytes: read them all, so
    // that a folder too long is refused rather than cut.
    char typed[2 * PATH_CAPACITY];
    typed[0] = '\0';
    GetDlgItemTextA(page, IDC_DEST_FOLDER, typed, sizeof typed);
    char committed[PATH_CAPACITY];
    FolderVerdict verdict =
        CheckInstallFolder(typed, g_productInfo.name, LongestFileName(&g_payloadTable), committed, sizeof committed);
    if (verdict != FOLDER_ACCEPTED) {
        char message[128];
        if (FormatFolderMessage(message, sizeof message, verdict))
            MessageBoxA(page, message, SETUP_TITLE, MB_ICONWARNING);
        return 0;
    }
    CopyText(g_installDirs[DIR_PROGRAM], sizeof g_installDirs[DIR_PROGRAM], committed);
    SetDlgItemTextA(page, IDC_DEST_FOLDER, g_installDirs[DIR_PROGRAM]);
    return 1;
}
