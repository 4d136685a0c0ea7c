#pragma once
// One removal at a time, and none while the installer runs.

// True when the uninstaller may go on (it holds the product's run lock,
// common/single_run.h); false after a box that says another installer or
// uninstaller of the product is running and nothing was removed.
bool ClaimCleanupRun();
