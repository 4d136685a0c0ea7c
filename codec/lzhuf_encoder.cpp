// The LZHUF encoder of the packer: the match finder and the symbol writer
// that both parses share, the lazy parse (novlapack compress --fast) and the
// choice between the parses. The optimal parse is in lzhuf_optimal.cpp.
#include "codec/lzhuf_encoder.h"

#include <string.h>

#include "codec/lzhuf_host.h"

// The position code as tables (codec/lzhuf.h): host side only, the
// installer decodes positions by their bands.
const uint8_t d_code[256] = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02,
    0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
    0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x09, 0x09, 0x09, 0x09, 0x09, 0x09, 0x09, 0x09,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B,
    0x0C, 0x0C, 0x0C, 0x0C, 0x0D, 0x0D, 0x0D, 0x0D, 0x0E, 0x0E, 0x0E, 0x0E, 0x0F, 0x0F, 0x0F, 0x0F,
    0x10, 0x10, 0x10, 0x10, 0x11, 0x11, 0x11, 0x11, 0x12, 0x12, 0x12, 0x12, 0x13, 0x13, 0x13, 0x13,
    0x14, 0x14, 0x14, 0x14, 0x15, 0x15, 0x15, 0x15, 0x16, 0x16, 0x16, 0x16, 0x17, 0x17, 0x17, 0x17,
    0x18, 0x18, 0x19, 0x19, 0x1A, 0x1A, 0x1B, 0x1B, 0x1C, 0x1C, 0x1D, 0x1D, 0x1E, 0x1E, 0x1F, 0x1F,
    0x20, 0x20, 0x21, 0x21, 0x22, 0x22, 0x23, 0x23, 0x24, 0x24, 0x25, 0x25, 0x26, 0x26, 0x27, 0x27,
    0x28, 0x28, 0x29, 0x29, 0x2A, 0x2A, 0x2B, 0x2B, 0x2C, 0x2C, 0x2D, 0x2D, 0x2E, 0x2E, 0x2F, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
};

const uint8_t d_len[256] = {
    0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
    0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
    0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04,
    0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04,
    0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04,
    0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06,
    0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08,
};

namespace {

enum {
    N = LZHUF_N,
    F = LZHUF_F,
    T = LZHUF_T,
    R = LZHUF_R,
    MIN_MATCH = LZHUF_MIN_MATCH,
    HASH_BITS_MIN = 10,
    HASH_BITS_MAX = 15,
    // The copy of the stream's start: the spaces, then enough data that a
    // search that may reach into the spaces never compares past it.
    HEAD_BYTES = LZHUF_RING_START + N + F,
};

// The prefix code of a position's upper six bits, read back from the
// decoder's tables: the first eight bits of every code for value u map to u,
// and the code itself is the top d_len bits of them.
struct PositionCode {
    uint8_t bits[64];
    uint8_t length[64];
    PositionCode()
    {
        memset(length, 0, sizeof length);
        for (unsigned b = 0; b < 256; ++b) {
            unsigned u = d_code[b];
            if (length[u] == 0) {
                length[u] = d_len[b];
                bits[u] = (uint8_t)(b >> (8 - d_len[b]));
            }
        }
    }
};

const PositionCode& ThePositionCode()
{
    static const PositionCode code;
    return code;
}

}  // namespace

const uint8_t kLzhufBandBits[LZHUF_POSITION_BANDS] = {9, 10, 11, 12, 13, 14};

unsigned LzhufDistanceBand(unsigned distance)
{
    return ThePositionCode().length[(distance - 1) >> 6] - 3u;
}

LzhufMatchFinder::LzhufMatchFinder(const uint8_t* data, size_t size, unsigned chainLimit)
    : data_(data), end_(LZHUF_RING_START + (uint64_t)size), chainLimit_(chainLimit)
{
    headEnd_ = end_ < HEAD_BYTES ? end_ : (uint64_t)HEAD_BYTES;
    head_.assign(LZHUF_RING_START, ' ');
    head_.insert(head_.end(), data, data + (headEnd_ - LZHUF_RING_START));
    // Only the last N positions are ever looked at, so a table in
    // proportion to short data (the fuzzer's) and to the window for the rest.
    hashBits_ = HASH_BITS_MIN;
    while (hashBits_ < HASH_BITS_MAX && (1ull << hashBits_) < end_)
        ++hashBits_;
    chainHead_.assign((size_t)1 << hashBits_, -1);
    chainLink_.assign(N, -1);
    // The spaces before the data: every position whose three bytes are all
    // spaces has the same hash, so its chain is set up at once; the last two
    // positions, which reach into the data, go in as usual.
    const int64_t spaces = LZHUF_RING_START - (MIN_MATCH - 1);
    for (int64_t i = 0; i < spaces; ++i)
        chainLink_[(size_t)i] = i - 1;
    chainHead_[Hash(0)] = spaces - 1;
    for (uint64_t i = (uint64_t)spaces; i < LZHUF_RING_START; ++i)
        Insert(i);
}

unsigned LzhufMatchFinder::Hash(uint64_t at) const
{
    uint32_t key = (uint32_t)Byte(at) << 16 | (uint32_t)Byte(at + 1) << 8 | Byte(at + 2);
    return (key * 2654435761u) >> (32 - hashBits_);
}

void LzhufMatchFinder::Insert(uint64_t at)
{
    if (at + MIN_MATCH > end_)
        return;
    unsigned h = Hash(at);
    chainLink_[at % N] = chainHead_[h];
    chainHead_[h] = (int64_t)at;
}

void LzhufMatchFinder::Skip(uint64_t at)
{
    Insert(at);
}

void LzhufMatchFinder::Find(uint64_t at, LzhufMatches* out)
{
    out->count = 0;
    uint64_t limit = end_ - at;
    if (limit > F)
        limit = F;
    if (limit < MIN_MATCH) {
        Insert(at);
        return;
    }
    // Where the bytes are read: the copy while a match may reach the
    // spaces, the data in place after that (then every candidate lies at
    // LZHUF_RING_START or later, as at > HEAD_BYTES - F).
    const uint8_t* here;
    const uint8_t* base;  // the byte at position p is base[p - origin]
    uint64_t origin;
    if (headEnd_ == end_ || at + F <= headEnd_) {
        base = head_.data();
        origin = 0;
    } else {
        base = data_;
        origin = LZHUF_RING_START;
    }
    here = base + (at - origin);
    unsigned best = MIN_MATCH - 1;
    unsigned steps = 0;
    // Positions join their chain only after their own search, so every
    // link followed within the window is still that position's own (the
    // ring slot is reused only by the position N later).
    for (int64_t s = chainHead_[Hash(at)]; s >= 0 && steps < chainLimit_; s = chainLink_[(size_t)s % N], ++steps) {
        uint64_t distance = at - (uint64_t)s;
        if (distance > N)
            break;
        const uint8_t* there = base + ((uint64_t)s - origin);
        if (there[best] != here[best])
            continue;
        unsigned length = 0;
        while (length < limit && there[length] == here[length])
            ++length;
        if (length <= best)
            continue;
        best = length;
        unsigned band = LzhufDistanceBand((unsigned)distance);
        // A longer match in the same band costs the same to send.
        if (out->count == 0 || LzhufDistanceBand(out->distance[out->count - 1]) != band)
            ++out->count;
        out->length[out->count - 1] = (uint16_t)length;
        out->distance[out->count - 1] = (uint16_t)distance;
        if (length == limit)
            break;
    }
    Insert(at);
}

LzhufSymbolWriter::LzhufSymbolWriter(std::vector<uint8_t>* out) : out_(out)
{
    LzhufInitTree(&tree_);
}

void LzhufSymbolWriter::PutBits(uint32_t bits, unsigned count)
{
    pending_ = pending_ << count | bits;
    pendingCount_ += count;
    while (pendingCount_ >= 8) {
        pendingCount_ -= 8;
        out_->push_back((uint8_t)(pending_ >> pendingCount_));
    }
}

void LzhufSymbolWriter::Finish()
{
    if (pendingCount_ > 0)
        out_->push_back((uint8_t)(pending_ << (8 - pendingCount_)));
    pending_ = 0;
    pendingCount_ = 0;
}

// The symbol's code is its path from the root: walk up from the leaf,
// collecting the bits with the root's first.
void LzhufSymbolWriter::PutSymbol(unsigned symbol)
{
    uint32_t code = 0;
    unsigned depth = 0;
    unsigned node = tree_.parent[symbol + T];
    while (node != R) {
        unsigned up = tree_.parent[node];
        code |= (uint32_t)(node - tree_.child[up]) << depth;
        ++depth;
        node = up;
    }
    // The tree keeps its codes to 21 bits or fewer (the decoder's
    // LONGEST_CODE), so the code fits one call.
    PutBits(code, depth);
    LzhufUpdateTree(&tree_, symbol);
}

void LzhufSymbolWriter::PutMatch(unsigned length, unsigned distance)
{
    const PositionCode& code = ThePositionCode();
    PutSymbol(256 + length - MIN_MATCH);
    unsigned position = distance - 1;
    unsigned upper = position >> 6;
    PutBits(code.bits[upper], code.length[upper]);
    PutBits(position & 0x3F, 6);
}

void LzhufSymbolWriter::CodeLengths(uint8_t lengths[LZHUF_N_CHAR]) const
{
    // A child always counts less than its parent, so it has the lower
    // index: going down from the root, each node's parent is done first.
    uint8_t depth[T];
    depth[R] = 0;
    for (size_t i = R; i-- > 0;)
        depth[i] = (uint8_t)(depth[tree_.parent[i]] + 1);
    for (unsigned s = 0; s < LZHUF_N_CHAR; ++s)
        lengths[s] = depth[tree_.parent[s + T]];
}

void LzhufParseLazy(const uint8_t* data, size_t size, LzhufSymbolWriter* writer)
{
    // Every search runs its chain to the window's end: the longest match.
    LzhufMatchFinder finder(data, size, N + 1);
    uint64_t end = finder.End();
    uint64_t pos = LZHUF_RING_START;
    LzhufMatches here, next;
    finder.Find(pos, &here);
    while (pos < end) {
        unsigned length = here.count ? here.length[here.count - 1] : 0;
        if (length >= MIN_MATCH && pos + 1 < end) {
            finder.Find(pos + 1, &next);
            if (next.count && next.length[next.count - 1] > length) {
                // A longer match starts one byte later: send this byte as a
                // literal and take that one instead.
                writer->PutLiteral(finder.Byte(pos));
                ++pos;
                here = next;
                continue;
            }
            writer->PutMatch(length, here.distance[here.count - 1]);
            for (uint64_t k = 2; k < length; ++k)
                finder.Skip(pos + k);
            pos += length;
        } else if (length >= MIN_MATCH) {
            writer->PutMatch(length, here.distance[here.count - 1]);
            pos += length;
        } else {
            writer->PutLiteral(finder.Byte(pos));
            ++pos;
        }
        if (pos < end)
            finder.Find(pos, &here);
    }
}

std::vector<uint8_t> LzhufCompress(const uint8_t* data, size_t size, LzhufParse parse)
{
    std::vector<uint8_t> out;
    if (size == 0)
        return out;
    LzhufSymbolWriter writer(&out);
    if (parse == LzhufParse::kLazy)
        LzhufParseLazy(data, size, &writer);
    else
        LzhufParseOptimal(data, size, &writer);
    writer.Finish();
    return out;
}
