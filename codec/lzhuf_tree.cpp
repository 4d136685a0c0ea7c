// The adaptive Huffman tree of LZHUF, kept the same way by the decoder and by
// the host encoder: after every symbol both sides count it and move its node
// up past the nodes of lower frequency, so each keeps the same code.
#include "codec/lzhuf.h"

#include <string.h>

enum { T = LZHUF_T, R = LZHUF_R, N_CHAR = LZHUF_N_CHAR };

void LzhufInitTree(LzhufTree* tree)
{
    for (unsigned i = 0; i < N_CHAR; ++i) {
        tree->freq[i] = 1;
        tree->child[i] = (uint16_t)(i + T);
        tree->parent[i + T] = (uint16_t)i;
    }
    unsigned i = 0;
    for (unsigned j = N_CHAR; j < T; ++j) {
        tree->freq[j] = (uint16_t)(tree->freq[i] + tree->freq[i + 1]);
        tree->child[j] = (uint16_t)i;
        tree->parent[i] = tree->parent[i + 1] = (uint16_t)j;
        i += 2;
    }
    tree->freq[T] = 0xFFFF;
    tree->parent[R] = 0;
}

// The first of nodes first..end-1, which are in order, that counts more
// than f; end when none does.
static size_t FirstAbove(const uint16_t* freq, size_t first, size_t end, unsigned f)
{
    while (first < end) {
        size_t middle = first + (end - first) / 2;
        if (f < freq[middle])
            end = middle;
        else
            first = middle + 1;
    }
    return first;
}

size_t LzhufMoveUp(LzhufTree* tree, size_t c)
{
    uint16_t* freq = tree->freq;
    uint16_t* parent = tree->parent;
    uint16_t* child = tree->child;

    // The last node l that counts f. Runs are mostly short, so first one
    // node at a time; a fresh tree has hundreds of nodes that count the
    // same, so past the first few, steps that double, then halve, between
    // a node that counts f and one that counts more (at the latest the
    // sentinel at freq[T]).
    unsigned f = freq[c];
    size_t l = c + 1;
    while (f >= freq[l + 1]) {
        if (++l - c < 8)
            continue;
        size_t end = l + 1, step = 1;
        while (f >= freq[end]) {
            l = end;
            step *= 2;
            end = l + step < T ? l + step : (size_t)T;
        }
        l = FirstAbove(freq, l + 1, end, f) - 1;
        break;
    }
    // c and l swap places: l, which keeps f, takes c's children, and c
    // takes l's; the counted node is now l, with f + 1.
    freq[l] = (uint16_t)(f + 1);
    unsigned i = child[c];
    parent[i] = (uint16_t)l;
    if (i < T)
        parent[i + 1] = (uint16_t)l;
    unsigned j = child[l];
    child[l] = (uint16_t)i;
    parent[j] = (uint16_t)c;
    if (j < T)
        parent[j + 1] = (uint16_t)c;
    child[c] = (uint16_t)j;
    return l;
}

void LzhufRebuildTree(LzhufTree* tree)
{
    uint16_t* freq = tree->freq;
    uint16_t* child = tree->child;

    // Gather the leaves in their present order, halving their counts.
    unsigned j = 0;
    for (unsigned i = 0; i < T; ++i) {
        if (child[i] >= T) {
            freq[j] = (uint16_t)((freq[i] + 1) / 2);
            child[j] = child[i];
            ++j;
        }
    }
    // Join them again; a new node goes after the nodes of equal frequency.
    unsigned i = 0;
    for (j = N_CHAR; j < T; ++j) {
        uint16_t f = (uint16_t)(freq[i] + freq[i + 1]);
        // Nodes 0..j-1 are in order and f counts at least freq[i + 1]: the
        // new node goes before the first of nodes i+2..j-1 that counts more.
        size_t k = FirstAbove(freq, i + 2, j, f);
        memmove(freq + k + 1, freq + k, (j - k) * sizeof *freq);
        memmove(child + k + 1, child + k, (j - k) * sizeof *child);
        freq[k] = f;
        child[k] = (uint16_t)i;
        i += 2;
    }
    for (i = 0; i < T; ++i) {
        unsigned k = child[i];
        if (k >= T) {
            tree->parent[k] = (uint16_t)i;
        } else {
            tree->parent[k] = tree->parent[k + 1] = (uint16_t)i;
        }
    }
}
