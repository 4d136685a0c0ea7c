#pragma once
#include "payload/table_rules.h"

// The Windows-generation probe: asks the system anew at each call. False
// when the version query fails; *osClass is then class 0, as a failed query
// gives, and is not to be installed by (DecideOsClass asks again).
bool GetOsClass(OsClass* osClass);

// The generation the installation goes by, decided once per process: the
// files-in-use probe, the shortcut scope, the required space and the files
// written all see the same answer. The first call asks the system, and asks
// again when the query fails; false when it fails both times (the
// generation is then unknown and nothing may be installed).
bool DecideOsClass(OsClass* osClass);
