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
// LzhufInitTree leaves it, ring[0..4035] filled with spaces and the first byte
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
    LZHUF_OUTPUT_BLOCK = 1024,       // bytes per LzhufWriteOutput while decoding
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
void LzhufInitTree(LzhufTree* tree);
// Halves every leaf frequency (rounding up) and rebuilds the internal nodes.
void LzhufRebuildTree(LzhufTree* tree);
// LzhufUpdateTree's step for a node c that counts as much as the node after it:
// c swaps places with the last node that counts the same (frequencies never
// fall by index), and the node now at that place counts one more. Returns
// that place.
size_t LzhufMoveUp(LzhufTree* tree, size_t c);
// Counts one more occurrence of symbol (0..313) and restores the order,
// rebuilding first when the root has reached LZHUF_MAX_FREQ. Inline, with
// the rarer swap out of line: it runs once per symbol, and the decoder's
// loop keeps its state in registers around it.
inline void LzhufUpdateTree(LzhufTree* tree, unsigned symbol)
{
    uint16_t* freq = tree->freq;
    uint16_t* parent = tree->parent;

    if (freq[LZHUF_R] == LZHUF_MAX_FREQ)
        LzhufRebuildTree(tree);
    // The root never passes MAX_FREQ, so no count reaches the 0xFFFF
    // sentinel at freq[LZHUF_T], which ends every run of equal counts.
    size_t c = parent[symbol + LZHUF_T];
    do {
        unsigned f = freq[c];
        if (f < freq[c + 1])
            freq[c] = (uint16_t)(f + 1);
        else
            c = LzhufMoveUp(tree, c);
        c = parent[c];
    } while (c != 0);
}

// The position code: a prefix code of 3 to 8 bits for a position's upper six
// bits, then its lower six bits as they are. The first four bits of a coded
// position tell its band: band k (0..5) has prefixes of k + 3 bits, and a
// band's prefixes count on from where the band before it ends, doubled.
// Given the next 16 bits of the stream (the first in bit 15), returns the
// position, 0..4095, and sets *length to the bits it takes, 9 to 14.
inline unsigned LzhufDecodePosition(unsigned next16, unsigned* length)
{
    static const uint8_t band[16] = {0, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5};
    // How far a band's prefixes are above the upper six bits they stand for.
    static const uint8_t above[6] = {0, 1, 6, 24, 72, 192};
    unsigned k = band[next16 >> 12];
    *length = k + 9;
    return (next16 >> (7 - k)) - above[k] * 64u;
}

// The same code as tables, for the host side (the packer's encoder, the
// tests); the installer carries only the rule above. Indexed by the first
// eight bits of a coded position, d_code gives its upper six bits and d_len
// the length of their prefix code; d_len - 2 more bits follow the first eight.
extern const uint8_t d_code[256];
extern const uint8_t d_len[256];

// Where the decoder's output goes. The installer points it at the file the
// installation run has opened (codec/lzhuf_output_win.h, LzhufSetOutputFile);
// host programs at memory or a file (codec/lzhuf_host.h). The writer
// returns true only when all count bytes were written.
typedef bool (*LzhufWriteFn)(void* file, const uint8_t* bytes, uint32_t count);

// The one decoder state of the process. LzhufDecodeStream resets what it uses
// for each entry and keeps the bit buffer and its position in locals. Not
// re-entrant: one entry at a time.
struct LzhufDecoder {
    LzhufTree tree;
    // The ring, turned by 60: ring position p is ring[(p + 60) & 4095], so
    // the first byte of an entry goes to ring[0] and every 1024-byte block
    // of its output lies whole in ring[], written from there.
    uint8_t ring[LZHUF_N];
    uint32_t inputCount;           // after an entry: stored bytes it did not need
    LzhufWriteFn outputWriter;     // the current output file and its writer
    void* outputFile;
};

extern LzhufDecoder g_lzhufDecoder;

// Expands one stored stream of storedSize bytes into the current output file,
// producing exactly fileSize bytes, in blocks of 1024 bytes (one LzhufWriteOutput
// per full block, one more for the rest).
//   - Input ends early: the missing bits are zeros and decoding goes on, so a
//     short stream still yields fileSize bytes.
//   - A copy that would run past fileSize stops at fileSize; a fileSize of 0
//     decodes and writes nothing.
//   - Returns false when a write failed: decoding stops at that write, and
//     the file is left short. True when all fileSize bytes were written.
// Whatever the stored bytes are, it reads only stored[0..storedSize-1],
// writes only its own state and always ends after fileSize bytes.
bool LzhufDecodeStream(const uint8_t* stored, uint32_t storedSize, uint32_t fileSize);

// One write of count bytes to the current output file. True when all of them
// were written; false on a failed or short write, or when no output file is
// set. The installation run also uses it for a raw row, in one call.
bool LzhufWriteOutput(const uint8_t* bytes, uint32_t count);

// Makes writer(file, ...) the current output file for LzhufDecodeStream and
// LzhufWriteOutput. Each side wraps it: the installer's LzhufSetOutputFile
// (codec/lzhuf_output_win.h), the host tools' LzhufExpand
// (codec/lzhuf_host.h).
void SetLzhufOutput(LzhufWriteFn writer, void* file);
