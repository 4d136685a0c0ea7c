#pragma once
// The rules the installer relies on, checked on the records the packer is
// about to compile in. Each broken rule adds one message naming the row (or
// the product field) and the rule.
#include <string>
#include <vector>

#include "payload/product.h"

// Copies value into a field of width bytes, NUL-padded. False (field left
// empty) when value has width characters or more: every field keeps at least
// one terminator.
bool FitField(char* field, size_t width, const std::string& value);

// Rules of the product record: every text present and the file time a real
// date whose day of the week matches.
void CheckProductInfo(const ProductInfo& info, std::vector<std::string>* errors);

// Rules of the file table:
//   - rowCount rows, at most PAYLOAD_ROW_CAPACITY, rows beyond it zero;
//     shortcutCount equal to the rows that name a shortcut;
//   - each row: a file name and shortcut name usable as file names; a
//     resource name of A-Z, 0-9 and '_' that starts with a letter, unique
//     and not one of the installer's own (LICENSE, WELCOME); exactly one
//     folder bit and at least one generation bit, nothing else; a file size
//     of at least one byte;
//   - rows that share a file name share its folder, never both install on
//     one generation, and only the first of them names a shortcut;
//   - every file that has a shortcut, and the rows named by position
//     (uninstaller in the Windows folder, main program and indexer in the
//     program folder, shell extension in the System folder), is installed
//     on both generations.
// label(row) names a row in the messages (for example "manifest.txt:7:
// row 2 (PROGRAM_98)").
void CheckPayloadTable(const PayloadTable& table, std::string (*label)(int row, void* context), void* context,
                       std::vector<std::string>* errors);
