// Builds the compiled-in records and the payload resources of the product.
#include "pack.h"

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include "codec/lzhuf_host.h"
#include "common/crc32.h"
#include "file_io.h"
#include "table_check.h"

namespace {

struct RowLabels {
    const std::string* where;
    const Manifest* manifest;
};

std::string LabelRow(int row, void* context)
{
    const RowLabels* labels = static_cast<const RowLabels*>(context);
    const ManifestRow& r = labels->manifest->rows[(size_t)row];
    return *labels->where + ":" + std::to_string(r.line) + ": row " + std::to_string(row) + " (" +
           r.resourceName + ")";
}

// A text of the manifest and the record field it goes into.
struct TextField {
    const char* field;
    char* out;
    size_t width;
    const std::string* value;
};

// Copies each text into its field; one message for each that does not fit
// with its terminator.
void FitTexts(const std::string& label, const TextField* texts, size_t count, std::vector<std::string>* errors)
{
    for (size_t i = 0; i < count; ++i) {
        const TextField& t = texts[i];
        if (!FitField(t.out, t.width, *t.value))
            errors->push_back(label + ": " + t.field + " \"" + *t.value + "\" has " +
                              std::to_string(t.value->size()) + " characters; at most " +
                              std::to_string(t.width - 1) + " fit");
    }
}

// Packs one row's file: its sizes into entry; its resource (the LZHUF
// stream, expanded again and compared with the file, or the file itself when
// raw) and its two checksums appended to packed. A file that cannot be
// packed adds a message, an empty resource and zero checksums.
void PackFile(const std::string& path, bool raw, const std::string& label, PayloadRow* entry, PackedProduct* packed,
              std::vector<std::string>* errors)
{
    std::vector<uint8_t> data;
    std::string error;
    bool readable = ReadWholeFile(path, &data, &error);
    if (!readable || data.size() > UINT32_MAX) {
        errors->push_back(label + (readable ? ": the file is larger than 4 GB" : ": cannot read the file: " + error));
        packed->resources.emplace_back();
        packed->checksums.insert(packed->checksums.end(), 2, 0);
        return;
    }
    entry->fileSize = (uint32_t)data.size();
    uint32_t fileChecksum = Crc32Update(CRC32_START, data.data(), data.size());
    if (raw || data.empty()) {
        packed->checksums.insert(packed->checksums.end(), 2, fileChecksum);
        packed->resources.push_back(data);
        return;
    }
    std::vector<uint8_t> stream = LzhufCompress(data.data(), data.size());
    std::vector<uint8_t> check;
    size_t consumed = 0;
    if (!LzhufExpand(stream.data(), stream.size(), entry->fileSize, &check, &consumed) || check != data ||
        consumed != stream.size())
        errors->push_back(label + ": the compressed stream does not expand back to the file");
    entry->storedSize = (uint32_t)stream.size();
    packed->checksums.push_back(Crc32Update(CRC32_START, stream.data(), stream.size()));
    packed->checksums.push_back(fileChecksum);
    packed->resources.push_back(std::move(stream));
}

}  // namespace

std::string CString(const char* text)
{
    std::string out = "\"";
    for (const char* c = text; *c; ++c) {
        unsigned char u = (unsigned char)*c;
        if (u == '\\' || u == '"') {
            out += '\\';
            out += (char)u;
        } else if (u < 32 || u >= 127 || u == '?') {
            char escape[8];
            snprintf(escape, sizeof escape, "\\%03o", u);
            out += escape;
        } else {
            out += (char)u;
        }
    }
    return out + "\"";
}

bool PackManifest(const Manifest& manifest, const std::string& where, const std::string& filesDir,
                  PackedProduct* packed, std::vector<std::string>* errors)
{
    size_t errorsBefore = errors->size();
    memset(&packed->info, 0, sizeof packed->info);
    memset(&packed->table, 0, sizeof packed->table);
    packed->resources.clear();
    packed->checksums.clear();
    RowLabels labels = {&where, &manifest};

    const TextField texts[] = {
        {"name", packed->info.name, sizeof packed->info.name, &manifest.name},
        {"version", packed->info.version, sizeof packed->info.version, &manifest.version},
        {"programGroup", packed->info.programGroup, sizeof packed->info.programGroup, &manifest.programGroup},
        {"publisher", packed->info.publisher, sizeof packed->info.publisher, &manifest.publisher},
        {"helpLink", packed->info.helpLink, sizeof packed->info.helpLink, &manifest.helpLink},
    };
    FitTexts(where, texts, sizeof texts / sizeof texts[0], errors);
    packed->info.fileTime = manifest.fileTime;
    CheckProductInfo(packed->info, errors);

    if (manifest.rows.size() > PAYLOAD_ROW_CAPACITY) {
        errors->push_back(where + ": " + std::to_string(manifest.rows.size()) + " rows; the file table holds " +
                          std::to_string(PAYLOAD_ROW_CAPACITY));
        return false;
    }
    int shortcuts = 0;
    for (size_t i = 0; i < manifest.rows.size(); ++i) {
        const ManifestRow& row = manifest.rows[i];
        PayloadRow& entry = packed->table.rows[i];
        std::string label = LabelRow((int)i, &labels);
        const TextField rowTexts[] = {
            {"fileName", entry.fileName, sizeof entry.fileName, &row.fileName},
            {"resourceName", entry.resourceName, sizeof entry.resourceName, &row.resourceName},
            {"shortcutName", entry.shortcutName, sizeof entry.shortcutName, &row.shortcutName},
        };
        FitTexts(label, rowTexts, sizeof rowTexts / sizeof rowTexts[0], errors);
        entry.flags = row.flags;
        if (entry.shortcutName[0] && entry.shortcutName[0] != '-')
            ++shortcuts;
        PackFile(filesDir + "/" + row.source, row.raw, label, &entry, packed, errors);
    }
    packed->table.rowCount = (uint16_t)manifest.rows.size();
    packed->table.shortcutCount = (uint16_t)shortcuts;
    CheckPayloadTable(packed->table, LabelRow, &labels, errors);
    return errors->size() == errorsBefore;
}

std::string ProductSource(const PackedProduct& packed, const std::string& manifestName)
{
    const ProductInfo& info = packed.info;
    const FileTimeFields& t = info.fileTime;
    std::string out;
    out += "// Generated by novlapack pack from " + manifestName + ": the product record and the\n";
    out += "// file table of " + std::string(info.name) + " " + info.version +
           ". Edit the manifest, not this file.\n";
    out += "#include \"payload/product.h\"\n\n";
    out += "const ProductInfo g_productInfo = {\n    " + CString(info.name) + ",\n    " + CString(info.version) +
           ",\n    " + CString(info.programGroup) + ",\n    " + CString(info.publisher) + ",\n    " +
           CString(info.helpLink) + ",\n";
    char line[200];
    snprintf(line, sizeof line, "    {%u, %u, %u, %u, %u, %u, %u, %u},\n};\n\n", t.year, t.month, t.dayOfWeek, t.day,
             t.hour, t.minute, t.second, t.milliseconds);
    out += line;
    out += "const PayloadTable g_payloadTable = {\n    {\n";
    for (int i = 0; i < packed.table.rowCount; ++i) {
        const PayloadRow& row = packed.table.rows[i];
        snprintf(line, sizeof line, ", 0x%04X, ", row.flags);
        out += "        {" + CString(row.fileName) + line + CString(row.resourceName) + ", " +
               CString(row.shortcutName);
        snprintf(line, sizeof line, ", %u, %u},\n", row.fileSize, row.storedSize);
        out += line;
    }
    out += "    },\n    " + std::to_string(packed.table.rowCount) + ",\n    " +
           std::to_string(packed.table.shortcutCount) + ",\n};\n";
    return out;
}

std::string PayloadFileName(const PayloadRow& row)
{
    return std::string(row.resourceName) + (row.storedSize ? ".lzh" : ".raw");
}

std::string PayloadScript(const PackedProduct& packed)
{
    std::string out = "/* Generated by novlapack pack: the files of the product, one RCDATA (10)\n"
                      "   resource per row of the file table, LZHUF streams or raw bytes. */\n";
    for (int i = 0; i < packed.table.rowCount; ++i) {
        const PayloadRow& row = packed.table.rows[i];
        out += std::string(row.resourceName) + " RCDATA \"payload/" + PayloadFileName(row) + "\"\n";
    }
    out += PAYLOAD_CHECKSUMS_NAME " RCDATA \"payload/" PAYLOAD_CHECKSUMS_NAME ".bin\"\n";
    return out;
}

std::vector<uint8_t> ChecksumsResource(const PackedProduct& packed)
{
    std::vector<uint8_t> out;
    for (uint32_t crc : packed.checksums)
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back((uint8_t)(crc >> shift));
    return out;
}

bool WritePackedProduct(const PackedProduct& packed, const std::string& manifestName, const std::string& outDir,
                        std::vector<std::string>* errors)
{
    std::string payloadDir = outDir + "/payload";
    mkdir(outDir.c_str(), 0777);
    mkdir(payloadDir.c_str(), 0777);
    std::string error;
    bool ok = true;
    for (int i = 0; i < packed.table.rowCount; ++i) {
        if (!WriteWholeFile(payloadDir + "/" + PayloadFileName(packed.table.rows[i]), packed.resources[(size_t)i],
                            &error)) {
            errors->push_back(error);
            ok = false;
        }
    }
    if (ok && !WriteWholeFile(payloadDir + "/" PAYLOAD_CHECKSUMS_NAME ".bin", ChecksumsResource(packed), &error)) {
        errors->push_back(error);
        ok = false;
    }
    // The script and the source last: a build that sees them finds every
    // file they name.
    if (ok && !WriteWholeFile(outDir + "/payload.rc", PayloadScript(packed), &error)) {
        errors->push_back(error);
        ok = false;
    }
    if (ok && !WriteWholeFile(outDir + "/product_data.cpp", ProductSource(packed, manifestName), &error)) {
        errors->push_back(error);
        ok = false;
    }
    return ok;
}
