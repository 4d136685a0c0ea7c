#include "ui_driver.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace ui {

std::string EnvPath(const char* name)
{
    char value[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return (n > 0 && n < sizeof value) ? std::string(value) : std::string();
}

static std::string BuildEnvironmentBlock(const Environment& extra)
{
    // Start from this process's environment, minus the names being replaced.
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* p = strings; *p; p += strlen(p) + 1) {
        std::string entry(p);
        bool replaced = false;
        for (const std::string& e : extra) {
            size_t eq = e.find('=');
            if (eq != std::string::npos && _strnicmp(entry.c_str(), e.c_str(), eq + 1) == 0)
                replaced = true;
        }
        if (!replaced)
            block += entry + '\0';
    }
    FreeEnvironmentStringsA(strings);
    for (const std::string& e : extra)
        block += e + '\0';
    block += '\0';
    return block;
}

bool Launch(Installer& installer, Build build, const Environment& extra)
{
    return LaunchProgram(installer, EnvPath(build == Build::Release ? "NOVLA_INSTALLER" : "NOVLA_INSTALLER_FAULTS"),
                         "", extra);
}

bool LaunchProgram(Installer& installer, const std::string& path, const std::string& arguments,
                   const Environment& extra)
{
    if (path.empty())
        return false;
    std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::string environment = BuildEnvironmentBlock(extra);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    installer = Installer{};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &environment[0], nullptr,
                        &startup, &installer.process))
        return false;
    return true;
}

bool Start(Installer& installer, Build build, const Environment& extra, DWORD timeoutMs)
{
    if (!Launch(installer, build, extra))
        return false;
    WaitForInputIdle(installer.process.hProcess, timeoutMs);
    bool found = WaitUntil([&] { return (installer.frame = FindFrame(installer)) != nullptr; }, timeoutMs);
    if (found)
        Settle(installer);
    return found;
}

void Kill(Installer& installer)
{
    if (installer.process.hProcess) {
        if (WaitForSingleObject(installer.process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(installer.process.hProcess, 99);
            WaitForSingleObject(installer.process.hProcess, 5000);
        }
        CloseHandle(installer.process.hProcess);
        CloseHandle(installer.process.hThread);
    }
    installer = Installer{};
}

DWORD WaitForExit(Installer& installer, DWORD timeoutMs)
{
    if (WaitForSingleObject(installer.process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(installer.process.hProcess, &code);
    return code;
}

namespace {
struct FindState {
    DWORD pid;
    const char* className;
    const char* title;
    HWND found;
    bool visibleOnly = false;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM lParam)
{
    FindState* state = reinterpret_cast<FindState*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (state->pid != 0 && pid != state->pid)
        return TRUE;
    if (ClassName(window) != state->className)
        return TRUE;
    if (state->title && Text(window) != state->title)
        return TRUE;
    if (state->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    state->found = window;
    return FALSE;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindControlById(HWND window, LPARAM lParam)
{
    ControlSearch* search = reinterpret_cast<ControlSearch*>(lParam);
    if (GetDlgCtrlID(window) == search->id && ClassName(window) != "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindFrame(const Installer& installer)
{
    FindState state{installer.process.dwProcessId, "SetupDlg", nullptr, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND Control(HWND frame, int id)
{
    // The frame's own controls first (100 to 102), then the page's.
    HWND direct = GetDlgItem(frame, id);
    if (direct)
        return direct;
    ControlSearch search{id, nullptr};
    EnumChildWindows(frame, FindControlById, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND CurrentPage(HWND frame)
{
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "#32770")
            return child;
    }
    return nullptr;
}

std::string Text(HWND window)
{
    // WM_GETTEXT reaches the owning thread; fine for a live installer.
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

std::string ControlText(HWND frame, int id)
{
    HWND control = Control(frame, id);
    return control ? Text(control) : std::string("<no control>");
}

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }
bool IsVisible(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT ScreenRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

LONG Style(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

std::string ClassName(HWND window)
{
    char name[128];
    int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void PostCommand(HWND window, int id, int code)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), 0);
}

void Settle(const Installer& installer, DWORD extraMs)
{
    // A sent message returns only once the installer's thread has taken it,
    // after what was posted before it.
    HWND frame = installer.frame ? installer.frame : FindFrame(installer);
    if (frame) {
        DWORD_PTR result;
        SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    }
    WaitForInputIdle(installer.process.hProcess, 2000);
    Sleep(extraMs);
}

// The pixels of a w x h area of a DC, as 32-bit values.
static std::vector<DWORD> PixelsOf(HDC dc, HBITMAP bitmap, int w, int h)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels((size_t)w * h);
    GetDIBits(dc, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    for (DWORD& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

static UINT IconOf(HWND box)
{
    // The box's icon is a Static with SS_ICON. Icon handles are not shared
    // between processes under Wine, so compare what is on the screen with
    // each standard icon drawn here over the same background: the closest
    // one, when it is close, is the box's icon.
    struct Known {
        LPCSTR id;
        UINT flag;
    } known[] = {{IDI_HAND, MB_ICONERROR}, {IDI_EXCLAMATION, MB_ICONWARNING},
                 {IDI_ASTERISK, MB_ICONINFORMATION}, {IDI_QUESTION, MB_ICONQUESTION}};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON || ClassName(child) != "Static")
            continue;
        const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
        UINT best = 0xFFFF;
        // The box may still be painting: look again for a moment.
        for (int attempt = 0; attempt < 20 && best == 0xFFFF; ++attempt) {
            RECT r = ScreenRect(child);
            HDC screen = GetDC(nullptr);
            HBITMAP shotBitmap = CaptureScreen(r.left, r.top, w, h);
            std::vector<DWORD> onScreen = PixelsOf(screen, shotBitmap, w, h);
            COLORREF background = GetPixel(screen, r.left, r.top);
            size_t bestDiff = (size_t)w * h / 8;
            for (const Known& k : known) {
                HDC drawn = CreateCompatibleDC(screen);
                HBITMAP drawnBitmap = CreateCompatibleBitmap(screen, w, h);
                HGDIOBJ oldDrawn = SelectObject(drawn, drawnBitmap);
                HBRUSH brush = CreateSolidBrush(background);
                RECT all{0, 0, w, h};
                FillRect(drawn, &all, brush);
                DeleteObject(brush);
                DrawIconEx(drawn, 0, 0, LoadIconA(nullptr, k.id), w, h, 0, nullptr, DI_NORMAL);
                SelectObject(drawn, oldDrawn);
                std::vector<DWORD> expected = PixelsOf(drawn, drawnBitmap, w, h);
                size_t diff = 0;
                for (size_t i = 0; i < expected.size(); ++i)
                    diff += expected[i] != onScreen[i];
                if (diff < bestDiff) {
                    bestDiff = diff;
                    best = k.flag;
                }
                DeleteObject(drawnBitmap);
                DeleteDC(drawn);
            }
            DeleteObject(shotBitmap);
            ReleaseDC(nullptr, screen);
            if (best == 0xFFFF)
                Sleep(50);
        }
        return best;  // 0xFFFF: an icon, but not a standard one
    }
    return 0;
}

bool WaitForMessageBox(const Installer& installer, MessageBox& box, const char* title, DWORD timeoutMs)
{
    FindState state{installer.process.dwProcessId, "#32770", title, nullptr};
    bool found = WaitUntil(
        [&] {
            state.found = nullptr;
            EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
            return state.found != nullptr && IsWindowVisible(state.found);
        },
        timeoutMs);
    if (!found)
        return false;
    box.window = state.found;
    box.title = Text(state.found);
    box.text.clear();
    for (HWND child = GetWindow(state.found, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON &&
            GetDlgCtrlID(child) != -1 && !Text(child).empty())
            box.text = Text(child);
    }
    box.icon = IconOf(state.found);
    return true;
}

void AnswerMessageBox(const MessageBox& box, int button)
{
    if (button != IDOK) {
        PostMessageA(GetDlgItem(box.window, button), BM_CLICK, 0, 0);
        return;
    }
    HWND ok = GetDlgItem(box.window, IDOK);
    if (!ok)
        ok = GetDlgItem(box.window, IDCANCEL);
    if (ok)
        PostMessageA(ok, BM_CLICK, 0, 0);
    else
        PostMessageA(box.window, WM_COMMAND, IDOK, 0);
}

HWND OpenMessageBox(const Installer& installer)
{
    FindState state{installer.process.dwProcessId, "#32770", nullptr, nullptr, true};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HBITMAP CaptureScreen(int x, int y, int width, int height)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// Saves a screen rectangle as a 24-bit BMP file.
static bool SaveScreenArea(const std::string& path, int left, int top, int width, int height)
{
    HBITMAP bitmap = CaptureScreen(left, top, width, height);
    HDC screen = GetDC(nullptr);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    DWORD stride = (width * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(stride * height);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&header, sizeof header, 1, out);
    fwrite(pixels.data(), pixels.size(), 1, out);
    fclose(out);
    return true;
}

bool SaveScreen(const std::string& path)
{
    return SaveScreenArea(path, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool SaveWindow(HWND window, const std::string& path)
{
    RECT r = ScreenRect(window);
    return SaveScreenArea(path, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool StartPiped(const std::string& program, std::string commandLine, PROCESS_INFORMATION& process,
                HANDLE& output)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE writeEnd;
    if (!CreatePipe(&output, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    bool started = CreateProcessA(program.empty() ? nullptr : program.c_str(), &commandLine[0], nullptr, nullptr,
                                  TRUE, 0, nullptr, nullptr, &startup, &process) != FALSE;
    // The child holds the only write end now: reads end when it exits.
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(output);
        output = nullptr;
    }
    return started;
}

bool HoldFile(FileHolder& holder, const std::string& path)
{
    static int serial = 0;
    std::string eventName = "NovlaRelease" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
    holder.release = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    std::string program = EnvPath("NOVLA_TEST_HELPERS") + "\\hold_file.exe";
    HANDLE readEnd;
    if (!StartPiped(program, "\"" + program + "\" \"" + path + "\" " + eventName, holder.process, readEnd))
        return false;
    char line[16] = {};
    DWORD got = 0;
    bool held = ReadFile(readEnd, line, 4, &got, nullptr) && got == 4 && memcmp(line, "held", 4) == 0;
    CloseHandle(readEnd);
    return held;
}

void ReleaseFile(FileHolder& holder)
{
    if (holder.release)
        SetEvent(holder.release);
    if (holder.process.hProcess) {
        WaitForSingleObject(holder.process.hProcess, 10000);
        CloseHandle(holder.process.hProcess);
        CloseHandle(holder.process.hThread);
    }
    if (holder.release)
        CloseHandle(holder.release);
    holder = FileHolder{};
}

}  // namespace ui
