#pragma once
// `novlapack pack`: from the manifest and the product files to the compiled-in
// records and the resource script of the payload.
#include <stdint.h>

#include <string>
#include <vector>

#include "manifest.h"
#include "payload/product.h"

struct PackedProduct {
    ProductInfo info;
    PayloadTable table;
    std::vector<std::vector<uint8_t>> resources;  // per row: the stream, or the raw file
    std::vector<uint32_t> checksums;              // per row: CRC-32 of the stored bytes, then of the file
};

// Builds the records and the resources: reads each row's file from
// filesDir/source, compresses it (or keeps it raw), expands every stream
// again and compares it with the file byte for byte, and checks the records
// (table_check.h). where names the manifest in messages. False with every
// problem in errors.
bool PackManifest(const Manifest& manifest, const std::string& where, const std::string& filesDir,
                  PackedProduct* packed, std::vector<std::string>* errors);

// A C string literal of text, quotes included; backslashes and quotes are
// escaped, and octal escapes keep any other byte unambiguous.
std::string CString(const char* text);

// The C++ source that defines g_productInfo and g_payloadTable.
std::string ProductSource(const PackedProduct& packed, const std::string& manifestName);

// The resource script with one RCDATA per row, naming files below
// "payload/" relative to the folder of the script.
std::string PayloadScript(const PackedProduct& packed);

// The file name, below "payload/", that holds a row's resource bytes.
std::string PayloadFileName(const PayloadRow& row);

// The bytes of the checksums resource (PAYLOAD_CHECKSUMS_NAME).
std::vector<uint8_t> ChecksumsResource(const PackedProduct& packed);

// Writes product_data.cpp, payload.rc and payload/<resource files> into
// outDir; files that already hold the same bytes are left untouched.
bool WritePackedProduct(const PackedProduct& packed, const std::string& manifestName, const std::string& outDir,
                        std::vector<std::string>* errors);
