// Reads the product manifest (see manifest.h for the format).
#include "manifest.h"

#include <stdio.h>
#include <stdlib.h>

#include <functional>

namespace {

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        parts.push_back(Trim(text.substr(start, at == std::string::npos ? std::string::npos : at - start)));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

bool ParseFlags(const std::string& text, uint16_t* flags)
{
    struct Named {
        const char* name;
        uint16_t value;
    } names[] = {
        {"FOLDER_PROGRAM", FOLDER_PROGRAM}, {"FOLDER_WINDOWS", FOLDER_WINDOWS},
        {"FOLDER_SYSTEM", FOLDER_SYSTEM},   {"OS_LEGACY", OS_LEGACY},
        {"OS_MODERN", OS_MODERN},           {"OS_BOTH", OS_LEGACY | OS_MODERN},
    };
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        char* end = nullptr;
        unsigned long value = strtoul(text.c_str() + 2, &end, 16);
        if (*end != '\0' || value > 0xFFFF)
            return false;
        *flags = (uint16_t)value;
        return true;
    }
    uint16_t value = 0;
    for (const std::string& part : Split(text, '+')) {
        bool known = false;
        for (const Named& n : names) {
            if (part == n.name) {
                value = (uint16_t)(value | n.value);
                known = true;
            }
        }
        if (!known)
            return false;
    }
    *flags = value;
    return true;
}

bool IsLeapYear(unsigned year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool ParseFileTime(const std::string& text, FileTimeFields* time)
{
    unsigned year, month, day, hour, minute, second, millis;
    int used = 0;
    if (sscanf(text.c_str(), "%4u-%2u-%2u %2u:%2u:%2u.%3u%n", &year, &month, &day, &hour, &minute, &second,
               &millis, &used) != 7 ||
        (size_t)used != text.size())
        return false;
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || year > 30827 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59)
        return false;
    unsigned days = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    if (day < 1 || day > days)
        return false;
    *time = {(uint16_t)year,   (uint16_t)month,  (uint16_t)DayOfWeek(year, month, day), (uint16_t)day,
             (uint16_t)hour,   (uint16_t)minute, (uint16_t)second,                      (uint16_t)millis};
    return true;
}

// Adds a message about a line of the manifest.
using Fail = std::function<void(int line, const std::string& what)>;

// The value of a "row =" line: its columns as the next row, or a message.
void ReadRow(const std::string& value, int line, std::vector<ManifestRow>* rows, const Fail& fail)
{
    std::vector<std::string> columns = Split(value, '|');
    std::string label = "row " + std::to_string(rows->size());
    if (columns.size() != 6) {
        fail(line, label + ": expected 6 columns (fileName | flags | resourceName | shortcutName | storage | "
                           "source), found " + std::to_string(columns.size()));
        return;
    }
    ManifestRow row;
    row.line = line;
    row.fileName = columns[0];
    row.resourceName = columns[2];
    row.shortcutName = columns[3];
    row.source = columns[5];
    label += " (" + row.resourceName + ")";
    if (!ParseFlags(columns[1], &row.flags))
        fail(line, label + ": flags \"" + columns[1] + "\" are neither flag names joined by '+' nor a number");
    if (columns[4] == "raw")
        row.raw = true;
    else if (columns[4] != "lzhuf")
        fail(line, label + ": storage \"" + columns[4] + "\" is neither \"lzhuf\" nor \"raw\"");
    if (row.source.empty())
        fail(line, label + ": no source file");
    rows->push_back(row);
}

}  // namespace

unsigned DayOfWeek(unsigned year, unsigned month, unsigned day)
{
    // Zeller's congruence, with January and February counted as months 13
    // and 14 of the year before.
    if (month < 3) {
        month += 12;
        year -= 1;
    }
    unsigned k = year % 100, j = year / 100;
    unsigned h = (day + 13 * (month + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;  // 0 = Saturday
    return (h + 6) % 7;
}

bool ParseManifest(const std::string& text, const std::string& where, Manifest* manifest,
                   std::vector<std::string>* errors)
{
    size_t errorsBefore = errors->size();
    const Fail fail = [&](int line, const std::string& what) {
        errors->push_back(where + ":" + std::to_string(line) + ": " + what);
    };
    struct Field {
        const char* key;
        std::string* value;
        bool seen;
    } fields[] = {
        {"name", &manifest->name, false},           {"version", &manifest->version, false},
        {"programGroup", &manifest->programGroup, false}, {"publisher", &manifest->publisher, false},
        {"helpLink", &manifest->helpLink, false},
    };
    bool timeSeen = false;
    int line = 0;
    for (const std::string& rawLine : Split(text, '\n')) {
        ++line;
        std::string content = Trim(rawLine);
        if (content.empty() || content[0] == '#')
            continue;
        size_t equals = content.find('=');
        if (equals == std::string::npos) {
            fail(line, "expected \"key = value\"");
            continue;
        }
        std::string key = Trim(content.substr(0, equals));
        std::string value = Trim(content.substr(equals + 1));
        if (key == "row") {
            ReadRow(value, line, &manifest->rows, fail);
            continue;
        }
        if (key == "fileTime") {
            if (timeSeen)
                fail(line, "fileTime given twice");
            timeSeen = true;
            if (!ParseFileTime(value, &manifest->fileTime))
                fail(line, "fileTime \"" + value + "\" is not a valid YYYY-MM-DD hh:mm:ss.mmm");
            continue;
        }
        bool known = false;
        for (Field& field : fields) {
            if (key != field.key)
                continue;
            known = true;
            if (field.seen)
                fail(line, key + " given twice");
            field.seen = true;
            *field.value = value;
        }
        if (!known)
            fail(line, "unknown key \"" + key + "\"");
    }
    for (const Field& field : fields)
        if (!field.seen)
            errors->push_back(where + ": " + field.key + " is missing");
    if (!timeSeen)
        errors->push_back(where + ": fileTime is missing");
    if (manifest->rows.empty())
        errors->push_back(where + ": no rows");
    return errors->size() == errorsBefore;
}
