#pragma once
// UI driver of the Windows-side tests: starts the installer, finds its frame
// (class "SetupDlg") and page controls, reads texts, states and positions,
// clicks, answers the "NOVLA Setup" message boxes and collects the exit code.
// Test code: the STL is fine here.
#include <windows.h>

#include <string>
#include <vector>

namespace ui {

struct Installer {
    PROCESS_INFORMATION process{};
    HWND frame = nullptr;
};

// Extra environment for the installer: "NAME=value" strings added to (or
// replacing) this process's environment.
using Environment = std::vector<std::string>;

// Which build to start: the release installer or the fault-seam build.
enum class Build { Release, Faults };

// A Windows path from an environment variable set by the harness.
std::string EnvPath(const char* name);

// Starts the installer and waits for its frame (false on timeout or when it
// cannot be started).
bool Start(Installer& installer, Build build = Build::Release, const Environment& extra = {},
           DWORD timeoutMs = 20000);
// Starts the installer without waiting for the frame.
bool Launch(Installer& installer, Build build, const Environment& extra = {});
// Starts the program at path (another of ours, such as the uninstaller) the
// same way, with arguments appended to its quoted path.
bool LaunchProgram(Installer& installer, const std::string& path, const std::string& arguments = "",
                   const Environment& extra = {});
// Ends a still running installer and closes its handles.
void Kill(Installer& installer);
// Waits for the process to end; its exit code, or STILL_ACTIVE on timeout.
DWORD WaitForExit(Installer& installer, DWORD timeoutMs = 20000);

// The frame of the installer's process, or null.
HWND FindFrame(const Installer& installer);
// The control with this id on the frame or on the page shown (searched among
// all descendants of the frame, the page's controls included), or null.
HWND Control(HWND frame, int id);
// The page dialog shown in the frame (the child dialog, class "#32770").
HWND CurrentPage(HWND frame);

std::string Text(HWND window);
std::string ControlText(HWND frame, int id);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);  // the window's own WS_VISIBLE style
RECT ScreenRect(HWND window);
LONG Style(HWND window);
std::string ClassName(HWND window);

// Clicks a button the way the mouse does (BM_CLICK, posted), then lets the
// installer handle it.
void Click(HWND button);
// Posts WM_COMMAND with id and notification code to a window.
void PostCommand(HWND window, int id, int code = 0);
// Waits until the installer's queue is empty (it has handled what was sent).
void Settle(const Installer& installer, DWORD extraMs = 50);
// Waits until predicate() holds, polling; false on timeout.
template <class Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs = 10000)
{
    DWORD start = GetTickCount();
    while (!predicate()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

// A message box of the installer's process.
struct MessageBox {
    HWND window = nullptr;
    std::string title;
    std::string text;
    // The standard icon shown: IDI_ERROR (hand), IDI_WARNING (exclamation),
    // IDI_INFORMATION, IDI_QUESTION as the MB_ICON... value, or 0.
    UINT icon = 0;
};
// Waits for a top-level message box of the installer with the given title
// (of any process when the installer has no process id).
bool WaitForMessageBox(const Installer& installer, MessageBox& box, const char* title = "NOVLA Setup",
                       DWORD timeoutMs = 10000);
// Presses the box's OK button, or the one given (IDYES, IDNO).
void AnswerMessageBox(const MessageBox& box, int button = IDOK);
// A message box (a visible top-level dialog) of the installer's process, of
// any title, or null: found at once, without reading it.
HWND OpenMessageBox(const Installer& installer);

// A copy of the screen rectangle at (x, y), width x height, as a bitmap
// the caller deletes.
HBITMAP CaptureScreen(int x, int y, int width, int height);
// Saves the screen (the whole Xvfb display) as a 24-bit BMP file.
bool SaveScreen(const std::string& path);
// Saves the screen area of a window (as shown, with what covers it).
bool SaveWindow(HWND window, const std::string& path);
// The colour of one screen pixel.
COLORREF ScreenPixel(int x, int y);

// Starts a program whose standard output and error go to a pipe; output
// is the pipe's read end, which the caller reads and closes. program may be
// empty (the command line's first word is then looked up).
bool StartPiped(const std::string& program, std::string commandLine, PROCESS_INFORMATION& process,
                HANDLE& output);

// Another process holding a file open without sharing (helpers/hold_file).
struct FileHolder {
    PROCESS_INFORMATION process{};
    HANDLE release = nullptr;
};
// Starts the holder on path (created when missing) and waits until it holds
// the file.
bool HoldFile(FileHolder& holder, const std::string& path);
// Lets the holder close the file and end.
void ReleaseFile(FileHolder& holder);

}  // namespace ui
