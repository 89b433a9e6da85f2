#include "rules/packed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

// The packed rules do as board_move does: on every board of 0 to 2 seeds a
// pit, which holds every capture, extra turn and end of a round that small
// rows make, then on random boards with pits of whole laps.
TEST(Packed, SowsAsBoardMoveDoes)
{
    std::mt19937 rng(2026);
    for (int n = 0; n < 531441 + 100000; n++) {
        Board b{};
        for (int k = 0, code = n; k < 12; k++, code /= 3)
            b.sides[k / 6].pits[k % 6] = n < 531441 ? code % 3 : (int32_t)(rng() % 9);
        b.sides[rng() % 2].pits[rng() % 6] += n < 531441 ? 0 : (int32_t)(rng() % 160);
        b.sides[0].store = (int32_t)(rng() % 20);
        int side = n % 2, pit = (n / 2) % 6;
        const int32_t *pits = b.sides[side].pits;
        if (pits[pit] == 0 || !packed_fits(b))
            continue;
        Row me = packed_row(b.sides[side]), opp = packed_row(b.sides[1 - side]);
        ASSERT_EQ(packed_count(packed_full_pits(me)), 6 - std::count(pits, pits + 6, 0)) << n;
        ASSERT_EQ(packed_has_laps(me), *std::max_element(pits, pits + 6) >= 13) << n;
        PackedMove m = packed_sow(me, opp, pit);
        ASSERT_TRUE(packed_has_laps(me) || packed_sow<false>(me, opp, pit).me == m.me) << n;
        ASSERT_EQ(m.again, board_move(b, side, pit)) << n;
        bool over = board_round_over(b);
        ASSERT_EQ(packed_over(m.me, m.opp), over) << n;
        ASSERT_EQ(over ? packed_final(m.me, m.opp) : packed_stores(m.me, m.opp),
                  b.sides[side].store - b.sides[1 - side].store)
            << n;
        ASSERT_TRUE(over || m.me == packed_row(b.sides[side])) << n;
        ASSERT_TRUE(over || m.opp == packed_row(b.sides[1 - side])) << n;
    }
    EXPECT_TRUE(packed_fits({200, 0, 0, 0, 0, 0, 0, 50, 0, 0, 0, 0, 0, 5}));
    EXPECT_FALSE(packed_fits({200, 0, 0, 0, 0, 0, 0, 50, 0, 0, 0, 0, 0, 6}));
    EXPECT_FALSE(packed_fits({1, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}
