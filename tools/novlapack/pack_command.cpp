// novlapack pack MANIFEST OUTDIR [--files DIR]: the compiled-in product
// record and file table, and the payload resources, from the manifest.
#include <stdio.h>

#include "command.h"
#include "file_io.h"
#include "pack.h"

extern const Command kPackCommand;

static int RunPack(const CommandArguments& args)
{
    std::string manifestPath = args.positional[0];
    const char* files = args.Option("--files");
    std::string where = FileNameOf(manifestPath);

    std::vector<uint8_t> text;
    std::string error;
    if (!ReadWholeFile(manifestPath, &text, &error))
        return CommandFailure(kPackCommand, "%s", error.c_str());
    Manifest manifest;
    PackedProduct packed;
    std::vector<std::string> errors;
    if (ParseManifest(std::string(text.begin(), text.end()), where, &manifest, &errors))
        PackManifest(manifest, where, files ? files : FolderOf(manifestPath), &packed, &errors);
    if (errors.empty())
        WritePackedProduct(packed, where, args.positional[1], &errors);
    if (!errors.empty())
        return CommandProblems(kPackCommand, errors);
    uint64_t fileBytes = 0, storedBytes = 0;
    for (int i = 0; i < packed.table.rowCount; ++i) {
        const PayloadRow& row = packed.table.rows[i];
        fileBytes += row.fileSize;
        storedBytes += row.storedSize ? row.storedSize : row.fileSize;
    }
    printf("novlapack pack: %s %s, %u rows, %llu bytes stored as %llu\n", packed.info.name, packed.info.version,
           packed.table.rowCount, (unsigned long long)fileBytes, (unsigned long long)storedBytes);
    return 0;
}

const Command kPackCommand = {
    "pack",
    "MANIFEST OUTDIR [--files DIR]",
    "builds the product record, the file table and the payload resources",
    "Reads the product manifest (format at the top of tools/novlapack/manifest.h),\n"
    "compresses each row's file (DIR/source; DIR defaults to the manifest's\n"
    "folder) or keeps it raw, expands every stream again to check it, checks the\n"
    "rules of the records, and writes into OUTDIR:\n"
    "  product_data.cpp   g_productInfo and g_payloadTable\n"
    "  payload.rc         one RCDATA resource per row\n"
    "  payload/           the streams (.lzh) and raw files (.raw) it names\n"
    "A broken manifest or a missing file is reported with its row and rule, and\n"
    "nothing is written. The same inputs give the same bytes.\n",
    2,
    {{"--files", OPTION_VALUE}},
    RunPack,
};
