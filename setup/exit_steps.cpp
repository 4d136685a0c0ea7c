// After the frame has ended: the launch of the installed application when
// the user asked for it, and the release of the cached GDI objects.
#include "payload/product.h"
#include "setup/setup.h"

void LaunchMainProgram()
{
    // Both generations' variants of the main application share one file
    // name, so the legacy row's name serves both.
    char path[PATH_CAPACITY];
    if (!JoinPath(path, sizeof path, g_installDirs[DIR_PROGRAM], g_payloadTable.rows[ROW_MAIN_PROGRAM].fileName))
        return;
    SHELLEXECUTEINFOA execute;
    ZeroMemory(&execute, sizeof execute);
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC;
    execute.hwnd = GetDesktopWindow();
    execute.lpFile = path;
    execute.lpDirectory = g_installDirs[DIR_PROGRAM];
    execute.nShow = SW_SHOWNORMAL;
    // The wizard has closed: a program that does not start is the user's
    // to see, with nothing left to tell them in.
    ShellExecuteExA(&execute);
}

void ReleaseGdiCache()
{
    // DeleteObject(NULL) does nothing: an object never made needs no test.
    DeleteObject(g_session.banner);
    DeleteObject(g_session.fixedFont);
    DeleteObject(g_session.boldFont);
    g_session.banner = NULL;
    g_session.fixedFont = NULL;
    g_session.boldFont = NULL;
}
