#include "players/leaves.h"
#include "players/leaves_vector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

// The packed rules sow, and both roads score the last ply and count its moves, as board_move does:
// on every board of 0 to 2 seeds a pit, which holds every capture, extra turn and end of a round
// that small rows make, then on random boards of full, sparse and lapping rows, up to 255 seeds.
TEST(Leaves, PackedRulesAndBothRoadsDoAsBoardMove)
{
    const bool vector = leaves_best_road() == LEAVES_VECTOR;
    std::mt19937 rng(7);
    for (int n = 0; n < 531441 + 300000; n++) {
        Board b{};
        for (int k = 0, code = n; k < 12; k++, code /= 3)
            b.sides[k / 6].pits[k % 6] =
                n < 531441 ? code % 3 : (int32_t)(rng() % (n % 3 ? 4 : 20));
        b.sides[rng() % 2].pits[rng() % 6] += n % 7 ? 0 : (int32_t)(rng() % 200);
        b.sides[0].store = (int32_t)(rng() % 120), b.sides[1].store = (int32_t)(rng() % 120);
        if (board_round_over(b) || !packed_fits(b))
            continue;
        int side = n % 2, best = INT32_MIN;
        const int32_t *pits = b.sides[side].pits;
        Row me = packed_row(b.sides[side]), opp = packed_row(b.sides[1 - side]);
        ASSERT_EQ(packed_has_laps(me), *std::max_element(pits, pits + 6) >= 13) << n;
        for (int pit = 0; pit < 6; pit++) {
            if (pits[pit] == 0)
                continue;
            Board after = b;
            PackedMove m = packed_sow(me, opp, pit);
            ASSERT_EQ(m.again, board_move(after, side, pit)) << n;
            ASSERT_TRUE(packed_has_laps(me) || packed_sow<false>(me, opp, pit).me == m.me) << n;
            bool over = board_round_over(after);
            int score = after.sides[side].store - after.sides[1 - side].store;
            ASSERT_EQ(packed_over(m.me, m.opp), over) << n;
            ASSERT_EQ(over ? packed_final(m.me, m.opp) : packed_stores(m.me, m.opp), score) << n;
            ASSERT_TRUE(over || m.me == packed_row(after.sides[side])) << n;
            ASSERT_TRUE(over || m.opp == packed_row(after.sides[1 - side])) << n;
            best = std::max(best, score);
        }
        uint64_t moves = 6 - std::count(pits, pits + 6, 0), sown = 0, scalar = 0, on_vector = 0;
        ASSERT_EQ(leaves_best_sown(me, opp, sown), best) << n;
        ASSERT_EQ(leaves_best_scalar(me, opp, scalar), best) << n;
        ASSERT_EQ(vector ? leaves_best_vector(me, opp, on_vector) : best, best) << n;
        ASSERT_EQ(std::tuple(sown, scalar, vector ? on_vector : moves),
                  std::tuple(moves, moves, moves))
            << n;
    }
    EXPECT_TRUE(packed_fits({200, 0, 0, 0, 0, 0, 0, 50, 0, 0, 0, 0, 0, 5}));
    EXPECT_FALSE(packed_fits({200, 0, 0, 0, 0, 0, 0, 50, 0, 0, 0, 0, 0, 6}));
    EXPECT_FALSE(packed_fits({1, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}
