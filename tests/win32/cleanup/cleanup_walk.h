#pragma once
// Driving the uninstaller from a test, and what it must leave: a snapshot
// of the prefix (the files of drive C: and the registry of the software
// hives) to compare before the installation and after the removal, and the
// restart's pending removals. Test code.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "payload/install_record.h"
#include "tests/win32/install/install_walk.h"
#include "tests/win32/shell/shell_expect.h"

namespace cleanup {

// The Windows folder as the system spells it, as a snapshot lists it.
inline std::string Windows()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}
inline std::string RecordPath() { return Windows() + "\\Tessaronix Install.log"; }
inline std::string InstalledUninstaller() { return Windows() + "\\TSXCleanup.exe"; }
inline bool NtFamily() { return install::WineVersion() != "win98"; }
inline std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    return text;
}

// ---- Snapshots ----

// Item -> state: "F <path>" -> "<size> <write time>", "D <path>" -> "",
// "R <path>" (a link to a folder, not entered) -> "", "K <root>\<key>" -> "",
// "V <root>\<key>|<name>" -> "<type>:<hex data>".
using Snapshot = std::map<std::string, std::string>;

// Wine's own churn between two moments: temporary files and logs.
inline bool IsChurn(const std::string& path)
{
    std::string lower = Lower(path);
    return lower.find("\\temp\\") != std::string::npos || lower.size() >= 5 && lower.rfind("\\temp") == lower.size() - 5;
}

// Adds what was found at path, and with below set what is in a folder.
inline void AddFound(Snapshot& shot, const std::string& path, const WIN32_FIND_DATAA& found, bool below)
{
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        shot["R " + path] = "";
    } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        shot["D " + path] = "";
        WIN32_FIND_DATAA inside;
        HANDLE search = below ? FindFirstFileA((path + "\\*").c_str(), &inside) : INVALID_HANDLE_VALUE;
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            std::string name = inside.cFileName;
            if (name != "." && name != ".." && !IsChurn(path + "\\" + name))
                AddFound(shot, path + "\\" + name, inside, true);
        } while (FindNextFileA(search, &inside));
        FindClose(search);
    } else {
        ULONGLONG size = ((ULONGLONG)found.nFileSizeHigh << 32) | found.nFileSizeLow;
        shot["F " + path] = std::to_string(size) + " " + std::to_string(install::AsNumber(found.ftLastWriteTime));
    }
}

inline std::string Hex(const BYTE* data, DWORD size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (DWORD i = 0; i < size; ++i)
        out += std::string{digits[data[i] >> 4], digits[data[i] & 15]};
    return out;
}

inline void AddKey(Snapshot& shot, HKEY parent, const std::string& name, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    shot["K " + path] = "";
    std::vector<BYTE> data(64 * 1024);
    char valueName[16384];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof valueName, size = (DWORD)data.size(), type = 0;
        if (RegEnumValueA(key, i, valueName, &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        shot["V " + path + "|" + valueName] = std::to_string(type) + ":" + Hex(data.data(), size);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char subkey[256];
        DWORD size = sizeof subkey;
        if (RegEnumKeyExA(key, i, subkey, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.push_back(subkey);
    }
    for (const std::string& subkey : subkeys)
        AddKey(shot, key, subkey, path + "\\" + subkey);
    RegCloseKey(key);
}

// The files of drive C: and the keys and values of HKLM\Software (HKCR's
// own are in its Classes), HKCU\Software less Wine's own settings.
inline Snapshot Take()
{
    Snapshot shot;
    WIN32_FIND_DATAA drive = {};
    drive.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    AddFound(shot, "C:", drive, true);
    shot.erase("D C:");
    AddKey(shot, HKEY_LOCAL_MACHINE, "Software", "HKLM\\Software");
    AddKey(shot, HKEY_CURRENT_USER, "Software", "HKCU\\Software");
    for (auto it = shot.begin(); it != shot.end();)
        it = it->first.compare(2, 18, "HKCU\\Software\\Wine") == 0 ? shot.erase(it) : std::next(it);
    return shot;
}

// Every item that differs: "+ item" (new), "- item" (gone), "~ item"
// (changed), less the items named in except (without regard to case).
inline std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after,
                                            const std::vector<std::string>& except = {})
{
    std::vector<std::string> out;
    auto excepted = [&](const std::string& item) {
        for (const std::string& e : except)
            if (Lower(e) == Lower(item))
                return true;
        return false;
    };
    for (const auto& item : after) {
        auto old = before.find(item.first);
        if (excepted(item.first))
            continue;
        if (old == before.end())
            out.push_back("+ " + item.first);
        else if (old->second != item.second)
            out.push_back("~ " + item.first);
    }
    for (const auto& item : before)
        if (after.find(item.first) == after.end() && !excepted(item.first))
            out.push_back("- " + item.first);
    return out;
}

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

// ---- The record, until the installer writes its own ----

inline std::string Line(const RecordEntry& entry)
{
    char line[RECORD_LINE_CAPACITY];
    return FormatRecordLine(line, sizeof line, &entry) ? line : "<unwritable entry>\r\n";
}

// Appends to the record the entries of what an installation changed
// between two snapshots, in the order the installer acts: the run, folders
// (parents first), files and links, keys (parents first), values. The
// maker's two keys are left out, as the installer's start-up makes them.
inline void AppendRecordOf(const Snapshot& before, const Snapshot& after, bool allUsers, const std::string& folder)
{
    std::string text = GetFileAttributesA(RecordPath().c_str()) == INVALID_FILE_ATTRIBUTES ? kRecordHeader : "";
    text += Line({'I', (uint8_t)allUsers, 0, folder.c_str(), nullptr, 0, nullptr, 0});
    std::string sections[4];  // D, F and L, K, V
    std::vector<std::vector<uint8_t>> data;
    for (const auto& item : after) {
        auto old = before.find(item.first);
        if ((old != before.end() && old->second == item.second) || item.first.find("Install.log") != std::string::npos)
            continue;
        char kind = item.first[0];
        std::string path = item.first.substr(2);
        uint8_t root = REGISTRY_HKLM;
        if (kind == 'K' || kind == 'V') {
            path = path.substr(5);  // "HKLM\"
            if (path.compare(0, 17, "Software\\Classes\\") == 0) {
                root = REGISTRY_HKCR;
                path = path.substr(17);
            }
        }
        bool existed = old != before.end();
        if (kind == 'D') {
            sections[0] += Line({'D', 0, 0, path.c_str(), nullptr, 0, nullptr, 0});
        } else if (kind == 'F') {
            bool link = path.size() > 4 && path.compare(path.size() - 4, 4, ".lnk") == 0;
            sections[1] += Line({link ? 'L' : 'F', (uint8_t)existed, 0, path.c_str(), nullptr, 0, nullptr, 0});
        } else if (kind == 'K' && path != "Software\\Novla" && path != "Software\\Novla\\Programs") {
            sections[2] += Line({'K', 0, root, path.c_str(), nullptr, 0, nullptr, 0});
        } else if (kind == 'V') {
            size_t bar = path.find('|');
            std::string key = path.substr(0, bar), name = path.substr(bar + 1);
            RecordEntry entry = {'V', (uint8_t)existed, root, key.c_str(), name.c_str(), 0, nullptr, 0};
            std::vector<uint8_t> bytes;
            if (existed) {
                size_t colon = old->second.find(':');
                entry.type = (uint32_t)std::stoul(old->second.substr(0, colon));
                for (size_t i = colon + 1; i + 1 < old->second.size(); i += 2)
                    bytes.push_back((uint8_t)std::stoi(old->second.substr(i, 2), nullptr, 16));
                entry.data = bytes.data();
                entry.dataSize = (uint32_t)bytes.size();
            }
            sections[3] += Line(entry);
        }
    }
    text += sections[0] + sections[1] + sections[2] + sections[3];
    HANDLE file = CreateFileA(RecordPath().c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr);
    CloseHandle(file);
}

// Installs with the options given and, while the installer does not write
// its record yet, writes the entries of what it did; before is the
// snapshot before this installation. With aborted set, the run must end in
// its two failure boxes. Returns the snapshot after it.
inline Snapshot InstallRecorded(const install::Options& options, const Snapshot& before, bool aborted = false)
{
    std::string recordBefore = install::ReadAll(RecordPath());
    ui::Installer installer;
    bool walked = install::ToDestination(installer, options) && install::BeginInstall(installer, options);
    EXPECT_TRUE(walked);
    for (int i = 0; walked && aborted && i < 2; ++i) {
        ui::MessageBox box;
        EXPECT_TRUE(ui::WaitForMessageBox(installer, box, "NOVLA Setup", 30000));
        ui::AnswerMessageBox(box);
        ui::WaitUntil([&] { return !IsWindow(box.window); });
    }
    if (walked && !aborted)
        EXPECT_TRUE(install::WatchProgress(installer).finished);
    EXPECT_EQ(1u, aborted ? ui::WaitForExit(installer) : install::Close(installer));
    ui::Kill(installer);
    Snapshot after = Take();
    if (install::ReadAll(RecordPath()) == recordBefore) {
        AppendRecordOf(before, after, options.scope == 0 ? NtFamily() : options.scope == IDC_SCOPE_ALL,
                       options.folder.empty() ? install::kDefaultFolder : options.folder);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(RecordPath().c_str(), &found);
        AddFound(after, RecordPath(), found, false);
        FindClose(search);
    }
    return after;
}

// ---- The uninstaller ----

struct Removal {
    std::vector<std::string> boxes;  // the texts, in order
    std::vector<UINT> icons;
    DWORD exitCode = STILL_ACTIVE;
};

// Starts program with arguments and answers the uninstaller's boxes: the
// question with answer, every other box with OK, until the program ends.
// A program started with arguments is the system's uninstaller, which
// starts ours: its boxes are then looked for in any process.
inline Removal Uninstall(const std::string& program, int answer = IDYES, const ui::Environment& extra = {},
                         const std::string& arguments = "")
{
    Removal removal;
    ui::Installer process;
    bool started = ui::LaunchProgram(process, program, arguments, extra);
    EXPECT_TRUE(started) << program;
    if (!started)
        return removal;
    ui::Installer boxes = process;
    if (!arguments.empty())
        boxes.process.dwProcessId = 0;
    while (ui::WaitForExit(process, 0) == STILL_ACTIVE && removal.boxes.size() < 6) {
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

inline const char* const kQuestion = "Do you want to remove NOVLA Tessaronix from this computer?";
inline const char* const kRemoved = "NOVLA Tessaronix was removed from this computer.";
inline const char* const kNothing = "NOVLA Tessaronix is not installed: there is nothing to remove.";
// Wine's uninstaller, the system's reader of the uninstall entries.
inline std::string SystemUninstaller() { return install::SystemFolder() + "\\uninstaller.exe"; }

// ---- The restart ----

// The removals waiting for the restart, in lower case: the session
// manager's list on NT (each path without its "\??\" prefix), the NUL
// lines of WININIT.INI on Windows 9x.
inline std::vector<std::string> PendingRemovals()
{
    std::vector<std::string> pending;
    if (NtFamily()) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                          &key) != ERROR_SUCCESS)
            return pending;
        std::vector<char> data(64 * 1024);
        DWORD size = (DWORD)data.size();
        if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, (BYTE*)data.data(), &size) ==
            ERROR_SUCCESS) {
            for (size_t at = 0; at < size && data[at] != '\0'; at += strlen(&data[at]) + 1) {
                std::string source = &data[at];
                at += source.size() + 1;  // then the target, empty for a removal
                pending.push_back(Lower(source.compare(0, 4, "\\??\\") == 0 ? source.substr(4) : source));
            }
        }
        RegCloseKey(key);
        return pending;
    }
    std::string list = install::ReadAll(install::WindowsFolder() + "\\WININIT.INI");
    for (size_t at = list.find("NUL="); at != std::string::npos; at = list.find("NUL=", at + 1))
        pending.push_back(Lower(list.substr(at + 4, list.find('\r', at) - at - 4)));
    return pending;
}

// The short path, as WININIT.INI names a file.
inline std::string ShortPath(const std::string& path)
{
    char out[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), out, MAX_PATH);
    return out;
}

// What a pending removal of path looks like on this system.
inline std::string Pending(const std::string& path) { return Lower(NtFamily() ? path : ShortPath(path)); }

// Restarts Wine's session as Windows would start again: the pending
// removals and renames are carried out.
inline void Restart()
{
    PROCESS_INFORMATION process{};
    HANDLE output;
    if (ui::StartPiped("", "wineboot.exe -r", process, output)) {
        CloseHandle(output);
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

}  // namespace cleanup
