#pragma once
// The installer's process-wide state. Every field is zero when the process
// starts; see each field for who sets it.
//
// Failures at start-up and exit: what the installation cannot do without (a
// damaged setup file, a Windows version that cannot be told, a frame that
// cannot open) ends the process after a box; the two probes turn what they
// meet into flags that the welcome page shows as warnings; what only
// adorns (the window class's icon) or tidies up (the GDI cache, the launch
// at exit, which the user started and sees or not) is not examined.
#include <stdint.h>

#include "common/win32.h"
#include "setup/install_dirs.h"
#include "shell/registry_names.h"  // NOVLA_PROGRAMS_KEY

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

// Start-up and exit steps of the process entry (setup/).
bool RegisterFrameClass();
void StartSession();
// setup/default_folder.cpp: a registry text, terminated within capacity
// (false, out empty, when it cannot be read or does not fit); the folder an
// earlier installation recorded; the default folder (payload/install_folder.h).
bool ReadRegistryText(HKEY root, const char* keyName, const char* valueName, char* out, DWORD capacity);
bool ReadInstallPath(char* out, DWORD capacity);
void ReadDefaultProgramFolder(char* out, DWORD capacity);
// setup/single_setup.cpp: false when another installer or uninstaller of
// the product runs (brought forward, or a box says so).
bool ClaimSetupRun();
void ProbeAdminRights();
void ProbeFilesInUse();
void LaunchMainProgram();
void ReleaseGdiCache();
