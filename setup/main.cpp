// Process entry of the installer. The command line and show command are
// ignored; the exit code is 1 on every path.
#include "resources/resource_ids.h"
#include "setup/session.h"
#include "wizard/frame.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_session.instance = instance;
    RegisterFrameClass();
    StartSession();
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FRAME), NULL, FrameDialogProc, 0);
    if (g_session.runOnExit)
        LaunchMainProgram();
    ReleaseGdiCache();
    return 1;
}
