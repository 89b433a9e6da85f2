// The last ply on the vector road: all six moves of the side to move scored
// at once in 16-byte registers, byte p about pit p.
//
// The board is laid out as the lap of 13 positions a move sows: the mover's
// pits at 0-5, its store at 6, the other's pits at 7-12. For a pit p of n
// seeds, 1 to 12 (a row with 13 or more has every move sown), the move
// sows positions p + 1 to p + n, each once, so from p + n alone:
// - the last seed lands at L = p + n, less 13 past 12;
// - the store gains a seed where p + n reaches 6;
// - the other's pits gain p + n - 6 seeds, held to 0..6.
// The landing pit, if it was empty, captures itself and the pit facing it
// (12 - L): a table of the lap, looked up at L, holds 1 plus the facing count
// where the pit is empty, to which the move may have added a seed, or from
// which it took them all when the facing pit is the start pit itself.
// In the middle of the round a move scores the stores as they were, plus
// the store's seed and the capture. What each row keeps follows from the same
// counts; where one is left empty the round is over and the sweep counts, so
// that parent's moves are sown, which is rare.
//
// leaves_best_vector is inline and compiled for SSSE3 alone, whatever the
// file that includes it: the search's own vector road, compiled the same way,
// takes it in whole (flatten), and any other caller calls a copy of its own.
// It must run only where leaves_best_road() chose the vector road.
#pragma once

#include "players/leaves.h"

#ifdef __x86_64__
#include <immintrin.h>

// What a function of the vector road is compiled for; elsewhere nothing.
#define LEAVES_VECTOR_TARGET gnu::target("ssse3")

// leaves_best_sown, kept out of line: the vector road takes it rarely, and
// its code would crowd the search's own.
[[gnu::noinline]] inline int32_t leaves_best_sown_apart(Row me, Row opp, uint64_t &positions)
{
    return leaves_best_sown(me, opp, positions);
}

// The round-end cases below, as lanes of one word, lane p for pit p.
// alone_most: the most seeds a row's only pit can sow and leave that row
// empty, one for pits 0-4 (into the next pit, empty), eight for pit 5.
const long long alone_most = 0x080101010101;
// takes_reach_least and takes_reach_most: the range of p + n over which a
// move takes, by a capture in the other's row, the mover's one other pit:
// pit 4 reaching 7 (3 seeds), pit 5 reaching 8 to 12 (3 to 7 seeds). Pits 0-3
// get a range of 255 alone, which no pit of fewer than 13 seeds reaches;
// lanes past pit 5 take nothing, whatever their range, as their facing count
// is 255.
const uint64_t takes_reach_least = 0xffff0807ffffffffull;
const uint64_t takes_reach_most = 0x0c07ffffffffull;

[[LEAVES_VECTOR_TARGET]] inline int32_t leaves_best_vector(Row me, Row opp, uint64_t &positions)
{
    // Constants are written lane by lane as 64-bit numbers, lane 0 in the
    // lowest byte, so that lanes no pit uses hold nothing written out; in a
    // byte shuffle an index with its high bit set makes a lane 0.
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi8(1);
    const __m128i pit = _mm_cvtsi64_si128(0x050403020100); // p

    // The lap from both rows (me in bytes 0-7, opp in 8-15), the store read as
    // 0: nothing is captured there. Position k faces 12 - k.
    __m128i rows = _mm_set_epi64x((long long)opp, (long long)me);
    __m128i lap = _mm_shuffle_epi8(rows, _mm_set_epi64x(0x0d0c0b0a09, 0x08ff050403020100));
    __m128i facing = _mm_shuffle_epi8(lap, _mm_set_epi64x(0x0001020304, 0x05ff0708090a0b0c));
    __m128i table =
        _mm_and_si128(_mm_cmpeq_epi8(lap, zero),
                      _mm_add_epi8(facing, _mm_set_epi64x(0x0101010101, 0x0100010101010101)));

    // Bytes wrap at 256, so reach - 13 is the smaller of the two only past 12.
    // An empty pit (every lane past 5 too) looks up nothing.
    __m128i n = _mm_and_si128(rows, _mm_cvtsi64_si128((long long)packed_pits));
    __m128i empty = _mm_cmpeq_epi8(n, zero);
    __m128i reach = _mm_add_epi8(pit, n); // p + n
    __m128i land = _mm_min_epu8(reach, _mm_sub_epi8(reach, _mm_set1_epi8(13)));
    __m128i capture = _mm_shuffle_epi8(table, _mm_or_si128(land, empty));

    // From the start pit round the lap to the pit facing L: d = 12 - 2p - n,
    // mod 13. That pit is the start pit where d is 0, and was sown where d is
    // 1 to n.
    __m128i d = _mm_sub_epi8(_mm_cvtsi64_si128(0x020406080a0c), n); // 12 - 2p - n
    d = _mm_min_epu8(d, _mm_add_epi8(d, _mm_set1_epi8(13)));
    __m128i faces_start = _mm_cmpeq_epi8(d, zero);
    __m128i sown = _mm_andnot_si128(_mm_or_si128(faces_start, _mm_cmpgt_epi8(d, n)), one);
    __m128i captured =
        _mm_andnot_si128(_mm_cmpeq_epi8(capture, zero),
                         _mm_sub_epi8(_mm_add_epi8(capture, sown), _mm_and_si128(faces_start, n)));
    __m128i gains = _mm_cmpgt_epi8(reach, _mm_set1_epi8(5)); // -1 where the store gains a seed

    // Where a move leaves a row empty, the round is over. The other's row
    // empties only where the last seed lands in an empty pit of the mover's
    // row, no lap made, and the pit facing it holds all the other's seeds
    // (the table, less 1, is that pit's count where the landing pit was
    // empty, and 255 elsewhere). The pits sown after the
    // start pit keep their seeds unless the one capture takes one, so the
    // mover's row empties only where
    // - the start pit is its only one, and one seed from pits 0-4 falls into
    //   the next, empty, or pit 5 sows at most 8 (the eighth captures in the
    //   empty pit 0);
    // - pit 4 or 5 sows into an empty pit of the other's row, taking the
    //   mover's pit facing it, which held all its other seeds: pit 5 with 3
    //   to 7 seeds, or pit 4 with 3 (taking pit 5).
    __m128i totals = _mm_sad_epu8( // each row's pits, in bytes 0 and 8
        _mm_and_si128(rows, _mm_set1_epi64x((long long)packed_pits)), zero);
    __m128i mine = _mm_shuffle_epi8(totals, zero);
    __m128i facing_count = _mm_sub_epi8(capture, one); // where the landing pit was empty
    __m128i empties_other =
        _mm_and_si128(_mm_cmpeq_epi8(facing_count, _mm_shuffle_epi8(totals, _mm_set1_epi8(8))),
                      _mm_cmpgt_epi8(_mm_set1_epi8(6), reach));
    __m128i alone = _mm_and_si128(
        _mm_cmpeq_epi8(n, mine), _mm_cmpeq_epi8(_mm_min_epu8(n, _mm_cvtsi64_si128(alone_most)), n));
    __m128i pair_reach = _mm_min_epu8( // reach held to its pit's range of p + n
        _mm_max_epu8(reach, _mm_set_epi64x(-1, (long long)takes_reach_least)),
        _mm_cvtsi64_si128((long long)takes_reach_most));
    __m128i takes_other = _mm_and_si128(_mm_cmpeq_epi8(_mm_add_epi8(facing_count, n), mine),
                                        _mm_cmpeq_epi8(pair_reach, reach));
    __m128i over = _mm_or_si128(empties_other, _mm_or_si128(alone, takes_other));

    // Where one is left empty the round is over and the sweep counts; a pit
    // of 13 seeds or more goes round the lap. Either way every move is sown,
    // which is rare.
    __m128i sow = _mm_or_si128(over, _mm_cmpeq_epi8(_mm_max_epu8(n, _mm_set1_epi8(13)), n));
    if (_mm_movemask_epi8(sow) != 0) {
        // Counted apart, so that a count the caller keeps in a register can
        // stay there.
        uint64_t sown = 0;
        int32_t best = leaves_best_sown_apart(me, opp, sown);
        positions += sown;
        return best;
    }
    positions += (uint64_t)_mm_cvtsi128_si32(_mm_sad_epu8(_mm_andnot_si128(empty, one), zero));

    // The largest gain of a move, an empty pit's being 0: the lanes folded
    // onto bytes 0 and 1 by shuffles that keep their source.
    __m128i best = _mm_sub_epi8(captured, gains);
    best = _mm_max_epu8(best, _mm_shuffle_epi32(best, 0x01));   // bytes 4-7 onto 0-3
    best = _mm_max_epu8(best, _mm_shufflelo_epi16(best, 0x01)); // bytes 2-3 onto 0-1
    uint32_t two = (uint32_t)_mm_cvtsi128_si32(best);
    int32_t stores = _mm_extract_epi16(rows, 3) - _mm_extract_epi16(rows, 7); // bytes 7, 15 hold 0
    return stores + (int32_t)std::max(two & 0xff, two >> 8 & 0xff);
}

#else

// Elsewhere the scalar road serves, and nothing is compiled for another unit.
#define LEAVES_VECTOR_TARGET
inline int32_t leaves_best_vector(Row me, Row opp, uint64_t &positions)
{
    return leaves_best_scalar(me, opp, positions);
}

#endif
