// One run of the uninstaller's fault sweep (scripts/fault-sweep.sh
// --cleanup). First, once, in the prefix that becomes the runs' template:
//   cleanup_fault_run OUTDIR install
// a whole installation into an existing folder of the user's, with a file of
// the user's in it and one beside the desktop link; OUTDIR receives the
// prefix's state before and after it (before.snap, installed.snap). Then,
// each in a fresh copy of that prefix:
//   cleanup_fault_run OUTDIR FAULT [persist]
// the uninstaller's test build with one guarded call failed (FAULT as
// NOVLA_FAULT: NAME, NAME#N, #N or "none"), every box answered (Yes to the
// question, OK to the rest), judged from its exit code, the texts it showed
// and what it left against the two states (NOVLA_CLEANUP_SNAPSHOTS, the
// install run's OUTDIR). Prints "RESULT <class> ..." and exits 1 for a class
// BAD-<reason>. The judge: the process ends by itself; no exit 0 and no
// "removed" box while a product item is still there; the record afterwards
// names exactly the items still there (nothing gone is listed, nothing
// there is missing; a record the run says it could not rewrite may still
// list what is gone); nothing the installation did not make or change has
// changed; the user's files are as they were; a run that changed nothing
// says so (exit 3) and one that says nothing is installed leaves nothing.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "record/install_record.h"
#include "tests/win32/cleanup/cleanup_walk.h"
#include "tests/win32/faults/fault_user_files.h"
#include "tests/win32/install/install_walk.h"
#include "tests/win32/shell/shell_expect.h"

namespace {

using faults::kProgram;
using faults::kTimeLimitMs;
using faults::UserFile;
using faults::UserFiles;

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A snapshot as lines of item TAB state.
void Save(const cleanup::Snapshot& shot, const std::string& path)
{
    std::string text;
    for (const auto& item : shot)
        text += item.first + "\t" + item.second + "\n";
    WriteText(path, text);
}
cleanup::Snapshot Load(const std::string& path)
{
    cleanup::Snapshot shot;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        size_t tab = line.rfind('\t');
        if (tab != std::string::npos)
            shot[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return shot;
}

int Install(const std::string& out)
{
    expect::EnsureFindExtensionsKey();
    cleanup::GiveWindowsFindVerbs();
    CreateDirectoryA("C:\\Projects", nullptr);
    CreateDirectoryA(kProgram, nullptr);
    for (const UserFile& f : UserFiles())
        WriteText(f.path, f.text);
    Save(cleanup::Take(), out + "\\before.snap");
    install::Options options;
    options.folder = kProgram;
    ui::Installer installer;
    bool done = install::ToDestination(installer, options) && install::BeginInstall(installer, options) &&
                install::WatchProgress(installer).finished && install::Close(installer) == 1;
    ui::Kill(installer);
    Save(cleanup::Take(), out + "\\installed.snap");
    std::printf("RESULT %s\n", done ? "installed" : "BAD-install-failed");
    return done ? 0 : 1;
}

// ---- The run ----

struct Run {
    std::vector<std::string> boxes;
    DWORD exitCode = STILL_ACTIVE;
    bool timedOut = false;
};

Run RunUninstaller(const ui::Environment& environment)
{
    Run run;
    ui::Installer process;
    if (!ui::LaunchProgram(process, ui::EnvPath("NOVLA_CLEANUP_FAULTS"), "", environment)) {
        run.exitCode = GetLastError();
        return run;
    }
    DWORD start = GetTickCount();
    while (ui::WaitForExit(process, 0) == STILL_ACTIVE) {
        if (GetTickCount() - start > kTimeLimitMs) {
            run.timedOut = true;
            break;
        }
        ui::MessageBox box;
        if (!ui::WaitForMessageBox(process, box, "NOVLA Setup", 200))
            continue;
        run.boxes.push_back(box.text);
        ui::AnswerMessageBox(box, GetDlgItem(box.window, IDYES) ? IDYES : IDOK);
        ui::WaitUntil([&] { return !IsWindow(box.window); }, 5000);
    }
    run.exitCode = run.timedOut ? STILL_ACTIVE : ui::WaitForExit(process);
    ui::Kill(process);
    return run;
}

// The snapshot items the record's entries name, in lower case.
std::set<std::string> RecordItems(std::string text)
{
    std::set<std::string> items;
    static RecordView view;
    if (text.empty() || !ParseRecord(&text[0], text.size(), &view))
        return items;
    for (unsigned i = 0; i < view.entryCount; ++i) {
        const RecordEntry& e = view.entries[i];
        std::string key = e.path ? e.path : "";
        if (e.kind == RECORD_KEY || e.kind == RECORD_VALUE)
            key = (e.root == REGISTRY_HKLM ? "HKLM\\" : "HKLM\\Software\\Classes\\") + key;
        if (e.kind == RECORD_FILE || e.kind == RECORD_LINK)
            items.insert(cleanup::Lower("F " + key));
        else if (e.kind == RECORD_FOLDER)
            items.insert(cleanup::Lower("D " + key));
        else if (e.kind == RECORD_KEY)
            items.insert(cleanup::Lower("K " + key));
        else if (e.kind == RECORD_VALUE)
            items.insert(cleanup::Lower("V " + key + "|" + e.valueName));
    }
    return items;
}

std::string Judge(const Run& run, const cleanup::Snapshot& before, const cleanup::Snapshot& installed,
                  const std::string& recordAfter)
{
    if (run.timedOut)
        return "BAD-hang";
    if (run.exitCode >= 0xC0000000u)
        return "BAD-crash";
    for (const UserFile& f : UserFiles())
        if (install::ReadAll(f.path) != f.text)
            return "BAD-user-file-changed";
    cleanup::Snapshot now = cleanup::Take();
    // What waits for the restart is on its way out; the record is judged by
    // what it names.
    std::set<std::string> pending;
    for (const std::string& path : cleanup::PendingRemovals()) {
        pending.insert("f " + path);
        pending.insert("d " + path);  // a folder holding only what goes then
    }
    const std::string record = cleanup::Lower("F " + cleanup::RecordPath());
    std::set<std::string> keys;
    for (const auto& item : before)
        keys.insert(item.first);
    for (const auto& item : installed)
        keys.insert(item.first);
    for (const auto& item : now)
        keys.insert(item.first);
    // The items still as the installation left them, and those neither as
    // before nor as installed (half undone, or changed by the run alone).
    std::set<std::string> remaining;
    size_t made = 0;  // items the installation made or changed, the record aside
    auto state = [](const cleanup::Snapshot& shot, const std::string& key) {
        auto found = shot.find(key);
        return found == shot.end() ? std::string("\x01" "absent") : found->second;
    };
    for (const std::string& key : keys) {
        std::string lower = cleanup::Lower(key);
        if (lower == record || pending.count(lower) || lower == cleanup::Lower("F " + cleanup::Windows() + "\\WININIT.INI"))
            continue;
        std::string was = state(before, key), as = state(installed, key), is = state(now, key);
        made += as != was;
        if (is == was)
            continue;
        // The maker's keys are the product's place: the rights probe makes
        // and deletes a key there, and a key it could not delete stays.
        if (as == was && lower.rfind("k hklm\\software\\novla", 0) == 0 && is != "\x01" "absent")
            continue;
        if (as == was || is != as)
            std::printf("ITEM %s\n", key.c_str());
        if (as == was)
            return "BAD-changed-outside";  // the run changed what the installation never touched
        if (is != as)
            return "BAD-half-undone";
        remaining.insert(lower);
    }
    bool saidRemoved = std::any_of(run.boxes.begin(), run.boxes.end(), [](const std::string& text) {
        return text.rfind("NOVLA Tessaronix was removed from this computer.", 0) == 0;
    });
    for (const std::string& item : remaining)
        std::printf("LEFT %s\n", item.c_str());
    if ((run.exitCode == 0 || saidRemoved) && !remaining.empty())
        return "BAD-removed-but-" + std::to_string(remaining.size()) + "-left";
    if (run.exitCode == 2 && !remaining.empty())
        return "BAD-not-installed-but-" + std::to_string(remaining.size()) + "-left";
    // Every item still there is named by the record, but the maker's keys,
    // which no run records and which go when they are empty.
    std::set<std::string> named = RecordItems(recordAfter);
    for (const std::string& item : remaining)
        if (!named.count(item) && item != "k hklm\\software\\novla" && item != "k hklm\\software\\novla\\programs") {
            std::printf("ITEM %s\n", item.c_str());
            return "BAD-left-unrecorded";
        }
    bool recordStale = std::any_of(run.boxes.begin(), run.boxes.end(), [](const std::string& text) {
        return text.find(cleanup::RecordPath()) != std::string::npos;
    });
    if (!recordStale)
        for (const std::string& item : named)
            if (!remaining.count(item)) {
                std::printf("ITEM %s\n", item.c_str());
                return "BAD-record-lists-what-is-gone";
            }
    switch (run.exitCode) {
    case 0:
        return "removed";
    case 1:
        // The question was not answered Yes: its box could not be shown.
        return remaining.size() == made ? "declined" : "BAD-declined-but-changed";
    case 2:
        return "not-installed";
    case 3:
        // Nothing changed: every item the installation made is still there.
        return remaining.size() == made ? "refused" : "BAD-refused-but-changed";
    case 4:
        return "incomplete";
    }
    return "BAD-exit-code-" + std::to_string(run.exitCode);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: cleanup_fault_run OUTDIR install | OUTDIR FAULT [persist]\n");
        return 2;
    }
    const std::string out = argv[1];
    WriteText(out + "\\prefix", ui::EnvPath("WINEPREFIX"));
    if (argv[2] == std::string("install"))
        return Install(out);
    const std::string fault = argv[2] == std::string("none") ? "" : argv[2];
    const bool persist = argc > 3 && std::string(argv[3]) == "persist";
    const std::string snapshots = ui::EnvPath("NOVLA_CLEANUP_SNAPSHOTS");
    cleanup::Snapshot before = Load(snapshots + "\\before.snap"), installed = Load(snapshots + "\\installed.snap");
    // The template's files are shared with this copy (hard links): the
    // record, which the run rewrites in place, gets a file of its own.
    std::string record = install::ReadAll(cleanup::RecordPath());
    DeleteFileA(cleanup::RecordPath().c_str());
    WriteText(cleanup::RecordPath(), record);

    const std::string logPath = out + "\\calls.log";
    DeleteFileA(logPath.c_str());
    Run run = RunUninstaller({"NOVLA_FAULT=" + fault, std::string("NOVLA_FAULT_PERSIST=") + (persist ? "1" : "0"),
                              "NOVLA_FAULT_LOG=" + logPath});
    // The calls made: "N NAME" lines of the log.
    std::vector<std::string> calls;
    {
        std::ifstream in(logPath, std::ios::binary);
        std::string line;
        while (std::getline(in, line))
            if (!line.empty() && line[0] != '-' && line.find(' ') != std::string::npos)
                calls.push_back(line.substr(line.find(' ') + 1));
    }
    size_t hash = fault.find('#');
    std::string name = fault.substr(0, hash);
    size_t n = hash == std::string::npos ? 1 : std::stoul(fault.substr(hash + 1));
    bool reached = fault.empty() || (name.empty() ? n <= calls.size()
                                                  : (size_t)std::count(calls.begin(), calls.end(), name) >= n);
    std::string verdict = Judge(run, before, installed, install::ReadAll(cleanup::RecordPath()));
    if (!reached && verdict == "removed")
        verdict = "fault-not-reached";
    else if (!reached && verdict.compare(0, 4, "BAD-") != 0 && verdict != "declined")
        verdict = "BAD-not-reached-but-" + verdict;
    std::string line = "RESULT " + verdict + " fault=" + (fault.empty() ? "none" : fault) +
                       (persist ? " from-then-on" : " once") + " exit=" + std::to_string(run.exitCode) +
                       " calls=" + std::to_string(calls.size()) + " boxes=" + std::to_string(run.boxes.size());
    for (const std::string& text : run.boxes)
        std::printf("BOX %s\n", text.c_str());
    WriteText(out + "\\result", line + "\n");
    std::printf("%s\n", line.c_str());
    return verdict.compare(0, 4, "BAD-") == 0 ? 1 : 0;
}
