// The last ply of the wise search in one step: every move of the side to
// move scored as it lands, without searching further. Two roads give the same
// scores: the scalar one, portable, and a vector one that scores all six
// pits at once on x86-64 processors with SSSE3.
#pragma once

#include <algorithm>
#include <bit>
#include <climits>

#include "rules/packed.h"

enum LeavesRoad { LEAVES_UNCHOSEN, LEAVES_SCALAR, LEAVES_VECTOR };

// The road the search takes; the first search chooses leaves_best_road().
// Tests and the benchmark set it to try each road.
extern LeavesRoad leaves_road;

// LEAVES_VECTOR where this processor has the vector unit, else LEAVES_SCALAR.
LeavesRoad leaves_best_road();

// The best score for `me`, to move with seeds in both rows: over its moves,
// the mover's store minus the other's right after the move, or after the
// sweep where the move ends the round; `positions` grows by the number of
// moves. Each road below gives it, and so does leaves_best_vector in
// players/leaves_vector.h, which the callers of the vector road include.

// Each move sown and scored in turn: for a row with whole laps, and wherever
// the round may end.
inline int32_t leaves_best_sown(Row me, Row opp, uint64_t &positions)
{
    positions += packed_count(packed_full_pits(me));
    int32_t best = INT32_MIN;
    for (Row left = packed_full_pits(me); left != 0; left &= left - 1) {
        PackedMove m = packed_sow(me, opp, std::countr_zero(left) >> 3);
        int32_t score =
            packed_over(m.me, m.opp) ? packed_final(m.me, m.opp) : packed_stores(m.me, m.opp);
        best = std::max(best, score);
    }
    return best;
}

// In the middle of a round, a pit of fewer than 13 seeds scores the store
// before the move, plus a constant of the pit and its count, plus what a
// capture brings: the last seed's position looked up in a capture table.
struct LeafSowing {
    uint8_t last;       // position of the last seed in the capture table
    int8_t capture_fix; // added to a capture table entry to give the seeds captured
    uint8_t store_gain; // seeds sown into the mover's store
};

// Positions of the lap from pit p as in packed_make_sowing. The capture
// table of a position holds, while that pit is empty, 1 plus the count of the
// pit facing it (position 12 - c), and 0 otherwise; the store (6) is always 0,
// which is where an empty pit points: no move scores below the stores as
// they stand, so it never wins.
constexpr LeafSowing leaves_make_sowing(int pit, int n)
{
    LeafSowing t{6, 0, 0};
    if (n == 0)
        return t;
    int at = (pit + n) % 13;
    bool facing_sown = false;
    for (int k = 1; k <= n; k++)
        facing_sown |= (pit + k) % 13 == 12 - at;
    t.last = (uint8_t)at;
    t.store_gain = (uint8_t)(n >= 6 - pit);
    // The capture table counts the facing pit as it was before the move:
    // add the seed sown into it, and on the mover's side take back the
    // seeds of the emptied starting pit when that is the pit facing.
    int fix = facing_sown ? 1 : 0;
    if (at > 6 && 12 - at == pit)
        fix -= n;
    t.capture_fix = (int8_t)fix;
    return t;
}

struct LeafSowingTable {
    LeafSowing at[6][13];
};

constexpr LeafSowingTable leaves_make_table()
{
    LeafSowingTable table{};
    for (int pit = 0; pit < 6; pit++)
        for (int n = 0; n < 13; n++)
            table.at[pit][n] = leaves_make_sowing(pit, n);
    return table;
}

inline constexpr LeafSowingTable leaves_sowings = leaves_make_table();

// 0xff in the byte of every empty pit, 0 elsewhere.
inline Row leaves_empty_pits(Row side)
{
    return ((packed_full_pits(side) ^ packed_pit_highs) >> 7) * 0xff;
}

// The capture entries of one side's pits: byte i holds 1 plus the count of
// the other side's pit facing pit i (5 - i) where pit i is empty, else 0.
inline Row leaves_captures(Row side, Row other)
{
    Row facing = __builtin_bswap64(other << 16); // byte i: pit 5 - i
    return (facing + 0x0000010101010101ull) & leaves_empty_pits(side);
}

// True when one move of `me` may empty a row: the opponent's needs to be
// down to one pit, which a capture takes; the mover's to the pit it sows and
// at most one more, which a capture in the opponent's row takes.
inline bool leaves_may_end_round(Row me, Row opp)
{
    Row mine = packed_full_pits(me), theirs = packed_full_pits(opp);
    mine &= mine - 1;
    return ((mine & (mine - 1)) == 0) | ((theirs & (theirs - 1)) == 0);
}

// Scalar road. In the middle of a round, most of the tree, all six pits are
// scored from the tables, the empty ones to no effect: six short
// computations with nothing to wait for and nothing to guess.
inline int32_t leaves_best_scalar(Row me, Row opp, uint64_t &positions)
{
    if (packed_has_laps(me) || leaves_may_end_round(me, opp))
        return leaves_best_sown(me, opp, positions);
    positions += packed_count(packed_full_pits(me));
    // The capture table of the lap: positions 0-5 the mover's pits, 6 its
    // store, 7-12 the other's pits.
    Row mine = leaves_captures(me, opp), theirs = leaves_captures(opp, me);
    uint8_t captures[16];
    packed_store_bytes(captures, mine | theirs << 56);
    packed_store_bytes(captures + 8, theirs >> 8);
    int32_t stores = packed_stores(me, opp), best = INT32_MIN;
#pragma GCC unroll 6
    for (int pit = 0; pit < 6; pit++) {
        const LeafSowing &t = leaves_sowings.at[pit][(me >> (8 * pit)) & 0xff];
        int32_t c = captures[t.last];
        int32_t captured = (c + t.capture_fix) & -(int32_t)(c != 0);
        int32_t score = stores + t.store_gain + captured;
        best = std::max(best, score);
    }
    return best;
}
