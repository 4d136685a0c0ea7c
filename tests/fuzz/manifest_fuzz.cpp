// Any bytes as a product manifest: they parse, or they are refused with
// messages that name the manifest. A manifest that parses is written out
// again in the same format and must read back the same, row lines included,
// and its texts go into the records as `novlapack pack` puts them: each fits
// its field whole and terminated, or is refused and leaves the field empty.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "manifest.h"
#include "table_check.h"

namespace {

const char kWhere[] = "fuzz.txt";
const int kHeaderLines = 6;  // the lines Write puts before the rows

std::string Write(const Manifest& m)
{
    const FileTimeFields& t = m.fileTime;
    char time[64];
    snprintf(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.year, t.month, t.day, t.hour, t.minute,
             t.second, t.milliseconds);
    std::string text = "name = " + m.name + "\nversion = " + m.version + "\nprogramGroup = " + m.programGroup +
                       "\npublisher = " + m.publisher + "\nhelpLink = " + m.helpLink + "\nfileTime = " + time + "\n";
    for (const ManifestRow& row : m.rows) {
        char flags[16];
        snprintf(flags, sizeof flags, "0x%04X", row.flags);
        text += "row = " + row.fileName + " | " + flags + " | " + row.resourceName + " | " + row.shortcutName +
                " | " + (row.raw ? "raw" : "lzhuf") + " | " + row.source + "\n";
    }
    return text;
}

bool SameRow(const ManifestRow& a, const ManifestRow& b)
{
    return a.fileName == b.fileName && a.flags == b.flags && a.resourceName == b.resourceName &&
           a.shortcutName == b.shortcutName && a.raw == b.raw && a.source == b.source;
}

// The field as FitField leaves it: terminated within its width, and holding
// the value when it fitted, nothing when it did not.
void Fit(char* field, size_t width, const std::string& value)
{
    bool fits = FitField(field, width, value);
    if (fits != (value.size() < width && value.find('\0') == std::string::npos) || field[width - 1] != '\0' ||
        (fits ? value != field : field[0] != '\0'))
        abort();
}

std::string Label(int row, void*) { return "row " + std::to_string(row); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Manifest m;
    std::vector<std::string> errors;
    bool ok = ParseManifest(text, kWhere, &m, &errors);
    if (ok != errors.empty())
        abort();
    const std::string prefix = std::string(kWhere) + ":";
    for (const std::string& error : errors)
        if (error.compare(0, prefix.size(), prefix) != 0)
            abort();
    if (!ok)
        return 0;

    if (m.rows.empty())
        abort();
    const int lines = 1 + (int)std::count(text.begin(), text.end(), '\n');
    int lastLine = 0;
    for (const ManifestRow& row : m.rows) {
        if (row.line <= lastLine || row.line > lines || row.source.empty())
            abort();
        lastLine = row.line;
    }
    Manifest again;
    std::vector<std::string> againErrors;
    if (!ParseManifest(Write(m), kWhere, &again, &againErrors) || again.name != m.name ||
        again.version != m.version || again.programGroup != m.programGroup || again.publisher != m.publisher ||
        again.helpLink != m.helpLink || memcmp(&again.fileTime, &m.fileTime, sizeof m.fileTime) != 0 ||
        again.rows.size() != m.rows.size())
        abort();
    for (size_t i = 0; i < m.rows.size(); ++i)
        if (!SameRow(again.rows[i], m.rows[i]) || again.rows[i].line != kHeaderLines + 1 + (int)i)
            abort();

    // The records, and the rules checked on them: a time the parser took is
    // one the checks take too.
    ProductInfo info;
    Fit(info.name, sizeof info.name, m.name);
    Fit(info.version, sizeof info.version, m.version);
    Fit(info.programGroup, sizeof info.programGroup, m.programGroup);
    Fit(info.publisher, sizeof info.publisher, m.publisher);
    Fit(info.helpLink, sizeof info.helpLink, m.helpLink);
    info.fileTime = m.fileTime;
    std::vector<std::string> ruleErrors;
    CheckProductInfo(info, &ruleErrors);
    for (const std::string& error : ruleErrors)
        if (error == "product: fileTime is not a valid time")
            abort();
    if (m.rows.size() > PAYLOAD_ROW_CAPACITY)
        return 0;
    PayloadTable table;
    memset(&table, 0, sizeof table);
    for (size_t i = 0; i < m.rows.size(); ++i) {
        PayloadRow& entry = table.rows[i];
        Fit(entry.fileName, sizeof entry.fileName, m.rows[i].fileName);
        Fit(entry.resourceName, sizeof entry.resourceName, m.rows[i].resourceName);
        Fit(entry.shortcutName, sizeof entry.shortcutName, m.rows[i].shortcutName);
        entry.flags = m.rows[i].flags;
        entry.fileSize = 1;
        if (entry.shortcutName[0] && entry.shortcutName[0] != '-')
            ++table.shortcutCount;
    }
    table.rowCount = (uint16_t)m.rows.size();
    CheckPayloadTable(table, Label, nullptr, &ruleErrors);
    return 0;
}
