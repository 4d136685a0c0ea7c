// The progress page: half a second after it opens, its one-shot timer runs
// the installation: the files of this Windows generation (payload/install_run.h),
// the shortcuts, the registration (shell/shell.h), then the wizard moves on.
#include "common/path_text.h"
#include "common/session.h"
#include "payload/install_run.h"
#include "payload/os_class.h"
#include "payload/product.h"
#include "payload/run_undo.h"
#include "record/record_file.h"
#include "record/record_undo.h"
#include "record/run_backup.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"
#include "wizard/pages.h"

static void StartInstallTimer(HWND page);
static void PostFrameCommand(int id);
static LRESULT OnInstallTimer(HWND page, UINT_PTR timer);
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

// Posts WM_COMMAND id (Continue or Cancel) to the frame, as a click would
// arrive; sends it when it cannot be posted, so that the wizard never waits
// for a command that was lost.
static void PostFrameCommand(int id)
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

