// Process entry of the installer. The command line and show command are
// ignored; the exit code is 1 on every path.
#include "common/code_page.h"
#include "common/library_search.h"
#include "payload/payload_check.h"
#include "resources/resource_ids.h"
#include "setup/setup.h"
#include "wizard/frame.h"
#include "wizard/page_helpers.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_session.instance = instance;
    // One installer at a time, before anything is read or written.
    if (!ClaimSetupRun())
        return 1;
    // A damaged download is refused before anything is written (the
    // administrator probe of StartSession writes to the registry).
    if (!VerifyPayload()) {
        MessageBoxA(NULL, DAMAGED_SETUP_TEXT, SETUP_TITLE, MB_OK | MB_ICONERROR);
        return 1;
    }
    RegisterFrameClass();
    StartSession();
    if (!g_session.osClassKnown) {
        // Which programs to install depends on it: never guess.
        MessageBoxA(NULL, "Setup cannot tell which version of Windows this is, and cannot go on.", SETUP_TITLE,
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FRAME), NULL, FrameDialogProc, 0) == -1)
        MessageBoxA(NULL, "Setup cannot open its window and will now end.", SETUP_TITLE, MB_OK | MB_ICONERROR);
    if (g_session.runOnExit)
        LaunchMainProgram();
    ReleaseGdiCache();
    return 1;
}

// The first code of the process. The installer has no static constructors,
// no thread-local data and no exit handlers, so the runtime's own start-up
// code has nothing to do here: this entry replaces it. The x87 unit is put
// into its documented default state (64-bit precision, all exceptions
// masked), as the runtime's start-up would leave it; the banner's resampler
// relies on masked exceptions. Kept even when nothing in the program calls
// it: the linker names it as the entry point.
extern "C" __attribute__((used)) void WinMainCRTStartup()
{
    // Before anything can load a library.
    RestrictLibrarySearch();
    // Before any path is walked.
    LoadCodePageRules();
#if defined(__i386__)
    __asm__ __volatile__("fninit");
#endif
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
