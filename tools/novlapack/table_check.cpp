// Checks the product record and the file table before they are compiled in.
#include "table_check.h"

#include <string.h>
#include <strings.h>

#include <functional>

namespace {

const uint16_t kFolderBits = FOLDER_PROGRAM | FOLDER_WINDOWS | FOLDER_SYSTEM;
const uint16_t kGenerationBits = OS_LEGACY | OS_MODERN;

bool IsFileName(const char* name)
{
    if (!*name || strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
        return false;
    for (const char* c = name; *c; ++c)
        if ((unsigned char)*c < 32 || strchr("\\/:*?\"<>|", *c))
            return false;
    return name[strlen(name) - 1] != ' ' && name[strlen(name) - 1] != '.';
}

bool IsResourceName(const char* name)
{
    if (!(name[0] >= 'A' && name[0] <= 'Z'))
        return false;
    for (const char* c = name; *c; ++c)
        if (!((*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') || *c == '_'))
            return false;
    return true;
}

bool HasShortcut(const PayloadRow& row)
{
    return row.shortcutName[0] != '-';
}

bool AllZero(const void* bytes, size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i)
        if (p[i])
            return false;
    return true;
}

const char* FolderName(uint16_t flags)
{
    switch (flags & kFolderBits) {
    case FOLDER_PROGRAM: return "the program folder";
    case FOLDER_WINDOWS: return "the Windows folder";
    case FOLDER_SYSTEM: return "the System folder";
    default: return "no single folder";
    }
}

// Adds a message about a row of the table.
using RowFail = std::function<void(int row, const std::string& rule)>;

// The rows the installer names by position are there, each in its folder,
// and the main program names a shortcut.
void CheckPositions(const PayloadTable& table, const RowFail& fail, std::vector<std::string>* errors)
{
    struct Position {
        int row;
        uint16_t folder;
        const char* role;
    } positions[] = {
        {ROW_UNINSTALLER, FOLDER_WINDOWS, "the uninstaller"},
        {ROW_MAIN_PROGRAM, FOLDER_PROGRAM, "the main program"},
        {ROW_INDEXER, FOLDER_PROGRAM, "the indexer"},
        {ROW_SHELL_EXTENSION, FOLDER_SYSTEM, "the shell extension"},
    };
    for (const Position& p : positions) {
        if (p.row >= table.rowCount) {
            errors->push_back("file table: row " + std::to_string(p.row) + ", " + p.role + ", is missing");
            continue;
        }
        if ((table.rows[p.row].flags & kFolderBits) != p.folder)
            fail(p.row, std::string("row ") + std::to_string(p.row) + " is " + p.role + " and goes to " +
                            FolderName(p.folder));
    }
    if (table.rowCount > ROW_MAIN_PROGRAM && !HasShortcut(table.rows[ROW_MAIN_PROGRAM]))
        fail(ROW_MAIN_PROGRAM, "the main program needs a shortcut name (its desktop shortcut is named after it)");
}

// A file that something refers to by name must be there on both
// generations: the shortcuts are made without the generation test.
void CheckNamedFilesOnBothGenerations(const PayloadTable& table, const RowFail& fail)
{
    int count = table.rowCount;
    for (int i = 0; i < count; ++i) {
        const PayloadRow& row = table.rows[i];
        bool named = HasShortcut(row) || i == ROW_UNINSTALLER || i == ROW_MAIN_PROGRAM || i == ROW_INDEXER ||
                     i == ROW_SHELL_EXTENSION;
        if (!named)
            continue;
        uint16_t generations = 0;
        for (int j = 0; j < count; ++j)
            if (strcasecmp(table.rows[j].fileName, row.fileName) == 0 &&
                (table.rows[j].flags & kFolderBits) == (row.flags & kFolderBits))
                generations = (uint16_t)(generations | (table.rows[j].flags & kGenerationBits));
        if (generations != kGenerationBits)
            fail(i, std::string(row.fileName) +
                        " is named by a shortcut or by position but is not installed on both generations");
    }
}

}  // namespace

bool FitField(char* field, size_t width, const std::string& value)
{
    memset(field, 0, width);
    if (value.size() >= width || value.find('\0') != std::string::npos)
        return false;
    memcpy(field, value.data(), value.size());
    return true;
}

void CheckProductInfo(const ProductInfo& info, std::vector<std::string>* errors)
{
    struct Text {
        const char* field;
        const char* value;
    } texts[] = {{"name", info.name}, {"version", info.version}, {"programGroup", info.programGroup},
                 {"publisher", info.publisher}, {"helpLink", info.helpLink}};
    for (const Text& text : texts)
        if (!text.value[0])
            errors->push_back(std::string("product: ") + text.field + " is empty");
    if (info.name[0] && !IsFileName(info.name))
        errors->push_back("product: name \"" + std::string(info.name) +
                          "\" is not usable as a folder name (the default program folder)");
    const char* group = info.programGroup;
    if (group[0] == '\\' || (group[0] && group[strlen(group) - 1] == '\\') || strstr(group, "\\\\"))
        errors->push_back("product: programGroup \"" + std::string(group) +
                          "\" must be folder names joined by single backslashes");
    const FileTimeFields& t = info.fileTime;
    static const unsigned kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > kDays[t.month - 1] || t.dayOfWeek > 6 ||
        t.hour > 23 || t.minute > 59 || t.second > 59 || t.milliseconds > 999 || t.year < 1601)
        errors->push_back("product: fileTime is not a valid time");
}

void CheckPayloadTable(const PayloadTable& table, std::string (*label)(int row, void* context), void* context,
                       std::vector<std::string>* errors)
{
    const RowFail fail = [&](int row, const std::string& rule) {
        errors->push_back(label(row, context) + ": " + rule);
    };
    int count = table.rowCount;
    if (count < 1 || count > PAYLOAD_ROW_CAPACITY) {
        errors->push_back("file table: " + std::to_string(count) + " rows; it holds 1 to " +
                          std::to_string(PAYLOAD_ROW_CAPACITY));
        return;
    }
    for (int i = count; i < PAYLOAD_ROW_CAPACITY; ++i)
        if (!AllZero(&table.rows[i], sizeof table.rows[i]))
            errors->push_back("file table: row " + std::to_string(i) + " beyond rowCount is not empty");

    int shortcuts = 0;
    for (int i = 0; i < count; ++i) {
        const PayloadRow& row = table.rows[i];
        if (!IsFileName(row.fileName))
            fail(i, "fileName \"" + std::string(row.fileName) + "\" is not a valid file name");
        if (!IsResourceName(row.resourceName))
            fail(i, "resourceName \"" + std::string(row.resourceName) +
                        "\" must start with A-Z and hold only A-Z, 0-9 and '_'");
        if (strcmp(row.resourceName, "LICENSE") == 0 || strcmp(row.resourceName, "WELCOME") == 0)
            fail(i, "resourceName " + std::string(row.resourceName) + " is one of the installer's own texts");
        if (!row.shortcutName[0])
            fail(i, "shortcutName is empty (\"-\" means no shortcut)");
        else if (HasShortcut(row) && !IsFileName(row.shortcutName))
            fail(i, "shortcutName \"" + std::string(row.shortcutName) + "\" is not a valid file name");
        if (HasShortcut(row))
            ++shortcuts;
        uint16_t folder = row.flags & kFolderBits;
        if (folder != FOLDER_PROGRAM && folder != FOLDER_WINDOWS && folder != FOLDER_SYSTEM)
            fail(i, "flags need exactly one folder bit (FOLDER_PROGRAM, FOLDER_WINDOWS or FOLDER_SYSTEM)");
        if (!(row.flags & kGenerationBits))
            fail(i, "flags need OS_LEGACY, OS_MODERN or both, or the row is never installed");
        if (row.flags & ~(kFolderBits | kGenerationBits))
            fail(i, "flags hold unknown bits");
        if (row.fileSize == 0)
            fail(i, "the file is empty");

        for (int j = 0; j < i; ++j) {
            const PayloadRow& earlier = table.rows[j];
            if (strcasecmp(earlier.resourceName, row.resourceName) == 0)
                fail(i, "resourceName " + std::string(row.resourceName) + " is already used by row " +
                            std::to_string(j));
            if (strcasecmp(earlier.fileName, row.fileName) != 0)
                continue;
            std::string pair = "shares its fileName with row " + std::to_string(j);
            if ((earlier.flags & kFolderBits) != folder)
                fail(i, pair + " but goes to " + FolderName(row.flags) + ", not " + FolderName(earlier.flags));
            if (earlier.flags & row.flags & kGenerationBits)
                fail(i, pair + " and both install on the same Windows generation");
            if (HasShortcut(row))
                fail(i, pair + ": only the first row of a pair names a shortcut (\"-\" here)");
        }
    }
    if (table.shortcutCount != shortcuts)
        errors->push_back("file table: shortcutCount is " + std::to_string(table.shortcutCount) + " but " +
                          std::to_string(shortcuts) + " rows name a shortcut");
    CheckPositions(table, fail, errors);
    CheckNamedFilesOnBothGenerations(table, fail);
}
