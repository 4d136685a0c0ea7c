#pragma once
// LZHUF: the compression of the payload streams. LZSS over a 4096-byte ring
// with matches of 3 to 60 bytes; literal bytes and match lengths share one
// adaptive Huffman tree of 314 symbols; a match position is sent as a fixed
// prefix code for its upper 6 bits followed by its lower 6 bits as they are.
//
// A stream has no header, no length and no end marker: the file table gives
// how many bytes it occupies (storedSize) and how many it expands to
// (fileSize). Bits are packed most significant first; bits past the stored
// bytes read as zeros. Every stream starts from a fresh state: the tree as
// InitTree leaves it, ring[0..4035] filled with spaces and the first byte
// written at ring position 4036.
//
// Portable: no Windows header. The installer and the host tools share the
// decoder and the tree; each side supplies where the output goes (below).
#include <stddef.h>
#include <stdint.h>

enum {
    LZHUF_N = 4096,                  // ring (window) size
    LZHUF_F = 60,                    // longest match
    LZHUF_THRESHOLD = 2,             // matches are longer than this: 3 to 60
    LZHUF_N_CHAR = 256 - LZHUF_THRESHOLD + LZHUF_F,  // 314 symbols
    LZHUF_T = 2 * LZHUF_N_CHAR - 1,  // 627 tree nodes
    LZHUF_R = LZHUF_T - 1,           // 626, the root
    LZHUF_MAX_FREQ = 0x8000,         // root frequency that triggers a rebuild
    LZHUF_RING_START = LZHUF_N - LZHUF_F,  // 4036: spaces before, first byte here
    LZHUF_OUTPUT_BLOCK = 1024,       // bytes per WriteOutput while decoding
};

// Symbols 0..255 are literal bytes; 256..313 are matches of length
// symbol - 253 (3 to 60).
inline unsigned LzhufMatchLength(unsigned symbol) { return symbol - (256 - LZHUF_THRESHOLD - 1); }

// The adaptive Huffman tree, shared by the decoder and the host encoder so
// both sides update it identically.
//   freq[i]            frequency of node i, non-decreasing by index;
//                      freq[T] is a 0xFFFF sentinel
//   parent[i]          parent of node i (parent[R] is 0);
//   parent[T + s]      the leaf node of symbol s
//   child[i]           first child of internal node i (the second child is
//                      child[i] + 1); T + symbol for a leaf
struct LzhufTree {
    uint16_t freq[LZHUF_T + 1];
    uint16_t parent[LZHUF_T + LZHUF_N_CHAR];
    uint16_t child[LZHUF_T];
};

// Starting tree: every symbol has frequency 1.
void InitTree(LzhufTree* tree);
// Halves every leaf frequency (rounding up) and rebuilds the internal nodes.
void RebuildTree(LzhufTree* tree);
// Counts one more occurrence of symbol (0..313) and restores the order,
// rebuilding first when the root has reached LZHUF_MAX_FREQ.
void UpdateTree(LzhufTree* tree, unsigned symbol);

// The position code: indexed by the first eight bits of a coded position,
// d_code gives its upper six bits and d_len the length of their prefix code;
// d_len - 2 more bits follow the first eight.
extern const uint8_t d_code[256];
extern const uint8_t d_len[256];

// Where the decoder's output goes. The installer points it at the file the
// installation run has opened (payload/lzhuf_output_win.h, SetOutputFile);
// host programs at memory or a file (payload/lzhuf_host.h). The writer
// returns true only when all count bytes were written.
typedef bool (*LzhufWriteFn)(void* file, const uint8_t* bytes, uint32_t count);

// The one decoder state of the process, reset for each entry. Not
// re-entrant: one entry at a time.
struct LzhufDecoder {
    LzhufTree tree;
    uint8_t ring[LZHUF_N];
    uint16_t writePos;             // 0..4095: where the next byte goes in ring
    uint16_t bitBuffer;            // unused input bits, the next in bit 15
    uint16_t bitCount;             // valid bits in bitBuffer
    const uint8_t* input;          // stored bytes not yet read
    uint32_t inputCount;           // how many of them are left
    uint32_t outputCount;          // bytes still to produce
    uint8_t output[LZHUF_OUTPUT_BLOCK];
    uint16_t outputFill;           // bytes in output not yet written
    bool writeFailed;              // a WriteOutput of this entry failed
    LzhufWriteFn outputWriter;     // the current output file and its writer
    void* outputFile;
};

extern LzhufDecoder g_lzhufDecoder;

// Expands one stored stream of storedSize bytes into the current output file,
// producing exactly fileSize bytes, in blocks of 1024 bytes (one WriteOutput
// per full block, one more for the rest).
//   - Input ends early: the missing bits are zeros and decoding goes on, so a
//     short stream still yields fileSize bytes.
//   - A copy that would run past fileSize stops at fileSize; a fileSize of 0
//     decodes and writes nothing.
//   - Returns false when a write failed: decoding stops at that write, and
//     the file is left short. True when all fileSize bytes were written.
// Whatever the stored bytes are, it reads only stored[0..storedSize-1],
// writes only its own state and always ends after fileSize bytes.
bool DecodeEntry(const uint8_t* stored, uint32_t storedSize, uint32_t fileSize);

// One write of count bytes to the current output file. True when all of them
// were written; false on a failed or short write, or when no output file is
// set. The installation run also uses it for a raw row, in one call.
bool WriteOutput(const uint8_t* bytes, uint32_t count);

// Makes writer(file, ...) the current output file for DecodeEntry and
// WriteOutput. Each side wraps it (SetOutputFile, SetOutputSink).
void SetLzhufOutput(LzhufWriteFn writer, void* file);
