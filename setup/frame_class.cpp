// The window class of the wizard frame: the system dialog class with the
// product's icon, under the name that dialog template IDD_FRAME asks for.
#include "resources/resource_ids.h"
#include "setup/session.h"

// Predefined class atom of ordinary dialog boxes.
#define DIALOG_CLASS_ATOM MAKEINTATOM(0x8002)

bool RegisterFrameClass()
{
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
