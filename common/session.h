#pragma once
// The installer's process-wide state, which every layer may include. Every
// field is zero when the process starts; see each field for who sets it.
#include <stdint.h>

#include "common/install_dirs.h"  // g_installDirs, the other process-wide state
#include "common/win32.h"

// Pages of the wizard, as WizardState counts them.
enum WizardPage : uint16_t {
    PAGE_NONE = 0,
    PAGE_WELCOME = 1,
    PAGE_LICENSE = 2,
    PAGE_DESTINATION = 3,
    PAGE_PROGRESS = 4,
    PAGE_FINISH = 5,
};

struct SetupSession {
    HINSTANCE instance;    // set first thing at entry
    HWND frame;            // the wizard frame, set when it opens
    HWND page;             // the page now shown
    uint16_t wizardState;  // WizardPage now shown
    uint8_t notAdmin;      // the administrator probe failed
    uint8_t filesInUse;    // a target file is open elsewhere
    uint8_t allUsers;      // shortcuts for all users (destination page)
    uint8_t runOnExit;     // finish page check box, read after the frame ends
    uint8_t osClassKnown;  // osClass is decided (DecideOsClass)
    uint8_t osClass;       // the Windows generation, an OsClass
    HBITMAP banner;        // scaled banner, made on the frame's first paint
    HFONT fixedFont;       // dialog font with height -12, "Courier New"
    HFONT boldFont;        // dialog font with weight 700
};

extern SetupSession g_session;
