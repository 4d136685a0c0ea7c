#pragma once
// Inside the packer's LZHUF encoder (host side only): the match finder and
// the symbol writer that both parses share (codec/lzhuf_encoder.cpp), and
// the two parses (lazy in lzhuf_encoder.cpp, optimal in lzhuf_optimal.cpp).
//
// Positions count from the start of the ring as the decoder fills it: 0 to
// LZHUF_RING_START - 1 are the prefilled spaces, the data's first byte is at
// LZHUF_RING_START. A match at position p with distance d (1..LZHUF_N)
// copies from p - d and is sent as position code d - 1.
#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "codec/lzhuf.h"

enum {
    LZHUF_MIN_MATCH = LZHUF_THRESHOLD + 1,
    // The position code's bands (codec/lzhuf.h): codes of 9 to 14 bits.
    LZHUF_POSITION_BANDS = 6,
};

// The band of a match distance (1..LZHUF_N): its position code takes
// band + 9 bits.
unsigned LzhufDistanceBand(unsigned distance);

// The matches worth sending from one position. The cost of a match is its
// length's symbol and its position code, and a position code costs the same
// over its whole band; so for each band only the longest match at most that
// far matters, and only when it is longer than the nearer bands' best.
// Lengths rise strictly with the index, distances (and bands) too; the last
// is the longest match found, the nearest of that length.
struct LzhufMatches {
    unsigned count;
    uint16_t length[LZHUF_POSITION_BANDS];
    uint16_t distance[LZHUF_POSITION_BANDS];
};

// Hash chains over 3-byte prefixes, nearest first, with the chain links in
// a ring of the window's size: memory does not grow with the data. The data
// itself is read in place; only the start of the stream, where matches may
// reach back into the prefilled spaces, goes through a short copy.
class LzhufMatchFinder {
public:
    // chainLimit: how many earlier positions one search looks at, at most.
    LzhufMatchFinder(const uint8_t* data, size_t size, unsigned chainLimit);

    // One past the last position of the data.
    uint64_t End() const { return end_; }
    uint8_t Byte(uint64_t at) const { return at < LZHUF_RING_START ? ' ' : data_[at - LZHUF_RING_START]; }

    // Positions are taken in order, each once, by Find or Skip, starting at
    // LZHUF_RING_START. Find gives the matches at `at` (none in the data's
    // last two bytes) and then adds `at` to its chain; Skip only adds it.
    void Find(uint64_t at, LzhufMatches* out);
    void Skip(uint64_t at);

private:
    unsigned Hash(uint64_t at) const;
    void Insert(uint64_t at);

    const uint8_t* data_;
    uint64_t end_;
    unsigned chainLimit_;
    unsigned hashBits_;
    // The prefilled spaces and the first bytes of data, up to headEnd_:
    // every match that reaches into the spaces lies within it.
    std::vector<uint8_t> head_;
    uint64_t headEnd_;
    std::vector<int64_t> chainHead_;   // last position of each hash, or -1
    std::vector<int64_t> chainLink_;   // position before p on p's chain, at p % LZHUF_N
};

// Writes symbols and positions as the decoder reads them, keeping the same
// adaptive tree.
class LzhufSymbolWriter {
public:
    explicit LzhufSymbolWriter(std::vector<uint8_t>* out);

    void PutLiteral(uint8_t byte) { PutSymbol(byte); }
    void PutMatch(unsigned length, unsigned distance);
    // Pads the last byte with zero bits, which the decoder reads past the
    // end anyway.
    void Finish();

    // The present code length, in bits, of every symbol (0..313).
    void CodeLengths(uint8_t lengths[LZHUF_N_CHAR]) const;

private:
    void PutSymbol(unsigned symbol);
    void PutBits(uint32_t bits, unsigned count);

    std::vector<uint8_t>* out_;
    uint64_t pending_ = 0;     // bits not yet written, the last in bit 0
    unsigned pendingCount_ = 0;
    LzhufTree tree_;
};

// The bits of a match's position code, by band.
extern const uint8_t kLzhufBandBits[LZHUF_POSITION_BANDS];

// Longest match, nearest among equally long ones, put off by one literal
// when the next position has a longer one (novlapack compress --fast).
void LzhufParseLazy(const uint8_t* data, size_t size, LzhufSymbolWriter* writer);
// Each stretch of the data parsed as the cheapest sequence of literals and
// matches under the tree's code lengths as the stretch begins.
void LzhufParseOptimal(const uint8_t* data, size_t size, LzhufSymbolWriter* writer);
