#pragma once
// Host side of LZHUF (packer, tests, fuzzers, benchmarks; not the installer):
// the encoder and an expansion into memory.
#include <stddef.h>
#include <stdint.h>

#include <vector>

// How the encoder chooses between literals and matches.
enum class LzhufParse {
    // The cheapest sequence of literals and matches, stretch by stretch,
    // under the adaptive tree's code lengths as each stretch begins.
    kOptimal,
    // The longest match in the 4096-byte window, the nearest among equally
    // long ones, put off by one literal when the next position has a longer
    // one. Several times faster, and larger streams.
    kLazy,
};

// A headerless LZHUF stream of data, in the format LzhufDecodeStream reads: the
// ring starts as 4036 spaces with the first byte at position 4036. The same
// data and parse always give the same stream. Memory beyond the stream does
// not grow with the data. Empty input gives an empty stream.
std::vector<uint8_t> LzhufCompress(const uint8_t* data, size_t size, LzhufParse parse = LzhufParse::kOptimal);

// Expands stored to exactly fileSize bytes into out, through LzhufDecodeStream and
// LzhufWriteOutput (it takes the decoder's output over for the call). False only
// when storedSize does not fit the decoder's 32-bit count (memory that runs
// out ends the host program, as everywhere in the host tools). consumed,
// when given, receives how many stored bytes the stream needed: for a stream
// the encoder made, all of them.
bool LzhufExpand(const uint8_t* stored, size_t storedSize, uint32_t fileSize,
                 std::vector<uint8_t>* out, size_t* consumed = nullptr);
