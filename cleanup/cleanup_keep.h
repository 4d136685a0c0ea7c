#pragma once
// What the uninstaller keeps in the installation record when it is done,
// and why: the entries it refused (another account's shortcuts, a program
// folder written as Windows would not read it, items the product does not
// install), the lines it could not read, and what failed. Portable: no
// Windows header, no heap.
#include <stddef.h>

#include "record/install_record.h"
#include "record/product_names.h"
#include "record/record_undo.h"

// Filters text[0..*size), an unchanged copy of the record that ParseRecord
// turned into view, in place: every complete line stays but those of
// view's entries whose outcomes[i] does not StaysInRecord; I and C lines
// always stay, as they give the rest its scope. Lines that ParseRecord took
// as no entry (malformed, or beyond RECORD_ENTRY_CAPACITY) stay byte for
// byte. A last line without its CR LF goes: it names an action that was
// never done. *size becomes the length kept, *kept the number of lines that
// stay besides the header and the I and C lines. False when the text does
// not read as view did (it is then of no use, and the record must stay as
// it is).
bool KeepRecordLines(char* text, size_t* size, const RecordView* view, const UndoOutcome* outcomes,
                     unsigned* kept);

// True when entry, which the uninstaller refused, is one of the product's
// shortcut items in a Start menu or on a desktop that is not this
// account's: an L entry named as one of the product's links, in a folder
// below a drive root; a D entry whose last components begin the program
// group, below a folder that is not a drive root. Such an entry is removed
// when the account it belongs to runs the removal.
bool IsAnotherAccountsShortcut(const RecordEntry* entry, const ProductNames* product);

// The program folder of view's I lines that IsSoundProgramFolder refuses
// and that a refused F or D entry lies in (D: the folder, one of its
// parents or a folder below it): the path of the oldest such I line, so
// that one folder always gives the same pointer; null when there is none.
const char* UnsoundProgramFolderOf(const RecordEntry* entry, const RecordView* view, const char* productName);
