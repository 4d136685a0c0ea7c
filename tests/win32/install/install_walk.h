#pragma once
// Driving a real installation from a test: through the welcome, licence and
// destination pages, then watching the progress page until the finish page.
// Also what a test expects of the installed files. Test code.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "common/path_walk.h"
#include "payload/product.h"
#include "resources/resource_ids.h"
#include "ui_driver.h"

namespace install {

struct Options {
    std::string folder;        // typed on the destination page; empty: as proposed
    // Typed as UTF-16 instead (when not empty): the edit gets the characters
    // themselves, and the installer reads them in its own code page, never
    // through this program's.
    std::wstring wideFolder;
    int scope = 0;             // IDC_SCOPE_USER or IDC_SCOPE_ALL to click; 0: as proposed
    ui::Build build = ui::Build::Release;
    ui::Environment environment;
};

// What the progress page showed.
struct Watch {
    std::vector<std::string> fileLabels;      // IDC_FILE_LABEL, each change in order
    std::vector<std::string> shortcutLabels;  // IDC_SHORTCUT_LABEL, each change in order
    int fileBarAtSuccess = -1;                // IDC_FILE_BAR once its label read "Success"
    int shortcutBarAtSuccess = -1;            // IDC_SHORTCUT_BAR once its label read "Success"
    std::vector<std::string> boxes;           // the message boxes answered with OK, in order
    bool finished = false;                    // the finish page came
    bool boxOpen = false;                     // stopped at a message box, left open
    DWORD milliseconds = 0;                   // from Continue to the finish page
};

// Waits until a page's control shows. A page's controls exist one by one
// while the page is being made and the page shows only once it has
// initialised, so a control that merely exists does not mean its siblings
// do. The settle then lets the frame finish placing the page.
inline bool WaitForControl(const ui::Installer& installer, int id, DWORD timeoutMs = 10000)
{
    bool shown = ui::WaitUntil(
        [&] {
            HWND control = ui::Control(installer.frame, id);
            return control != nullptr && IsWindowVisible(control);
        },
        timeoutMs);
    if (shown)
        ui::Settle(installer);
    return shown;
}

// Starts the installer and walks to the destination page.
inline bool ToDestination(ui::Installer& installer, const Options& options)
{
    if (!ui::Start(installer, options.build, options.environment) || !WaitForControl(installer, IDC_BANNER_LINES))
        return false;
    ui::Click(ui::Control(installer.frame, IDC_CONTINUE));
    if (!WaitForControl(installer, IDC_ACCEPT))
        return false;
    ui::Click(ui::Control(installer.frame, IDC_ACCEPT));
    ui::Click(ui::Control(installer.frame, IDC_CONTINUE));
    return WaitForControl(installer, IDC_DEST_FOLDER);
}

// On the destination page: types the folder, picks the scope, presses
// Continue and waits for the progress page.
inline bool BeginInstall(ui::Installer& installer, const Options& options)
{
    if (!options.wideFolder.empty())
        SendMessageW(ui::Control(installer.frame, IDC_DEST_FOLDER), WM_SETTEXT, 0, (LPARAM)options.wideFolder.c_str());
    else if (!options.folder.empty())
        SendMessageA(ui::Control(installer.frame, IDC_DEST_FOLDER), WM_SETTEXT, 0, (LPARAM)options.folder.c_str());
    if (options.scope != 0) {
        // Continue must not overtake the choice: wait until the radio shows it.
        HWND radio = ui::Control(installer.frame, options.scope);
        if (radio == nullptr)
            return false;
        ui::Click(radio);
        if (!ui::WaitUntil([&] { return SendMessageA(radio, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 10000))
            return false;
    }
    ui::Click(ui::Control(installer.frame, IDC_CONTINUE));
    return WaitForControl(installer, IDC_FILE_BAR);
}

inline int BarPosition(HWND bar)
{
    DWORD_PTR position = (DWORD_PTR)-1;
    if (!bar || !SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &position))
        return -1;
    return (int)position;
}

// A label's text read until two reads a moment apart agree: a read can meet
// the label while it is being replaced and see part of the new text.
inline std::string StableText(HWND label)
{
    std::string text = ui::Text(label);
    for (int i = 0; i < 10; ++i) {
        Sleep(3);
        std::string again = ui::Text(label);
        if (again == text)
            break;
        text = again;
    }
    return text;
}

// Watches the progress page until the finish page is shown (or timeout),
// answering each message box with OK; with stopAtBox, until the first box,
// which is left open for the caller.
inline Watch WatchProgress(const ui::Installer& installer, DWORD timeoutMs = 60000, bool stopAtBox = false)
{
    Watch watch;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (ui::Control(installer.frame, IDC_RUN_ON_EXIT)) {
            watch.finished = true;
            break;
        }
        ui::MessageBox box;
        bool boxOpen = ui::OpenMessageBox(installer) != nullptr;
        if (boxOpen && stopAtBox) {
            // The label the box stopped at is still shown: read it once more.
            std::string text = StableText(ui::Control(installer.frame, IDC_FILE_LABEL));
            if (!text.empty() && (watch.fileLabels.empty() || watch.fileLabels.back() != text))
                watch.fileLabels.push_back(text);
            watch.boxOpen = true;
            break;
        }
        if (boxOpen && ui::WaitForMessageBox(installer, box, "NOVLA Setup", 1000)) {
            watch.boxes.push_back(box.text);
            ui::AnswerMessageBox(box);
            ui::WaitUntil([&] { return !IsWindow(box.window); });
            continue;
        }
        HWND file = ui::Control(installer.frame, IDC_FILE_LABEL);
        HWND shortcut = ui::Control(installer.frame, IDC_SHORTCUT_LABEL);
        if (file) {
            std::string text = StableText(file);
            // Empty between pages and while the page goes away.
            if (!text.empty() && (watch.fileLabels.empty() || watch.fileLabels.back() != text))
                watch.fileLabels.push_back(text);
            if (text == "Success" && watch.fileBarAtSuccess < 0)
                watch.fileBarAtSuccess = BarPosition(ui::Control(installer.frame, IDC_FILE_BAR));
        }
        if (shortcut) {
            std::string text = StableText(shortcut);
            if (!text.empty() && (watch.shortcutLabels.empty() || watch.shortcutLabels.back() != text))
                watch.shortcutLabels.push_back(text);
            if (text == "Success" && watch.shortcutBarAtSuccess < 0)
                watch.shortcutBarAtSuccess = BarPosition(ui::Control(installer.frame, IDC_SHORTCUT_BAR));
        }
        if (ui::WaitForExit(const_cast<ui::Installer&>(installer), 0) != STILL_ACTIVE)
            break;
        Sleep(10);
    }
    watch.milliseconds = GetTickCount() - start;
    return watch;
}

// On the finish page: optionally ticks "run on exit", then Close.
inline DWORD Close(ui::Installer& installer, bool runOnExit = false)
{
    if (runOnExit)
        ui::Click(ui::Control(installer.frame, IDC_RUN_ON_EXIT));
    ui::Click(ui::Control(installer.frame, IDC_CANCEL));
    return ui::WaitForExit(installer);
}

// A whole installation with these options, ended by Close (ticking "run on
// exit" when asked): true when the finish page was reached and the installer
// ended with 1. proposed, when given, receives the destination page's
// folder as the page opened.
inline bool CompleteInstall(const Options& options, bool runOnExit = false, std::string* proposed = nullptr)
{
    ui::Installer installer;
    bool done = ToDestination(installer, options);
    if (done && proposed)
        *proposed = ui::ControlText(installer.frame, IDC_DEST_FOLDER);
    done = done && BeginInstall(installer, options) && WatchProgress(installer).finished &&
           Close(installer, runOnExit) == 1;
    ui::Kill(installer);
    return done;
}

// ---- What the installation must leave ----

inline std::string WineVersion() { return ui::EnvPath("NOVLA_WINE_VERSION"); }
// NT from XP on takes the modern rows; 98 and 2000 the legacy ones.
inline bool ModernGeneration()
{
    std::string v = WineVersion();
    return v != "win98" && v != "win2k";
}
// The rows written on this generation, in table order.
inline std::vector<int> RowsOfThisGeneration()
{
    if (ModernGeneration())
        return {1, 3, 4, 6, 7, 8, 9, 10, 11, 12};
    return {0, 2, 4, 5, 7, 8, 9, 10, 11, 12};
}
inline std::vector<int> RowsOfTheOtherGeneration()
{
    return ModernGeneration() ? std::vector<int>{0, 2, 5} : std::vector<int>{1, 3, 6};
}

inline std::string Capitalised(std::string path)
{
    std::vector<char> buffer(path.begin(), path.end());
    buffer.push_back('\0');
    CapitalizePath(buffer.data());
    return buffer.data();
}
inline std::string WindowsFolder()
{
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, MAX_PATH);
    return Capitalised(path);
}
inline std::string SystemFolder()
{
    char path[MAX_PATH];
    GetSystemDirectoryA(path, MAX_PATH);
    return Capitalised(path);
}

inline const char* const kDefaultFolder = "C:\\Program Files\\Novla\\Tessaronix";

// The path a row is written to, with the program folder given.
inline std::string TargetOf(int row, const std::string& program)
{
    const PayloadRow& e = g_payloadTable.rows[row];
    std::string folder = (e.flags & FOLDER_WINDOWS) ? WindowsFolder() : (e.flags & FOLDER_SYSTEM) ? SystemFolder()
                                                                                                  : program;
    return folder + "\\" + e.fileName;
}

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::string("<missing>");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The product's own file of a row, as the build packed it.
inline std::string ProductFile(int row)
{
    return ReadAll(ui::EnvPath("NOVLA_PRODUCT_DIR") + "\\" + g_payloadTable.rows[row].resourceName);
}

// 20 July 2007 05:00:00 local time in UTC, by the bias in force now.
inline ULONGLONG ExpectedFileTime()
{
    SYSTEMTIME local = {2007, 7, 5, 20, 5, 0, 0, 0};
    FILETIME asIfUtc;
    SystemTimeToFileTime(&local, &asIfUtc);
    TIME_ZONE_INFORMATION zone;
    DWORD id = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias + (id == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias
                             : id == TIME_ZONE_ID_STANDARD ? zone.StandardBias
                                                           : 0);
    ULARGE_INTEGER t;
    t.LowPart = asIfUtc.dwLowDateTime;
    t.HighPart = asIfUtc.dwHighDateTime;
    return t.QuadPart + (LONGLONG)bias * 60 * 10000000LL;
}

struct FileTimes {
    bool read = false;
    ULONGLONG creation = 0, access = 0, write = 0;
};
inline ULONGLONG AsNumber(const FILETIME& t) { return ((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime; }
// Read without opening the file's contents (a read would move its access
// time).
inline FileTimes TimesOf(const std::string& path)
{
    FileTimes times;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        times.read = true;
        times.creation = AsNumber(data.ftCreationTime);
        times.access = AsNumber(data.ftLastAccessTime);
        times.write = AsNumber(data.ftLastWriteTime);
    }
    return times;
}

// Everything that can be read from an open file or pipe; closes it.
inline std::string ReadToEnd(HANDLE handle)
{
    std::string bytes;
    char buffer[65536];
    DWORD got;
    while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(handle);
    return bytes;
}

// Wine's own uninstaller, a real reader of the uninstall entry, lists it.
inline std::string UninstallerList()
{
    PROCESS_INFORMATION process{};
    HANDLE readEnd;
    if (!ui::StartPiped("", "uninstaller.exe --list", process, readEnd))
        return "";
    std::string output = ReadToEnd(readEnd);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return output;
}

inline void WriteFileText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

}  // namespace install
