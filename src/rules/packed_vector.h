// The sowing rules on a packed board held in one 16-byte register, for the
// wise search's vector road: the mover's row (rules/packed.h) in bytes 0-7,
// the other's in bytes 8-15. A move of fewer than 13 seeds is then one
// addition from a table and a capture made of two byte shuffles, all
// without a branch; a change of turn swaps the two halves.
//
// The functions are compiled for SSSE3, whatever the file that includes
// them, and must run only where the processor has it.
#pragma once

#if defined(__x86_64__)
#include <immintrin.h>

#include "rules/packed.h"

// What sowing pit p with n seeds (fewer than 13) does, byte by byte of the
// register. A byte shuffle writes 0 where its index has the high bit set.
struct PackedVectorSowing {
    alignas(16) uint8_t add[16]; // 1 on each byte sown, minus n on the pit emptied
    uint8_t landing[16]; // at the landing pit, its facing pit and the store: the landing pit
    uint8_t facing[16];  // at the store: the facing pit
};

// Byte of the register that holds position k of the mover's lap (as in
// packed_make_sowing: pits 0-5, store 6, the other's pits 7-12).
constexpr int packed_vector_byte(int k)
{
    return k < 7 ? k : k + 1;
}

constexpr PackedVectorSowing packed_vector_make_sowing(int pit, int n)
{
    PackedVectorSowing t{};
    for (int i = 0; i < 16; i++)
        t.landing[i] = t.facing[i] = 0x80;
    t.add[pit] = (uint8_t)-n;
    int at = pit;
    for (int k = 1; k <= n; k++) {
        at = (pit + k) % 13;
        t.add[packed_vector_byte(at)]++;
    }
    // The last seed in the store captures nothing (nor does no seed at all):
    // every byte of the shuffles stays 0.
    if (at == 6 || n == 0)
        return t;
    int land = packed_vector_byte(at), face = packed_vector_byte(12 - at);
    t.landing[land] = t.landing[face] = t.landing[6] = (uint8_t)land;
    t.facing[6] = (uint8_t)face;
    return t;
}

struct PackedVectorSowingTable {
    PackedVectorSowing at[6][13];
};

constexpr PackedVectorSowingTable packed_vector_make_table()
{
    PackedVectorSowingTable table{};
    for (int pit = 0; pit < 6; pit++)
        for (int n = 0; n < 13; n++)
            table.at[pit][n] = packed_vector_make_sowing(pit, n);
    return table;
}

inline constexpr PackedVectorSowingTable packed_vector_sowings = packed_vector_make_table();

// packed_sow of pit `pit`, which holds n seeds, fewer than 13; the mover
// plays again where pit + n is 6. The count of the landing pit is shuffled
// to the landing pit, the pit facing it and the store: where it is 1 the pit
// was empty, and those three bytes become the capture's mask. The store
// gains that 1 and the facing count; the two pits are emptied.
[[gnu::target("ssse3"), gnu::always_inline]] inline __m128i packed_vector_sow(__m128i board,
                                                                              int pit, int n)
{
    const PackedVectorSowing &t = packed_vector_sowings.at[pit][n];
    const __m128i store = _mm_cvtsi64_si128((long long)0x00ff000000000000); // byte 6
    board = _mm_add_epi8(board, _mm_load_si128((const __m128i *)t.add));
    __m128i landed = _mm_shuffle_epi8(board, _mm_loadu_si128((const __m128i *)t.landing));
    __m128i facing = _mm_shuffle_epi8(board, _mm_loadu_si128((const __m128i *)t.facing));
    __m128i capture = _mm_cmpeq_epi8(landed, _mm_set1_epi8(1));
    board = _mm_andnot_si128(_mm_andnot_si128(store, capture), board);
    return _mm_add_epi8(board,
                        _mm_and_si128(_mm_and_si128(capture, store), _mm_add_epi8(landed, facing)));
}

// The mover's store minus the other's.
[[gnu::target("ssse3"), gnu::always_inline]] inline int32_t packed_vector_stores(__m128i board)
{
    return _mm_extract_epi16(board, 3) - _mm_extract_epi16(board, 7); // bytes 7 and 15 are 0
}

// packed_final: every count of each row added up.
[[gnu::target("ssse3"), gnu::always_inline]] inline int32_t packed_vector_final(__m128i board)
{
    __m128i sums = _mm_sad_epu8(board, _mm_setzero_si128()); // in bytes 0-1 and 8-9
    return _mm_cvtsi128_si32(sums) - _mm_extract_epi16(sums, 4);
}

// One bit per empty pit: bits 0-5 the mover's, bits 8-13 the other's.
[[gnu::target("ssse3"), gnu::always_inline]] inline int packed_vector_empty(__m128i board)
{
    return _mm_movemask_epi8(_mm_cmpeq_epi8(board, _mm_setzero_si128())) & 0x3f3f;
}

// packed_over from packed_vector_empty: either row's six bits all set.
inline bool packed_vector_over(int empty)
{
    return ((empty + 0x0101) & 0x4040) != 0;
}

// The other side to move: the two rows swap places.
[[gnu::target("ssse3"), gnu::always_inline]] inline __m128i packed_vector_turn(__m128i board)
{
    return _mm_shuffle_epi32(board, 0x4e);
}

[[gnu::target("ssse3"), gnu::always_inline]] inline __m128i packed_vector_board(Row me, Row opp)
{
    return _mm_set_epi64x((long long)opp, (long long)me);
}

[[gnu::target("ssse3"), gnu::always_inline]] inline Row packed_vector_me(__m128i board)
{
    return (Row)_mm_cvtsi128_si64(board);
}

[[gnu::target("ssse3"), gnu::always_inline]] inline Row packed_vector_opp(__m128i board)
{
    return (Row)_mm_cvtsi128_si64(_mm_unpackhi_epi64(board, board));
}

#endif
