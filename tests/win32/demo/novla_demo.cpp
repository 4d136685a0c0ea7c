// `make run` without a display: starts the installer under Xvfb and walks it
// through every page the way a user would (Continue, the licence box ticked,
// the proposed folder kept), saving a picture of the wizard on each page into
// the folder given as the first argument. The installation itself runs on
// the progress page; the walk then closes the finish page. Prints what it
// did and the exit code.
//
// With --uninstall as the second argument (`make uninstall-demo`), the walk
// goes on as the user would remove the product: it starts the installed
// uninstaller, answers Yes, pictures both boxes, and prints the difference
// between the prefix before the installation and after the removal, which
// must be empty, and the removals waiting for the restart.
#include <stdio.h>
#include <string.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/win32/cleanup/cleanup_walk.h"
#include "ui_driver.h"

namespace {

// Removes the product through its uninstaller and prints what changed
// since before; 0 when the prefix is as before but for the uninstaller's
// own removal at the restart.
int Uninstall(const cleanup::Snapshot& before, const std::string& screens)
{
    ui::Installer uninstaller;
    DWORD start = GetTickCount();
    if (!ui::LaunchProgram(uninstaller, cleanup::Self())) {
        printf("the uninstaller did not start\n");
        return 1;
    }
    const char* const names[] = {"6-remove", "7-removed"};
    DWORD yes = 0;
    for (int i = 0; i < 2; ++i) {
        ui::MessageBox box;
        if (!ui::WaitForMessageBox(uninstaller, box, "NOVLA Setup", 20000)) {
            printf("the uninstaller showed no box\n");
            break;
        }
        if (i == 1)
            printf("the removal took %lu ms, from Yes to the last box\n", (unsigned long)(GetTickCount() - yes));
        Sleep(300);
        std::string path = screens + "\\" + names[i] + ".bmp";
        std::string text = box.text;
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n"))
            text.replace(at, 2, " / ");
        printf("%-12s %s\n             \"%s\"\n", names[i], ui::SaveWindow(box.window, path) ? path.c_str() : "(no picture)",
               text.c_str());
        ui::AnswerMessageBox(box, i == 0 ? IDYES : IDOK);
        yes = GetTickCount();
        ui::WaitUntil([&] { return !IsWindow(box.window); });
    }
    DWORD code = ui::WaitForExit(uninstaller);
    printf("uninstaller ended with exit code %lu, %lu ms after its start\n", (unsigned long)code,
           (unsigned long)(GetTickCount() - start));
    ui::Kill(uninstaller);
    std::vector<std::string> differences = cleanup::Differences(before, cleanup::Take(), cleanup::Waiting());
    printf("difference between before the installation and after the removal: %s\n",
           differences.empty() ? "none" : "");
    for (const std::string& line : differences)
        printf("  %s\n", line.c_str());
    for (const std::string& path : cleanup::PendingRemovals())
        printf("removed at the next restart: %s\n", path.c_str());
    return code == 0 && differences.empty() ? 0 : 1;
}

// The page now shown, told by a control only it has.
bool Shows(HWND frame, int control)
{
    HWND page = ui::CurrentPage(frame);
    return page && GetDlgItem(page, control);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string screens = argc > 1 ? argv[1] : ".";
    bool uninstall = argc > 2 && strcmp(argv[2], "--uninstall") == 0;
    cleanup::Snapshot before;
    if (uninstall) {
        // As on Windows: the find verbs that the installation replaces.
        cleanup::GiveWindowsFindVerbs();
        before = cleanup::Take();
    }
    ui::Installer installer;
    if (!ui::Start(installer)) {
        printf("the installer did not show its frame\n");
        return 2;
    }
    HWND frame = installer.frame;
    auto shoot = [&](const char* name) {
        ui::Settle(installer, 400);
        std::string path = screens + "\\" + name + ".bmp";
        printf("%-12s %s\n", name, ui::SaveWindow(frame, path) ? path.c_str() : "(no picture)");
    };
    auto waitFor = [&](int control, DWORD ms) { return ui::WaitUntil([&] { return Shows(frame, control); }, ms); };
    HWND next = ui::Control(frame, IDC_CONTINUE);
    int status = 0;

    if (waitFor(IDC_BANNER_LINES, 10000)) {
        shoot("1-welcome");
        ui::Click(next);
    }
    if (waitFor(IDC_ACCEPT, 10000)) {
        ui::Click(ui::Control(frame, IDC_ACCEPT));
        shoot("2-licence");
        ui::Click(next);
    }
    if (waitFor(IDC_DEST_FOLDER, 10000)) {
        shoot("3-destination");
        ui::Click(next);
    }
    if (waitFor(IDC_FILE_BAR, 10000)) {
        // The run starts half a second after the page opens.
        Sleep(1500);
        shoot("4-progress");
    }
    if (waitFor(IDC_RUN_ON_EXIT, 120000)) {
        shoot("5-finish");
    } else {
        printf("the finish page did not come\n");
        status = 1;
    }
    if (ui::WaitForExit(installer, 0) == STILL_ACTIVE)
        ui::Click(ui::Control(frame, IDC_CANCEL));
    DWORD code = ui::WaitForExit(installer);
    printf("installer ended with exit code %lu\n", (unsigned long)code);
    ui::Kill(installer);
    if (code != 1 || status != 0)
        return 1;
    return uninstall ? Uninstall(before, screens) : 0;
}
