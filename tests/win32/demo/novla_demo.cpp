// `make run` without a display: starts the installer under Xvfb, saves a
// screenshot of what it shows into the folder given as the first argument,
// and ends it with Cancel. Prints the exit code.
#include <stdio.h>

#include <string>

#include "resources/resource_ids.h"
#include "ui_driver.h"

int main(int argc, char** argv)
{
    std::string screens = argc > 1 ? argv[1] : ".";
    ui::Installer installer;
    if (!ui::Start(installer)) {
        printf("the installer did not show its frame\n");
        return 2;
    }
    ui::Settle(installer, 500);
    std::string shot = screens + "\\welcome.bmp";
    if (ui::SaveScreen(shot))
        printf("screenshot: %s\n", shot.c_str());
    ui::Click(ui::Control(installer.frame, IDC_CANCEL));
    DWORD code = ui::WaitForExit(installer);
    printf("installer ended with exit code %lu\n", (unsigned long)code);
    ui::Kill(installer);
    return code == 1 ? 0 : 1;
}
