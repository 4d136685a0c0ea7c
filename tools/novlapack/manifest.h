#pragma once
// The product manifest: a plain-text description of the product record and
// of the file table, from which `novlapack pack` builds both.
//
//   # comment (whole lines only)
//   name         = Tessaronix
//   version      = 5.00
//   programGroup = NOVLA\Tessaronix
//   publisher    = NOVLA
//   helpLink     = http://www.novla.com/support.html
//   fileTime     = 2007-07-20 05:00:00.000        (local time; the day of
//                                                  the week is worked out)
//   row = fileName | flags | resourceName | shortcutName | storage | source
//
// flags: names joined by '+' (FOLDER_PROGRAM, FOLDER_WINDOWS, FOLDER_SYSTEM,
// OS_LEGACY, OS_MODERN, OS_BOTH) or a number such as 0x0301. shortcutName:
// "-" for none. storage: "lzhuf" (compressed) or "raw" (stored as it is).
// source: the file's path, relative to the files folder given to pack.
// Rows are installed, and their shortcuts made, in the order they appear.
#include <stdint.h>

#include <string>
#include <vector>

#include "payload/product.h"

struct ManifestRow {
    int line = 0;
    std::string fileName;
    uint16_t flags = 0;
    std::string resourceName;
    std::string shortcutName;
    bool raw = false;
    std::string source;
};

struct Manifest {
    std::string name, version, programGroup, publisher, helpLink;
    FileTimeFields fileTime = {};
    std::vector<ManifestRow> rows;
};

// Parses manifest text. Every problem is added to errors as
// "<where>:<line>: <what>"; true when there was none.
bool ParseManifest(const std::string& text, const std::string& where, Manifest* manifest,
                   std::vector<std::string>* errors);

// The day of the week (0 Sunday .. 6 Saturday) of a date of the Gregorian
// calendar.
unsigned DayOfWeek(unsigned year, unsigned month, unsigned day);
