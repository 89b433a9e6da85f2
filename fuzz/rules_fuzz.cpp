// Fuzz target for the sowing rules: board_move on arbitrary boards, sides and
// pits. Every count is non-negative and the fourteen add up to at most
// 2147483647, the most seeds a board can hold. Checked on every input:
// the seed sum is kept, no count goes negative, a rejected move changes
// nothing and returns false, a round-ending move leaves every pit empty,
// board_round_over agrees with a plain reading of the pits, and for pits of
// a few thousand seeds or fewer the whole result equals a seed-by-seed
// sowing written here the long way.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rules/board.h"

namespace {

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "rules_fuzz: check failed at line %d: %s\n", __LINE__, #cond);         \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)

// Sowing slower than this many seeds is left to the property checks alone.
const int32_t slow_sowing_limit = 4000;

struct Input {
    const uint8_t *data;
    size_t size;
};

uint32_t take_u32(Input &in)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; i++) {
        v <<= 8;
        if (in.size > 0) {
            v |= *in.data++;
            in.size--;
        }
    }
    return v;
}

int32_t &position(Board &b, int side, int pos)
{
    return pos == 6 ? b.sides[side].store : b.sides[side].pits[pos];
}

int64_t seed_sum(const Board &b)
{
    int64_t sum = 0;
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++)
            sum += b.sides[s].pits[i];
        sum += b.sides[s].store;
    }
    return sum;
}

bool row_empty(const Board &b, int side)
{
    for (int i = 0; i < 6; i++)
        if (b.sides[side].pits[i] != 0)
            return false;
    return true;
}

// The rules as a person would apply them: one seed at a time.
bool reference_move(Board &b, int side, int pit)
{
    int32_t n = b.sides[side].pits[pit];
    b.sides[side].pits[pit] = 0;
    int s = side, p = pit;
    for (int32_t k = 0; k < n; k++) {
        p++;
        if (p > 6 || (p == 6 && s != side)) {
            s = 1 - s;
            p = 0;
        }
        position(b, s, p)++;
    }
    bool again = p == 6;
    if (!again && b.sides[s].pits[p] == 1) {
        b.sides[side].store += 1 + b.sides[1 - s].pits[5 - p];
        b.sides[1 - s].pits[5 - p] = 0;
        b.sides[s].pits[p] = 0;
    }
    if (row_empty(b, 0) || row_empty(b, 1)) {
        for (int t = 0; t < 2; t++) {
            for (int i = 0; i < 6; i++) {
                b.sides[t].store += b.sides[t].pits[i];
                b.sides[t].pits[i] = 0;
            }
        }
    }
    return again;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};

    // The first byte picks the shape of the counts: mostly small ones, where
    // captures and sweeps happen often and the seed-by-seed sowing can follow,
    // or full 32-bit ones scaled down to fit the seed limit.
    uint8_t shape = in.size > 0 ? (in.size--, *in.data++) : 0;
    uint32_t raw[14];
    uint64_t total = 0;
    for (int i = 0; i < 14; i++) {
        raw[i] = take_u32(in);
        if (shape % 4 != 0)
            raw[i] %= (shape % 4 == 1) ? 8u : 40u;
        total += raw[i];
    }
    if (total > INT32_MAX) {
        uint64_t scaled = 0;
        for (int i = 0; i < 14; i++) {
            raw[i] = (uint32_t)((uint64_t)raw[i] * INT32_MAX / total);
            scaled += raw[i];
        }
        CHECK(scaled <= INT32_MAX);
    }
    Board board;
    for (int i = 0; i < 14; i++)
        position(board, i / 7, i % 7) = (int32_t)raw[i];
    int side = (int32_t)take_u32(in);
    int pit = (int32_t)take_u32(in);

    const Board before = board;
    const int64_t sum = seed_sum(board);
    bool valid =
        (side == 0 || side == 1) && pit >= 0 && pit <= 5 && board.sides[side].pits[pit] != 0;

    CHECK(board_round_over(board) == (row_empty(board, 0) || row_empty(board, 1)));

    bool again = board_move(board, side, pit);

    if (!valid) {
        CHECK(!again);
        CHECK(memcmp(&board, &before, sizeof board) == 0);
        return 0;
    }

    CHECK(seed_sum(board) == sum);
    for (int s = 0; s < 2; s++) {
        for (int p = 0; p < 7; p++)
            CHECK(position(board, s, p) >= 0);
    }
    // Only the sweep puts seeds into the other side's store, and only the
    // mover's own store can end a move.
    bool over = board_round_over(board);
    if (!over)
        CHECK(board.sides[1 - side].store == before.sides[1 - side].store);
    if (over) {
        for (int s = 0; s < 2; s++)
            CHECK(row_empty(board, s));
    }
    CHECK(board.sides[side].store >= before.sides[side].store);
    // The moved pit ends empty unless the sowing came round to it again.
    if (before.sides[side].pits[pit] < 13)
        CHECK(board.sides[side].pits[pit] == 0);

    if (before.sides[side].pits[pit] <= slow_sowing_limit) {
        Board expect = before;
        bool expect_again = reference_move(expect, side, pit);
        CHECK(again == expect_again);
        CHECK(memcmp(&board, &expect, sizeof board) == 0);
    }
    return 0;
}
