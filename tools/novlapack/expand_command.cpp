// novlapack expand IN OUT --size N: IN expanded to exactly N bytes.
#include "codec/lzhuf_host.h"
#include "command.h"
#include "file_io.h"

extern const Command kExpandCommand;

static int RunExpand(const CommandArguments& args)
{
    const char* in = args.positional[0];
    const char* out = args.positional[1];
    const char* sizeText = args.Option("--size");
    uint32_t size = 0;
    if (!ParseByteCount(sizeText, &size))
        return CommandFailure(kExpandCommand, "--size %s: not a size of 0 to 4294967295 bytes", sizeText);
    std::vector<uint8_t> stream;
    std::string error;
    if (!ReadWholeFile(in, &stream, &error))
        return CommandFailure(kExpandCommand, "%s", error.c_str());
    std::vector<uint8_t> data;
    size_t consumed = 0;
    if (!LzhufExpand(stream.data(), stream.size(), size, &data, &consumed))
        return CommandFailure(kExpandCommand, "%s: cannot expand", in);
    if (!WriteWholeFile(out, data, &error))
        return CommandFailure(kExpandCommand, "%s", error.c_str());
    if (consumed < stream.size())
        CommandNote(kExpandCommand, "%s: %zu bytes after the end of the stream were not used", in,
                    stream.size() - consumed);
    return 0;
}

const Command kExpandCommand = {
    "expand",
    "IN OUT --size N",
    "expands the LZHUF stream IN to exactly N bytes in OUT",
    "Expands the headerless LZHUF stream IN into OUT, exactly N bytes, as the\n"
    "installer does: a stream that ends early goes on as zero bits, a copy past\n"
    "N bytes is cut at N. Stored bytes left over are reported on stderr.\n",
    2,
    {{"--size", OPTION_REQUIRED_VALUE}},
    RunExpand,
};
