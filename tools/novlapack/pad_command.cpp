// novlapack pad OUT --size N [--from IN] [--seed TEXT] [--chm]: builds a
// stand-in product file of exactly N bytes. The bytes of IN (a program built
// for the stand-in product) come first; the rest is filler that compresses
// about as well as program code and data do, the same for the same seed.
#include "command.h"
#include "file_io.h"

extern const Command kPadCommand;

namespace {

// The signature and header length of a compiled HTML Help file.
const uint8_t kHelpHeader[] = {'I', 'T', 'S', 'F', 3, 0, 0, 0, 0x60, 0, 0, 0, 1, 0, 0, 0};
const size_t kHelpHeaderSize = 0x60;

class Filler {
public:
    explicit Filler(const char* seed)
    {
        state_ = 2166136261u;  // FNV-1a of the seed
        for (const char* c = seed; *c; ++c)
            state_ = (state_ ^ (uint8_t)*c) * 16777619u;
        if (state_ == 0)
            state_ = 1;
        for (uint8_t& b : common_)
            b = (uint8_t)Next();
    }

    // Appends filler until data holds size bytes: runs of frequent byte
    // values, now and then a plain random byte, and repeats of recent runs
    // with a changed byte, as compiled code and tables have them.
    void Fill(std::vector<uint8_t>* data, size_t size)
    {
        while (data->size() < size) {
            uint32_t r = Next();
            size_t have = data->size();
            if (r % 100 < 30 && have >= 256) {
                size_t length = 6 + (Next() % 40);
                size_t back = 16 + (Next() % 3000);
                if (back > have)
                    back = have;
                size_t from = have - back;
                for (size_t k = 0; k < length && data->size() < size; ++k)
                    data->push_back((*data)[from + k]);
                if (data->size() < size && (Next() & 1))
                    data->push_back((uint8_t)Next());
            } else {
                size_t length = 4 + (Next() % 16);
                for (size_t k = 0; k < length && data->size() < size; ++k) {
                    uint32_t pick = Next();
                    data->push_back((pick & 7) == 0 ? (uint8_t)(pick >> 8) : common_[(pick >> 8) % 48]);
                }
            }
        }
    }

private:
    uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    uint32_t state_;
    uint8_t common_[48];
};

int RunPad(const CommandArguments& args)
{
    const char* out = args.positional[0];
    const char* from = args.Option("--from");
    const char* sizeText = args.Option("--size");
    const char* seed = args.Option("--seed", "");
    const bool help = args.Option("--chm") != nullptr;
    uint32_t size = 0;
    if (!ParseByteCount(sizeText, &size))
        return CommandFailure(kPadCommand, "--size %s: not a size of 0 to 4294967295 bytes", sizeText);

    std::vector<uint8_t> data;
    std::string error;
    if (from && !ReadWholeFile(from, &data, &error))
        return CommandFailure(kPadCommand, "%s", error.c_str());
    if (help) {
        std::vector<uint8_t> header(kHelpHeader, kHelpHeader + sizeof kHelpHeader);
        header.resize(kHelpHeaderSize, 0);
        data.insert(data.begin(), header.begin(), header.end());
    }
    if (data.size() > size)
        return CommandFailure(kPadCommand, "%s: %zu bytes already, more than --size %u", out, data.size(), size);
    Filler(seed).Fill(&data, size);
    if (!WriteWholeFile(out, data, &error))
        return CommandFailure(kPadCommand, "%s", error.c_str());
    return 0;
}

}  // namespace

const Command kPadCommand = {
    "pad",
    "OUT --size N [--from IN] [--seed TEXT] [--chm]",
    "makes a stand-in product file of exactly N bytes",
    "Writes OUT, exactly N bytes: the bytes of IN when given (a stand-in program;\n"
    "Windows ignores bytes after its image), then filler that compresses about\n"
    "as well as program code. --chm starts the file with the signature header of\n"
    "a compiled HTML Help file. The same arguments give the same bytes. Fails\n"
    "when IN (with the header) is already larger than N.\n",
    1,
    {{"--size", OPTION_REQUIRED_VALUE}, {"--from", OPTION_VALUE}, {"--seed", OPTION_VALUE}, {"--chm", OPTION_FLAG}},
    RunPad,
};
