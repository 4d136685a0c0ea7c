#include "common/install_dirs.h"

char g_installDirs[3][PATH_CAPACITY];
