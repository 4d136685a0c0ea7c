// wine-versions: win98 winxp
// What the record makes the installer and the uninstaller do beyond a
// finished installation: an aborted installation undoes itself, over an
// earlier one too, which stays removable; one that cannot read the record
// leaves it as it was; a damaged record, one written in another code page,
// an all-users installation without the rights (NT), entries outside the
// product and a file that was there before change nothing; what fails to be
// undone stays in the record, and the next run removes it. What the
// uninstaller leaves alone (entries outside the product, a program folder
// an older installer recorded as Windows would not read it, the shortcuts of
// another account) stays in the record too, and the run ends with 4 and
// says why; once the other account's folders are back, the next run
// removes the rest.
// A reinstallation cut off anywhere leaves, after the next start, one whole
// installation.
#include <gtest/gtest.h>

#include "cleanup_walk.h"

using Texts = std::vector<std::string>;

const char* const kNotAll =
    "NOVLA Tessaronix was not removed completely: the installation record keeps what was left alone.";

TEST(CleanupRecord, AnAbortedInstallationUndoesItselfAndLeavesAnEarlierOneRemovable)
{
    // Alone: Catalyne.chm, the fifth file, cannot be created (a folder is
    // there). Nothing is left, not even the record or the uninstaller.
    const std::string program = install::kDefaultFolder, blocker = program + "\\Catalyne.chm";
    CreateDirectoryA("C:\\Program Files\\Novla", nullptr);
    CreateDirectoryA(program.c_str(), nullptr);
    CreateDirectoryA(blocker.c_str(), nullptr);
    cleanup::Snapshot before = cleanup::Take();
    EXPECT_EQ(Texts{}, cleanup::Differences(before, cleanup::Install(install::Options{}, true)));
    RemoveDirectoryA(blocker.c_str());

    // Over a whole installation: a second run whose shortcut step cannot
    // start takes back only its own entries. The first installation's files,
    // which the second wrote anew, stay, and so does its record, line for
    // line; the uninstaller then removes all of it.
    before = cleanup::Take();
    cleanup::Snapshot installed = cleanup::Install(install::Options{});
    const std::string record = install::ReadAll(cleanup::RecordPath());
    install::Options again;
    again.build = ui::Build::Faults;
    again.environment = {"NOVLA_FAULT=CoInitialize"};
    // The record was written again: the same bytes, a later time.
    EXPECT_EQ(Texts{"~ F " + cleanup::RecordPath()},
              cleanup::Differences(installed, cleanup::Install(again, true, 1)));
    EXPECT_EQ(record, install::ReadAll(cleanup::RecordPath()));
    cleanup::Removal removal = cleanup::Uninstall();
    EXPECT_EQ((Texts{cleanup::kQuestion, cleanup::kRemoved}), removal.boxes);
    EXPECT_EQ(0u, removal.exitCode);
    EXPECT_EQ(Texts{}, cleanup::Differences(before, cleanup::Take(), cleanup::Waiting()));
}

TEST(CleanupRecord, RefusesWhatIsNotOursAndKeepsWhatFailedForTheNextRun)
{
    // An installation of the test's making, into a folder of the user's
    // where Ordering.txt already was: the updater, and a document type.
    const std::string folder = "C:\\Data\\Tessaronix", windows = cleanup::Windows();
    CreateDirectoryA("C:\\Data", nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    install::WriteFileText(folder + "\\Ordering.txt", "the user's own");
    install::WriteFileText("C:\\Data\\Upkeep.exe", "another program's");
    cleanup::Snapshot before = cleanup::Take();
    install::WriteFileText(folder + "\\Upkeep.exe", "updater");
    cleanup::SetDefaultValue(HKEY_CLASSES_ROOT, ".n_tsx", "n_tsxFile");
    const std::string run = "I\t1\t" + folder + "\r\n", key = "K\tHKCR\t.n_tsx\r\n";
    const std::string entries = run + "F\t1\t" + folder + "\\Ordering.txt\r\nF\t0\t" + folder + "\\Upkeep.exe\r\n" +
                                key + "V\tHKCR\t.n_tsx\t\t-\t\r\n" +
                                // Outside the product: never obeyed.
                                "F\t0\tC:\\Data\\Upkeep.exe\r\nF\t0\t" + windows + "\\notepad.exe\r\nD\t" + windows +
                                "\r\nK\tHKCR\ttxtfile\\shell\r\nV\tHKCR\ttxtfile\t\t-\t\r\n";
    cleanup::Snapshot made = cleanup::Take();
    const std::string faults = ui::EnvPath("NOVLA_CLEANUP_FAULTS");

    install::WriteFileText(cleanup::RecordPath(), "NOVLA Setup installation record 2\r\n" + entries);
    cleanup::Removal damaged = cleanup::Uninstall(IDYES, {}, faults);
    EXPECT_EQ(Texts{"The installation record of NOVLA Tessaronix is damaged. Nothing was removed."}, damaged.boxes);
    EXPECT_EQ(3u, damaged.exitCode);
    // A run of another code page: its paths would name other places here.
    const unsigned other = GetACP() == 932 ? 950 : 932;
    install::WriteFileText(cleanup::RecordPath(),
                           kRecordHeader + run + "C\t" + std::to_string(other) + "\r\n" + entries.substr(run.size()));
    cleanup::Removal foreign = cleanup::Uninstall(IDYES, {}, faults);
    EXPECT_EQ(Texts{"The installation record of NOVLA Tessaronix was written under another language for non-Unicode "
                    "programs (code page " + std::to_string(other) + "; this computer now uses " +
                    std::to_string(GetACP()) + "). Nothing was removed.\r\n\r\nSwitch back to that language, then "
                    "remove NOVLA Tessaronix again."},
              foreign.boxes);
    EXPECT_EQ(3u, foreign.exitCode);
    install::WriteFileText(cleanup::RecordPath(), kRecordHeader + entries);
    if (cleanup::NtFamily()) {
        cleanup::Removal refused = cleanup::Uninstall(IDYES, {"NOVLA_FAULT=RegCreateKeyExA"}, faults);
        EXPECT_EQ((Texts{cleanup::kQuestion, "NOVLA Tessaronix was installed for all users: only an administrator "
                                             "can remove it. Nothing was removed."}),
                  refused.boxes);
        EXPECT_EQ(3u, refused.exitCode);
    }
    EXPECT_EQ(Texts{}, cleanup::Differences(made, cleanup::Take(), {"F " + cleanup::RecordPath()}));

    // The key cannot be deleted.
    // (On NT, the rights probe deletes its test key and the maker's two keys
    // it had to make first.)
    const char* fault = cleanup::NtFamily() ? "NOVLA_FAULT=RegDeleteKeyA#4" : "NOVLA_FAULT=RegDeleteKeyA#1";
    // The entries outside the product were dropped from the record with
    // the undone ones, and the retry said the product was removed.
    const std::string outside = entries.substr(entries.find("F\t0\tC:\\Data\\Upkeep.exe"));
    const std::string leftAlone = "\r\n\r\nThe items C:\\Data\\Upkeep.exe, " + windows + "\\notepad.exe, " + windows +
                                  " and 2 more were left alone: NOVLA Tessaronix does not install them.";
    cleanup::Removal partly = cleanup::Uninstall(IDYES, {fault}, faults);
    EXPECT_EQ((Texts{cleanup::kQuestion, "Some parts of NOVLA Tessaronix could not be removed: HKEY_CLASSES_ROOT\\"
                                         ".n_tsx.\r\n\r\nThe file " + folder + "\\Ordering.txt was kept: it was there "
                                         "before NOVLA Tessaronix was installed." + leftAlone}),
              partly.boxes);
    EXPECT_EQ((std::vector<UINT>{MB_ICONQUESTION, MB_ICONWARNING}), partly.icons);
    EXPECT_EQ(4u, partly.exitCode);
    EXPECT_EQ(kRecordHeader + run + key + outside, install::ReadAll(cleanup::RecordPath()));
    cleanup::Removal retried = cleanup::Uninstall(IDYES, {}, faults);
    EXPECT_EQ((Texts{cleanup::kQuestion, std::string(kNotAll) + leftAlone}), retried.boxes);
    EXPECT_EQ(4u, retried.exitCode);
    EXPECT_EQ(kRecordHeader + run + outside, install::ReadAll(cleanup::RecordPath()));
    EXPECT_EQ(Texts{}, cleanup::Differences(before, cleanup::Take(), {"F " + cleanup::RecordPath()}));
}

// A record of an older installer that took "C:\Apps\..\Tessaronix" as typed:
// its program folder was refused, its files left, and the record deleted.
TEST(CleanupRecord, KeepsWhatAnUnsoundProgramFolderHolds)
{
    const std::string odd = "C:\\Apps\\..\\Tessaronix";
    CreateDirectoryA("C:\\Apps", nullptr);
    CreateDirectoryA("C:\\Tessaronix", nullptr);
    install::WriteFileText("C:\\Tessaronix\\Upkeep.exe", "updater");
    cleanup::SetDefaultValue(HKEY_CLASSES_ROOT, ".n_tsx", "n_tsxFile");
    const std::string kept = "I\t0\t" + odd + "\r\nD\t" + odd + "\r\nF\t0\t" + odd + "\\Upkeep.exe\r\n";
    install::WriteFileText(cleanup::RecordPath(), kRecordHeader + kept + "K\tHKCR\t.n_tsx\r\nV\tHKCR\t.n_tsx\t\t-\t\r\n");
    cleanup::Removal removal = cleanup::Uninstall(IDYES, {}, ui::EnvPath("NOVLA_CLEANUP_FAULTS"));
    EXPECT_EQ((Texts{cleanup::kQuestion, std::string(kNotAll) + "\r\n\r\nThe program folder " + odd +
                                             " was left alone: the installation record names it otherwise than "
                                             "Windows reads it, so nothing in it is removed."}),
              removal.boxes);
    EXPECT_EQ(4u, removal.exitCode);
    EXPECT_EQ(kRecordHeader + kept, install::ReadAll(cleanup::RecordPath()));
    EXPECT_EQ("updater", install::ReadAll("C:\\Tessaronix\\Upkeep.exe"));
    HKEY key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CLASSES_ROOT, ".n_tsx", 0, KEY_READ, &key));
    // Removed by hand, as the user would, for the cases after this one.
    DeleteFileA(cleanup::RecordPath().c_str());
    DeleteFileA("C:\\Tessaronix\\Upkeep.exe");
    RemoveDirectoryA("C:\\Tessaronix");
    RemoveDirectoryA("C:\\Apps");
}

// An installation's shortcuts for this user, removed by an account whose
// Start menu and desktop are elsewhere: they were refused, dropped from the
// record, and the removal said the product was gone.
TEST(CleanupRecord, KeepsAnotherAccountsShortcutsUntilThatAccountRemovesThem)
{
    if (!cleanup::NtFamily())
        GTEST_SKIP() << "the shortcut scope is chosen on NT-class systems";
    const std::string otherDesktop = "C:\\Other\\Desktop", otherPrograms = "C:\\Other\\Programs";
    CreateDirectoryA("C:\\Other", nullptr);
    CreateDirectoryA(otherDesktop.c_str(), nullptr);
    CreateDirectoryA(otherPrograms.c_str(), nullptr);
    cleanup::Snapshot before = cleanup::Take();
    install::Options forMe;
    forMe.scope = IDC_SCOPE_USER;
    cleanup::Install(forMe);
    std::vector<std::string> links;
    {
        std::string record = install::ReadAll(cleanup::RecordPath());
        for (size_t at = record.find("\nL\t"); at != std::string::npos; at = record.find("\nL\t", at + 1))
            links.push_back(record.substr(at + 5, record.find('\r', at) - at - 5));
    }
    ASSERT_EQ(8u, links.size());

    // The shell's folders of this account, moved as another account's are.
    struct Saved {
        const char* key;
        const char* name;
        DWORD type;
        std::string data;
    };
    std::vector<Saved> saved;
    auto set = [](const char* key, const char* name, DWORD type, const std::string& data) {
        HKEY opened;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &opened) == ERROR_SUCCESS) {
            RegSetValueExA(opened, name, 0, type, (const BYTE*)data.data(), (DWORD)data.size());
            RegCloseKey(opened);
        }
    };
    for (const char* key : {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"})
        for (const auto& moved : {std::make_pair("Desktop", otherDesktop), std::make_pair("Programs", otherPrograms)}) {
            Saved s{key, moved.first, REG_SZ, std::string(2 * MAX_PATH, '\0')};
            DWORD size = (DWORD)s.data.size();
            HKEY opened;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
                if (RegQueryValueExA(opened, s.name, nullptr, &s.type, (BYTE*)&s.data[0], &size) == ERROR_SUCCESS) {
                    s.data.resize(size);
                    saved.push_back(s);
                }
                RegCloseKey(opened);
            }
            set(key, moved.first, REG_SZ, moved.second + std::string(1, '\0'));
        }
    cleanup::Removal other = cleanup::Uninstall();
    ASSERT_EQ(2u, other.boxes.size());
    EXPECT_EQ(0u, other.boxes[1].find(kNotAll)) << other.boxes[1];
    EXPECT_NE(std::string::npos, other.boxes[1].find(" and 7 more were left alone: they belong to another user's "
                                                     "Start menu or desktop, and go when that user removes NOVLA "
                                                     "Tessaronix."))
        << other.boxes[1];
    EXPECT_EQ(4u, other.exitCode);
    std::string record = install::ReadAll(cleanup::RecordPath());
    for (const std::string& link : links) {
        EXPECT_NE(std::string::npos, record.find("L\t0\t" + link + "\r\n")) << link;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(link.c_str())) << link;
    }

    // Back as that account: the rest goes.
    for (const Saved& s : saved)
        set(s.key, s.name, s.type, s.data);
    cleanup::Removal mine = cleanup::Uninstall();
    EXPECT_EQ((Texts{cleanup::kQuestion, cleanup::kRemoved}), mine.boxes);
    EXPECT_EQ(0u, mine.exitCode);
    EXPECT_EQ(Texts{}, cleanup::Differences(before, cleanup::Take(), cleanup::Waiting()));
}

TEST(CleanupRecord, AnInstallationThatCannotReadTheRecordLeavesItAsItWas)
{
    // An earlier installation's record that the disk will not read back: the
    // run stops before it acts, rather than start the record afresh.
    const std::string record = std::string(kRecordHeader) + "I\t0\tC:\\Data\\Tessaronix\r\n";
    install::WriteFileText(cleanup::RecordPath(), record);
    install::Options options;
    options.build = ui::Build::Faults;
    // Every read fails: the start's look at the record for a cut-off run
    // reads it first.
    options.environment = {"NOVLA_FAULT=ReadFile", "NOVLA_FAULT_PERSIST=1"};
    cleanup::Install(options, true);
    EXPECT_EQ(record, install::ReadAll(cleanup::RecordPath()));
    const std::string program = std::string(install::kDefaultFolder) + "\\Tessaronix.exe";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(program.c_str()));
}

// A reinstallation over a whole installation, with a file of the user's own
// in the program folder, cut off (the process ended as by a power loss)
// while the earlier installation was set aside, in the middle of that, after
// it, mid-files, while an abort was putting it back, and after the run had
// finished, while the backup went. The next start of the installer puts the
// earlier installation back and says so, or, when the run had finished,
// removes what was left set aside without a word; either way one whole
// installation, which the uninstaller then removes.
TEST(CleanupRecord, AReinstallationCutOffAnywhereLeavesOneWholeInstallation)
{
    const std::string program = install::kDefaultFolder, notes = program + "\\notes.txt";
    const char* const kPutBack = "The last installation of NOVLA Tessaronix was cut off before it finished. The "
                                 "installation that was there before it has been put back.";
    const struct {
        const char* what;
        const char* fault;
        const char* kill;
        bool finished;
        bool removalFirst;  // the uninstaller starts first, and cannot put back
    } cases[] = {
        {"setting the program folder aside", "", "MoveFileA#4", false},
        {"after the move aside", "", "WriteFile#6", false},
        {"mid-files", "", "WriteFile#110", false},
        {"putting back after a failed write", "WriteFile#110", "MoveFileA#14", false},
        {"removing the backup after a finished run", "", "DeleteFileA#3", true},
        // An uninstaller that could not put the earlier installation back
        // went on to remove the rest, and dropped the backup's line.
        {"after the move aside, a removal that cannot put it back", "", "WriteFile#6", false, true},
    };
    const ui::Environment unpaced = {"NOVLA_FAULT_PACE=0"};
    DeleteFileA(cleanup::RecordPath().c_str());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cleanup::Snapshot before = cleanup::Take();
        install::Options first;
        first.build = ui::Build::Faults;
        first.environment = unpaced;
        cleanup::Install(first);
        install::WriteFileText(notes, "the user's notes");
        cleanup::Snapshot installed = cleanup::Take();
        const std::string record = install::ReadAll(cleanup::RecordPath());

        install::Options again = first;
        again.environment.push_back(std::string("NOVLA_FAULT_KILL=") + c.kill);
        if (c.fault[0] != '\0')
            again.environment.push_back(std::string("NOVLA_FAULT=") + c.fault);
        ui::Installer cut;
        ASSERT_TRUE(install::ToDestination(cut, again) && install::BeginInstall(cut, again));
        // The error box comes before the put-back, the abort box after it.
        if (c.fault[0] != '\0') {
            ui::MessageBox box;
            ASSERT_TRUE(ui::WaitForMessageBox(cut, box, "NOVLA Setup", 30000));
            ui::AnswerMessageBox(box);
        }
        EXPECT_EQ(99u, ui::WaitForExit(cut, 60000));
        ui::Kill(cut);
        EXPECT_TRUE(expect::FileExists(program + ".previous"));

        if (c.removalFirst) {
            cleanup::Removal stopped = cleanup::Uninstall(IDYES, {"NOVLA_FAULT=MoveFileA", "NOVLA_FAULT_PERSIST=1"},
                                                          ui::EnvPath("NOVLA_CLEANUP_FAULTS"));
            EXPECT_EQ(4u, stopped.exitCode);
            ASSERT_EQ(1u, stopped.boxes.size());
            EXPECT_NE(std::string::npos, stopped.boxes[0].find("could not be put back whole"));
            EXPECT_TRUE(expect::FileExists(program + ".previous\\notes.txt"));
        }
        ui::Installer next;
        ASSERT_TRUE(ui::Launch(next, ui::Build::Release));
        if (!c.finished) {
            ui::MessageBox box;
            ASSERT_TRUE(ui::WaitForMessageBox(next, box, "NOVLA Setup", 30000));
            EXPECT_EQ(kPutBack, box.text);
            EXPECT_EQ((UINT)MB_ICONINFORMATION, box.icon);
            ui::AnswerMessageBox(box);
        }
        ASSERT_TRUE(ui::WaitUntil([&] { return (next.frame = ui::FindFrame(next)) != nullptr; }, 30000));
        ASSERT_TRUE(install::WaitForControl(next, IDC_BANNER_LINES));
        EXPECT_EQ(1u, install::Close(next));
        ui::Kill(next);
        EXPECT_FALSE(expect::FileExists(program + ".previous"));
        Texts changed = cleanup::Differences(installed, cleanup::Take(), {"F " + cleanup::RecordPath()});
        if (c.finished) {
            // The new installation: the program folder emptied of the user's
            // file; its links written anew.
            EXPECT_FALSE(expect::FileExists(notes));
            for (const std::string& item : changed)
                EXPECT_TRUE(item == "- F " + notes || item.find(".lnk") != std::string::npos) << item;
        } else {
            EXPECT_EQ(Texts{}, changed);
            EXPECT_EQ(record, install::ReadAll(cleanup::RecordPath()));
            EXPECT_EQ("the user's notes", install::ReadAll(notes));
        }

        cleanup::Removal removal = cleanup::Uninstall();
        EXPECT_EQ(0u, removal.exitCode);
        // The user's file, with the folders it keeps.
        Texts kept;
        for (const std::string& folder : {std::string("D C:\\Program Files\\Novla"), "D " + program})
            if (!c.finished && before.count(folder) == 0)
                kept.push_back("+ " + folder);
        if (!c.finished)
            kept.push_back("+ F " + notes);
        EXPECT_EQ(kept, cleanup::Differences(before, cleanup::Take(), cleanup::Waiting()));
        // The next case starts from a machine without the product.
        DeleteFileA(notes.c_str());
        RemoveDirectoryA(program.c_str());
        cleanup::Restart();
    }
}
