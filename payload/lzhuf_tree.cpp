// The adaptive Huffman tree of LZHUF, kept the same way by the decoder and by
// the host encoder: after every symbol both sides count it and move its node
// up past the nodes of lower frequency, so each keeps the same code.
#include "payload/lzhuf.h"

enum { T = LZHUF_T, R = LZHUF_R, N_CHAR = LZHUF_N_CHAR };

void InitTree(LzhufTree* tree)
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

void RebuildTree(LzhufTree* tree)
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
        unsigned k = j - 1;
        while (k > 0 && f < freq[k])
            --k;
        ++k;
        for (unsigned m = j; m > k; --m) {
            freq[m] = freq[m - 1];
            child[m] = child[m - 1];
        }
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

void UpdateTree(LzhufTree* tree, unsigned symbol)
{
    uint16_t* freq = tree->freq;
    uint16_t* parent = tree->parent;
    uint16_t* child = tree->child;

    if (freq[R] == LZHUF_MAX_FREQ)
        RebuildTree(tree);
    // The root never passes MAX_FREQ, so no count reaches the 0xFFFF
    // sentinel at freq[T], which ends every scan below.
    unsigned c = parent[symbol + T];
    do {
        uint16_t k = ++freq[c];
        if (k > freq[c + 1]) {
            unsigned l = c + 1;
            while (k > freq[l + 1])
                ++l;
            freq[c] = freq[l];
            freq[l] = k;

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
            c = l;
        }
        c = parent[c];
    } while (c != 0);
}
