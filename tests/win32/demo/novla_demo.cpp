// `make run` without a display: starts the installer under Xvfb and walks it
// through every page the way a user would (Continue, the licence box ticked,
// the proposed folder kept), saving a picture of the wizard on each page into
// the folder given as the first argument. The installation itself runs on
// the progress page; the walk then closes the finish page. Prints what it
// did and the exit code.
#include <stdio.h>

#include <string>

#include "resources/resource_ids.h"
#include "ui_driver.h"

namespace {

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
    return code == 1 ? status : 1;
}
