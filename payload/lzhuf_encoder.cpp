// The LZHUF encoder of the packer: the same tree and position code as the
// decoder, with a longest-match finder over hash chains and one step of lazy
// matching.
#include <string.h>

#include "payload/lzhuf.h"
#include "payload/lzhuf_host.h"

// The position code as tables (payload/lzhuf.h): host side only, the
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
    MIN_MATCH = LZHUF_THRESHOLD + 1,
    MAX_HASH_BITS = 16,
};

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>* out) : out_(out) {}
    // Appends the low count bits of bits, most significant first.
    void Put(uint32_t bits, unsigned count)
    {
        while (count > 0) {
            --count;
            acc_ = (uint8_t)((acc_ << 1) | ((bits >> count) & 1));
            if (++filled_ == 8) {
                out_->push_back(acc_);
                acc_ = 0;
                filled_ = 0;
            }
        }
    }
    // Pads the last byte with zero bits, which is what the decoder reads
    // past the end anyway.
    void Finish()
    {
        if (filled_ > 0)
            out_->push_back((uint8_t)(acc_ << (8 - filled_)));
        acc_ = 0;
        filled_ = 0;
    }

private:
    std::vector<uint8_t>* out_;
    uint8_t acc_ = 0;
    unsigned filled_ = 0;
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

class Encoder {
public:
    Encoder(const uint8_t* data, size_t size, std::vector<uint8_t>* out)
        : bits_(out), start_(LZHUF_RING_START)
    {
        // The window as the decoder sees it: 4036 spaces, then the data.
        // Matches may reach back into the spaces but never before them
        // (ring positions 4036..4095 hold nothing known at the start).
        window_.assign(start_, ' ');
        window_.insert(window_.end(), data, data + size);
        // A hash table in proportion to the input: short inputs (the
        // fuzzer's, small texts) need not clear a large one.
        while (hashBits_ < MAX_HASH_BITS && (1u << hashBits_) < window_.size())
            ++hashBits_;
        head_.assign(1u << hashBits_, -1);
        prev_.assign(window_.size(), -1);
        InitTree(&tree_);
    }

    void Run()
    {
        // The spaces before the data: every position whose three bytes are
        // all spaces has the same hash, so inserting them one by one would
        // link each to the one before and leave the last at the head. That
        // chain is set up at once; the last two positions, which reach into
        // the data, go in as usual.
        const size_t spaces = start_ - (MIN_MATCH - 1);
        for (size_t i = 0; i < spaces; ++i)
            prev_[i] = (long)i - 1;
        head_[Hash(0)] = (long)spaces - 1;
        lastInserted_ = (long)spaces - 1;
        for (size_t i = spaces; i < start_; ++i)
            Insert(i);
        size_t pos = start_;
        Match pending = FindMatch(pos);
        while (pos < window_.size()) {
            Match here = pending;
            Insert(pos);
            if (here.length >= MIN_MATCH && pos + 1 < window_.size()) {
                Match next = FindMatch(pos + 1);
                if (next.length > here.length) {
                    // A longer match starts one byte later: send this byte
                    // as a literal and take that one instead.
                    PutSymbol(window_[pos]);
                    ++pos;
                    pending = next;
                    continue;
                }
            }
            if (here.length >= MIN_MATCH) {
                PutSymbol(256 + here.length - MIN_MATCH);
                PutPosition((unsigned)(here.distance - 1));
                for (size_t k = 1; k < here.length; ++k)
                    Insert(pos + k);
                pos += here.length;
            } else {
                PutSymbol(window_[pos]);
                ++pos;
            }
            if (pos < window_.size())
                pending = FindMatch(pos);
        }
        bits_.Finish();
    }

private:
    struct Match {
        size_t length = 0;
        size_t distance = 0;
    };

    unsigned Hash(size_t i) const
    {
        uint32_t key = (uint32_t)window_[i] << 16 | (uint32_t)window_[i + 1] << 8 | window_[i + 2];
        return (key * 2654435761u) >> (32 - hashBits_);
    }

    // Adds position i to its chain once; positions are inserted in order.
    void Insert(size_t i)
    {
        if (i + MIN_MATCH > window_.size() || (long)i <= lastInserted_)
            return;
        unsigned h = Hash(i);
        prev_[i] = head_[h];
        head_[h] = (long)i;
        lastInserted_ = (long)i;
    }

    // The longest match for position i within the last N bytes, the nearest
    // among equally long ones. Chains run from the most recent position back.
    Match FindMatch(size_t i) const
    {
        Match best;
        size_t limit = window_.size() - i;
        if (limit > F)
            limit = F;
        if (limit < MIN_MATCH)
            return best;
        const uint8_t* here = &window_[i];
        for (long s = head_[Hash(i)]; s >= 0; s = prev_[(size_t)s]) {
            if ((size_t)s >= i)
                continue;
            size_t distance = i - (size_t)s;
            if (distance > N)
                break;
            const uint8_t* there = &window_[(size_t)s];
            if (there[best.length] != here[best.length])
                continue;
            size_t length = 0;
            while (length < limit && there[length] == here[length])
                ++length;
            if (length > best.length) {
                best.length = length;
                best.distance = distance;
                if (length == limit)
                    break;
            }
        }
        if (best.length < MIN_MATCH)
            best = Match();
        return best;
    }

    // The symbol's code is its path from the root: walk up from the leaf,
    // then send the bits root first.
    void PutSymbol(unsigned symbol)
    {
        uint8_t path[T];
        unsigned depth = 0;
        unsigned node = tree_.parent[symbol + T];
        while (node != R) {
            unsigned up = tree_.parent[node];
            path[depth++] = (uint8_t)(node - tree_.child[up]);
            node = up;
        }
        while (depth > 0)
            bits_.Put(path[--depth], 1);
        UpdateTree(&tree_, symbol);
    }

    void PutPosition(unsigned position)
    {
        static const PositionCode code;
        unsigned upper = position >> 6;
        bits_.Put(code.bits[upper], code.length[upper]);
        bits_.Put(position & 0x3F, 6);
    }

    BitWriter bits_;
    LzhufTree tree_;
    size_t start_;
    std::vector<uint8_t> window_;
    std::vector<long> head_;
    std::vector<long> prev_;
    long lastInserted_ = -1;
    unsigned hashBits_ = 10;
};

}  // namespace

std::vector<uint8_t> LzhufCompress(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> out;
    if (size == 0)
        return out;
    Encoder encoder(data, size, &out);
    encoder.Run();
    return out;
}
