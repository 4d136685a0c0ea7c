// The window class of the wizard frame: the system dialog class with the
// product's icon, under the name that dialog template IDD_FRAME asks for.
#include "resources/resource_ids.h"
#include "setup/setup.h"

// Predefined class atom of ordinary dialog boxes.
#define DIALOG_CLASS_ATOM MAKEINTATOM(0x8002)

// The common controls' classes the pages use (the progress bar), registered
// before the frame and its pages exist. The common controls 6 of the
// manifest register nothing on demand on XP, and their InitCommonControls
// does nothing: InitCommonControlsEx must name the class. Windows 95 and
// NT 4 as first shipped have only InitCommonControls, which registers every
// class of their library. The library is loaded here, after the start-up
// has restricted the library search, not imported: an imported library's
// own imports (the theme library of the common controls 6) are looked for
// beside the program before its first instruction runs. LoadLibraryA follows
// the manifest to the common controls 6.
static void RegisterCommonControls()
{
    typedef BOOL(WINAPI * RegisterControlsEx)(const INITCOMMONCONTROLSEX*);
    typedef void(WINAPI * RegisterControls)();
    HMODULE library = LoadLibraryA("comctl32.dll");
    if (library == NULL)
        return;
    RegisterControlsEx registerEx = (RegisterControlsEx)(void*)GetProcAddress(library, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    if (registerEx != NULL && registerEx(&classes))
        return;
    RegisterControls registerAll = (RegisterControls)(void*)GetProcAddress(library, "InitCommonControls");
    if (registerAll != NULL)
        registerAll();
}

bool RegisterFrameClass()
{
    RegisterCommonControls();
    WNDCLASSEXA frameClass;
    ZeroMemory(&frameClass, sizeof frameClass);
    frameClass.cbSize = sizeof frameClass;
    if (!GetClassInfoExA(NULL, DIALOG_CLASS_ATOM, &frameClass))
        return false;
    frameClass.cbSize = sizeof frameClass;
    frameClass.lpfnWndProc = DefDlgProcA;
    frameClass.cbWndExtra = DLGWINDOWEXTRA;
    frameClass.hInstance = g_session.instance;
    frameClass.hIcon = LoadIconA(g_session.instance, MAKEINTRESOURCEA(IDI_PRODUCT));
    frameClass.hIconSm = (HICON)LoadImageA(g_session.instance, MAKEINTRESOURCEA(IDI_PRODUCT), IMAGE_ICON,
                                           16, 16, LR_DEFAULTCOLOR);
    frameClass.lpszClassName = FRAME_CLASS_NAME;
    return RegisterClassExA(&frameClass) != 0;
}
