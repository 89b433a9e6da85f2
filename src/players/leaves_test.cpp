#include "players/leaves.h"

#include <gtest/gtest.h>

#include <random>

// Both roads score the last ply, and count its moves, as sowing each move
// does: every board of 0 to 2 seeds a pit, then random boards of full,
// sparse and lapping rows, up to 255 seeds in all.
TEST(Leaves, BothRoadsScoreAsTheSowing)
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
        Row me = packed_row(b.sides[n % 2]), opp = packed_row(b.sides[1 - n % 2]);
        uint64_t sown = 0, scalar = 0, on_vector = 0;
        int32_t best = leaves_best_sown(me, opp, sown);
        ASSERT_EQ(leaves_best_scalar(me, opp, scalar), best) << n;
        ASSERT_EQ(vector ? leaves_best_vector(me, opp, on_vector) : best, best) << n;
        ASSERT_EQ(scalar, sown) << n;
        ASSERT_EQ(vector ? on_vector : sown, sown) << n;
    }
}
