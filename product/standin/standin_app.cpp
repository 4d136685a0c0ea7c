// A stand-in program of the Tessaronix suite: one window that says which
// program and which Windows generation's build it is, so the tests (and a
// person trying the installer) can see what was installed and started.
//
// STANDIN_TITLE names the window, for example "Tessaronix (legacy)";
// STANDIN_TEXT says what the real program would do. Closing the window ends
// the program.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#ifndef STANDIN_TITLE
#error "STANDIN_TITLE must name the program and its generation"
#endif
#ifndef STANDIN_TEXT
#error "STANDIN_TEXT must say what the program is"
#endif

static const char kClassName[] = "NovlaStandIn";

static LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        InflateRect(&area, -12, -12);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, STANDIN_TITLE "\n\n" STANDIN_TEXT, -1, &area, DT_LEFT | DT_WORDBREAK);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StandInProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hIcon = LoadIcon(NULL, IDI_APPLICATION);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowA(kClassName, STANDIN_TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 420,
                                220, NULL, NULL, instance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// The first code of the process: the stand-in has no static constructors
// and no exit handlers, so the runtime's start-up code is not linked (it
// would import the C runtime DLL). The show command comes from the starting
// program through SW_SHOWDEFAULT.
extern "C" __attribute__((used)) void WinMainCRTStartup()
{
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
