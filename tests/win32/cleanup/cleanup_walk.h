#pragma once
// Driving the uninstaller from a test, and what it must leave: a snapshot
// of the prefix (the files of drive C:, the keys and values of
// HKLM\Software and HKCU\Software) to compare before an installation and
// after the removal, and the removals waiting for the restart. Test code.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "record/install_record.h"
#include "tests/win32/install/install_walk.h"
#include "tests/win32/shell/shell_expect.h"

namespace cleanup {

inline std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    return text;
}
// The Windows folder as the system spells it, as a snapshot lists it.
inline std::string Windows()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}
inline std::string RecordPath() { return Windows() + "\\Tessaronix Install.log"; }
inline std::string Self() { return Windows() + "\\TSXCleanup.exe"; }
inline bool NtFamily() { return install::WineVersion() != "win98"; }

// ---- Snapshots ----

// Item -> state: "F <path>" -> "<size> <write time>", "D <path>" -> "",
// "R <path>" (a link to a folder, not entered) -> "", "K HKLM\<key>" -> "",
// "V HKLM\<key>|<name>" -> "<type>:<data in hex>". Temporary folders, where
// Wine comes and goes, are left out.
using Snapshot = std::map<std::string, std::string>;

inline void AddFound(Snapshot& shot, const std::string& path, const WIN32_FIND_DATAA& found)
{
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        shot["R " + path] = "";
    } else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        shot["F " + path] = std::to_string(found.nFileSizeLow) + " " + std::to_string(install::AsNumber(found.ftLastWriteTime));
    } else if (path.size() < 5 || Lower(path.substr(path.size() - 5)) != "\\temp") {
        shot["D " + path] = "";
        WIN32_FIND_DATAA inside;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &inside);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &inside))
            if (strcmp(inside.cFileName, ".") != 0 && strcmp(inside.cFileName, "..") != 0)
                AddFound(shot, path + "\\" + inside.cFileName, inside);
        FindClose(search);
    }
}

inline void AddKey(Snapshot& shot, HKEY parent, const std::string& name, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    shot["K " + path] = "";
    static BYTE data[64 * 1024];
    char text[16384];
    for (DWORD i = 0, size = sizeof data, length = sizeof text, type;
         RegEnumValueA(key, i, text, &length, nullptr, &type, data, &size) == ERROR_SUCCESS;
         ++i, size = sizeof data, length = sizeof text) {
        std::string& state = shot["V " + path + "|" + text] = std::to_string(type) + ":";
        for (DWORD b = 0; b < size; ++b)
            state += std::string{"0123456789ABCDEF"[data[b] >> 4], "0123456789ABCDEF"[data[b] & 15]};
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0, length = 256; RegEnumKeyExA(key, i, text, &length, nullptr, nullptr, nullptr, nullptr) ==
                                    ERROR_SUCCESS;
         ++i, length = 256)
        subkeys.push_back(text);
    for (const std::string& subkey : subkeys)
        AddKey(shot, key, subkey, path + "\\" + subkey);
    RegCloseKey(key);
}

inline Snapshot Take()
{
    Snapshot shot;
    WIN32_FIND_DATAA drive = {};
    drive.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    AddFound(shot, "C:", drive);
    AddKey(shot, HKEY_LOCAL_MACHINE, "Software", "HKLM\\Software");
    AddKey(shot, HKEY_CURRENT_USER, "Software", "HKCU\\Software");
    // Wine's own settings change as it pleases.
    shot.erase(shot.lower_bound("K HKCU\\Software\\Wine"), shot.lower_bound("K HKCU\\Software\\Winf"));
    shot.erase(shot.lower_bound("V HKCU\\Software\\Wine"), shot.lower_bound("V HKCU\\Software\\Winf"));
    return shot;
}

// Every item that differs: "+ item" (new), "- item" (gone), "~ item"
// (changed), less the items named in except (without regard to case).
inline std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after,
                                            std::vector<std::string> except = {})
{
    for (std::string& item : except)
        item = Lower(item);
    std::vector<std::string> out;
    auto note = [&](const char* sign, const std::string& item) {
        if (std::find(except.begin(), except.end(), Lower(item)) == except.end())
            out.push_back(sign + item);
    };
    for (const auto& item : after) {
        auto old = before.find(item.first);
        if (old == before.end() || old->second != item.second)
            note(old == before.end() ? "+ " : "~ ", item.first);
    }
    for (const auto& item : before)
        if (after.find(item.first) == after.end())
            note("- ", item.first);
    std::sort(out.begin(), out.end());
    return out;
}

// What waits for the restart: the uninstaller itself, and on Windows 9x
// its start-up rename list; and what that system keeps of the list after.
inline std::vector<std::string> Waiting() { return {"F " + Self(), "F " + Windows() + "\\WININIT.INI"}; }
inline std::vector<std::string> Restarted() { return {"F " + Windows() + "\\WININIT.BAK"}; }

inline void SetDefaultValue(HKEY root, const char* path, const std::string& data, DWORD type = REG_SZ)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, nullptr, 0, type, (const BYTE*)data.c_str(), (DWORD)data.size() + 1);
    RegCloseKey(key);
}

// What Windows has and a fresh prefix lacks: the find extensions' key, and
// a "find" verb on folders and drives, which the installation replaces.
inline void GiveWindowsFindVerbs()
{
    expect::EnsureFindExtensionsKey();
    SetDefaultValue(HKEY_CLASSES_ROOT, "Directory\\shell\\find\\command", "%SystemRoot%\\Explorer.exe /find",
                    REG_EXPAND_SZ);
    SetDefaultValue(HKEY_CLASSES_ROOT, "Drive\\shell\\find\\command", "%SystemRoot%\\Explorer.exe /find,%1",
                    REG_EXPAND_SZ);
}

// Installs with the options given (aborted: the run must end in its
// failure boxes, two unless boxes says otherwise); the snapshot after it.
inline Snapshot Install(const install::Options& options, bool aborted = false, int boxes = 2)
{
    ui::Installer installer;
    bool walked = install::ToDestination(installer, options) && install::BeginInstall(installer, options);
    EXPECT_TRUE(walked);
    for (int i = 0; walked && aborted && i < boxes; ++i) {
        ui::MessageBox box;
        EXPECT_TRUE(ui::WaitForMessageBox(installer, box, "NOVLA Setup", 30000));
        ui::AnswerMessageBox(box);
        ui::WaitUntil([&] { return !IsWindow(box.window); });
    }
    EXPECT_TRUE(!walked || aborted || install::WatchProgress(installer).finished);
    EXPECT_EQ(1u, aborted ? ui::WaitForExit(installer) : install::Close(installer));
    ui::Kill(installer);
    return Take();
}

// ---- The uninstaller ----

inline const char* const kQuestion = "Do you want to remove NOVLA Tessaronix from this computer?";
inline const char* const kRemoved = "NOVLA Tessaronix was removed from this computer.";
inline const char* const kNothing = "NOVLA Tessaronix is not installed: there is nothing to remove.";

struct Removal {
    std::vector<std::string> boxes;  // the texts, in order
    std::vector<UINT> icons;
    DWORD exitCode = STILL_ACTIVE;
};

// Starts program (by default the installed uninstaller) with arguments and
// answers the uninstaller's boxes: the question with answer, every other
// box with OK, until the program ends. A program started with arguments is
// Wine's uninstaller, which starts ours: the boxes are then looked for in
// any process.
inline Removal Uninstall(int answer = IDYES, const ui::Environment& extra = {}, const std::string& program = Self(),
                         const std::string& arguments = "")
{
    Removal removal;
    ui::Installer process, boxes;
    if (!ui::LaunchProgram(process, program, arguments, extra)) {
        ADD_FAILURE() << "cannot start " << program;
        return removal;
    }
    if (arguments.empty())
        boxes = process;
    DWORD start = GetTickCount();
    while (ui::WaitForExit(process, 0) == STILL_ACTIVE && removal.boxes.size() < 6) {
        if (GetTickCount() - start > 120000) {
            ADD_FAILURE() << program << " still runs after two minutes";
            break;
        }
        ui::MessageBox box;
        if (!ui::WaitForMessageBox(boxes, box, "NOVLA Setup", 500))
            continue;
        removal.boxes.push_back(box.text);
        removal.icons.push_back(box.icon);
        ui::AnswerMessageBox(box, GetDlgItem(box.window, IDYES) ? answer : IDOK);
        ui::WaitUntil([&] { return !IsWindow(box.window); });
    }
    removal.exitCode = ui::WaitForExit(process);
    ui::Kill(process);
    return removal;
}

// ---- The restart ----

// How a removal of path waits for the restart: its path on NT, its short
// path on Windows 9x; in lower case.
inline std::string Pending(const std::string& path)
{
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return Lower(NtFamily() ? path : shortPath);
}

// The removals waiting for the restart, sorted, in lower case: the sources
// of the session manager's list on NT (without their "\??\"), the NUL lines
// of WININIT.INI on Windows 9x.
inline std::vector<std::string> PendingRemovals()
{
    std::vector<std::string> pending;
    std::string list = Lower(install::ReadAll(Windows() + "\\WININIT.INI"));
    for (size_t at = list.find("nul="); !NtFamily() && at != std::string::npos; at = list.find("nul=", at + 1))
        pending.push_back(list.substr(at + 4, list.find('\r', at) - at - 4));
    expect::RawValue raw = expect::ReadValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                             "PendingFileRenameOperations");
    for (size_t at = 0; NtFamily() && at + 4 < raw.bytes.size() && raw.bytes[at] != '\0';) {
        std::string source = raw.bytes.c_str() + at;
        pending.push_back(Lower(source.substr(4)));
        at += source.size() + 1;
        at += strlen(raw.bytes.c_str() + at) + 1;  // the target, empty for a removal
    }
    std::sort(pending.begin(), pending.end());
    return pending;
}

// Restarts Wine's session as Windows starts again: the pending removals
// and renames are carried out.
inline void Restart()
{
    PROCESS_INFORMATION process{};
    HANDLE output;
    ASSERT_TRUE(ui::StartPiped("", "wineboot.exe -r", process, output));
    CloseHandle(output);
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

}  // namespace cleanup
