#pragma once
// Walking the installer's wizard from a test: starting it, moving to a page
// and telling which page is shown. Test code.
#include <windows.h>

#include <string>

#include "resources/resource_ids.h"
#include "ui_driver.h"

namespace walk {

// A control that only the page of that WizardState has.
inline int MarkOf(int state)
{
    switch (state) {
    case 1:
        return IDC_BANNER_LINES;
    case 2:
        return IDC_ACCEPT;
    case 3:
        return IDC_DEST_FOLDER;
    case 4:
        return IDC_FILE_BAR;
    case 5:
        return IDC_RUN_ON_EXIT;
    }
    return 0;
}

// The WizardState whose page is shown (0 when none is).
inline int PageShown(HWND frame)
{
    HWND page = ui::CurrentPage(frame);
    for (int state = 1; page && state <= 5; ++state) {
        if (GetDlgItem(page, MarkOf(state)))
            return state;
    }
    return 0;
}

inline bool WaitForPage(const ui::Installer& installer, int state)
{
    // The frame places a page right after creating it: let it finish.
    bool shown = ui::WaitUntil([&] { return PageShown(installer.frame) == state; }, 30000);
    ui::Settle(installer);
    return shown;
}

// True when the page sits exactly over the frame's page area (IDC_PAGE_AREA).
inline bool PageOverArea(HWND frame)
{
    HWND page = ui::CurrentPage(frame);
    if (!page)
        return false;
    RECT p = ui::ScreenRect(page), a = ui::ScreenRect(GetDlgItem(frame, IDC_PAGE_AREA));
    return EqualRect(&p, &a) != FALSE;
}

// One step forward from the page shown: ticks the licence box on the licence
// page; on the progress page posts the Continue that a finished installation
// posts, before its timer starts one.
inline bool Forward(const ui::Installer& installer)
{
    int state = PageShown(installer.frame);
    if (state == 2) {
        ui::Click(ui::Control(installer.frame, IDC_ACCEPT));
        ui::Settle(installer);
    }
    if (state == 4)
        ui::PostCommand(installer.frame, IDC_CONTINUE);
    else
        ui::Click(ui::Control(installer.frame, IDC_CONTINUE));
    ui::Settle(installer);
    return WaitForPage(installer, state + 1);
}

// Starts the installer and walks to the page of WizardState `state`.
inline bool StartAt(ui::Installer& installer, int state, ui::Build build = ui::Build::Release,
                    const ui::Environment& extra = {})
{
    if (!ui::Start(installer, build, extra) || !WaitForPage(installer, 1))
        return false;
    while (PageShown(installer.frame) < state) {
        if (!Forward(installer))
            return false;
    }
    return true;
}

// Still running after a moment.
inline bool StillRunning(ui::Installer& installer) { return ui::WaitForExit(installer, 300) == STILL_ACTIVE; }

}  // namespace walk
