#pragma once
// The three install folders: the program folder (proposed at start-up,
// committed on the destination page), the Windows folder and the System
// folder (both capitalised at start-up). Portable.
#include "common/path_text.h"

enum { DIR_PROGRAM = 0, DIR_WINDOWS = 1, DIR_SYSTEM = 2 };

extern char g_installDirs[3][PATH_CAPACITY];
