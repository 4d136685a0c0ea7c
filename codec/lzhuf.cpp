// The LZHUF decoder of the payload streams: one process-wide state, nothing
// allocated, output in blocks of 1024 bytes through LzhufWriteOutput.
//
// The loop keeps what changes with every bit and byte (the bit buffer, the
// input, the count of bytes produced) in locals, so they can stay in
// registers; the tree and the ring live in g_lzhufDecoder, and the output
// blocks are written straight from the ring.
#include "codec/lzhuf.h"

#include <string.h>

#include "common/check.h"

enum {
    N = LZHUF_N,
    T = LZHUF_T,
    R = LZHUF_R,
    RING_MASK = LZHUF_N - 1,
    BLOCK = LZHUF_OUTPUT_BLOCK,
    RING_TURN = LZHUF_N - LZHUF_RING_START,
    POSITION_BITS = 14,  // the longest coded position
};

LzhufDecoder g_lzhufDecoder;

void SetLzhufOutput(LzhufWriteFn writer, void* file)
{
    g_lzhufDecoder.outputWriter = writer;
    g_lzhufDecoder.outputFile = file;
}

bool LzhufWriteOutput(const uint8_t* bytes, uint32_t count)
{
    LzhufDecoder* d = &g_lzhufDecoder;
    if (!d->outputWriter)
        return false;
    return d->outputWriter(d->outputFile, bytes, count);
}

namespace {

// Upper bound of a symbol's code length. The tree always has the sibling
// property (frequencies never fall by index, children side by side, every
// leaf at least 1), so a leaf n levels down makes the root count at least
// Fibonacci(n + 2); the root counts at most 0x8000, below Fibonacci(24).
const unsigned LONGEST_CODE = 21;

// The stream's next bits, the first in bit 31. Bits below the count are
// either zeros or the stream's own next bits, so a refill can OR the next
// bytes in at their place.
struct BitReader {
    uint32_t bits;
    unsigned count;          // valid bits in bits
    const uint8_t* in;       // next stored byte
    const uint8_t* end;      // one past the last stored byte
    unsigned zeroBytes;      // bytes supplied past the end, counted up to 4

    // Tops the buffer up to 24 bits or more: the whole bytes that fit of
    // the next four while they last, then one at a time, zeros past the
    // end. Called with 24 bits or fewer.
    void Refill()
    {
        if (end - in >= 4) {
            uint32_t next = (uint32_t)in[0] << 24 | (uint32_t)in[1] << 16 | (uint32_t)in[2] << 8 | in[3];
            bits |= next >> count;
            in += (31 - count) / 8;
            count |= 24;  // count + 8 * (31 - count) / 8, for a count of 0..24
            return;
        }
        while (count < 24) {
            uint32_t byte = 0;
            if (in != end)
                byte = *in++;
            else if (zeroBytes < 4)
                ++zeroBytes;
            bits |= byte << (24 - count);
            count += 8;
        }
    }
};

}  // namespace

bool LzhufDecodeStream(const uint8_t* stored, uint32_t storedSize, uint32_t fileSize)
{
    LzhufDecoder* d = &g_lzhufDecoder;
    if (!stored)
        storedSize = 0;
    BitReader r = {0, 0, stored, stored + storedSize, 0};
    LzhufInitTree(&d->tree);
    // The ring is kept turned by RING_TURN (see LzhufDecoder): the first
    // byte goes to d->ring[0] and each 1024-byte block of the output lies
    // whole in the ring, ready to be written from there.
    memset(d->ring + RING_TURN, ' ', LZHUF_RING_START);
    uint32_t done = 0;       // bytes produced; the next goes to ring[done & RING_MASK]
    bool ok = true;

    // Every pass produces at least one byte, so this ends after fileSize
    // bytes at the latest; a copy is cut short where the file ends.
    while (done != fileSize) {
        // Walk the tree from the root, one bit per level, to a leaf; the
        // buffer holds the longest code.
        if (r.count < LONGEST_CODE)
            r.Refill();
        size_t c = d->tree.child[R];
        unsigned count = r.count;
        uint32_t bits = r.bits;
        while (c < T) {
            size_t bit = bits >> 31;
            bits <<= 1;
            --count;
            c = d->tree.child[c + bit];
        }
        r.count = count;
        r.bits = bits;
        unsigned symbol = (unsigned)c - T;
        LzhufUpdateTree(&d->tree, symbol);

        uint32_t before = done;
        if (symbol < 256) {
            d->ring[done & RING_MASK] = (uint8_t)symbol;
            ++done;
        } else {
            if (r.count < POSITION_BITS)
                r.Refill();
            unsigned used;
            unsigned position = LzhufDecodePosition(r.bits >> 16, &used);
            r.bits <<= used;
            r.count -= used;
            unsigned source = (done - position - 1u) & RING_MASK;
            uint32_t length = LzhufMatchLength(symbol);
            if (length > fileSize - done)
                length = fileSize - done;
            uint32_t stop = done + length;
            // Copy in runs that stay inside the ring. Read and write
            // alternate, so a copy that runs into its own output repeats
            // the bytes it has just written.
            while (done != stop) {
                unsigned to = done & RING_MASK;
                unsigned n = stop - done;
                if (n > N - source)
                    n = N - source;
                if (n > N - to)
                    n = N - to;
                for (unsigned k = 0; k < n; ++k)
                    d->ring[to + k] = d->ring[source + k];
                source = (source + n) & RING_MASK;
                done += n;
            }
        }
        NOVLA_ASSERT(done > before && done <= fileSize);
        // A symbol is shorter than a block, so it ends at most one: write
        // it now, while the next one has only begun to fill.
        if (((before ^ done) & ~(uint32_t)(BLOCK - 1)) != 0) {
            ok = LzhufWriteOutput(d->ring + ((done - BLOCK) & RING_MASK & ~(BLOCK - 1)), BLOCK);
            if (!ok)
                break;
        }
    }
    if (ok && (done & (BLOCK - 1)) != 0)
        ok = LzhufWriteOutput(d->ring + (done & RING_MASK & ~(BLOCK - 1)), done & (BLOCK - 1));

    // The stored bytes this stream needed: those read, less the whole ones
    // still unread in the buffer (zeros past the end are not stored bytes).
    unsigned unread = r.count / 8;
    unread -= unread < r.zeroBytes ? unread : r.zeroBytes;
    d->inputCount = storedSize - (uint32_t)(r.in - stored - unread);
    return ok;
}
