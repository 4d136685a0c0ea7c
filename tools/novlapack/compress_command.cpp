// novlapack compress IN OUT [--fast]: a headerless LZHUF stream of IN.
#include <stdio.h>

#include "codec/lzhuf_host.h"
#include "command.h"
#include "file_io.h"

extern const Command kCompressCommand;

static int RunCompress(const CommandArguments& args)
{
    const char* in = args.positional[0];
    std::vector<uint8_t> data;
    std::string error;
    if (!ReadWholeFile(in, &data, &error))
        return CommandFailure(kCompressCommand, "%s", error.c_str());
    if (data.size() > UINT32_MAX)
        return CommandFailure(kCompressCommand, "%s: larger than 4 GB", in);
    LzhufParse parse = args.Option("--fast") ? LzhufParse::kLazy : LzhufParse::kOptimal;
    std::vector<uint8_t> stream = LzhufCompress(data.data(), data.size(), parse);
    if (!WriteWholeFile(args.positional[1], stream, &error))
        return CommandFailure(kCompressCommand, "%s", error.c_str());
    printf("%s: %zu bytes -> %zu bytes\n", in, data.size(), stream.size());
    return 0;
}

const Command kCompressCommand = {
    "compress",
    "IN OUT [--fast]",
    "writes a headerless LZHUF stream of IN to OUT",
    "Compresses IN into OUT as a headerless LZHUF stream: no length, no end\n"
    "marker. Expanding it needs IN's size (novlapack expand --size).\n"
    "Each stretch of IN is sent as its cheapest sequence of literals and\n"
    "matches under the code as it stands; --fast takes the longest matches\n"
    "instead (one step of lazy matching): several times faster, about one to\n"
    "two per cent larger.\n",
    2,
    {{"--fast", OPTION_FLAG}},
    RunCompress,
};
