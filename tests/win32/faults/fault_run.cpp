// One run of the fault sweep (scripts/fault-sweep.sh), in a fresh
// prefix: the test build walked through a whole installation into an
// existing folder of the user's with one guarded call failed, every message
// box answered with OK, then judged from its fault log (the calls it made,
// the texts it showed) and from what it left on disk and in the registry.
//   fault_run OUTDIR FAULT [persist]
// FAULT is a NOVLA_FAULT selection (NAME, NAME#N, #N) or "none". OUTDIR (a
// Windows path) receives calls.log, prefix (the run's Wine prefix, for the
// host-side checks) and result. Prints one line "RESULT <class> ..." and
// exits 0 when the run is acceptable, 1 when it is not (class BAD-<reason>).
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/win32/cleanup/cleanup_walk.h"
#include "tests/win32/install/install_walk.h"
#include "tests/win32/faults/fault_user_files.h"
#include "tests/win32/shell/shell_expect.h"
#include "tests/win32/wizard/wizard_walk.h"

namespace {

using faults::kProgram;
using faults::kTimeLimitMs;
using faults::UserFile;
using faults::UserFiles;

// ---- The fault log: guarded calls and the texts the user was shown ----

struct Log {
    std::vector<std::string> calls;                  // calls[i]: guarded call i + 1
    std::vector<std::string> boxes;                  // message box texts, in order
    std::vector<std::pair<int, std::string>> items;  // SetDlgItemTextA id and text
};

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 'x' && i + 2 < text.size()) {
            out += (char)std::stoi(text.substr(i + 1, 2), nullptr, 16);
            i += 2;
        } else
            out += c;
    }
    return out;
}

Log ReadLog(const std::string& path)
{
    Log log;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    const std::string item = "- SetDlgItemTextA ", box = "- MessageBoxA ";
    while (std::getline(in, line)) {
        if (line.compare(0, item.size(), item) == 0) {
            size_t space = line.find(' ', item.size());
            if (space != std::string::npos)
                log.items.push_back({std::atoi(line.c_str() + item.size()), Unescape(line.substr(space + 1))});
        } else if (line.compare(0, box.size(), box) == 0) {
            log.boxes.push_back(Unescape(line.substr(box.size())));
        } else if (size_t space = line.find(' '); space != std::string::npos) {
            log.calls.push_back(line.substr(space + 1));
        }
    }
    return log;
}

bool Showed(const Log& log, int id, const std::string& text)
{
    return std::find(log.items.begin(), log.items.end(), std::make_pair(id, text)) != log.items.end();
}
bool ShowedIn(const Log& log, int id)
{
    return std::any_of(log.items.begin(), log.items.end(), [&](const auto& item) { return item.first == id; });
}
bool BoxBegins(const Log& log, const std::string& start)
{
    return std::any_of(log.boxes.begin(), log.boxes.end(),
                       [&](const std::string& text) { return text.compare(0, start.size(), start) == 0; });
}

// The call the selection names, when the run made it: "#N" the Nth guarded
// call, "NAME" or "NAME#N" the first or Nth call of that name. Empty when
// the run never got there.
std::string SelectedCall(const Log& log, const std::string& fault)
{
    size_t hash = fault.find('#');
    std::string name = fault.substr(0, hash);
    size_t n = hash == std::string::npos ? 1 : std::stoul(fault.substr(hash + 1));
    if (name.empty())
        return n <= log.calls.size() ? log.calls[n - 1] : "";
    return (size_t)std::count(log.calls.begin(), log.calls.end(), name) >= n ? name : "";
}

// ---- The walk ----

struct Walk {
    bool timedOut = false;
    bool cancelled = false;  // the walk could not go on and pressed Cancel
    bool finishSeen = false;
    DWORD exitCode = STILL_ACTIVE;
};

void ClickWhenEnabled(HWND frame, int id)
{
    HWND button = ui::Control(frame, id);
    if (button && ui::IsEnabled(button))
        ui::Click(button);
}

// Answers every box; on each page does what the user would, once, and again
// when the page is still there a moment later (a box refused the step). A
// page that will not let the walk on (Continue disabled, or refused three
// times) is left with Cancel.
Walk WalkInstallation(ui::Installer& installer)
{
    Walk walk;
    DWORD start = GetTickCount(), actedAt = 0;
    int actedOn = 0, attempts = 0;
    while (WaitForSingleObject(installer.process.hProcess, 20) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > kTimeLimitMs) {
            walk.timedOut = true;
            ui::Kill(installer);
            return walk;
        }
        if (HWND box = ui::OpenMessageBox(installer)) {
            ui::MessageBox answer;
            answer.window = box;
            ui::AnswerMessageBox(answer);
            ui::WaitUntil([&] { return !IsWindow(box); }, 5000);
            continue;
        }
        // Only what the user could click: a page that shows, in a frame that
        // no box holds disabled.
        installer.frame = ui::FindFrame(installer);
        HWND frame = installer.frame;
        bool usable = frame && IsWindowVisible(frame) && IsWindowEnabled(frame) && ui::CurrentPage(frame) &&
                      IsWindowVisible(ui::CurrentPage(frame));
        int page = usable ? walk::PageShown(frame) : 0;
        if (page == 0 || page == 4 || (page == actedOn && GetTickCount() - actedAt < 2000))
            continue;
        ui::Settle(installer);
        if (!IsWindowEnabled(frame))
            continue;
        attempts = page == actedOn ? attempts + 1 : 0;
        actedOn = page;
        actedAt = GetTickCount();
        HWND next = ui::Control(frame, IDC_CONTINUE);
        if (page == 5) {
            walk.finishSeen = true;
            ui::Click(ui::Control(frame, IDC_CANCEL));
        } else if (attempts >= 3 || (page == 1 && !ui::IsEnabled(next))) {
            walk.cancelled = true;
            ui::Click(ui::Control(frame, IDC_CANCEL));
        } else if (page == 2) {
            HWND accept = ui::Control(frame, IDC_ACCEPT);
            if (SendMessageA(accept, BM_GETCHECK, 0, 0) != BST_CHECKED)
                ui::Click(accept);
            ui::Settle(installer);
            ClickWhenEnabled(frame, IDC_CONTINUE);
        } else {
            if (page == 3)
                SendMessageA(ui::Control(frame, IDC_DEST_FOLDER), WM_SETTEXT, 0, (LPARAM)kProgram);
            ClickWhenEnabled(frame, IDC_CONTINUE);
        }
    }
    walk.exitCode = ui::WaitForExit(installer, 0);
    ui::Kill(installer);
    return walk;
}

// ---- What the run left ----

struct Left {
    int filesExact = 0, filesExpected = 0;
    std::string partialFile;  // a target file that exists and is not the product's
    int links = 0;            // of the 7 group links and the desktop link, made right
    int missingValues = 0;    // registry values absent or not as the installation writes them
    std::string userFileChanged;
    std::vector<std::string> changes;  // files and registry items that differ from before the run
};

bool LinkRight(const std::string& file, const std::string& folder, const std::string& target, const std::string& name)
{
    expect::Link link = expect::ResolveLink(file);
    return link.loaded && link.target == folder + "\\" + target && link.workingFolder == folder &&
           link.description == name;
}

Left Inspect(const cleanup::Snapshot& before)
{
    Left left;
    // What waits for the restart is on its way out.
    std::vector<std::string> pending = {"F " + cleanup::Windows() + "\\WININIT.INI"};
    for (const std::string& path : cleanup::PendingRemovals())
        pending.push_back("F " + path);
    left.changes = cleanup::Differences(before, cleanup::Take(), pending);
    for (int row : install::RowsOfThisGeneration()) {
        std::string path = install::TargetOf(row, kProgram);
        ++left.filesExpected;
        if (!expect::FileExists(path))
            continue;
        if (install::ReadAll(path) == install::ProductFile(row))
            ++left.filesExact;
        else
            left.partialFile = path;
    }
    bool nt = install::WineVersion() != "win98";
    std::string group = expect::SpecialFolder(nt ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + "\\NOVLA\\Tessaronix\\";
    for (const expect::ExpectedLink& e : expect::GroupLinks())
        left.links += LinkRight(group + e.name + ".lnk", e.inProgramFolder ? kProgram : install::WindowsFolder(), e.file,
                                e.name);
    std::string desktop = expect::SpecialFolder(nt ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
    left.links += LinkRight(desktop + "\\Tessaronix.lnk", kProgram, "Tessaronix.exe", "Tessaronix");
    for (const expect::Value& v : expect::RegistryValues(kProgram, install::WindowsFolder(), install::SystemFolder(),
                                                         g_productInfo.helpLink)) {
        expect::RawValue raw = expect::ReadValue(v.root, v.key, v.name);
        left.missingValues += !(raw.found && raw.type == REG_SZ && raw.bytes == expect::Stored(v.data));
    }
    for (const UserFile& f : UserFiles())
        if (install::ReadAll(f.path) != f.text)
            left.userFileChanged = f.path;
    return left;
}

// "The program files were installed, but N shortcuts could not be created
// [and M registry entries could not be written]." read back: false when no
// such box was shown.
bool ReadShortfall(const Log& log, int& shortcuts, int& entries)
{
    const std::string start = "The program files were installed, but ";
    shortcuts = entries = 0;
    for (const std::string& text : log.boxes) {
        if (text.compare(0, start.size(), start) != 0)
            continue;
        for (size_t at = start.size(); at < text.size();) {
            int n = std::atoi(text.c_str() + at);
            size_t word = text.find(' ', at) + 1;
            (text.compare(word, 8, "shortcut") == 0 ? shortcuts : entries) = n;
            size_t more = text.find(" and ", word);
            at = more == std::string::npos ? text.size() : more + 5;
        }
        return true;
    }
    return false;
}

// ---- The verdict ----

std::string Judge(const Walk& walk, const Log& log, const Left& left, bool reached)
{
    if (walk.timedOut)
        return "BAD-hang";
    if (walk.exitCode != 1)
        return walk.exitCode >= 0xC0000000u ? "BAD-crash" : "BAD-exit-code";
    if (!left.userFileChanged.empty())
        return "BAD-user-file-changed";
    if (!left.partialFile.empty())
        return "BAD-partial-file";
    bool allFiles = left.filesExact == left.filesExpected;
    // An aborted run undoes what it wrote: "Success" was true when shown.
    bool aborted = BoxBegins(log, "Installation Aborted!") || BoxBegins(log, "Setup cannot show its next page");
    if (Showed(log, IDC_FILE_LABEL, "Success") && !allFiles && !aborted)
        return "BAD-false-file-success";
    if (Showed(log, IDC_SHORTCUT_LABEL, "Success") && left.links != 8 && !aborted)
        return "BAD-false-shortcut-success";
    std::string verdict;
    if (ShowedIn(log, IDC_DONE_TEXT) || walk.finishSeen) {
        int shortcuts, entries;
        bool warned = ReadShortfall(log, shortcuts, entries);
        if (aborted)
            return "BAD-finish-after-abort";
        if (!allFiles)
            return "BAD-finish-without-files";
        if (8 - left.links != shortcuts)
            return "BAD-shortcuts-missing-" + std::to_string(8 - left.links) + "-told-" + std::to_string(shortcuts);
        if (left.missingValues != entries)
            return "BAD-registry-missing-" + std::to_string(left.missingValues) + "-told-" + std::to_string(entries);
        verdict = warned ? "completed-with-warning" : "completed";
    } else if (aborted) {
        verdict = "aborted";
    } else if (BoxBegins(log, "The setup file is damaged") || BoxBegins(log, "Setup cannot tell which version") ||
               BoxBegins(log, "Setup cannot open its window") || ShowedIn(log, IDC_WARNING_TEXT)) {
        verdict = "refused-at-start";
    } else if (walk.cancelled) {
        verdict = "cancelled";
    } else {
        return "BAD-ended-without-a-word";
    }
    if (!reached)
        return verdict == "completed" ? "fault-not-reached" : "BAD-not-reached-but-" + verdict;
    // A run that did not install leaves nothing: an abort undoes itself, a
    // refusal or a cancel made nothing (the administrator probe included).
    bool installed = verdict == "completed" || verdict == "completed-with-warning";
    if (!installed && !left.changes.empty())
        return "BAD-" + verdict + "-left-" + std::to_string(left.changes.size()) + "-changes";
    return verdict;
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: fault_run OUTDIR FAULT [persist]\n");
        return 2;
    }
    const std::string out = argv[1], fault = argv[2] == std::string("none") ? "" : argv[2];
    const bool persist = argc > 3 && std::string(argv[3]) == "persist";
    const std::string logPath = out + "\\calls.log";
    DeleteFileA(logPath.c_str());
    WriteText(out + "\\prefix", ui::EnvPath("WINEPREFIX"));

    // The prefix as the user had it: an existing folder of theirs that the
    // installation goes to, a file of theirs in it and one on the desktop,
    // and the find extensions' key that every Windows has.
    expect::EnsureFindExtensionsKey();
    CreateDirectoryA("C:\\Projects", nullptr);
    CreateDirectoryA(kProgram, nullptr);
    for (const UserFile& f : UserFiles())
        WriteText(f.path, f.text);

    ui::Installer installer;
    ui::Environment environment = {"NOVLA_FAULT=" + fault, std::string("NOVLA_FAULT_PERSIST=") + (persist ? "1" : "0"),
                                   "NOVLA_FAULT_LOG=" + logPath, "NOVLA_FAULT_PACE=0"};
    // Everything as it was before the installer started, for a run that
    // does not install.
    cleanup::Snapshot before = cleanup::Take();
    Walk walk;
    if (ui::Launch(installer, ui::Build::Faults, environment))
        walk = WalkInstallation(installer);
    else
        walk.exitCode = GetLastError();

    Log log = ReadLog(logPath);
    std::string call = fault.empty() ? "" : SelectedCall(log, fault);
    Left left = Inspect(before);
    std::string verdict = Judge(walk, log, left, fault.empty() || !call.empty());
    if (verdict.find("-left-") != std::string::npos)
        for (const std::string& change : left.changes)
            std::printf("CHANGED %s\n", change.c_str());
    std::string line = "RESULT " + verdict + " fault=" + (fault.empty() ? "none" : fault) +
                       (persist ? " from-then-on" : " once") + " call=" + (call.empty() ? "-" : call) +
                       " calls=" + std::to_string(log.calls.size()) + " boxes=" + std::to_string(log.boxes.size());
    WriteText(out + "\\result", line + "\n");
    std::printf("%s\n", line.c_str());
    return verdict.compare(0, 4, "BAD-") == 0 ? 1 : 0;
}
