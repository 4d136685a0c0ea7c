// novlapack expand IN OUT --size N: IN expanded to exactly N bytes.
#include <stdio.h>
#include <string.h>

#include "command.h"

extern const Command kExpandCommand;
#include "file_io.h"
#include "payload/lzhuf_host.h"

static int RunExpand(int argc, char** argv)
{
    const char* paths[2] = {nullptr, nullptr};
    int pathCount = 0;
    const char* sizeText = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (strcmp(argv[i], "--size") == 0 && i + 1 < argc)
            sizeText = argv[++i];
        else if (pathCount < 2 && strncmp(argv[i], "--", 2) != 0)
            paths[pathCount++] = argv[i];
        else
            return CommandUsage(kExpandCommand);
    }
    uint32_t size = 0;
    if (pathCount != 2 || !sizeText)
        return CommandUsage(kExpandCommand);
    if (!ParseByteCount(sizeText, &size))
        return CommandFailure(kExpandCommand, "--size %s: not a size of 0 to 4294967295 bytes", sizeText);
    std::vector<uint8_t> stream;
    std::string error;
    if (!ReadWholeFile(paths[0], &stream, &error))
        return CommandFailure(kExpandCommand, "%s", error.c_str());
    std::vector<uint8_t> data;
    size_t consumed = 0;
    if (!LzhufExpand(stream.data(), stream.size(), size, &data, &consumed))
        return CommandFailure(kExpandCommand, "%s: cannot expand", paths[0]);
    if (!WriteWholeFile(paths[1], data, &error))
        return CommandFailure(kExpandCommand, "%s", error.c_str());
    if (consumed < stream.size())
        fprintf(stderr, "novlapack expand: %s: %zu bytes after the end of the stream were not used\n", paths[0],
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
    RunExpand,
};
