#include "players/robots.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "players/players_test_util.h"

namespace {

TEST(HurryMove, FullestPitLowestIndexFirst)
{
    const struct {
        int pits[6];
        int32_t pit;
    } cases[] = {
        {{3, 7, 7, 0, 1, 2}, 1}, {{0, 0, 0, 0, 0, 5}, 5},   {{4, 4, 4, 4, 4, 4}, 0},
        {{0, 1, 0, 0, 0, 0}, 1}, {{1, 2, 3, 4, 5, 600}, 5},
    };
    for (int side = 0; side < 2; side++) {
        for (const auto &c : cases) {
            int pits[12] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
            for (int i = 0; i < 6; i++)
                pits[side * 6 + i] = c.pits[i];
            set_pits(pits);
            match.current_player = side;
            EXPECT_EQ(hurry_move(), c.pit) << "side " << side;
        }
    }
}

TEST(RandomMove, OneDrawPerCallIndexedIntoTheLegalPits)
{
    const int cases[][6] = {
        {1, 1, 1, 1, 1, 1},
        {0, 3, 0, 2, 0, 1},
        {0, 0, 0, 0, 7, 0},
        {5, 0, 0, 0, 0, 0},
    };
    for (const auto &row : cases) {
        int pits[12];
        for (int i = 0; i < 6; i++) {
            pits[i] = row[i];
            pits[6 + i] = 1;
        }
        set_pits(pits);
        match.current_player = 0;
        int legal[6], n = 0;
        for (int i = 0; i < 6; i++)
            if (row[i] != 0)
                legal[n++] = i;
        // The same seed, drawn by hand: the robot must take exactly one value
        // per call, also when a single pit is legal.
        srandom(77);
        long draws[20];
        for (long &d : draws)
            d = random();
        srandom(77);
        for (long d : draws)
            EXPECT_EQ(random_move(), legal[d % n]);
    }
}

} // namespace
