#pragma once
// One installer or uninstaller of a product at a time, on the whole machine:
// two runs at once would empty the same folder and write the same files,
// keys and record.

// True when this process may go on: it now holds the product's run lock
// (a named mutex, held until the process ends). False when another
// installer or uninstaller of the product holds it, or when the lock cannot
// be made at all (nothing can be known then, so nothing is changed).
bool ClaimProductRun(const char* productName);
