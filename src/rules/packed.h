// The sowing rules on a packed board, for the wise search.
//
// A board of at most 255 seeds in all (every board a random start can lead
// to) fits one side to a 64-bit word, a count to a byte: byte i is pit i,
// byte 6 the store, byte 7 always 0. No count can then overflow into its
// neighbour, a position lives in two registers, and a move is a few
// additions from a table. The side to move is always called `me`, the other
// `opp`. These are the rules of board_move, written for that layout; its
// test holds the two to each other.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "rules/board.h"

// The layout is one of values, not of memory: pit i is (row >> 8 * i) & 0xff
// on every machine, and every rule below is arithmetic on that value.
typedef uint64_t Row;

const int packed_max_seeds = 255;
const Row packed_pits = 0x0000ffffffffffffull;    // the six pit bytes
const Row packed_lap_me = 0x0001010101010101ull;  // a seed in each pit and the store
const Row packed_lap_opp = 0x0000010101010101ull; // a seed in each pit, none in the store
const Row packed_pit_highs = 0x0000808080808080ull;

// What sowing pit p leaves behind once the whole laps of 13 are taken out:
// the seeds the remaining r seeds add, and where the last one falls. The
// landing pit and the pit facing it are picked out by masks rather than
// shifted down, which on x86-64 costs a shift count in one register.
// An entry to a cache line, sixteen to a pit: the table's index is then a
// few shifts.
struct alignas(64) PackedSowing {
    Row add_me;      // one seed on each of the mover's positions reached, less the r picked up
    Row add_opp;     // and on each of the opponent's pits reached
    Row landing_me;  // 0xff on the mover's pit where the last seed fell, or on the pit facing it
    Row landing_opp; // and on the opponent's
    Row one;         // 1 on the landing pit, in its own row
    bool landed_own; // the last seed fell in the mover's row
    bool again;      // the last seed fell in the mover's store
};

// Position k of the lap from pit p is (p + k) % 13 counted over the mover's
// pits 0-5, its store 6 and the opponent's pits 7-12: the opponent's store is
// never sown. With no seed left over the last seed of the last lap fell into
// the starting pit itself.
constexpr PackedSowing packed_make_sowing(int pit, int rest)
{
    PackedSowing t{};
    t.add_me = 0ull - ((Row)rest << (8 * pit));
    int at = pit;
    for (int k = 1; k <= rest; k++) {
        at = (pit + k) % 13;
        if (at < 7)
            t.add_me += 1ull << (8 * at);
        else
            t.add_opp += 1ull << (8 * (at - 7));
    }
    // A last seed in the store points at byte 7, always 0, and at nothing in
    // the opponent's row: the capture test fails without a test of its own.
    int mine = 7, theirs = 0;
    if (at == 6) {
        t.again = true;
        t.landed_own = true;
    } else if (at < 6) {
        t.landed_own = true;
        mine = at, theirs = 5 - at;
    } else {
        theirs = at - 7, mine = 5 - (at - 7);
    }
    t.landing_me = 0xffull << (8 * mine);
    t.landing_opp = at == 6 ? 0 : 0xffull << (8 * theirs);
    t.one = 1ull << (8 * (t.landed_own ? mine : theirs));
    return t;
}

struct PackedSowingTable {
    PackedSowing at[6][16]; // counts 13 to 15 unused
};

constexpr PackedSowingTable packed_make_sowing_table()
{
    PackedSowingTable table{};
    for (int pit = 0; pit < 6; pit++)
        for (int rest = 0; rest < 13; rest++)
            table.at[pit][rest] = packed_make_sowing(pit, rest);
    return table;
}

inline constexpr PackedSowingTable packed_sowings = packed_make_sowing_table();

// A board after a move: the mover's row, the other row, and whether the
// mover plays again.
struct PackedMove {
    Row me, opp;
    bool again;
};

// board_move of pit `pit` for `me`: pick up, whole laps, the seeds left over,
// and the capture. The end-of-round sweep is left to packed_final, since only
// the score of a finished round is ever looked at. With `laps` false every
// pit of `me` must hold fewer than 13 seeds, which spares a division.
template <bool laps = true> inline PackedMove packed_sow(Row me, Row opp, int pit)
{
    uint32_t n = (uint32_t)(me >> (8 * pit)) & 0xff;
    if (laps && n >= 13) {
        uint32_t whole = n / 13;
        me += whole * packed_lap_me - ((Row)(13 * whole) << (8 * pit));
        opp += whole * packed_lap_opp;
        n -= 13 * whole;
    }
    const PackedSowing &t = packed_sowings.at[pit][n];
    me += t.add_me;
    opp += t.add_opp;

    // The landing pit and the pit facing it, in their own rows: one is the
    // mover's and the other the opponent's, whichever row the last seed fell
    // in. Whether a capture happens is anybody's guess, so it is taken
    // without a branch; the two counts, at different bytes, are added up into
    // byte 6 of a multiplication.
    Row mine = me & t.landing_me, theirs = opp & t.landing_opp;
    Row take = -(Row)((t.landed_own ? mine : theirs) == t.one);
    Row gained = ((mine | theirs) * 0x0101010101010101ull) & (0xffull << 48);
    me = me - (mine & take) + (gained & take);
    opp -= theirs & take;
    return {me, opp, t.again};
}

// board_round_over: either row empty.
inline bool packed_over(Row me, Row opp)
{
    return ((me & packed_pits) == 0) | ((opp & packed_pits) == 0);
}

// The mover's store minus the other's.
inline int32_t packed_stores(Row me, Row opp)
{
    return (int32_t)(me >> 48) - (int32_t)(opp >> 48);
}

// All seven counts of a side added up; fits a byte like every count.
inline int32_t packed_total(Row side)
{
    return (int32_t)((side * 0x0101010101010101ull) >> 56);
}

// The stores' difference once the round is over: the sweep adds each side's
// pits to its own store.
inline int32_t packed_final(Row me, Row opp)
{
    return packed_total(me) - packed_total(opp);
}

// Bit 7 of the byte of every pit that holds seeds: one bit per legal move.
inline Row packed_full_pits(Row side)
{
    return (((side & 0x7f7f7f7f7f7f7f7full) + 0x7f7f7f7f7f7f7f7full) | side) & packed_pit_highs;
}

// How many pits a mask of packed_full_pits marks.
inline int packed_count(Row full)
{
    return (int)(((full >> 7) * 0x0101010101010101ull) >> 56);
}

// True when some pit holds 13 seeds or more.
inline bool packed_has_laps(Row side)
{
    return ((((side & 0x7f7f7f7f7f7f7f7full) + 0x7373737373737373ull) | side) & packed_pit_highs) !=
           0;
}

// Byte i of `row` into bytes[i], whatever the machine's byte order: a copy
// of the word's memory is in pit order only on a little-endian machine.
inline void packed_store_bytes(uint8_t *bytes, Row row)
{
    if constexpr (std::endian::native == std::endian::big)
        row = __builtin_bswap64(row);
    memcpy(bytes, &row, sizeof row);
}

inline Row packed_row(const Side &side)
{
    Row row = 0;
    for (int i = 0; i < 6; i++)
        row |= (Row)side.pits[i] << (8 * i);
    return row | (Row)side.store << 48;
}

// True when every count is at least 0 and all add up to at most 255.
inline bool packed_fits(const Board &board)
{
    int64_t total = 0;
    bool negative = false;
    for (const Side &side : board.sides) {
        for (int32_t seeds : side.pits) {
            total += seeds;
            negative |= seeds < 0;
        }
        total += side.store;
        negative |= side.store < 0;
    }
    return !negative && total <= packed_max_seeds;
}
