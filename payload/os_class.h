#pragma once
#include "payload/table_rules.h"

// The Windows generation this process runs on, asked of the system anew at
// each call. A failed version query gives class 0.
OsClass GetOsClass();

// The generation the installation goes by, decided once per process: the
// files-in-use probe, the shortcut scope, the required space and the files
// written all see the same answer. The first call asks the system, and asks
// again when the query fails; false when it fails both times (the
// generation is then unknown and nothing may be installed).
bool DecideOsClass(OsClass* osClass);
