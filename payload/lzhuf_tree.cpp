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
        // Nodes 0..j-1 are in order and f counts at least freq[i + 1]: the
        // new node goes before the first of nodes i+2..j-1 that counts more.
        unsigned k = i + 2, end = j;
        while (k < end) {
            unsigned middle = (k + end) / 2;
            if (f < freq[middle])
                end = middle;
            else
                k = middle + 1;
        }
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
