#pragma once
// The start-up and exit steps of the installer's entry (setup/main.cpp).
//
// Failures at start-up and exit: what the installation cannot do without (a
// damaged setup file, a Windows version that cannot be told, a frame that
// cannot open) ends the process after a box; the two probes turn what they
// meet into flags that the welcome page shows as warnings; what only
// adorns (the window class's icon) or tidies up (the GDI cache, the launch
// at exit, which the user started and sees or not) is not examined.
#include "common/session.h"

bool RegisterFrameClass();
void StartSession();
// setup/single_setup.cpp: false when another installer or uninstaller of
// the product runs (brought forward, or a box says so).
bool ClaimSetupRun();
void ProbeAdminRights();
void ProbeFilesInUse();
void LaunchMainProgram();
void ReleaseGdiCache();
