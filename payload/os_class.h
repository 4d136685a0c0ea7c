#pragma once
#include "payload/table_rules.h"

// The Windows generation this process runs on (no state: each caller asks
// anew). A failed version query gives class 0.
OsClass GetOsClass();
