// The optimal parse of the packer's LZHUF encoder. The data is taken a
// stretch at a time: the tree's present code lengths give what every
// literal and every match would cost, the cheapest way from the stretch's
// start to a point past its end is found (a shortest path over its
// positions, each literal or match an edge), and the steps of that way that
// start inside the stretch are sent, which updates the tree for the next.
// The way looks past the stretch so that its last steps are chosen for what
// follows; a match may run over the stretch's end, and the next stretch
// starts where the last step sent ends.
#include <string.h>

#include "codec/lzhuf_encoder.h"

namespace {

enum {
    F = LZHUF_F,
    MIN_MATCH = LZHUF_MIN_MATCH,
    // Positions whose steps are sent per stretch. Shorter stretches follow
    // the tree more closely, and cost more searches past their ends.
    STRETCH = 1024,
    // How far past its stretch each shortest path runs.
    LOOK_PAST = 2 * F,
    REACH = STRETCH + LOOK_PAST,
    // Match lists kept for the positions searched and not yet sent, in a
    // ring: a stretch's path and what was searched beyond it.
    LISTS = 2048,
    // Earlier positions looked at per search. Enough for nearly every
    // longest match; long chains come from runs and repeated patterns,
    // where the nearest candidates already give the longest matches.
    CHAIN_LIMIT = 256,
};

static_assert(REACH <= LISTS, "a stretch's path and its look past need a match list each");
static_assert(F < 256, "a step's length fits a byte");

}  // namespace

void LzhufParseOptimal(const uint8_t* data, size_t size, LzhufSymbolWriter* writer)
{
    LzhufMatchFinder finder(data, size, CHAIN_LIMIT);
    const uint64_t end = finder.End();
    std::vector<LzhufMatches> lists(LISTS);
    // For each point of the stretch's path (an offset from its start): the
    // cheapest cost in bits to reach it, and the last step of that way.
    std::vector<uint32_t> cost(REACH + 1);
    std::vector<uint8_t> stepLength(REACH + 1);
    std::vector<uint16_t> stepDistance(REACH + 1);
    std::vector<uint16_t> way;
    way.reserve(REACH);
    uint8_t bits[LZHUF_N_CHAR];

    uint64_t searched = LZHUF_RING_START;  // the next position the finder takes
    uint64_t pos = LZHUF_RING_START;
    while (pos < end) {
        const size_t span = end - pos < REACH ? (size_t)(end - pos) : (size_t)REACH;
        for (; searched < pos + span; ++searched)
            finder.Find(searched, &lists[searched % LISTS]);
        writer->CodeLengths(bits);
        const uint8_t* lengthBits = bits + 256 - MIN_MATCH;  // lengthBits[L], L = 3..60

        cost[0] = 0;
        memset(&cost[1], 0xFF, span * sizeof cost[0]);
        for (size_t i = 0; i < span; ++i) {
            // Every point is reached by literals at least, so cost[i] is set.
            const uint32_t here = cost[i];
            const uint32_t literal = here + bits[finder.Byte(pos + i)];
            if (literal < cost[i + 1]) {
                cost[i + 1] = literal;
                stepLength[i + 1] = 1;
            }
            const LzhufMatches& m = lists[(pos + i) % LISTS];
            const size_t room = span - i;
            unsigned shortest = MIN_MATCH;
            for (unsigned k = 0; k < m.count && shortest <= room; ++k) {
                unsigned longest = m.length[k] < room ? m.length[k] : (unsigned)room;
                const uint32_t start = here + kLzhufBandBits[LzhufDistanceBand(m.distance[k])];
                for (unsigned length = shortest; length <= longest; ++length) {
                    const uint32_t total = start + lengthBits[length];
                    if (total < cost[i + length]) {
                        cost[i + length] = total;
                        stepLength[i + length] = (uint8_t)length;
                        stepDistance[i + length] = m.distance[k];
                    }
                }
                shortest = m.length[k] + 1u;
            }
        }

        // The way back from the path's end, then its steps in order: those
        // that start inside the stretch (all of them at the data's end).
        way.clear();
        for (size_t j = span; j > 0; j -= stepLength[j])
            way.push_back((uint16_t)j);
        const bool toTheEnd = pos + span == end;
        size_t at = 0;
        for (size_t k = way.size(); k-- > 0 && (toTheEnd || at < STRETCH);) {
            const size_t next = way[k];
            if (next - at == 1)
                writer->PutLiteral(finder.Byte(pos + at));
            else
                writer->PutMatch((unsigned)(next - at), stepDistance[next]);
            at = next;
        }
        pos += at;
    }
}
