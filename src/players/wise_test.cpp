#include "players/wise.h"

#include <gtest/gtest.h>

#include <random>

#include "capture.h"
#include "match/match.h"
#include "players/wise_test_util.h"
#include "term/term.h"

// The pit the plain road chooses for the mover at `level` (the best score,
// the lowest pit among equals); `positions` grows by the positions it scores.
static int32_t plain_choice(const Board &b, int mover, int32_t level, uint64_t &positions)
{
    uint64_t before = wise_positions;
    int32_t pit = -1, best = 0;
    for (int p = 0; p < 6; p++)
        if (int32_t score = b.sides[mover].pits[p] ? wise_search_plain(b, mover, p, level) : 0;
            b.sides[mover].pits[p] && (pit < 0 || score > best))
            pit = p, best = score;
    positions += wise_positions - before;
    return pit;
}

// Side 0 to move with seeds in pits 4 and 5 only; by level, the scores of
// pits 4 and 5, the pit chosen, and the positions either road scores. Pit 5
// ends in the store; at level 1 its extra turn leaves pit 4, whose capture
// ends the round 3 to 5, while three of side 1's four replies to pit 4 reach
// its store. The thinking line shows only with the screen.
TEST(Wise, WorkedPosition)
{
    Restore keep(match);
    Restore keep_attr(term_attr);
    match = {.display_on = false, .board = {0, 0, 0, 0, 1, 1, 0, 1, 2, 2, 0, 0, 1, 0}};
    const int32_t cases[][5] = {
        {-5, 0, 1, 5, 2}, {0, 0, 1, 5, 2}, {1, -1, -2, 4, 7}, {2, -6, -2, 5, 16}};
    for (const auto &c : cases) {
        EXPECT_EQ(wise_search(match.board, 0, 4, c[0]), c[1]) << c[0];
        EXPECT_EQ(wise_search(match.board, 0, 5, c[0]), c[2]) << c[0];
        uint64_t plain = 0, shipped = wise_positions;
        EXPECT_EQ(capture([&] { EXPECT_EQ(wise_move(c[0]), c[3]); }), "");
        EXPECT_EQ(wise_positions - shipped, (uint64_t)c[4]) << c[0];
        EXPECT_EQ(plain_choice(match.board, 0, c[0], plain), c[3]);
        EXPECT_EQ(plain, (uint64_t)c[4]) << c[0];
    }
    match.display_on = true;
    EXPECT_EQ(capture([] { wise_move(-5); }), "\033[14;1H\033[0;31;40;2mwise-5 thinking...");
    match = {.display_on = false, .board = {0, 0, 0, 0, 2, 2, 0, 1, 1, 1, 1, 1, 1, 0}};
    EXPECT_EQ(wise_move(0), 4); // both score 1: the lower pit
}

// Both roads walk the same tree on the benchmark's fixed set, and score
// every move alike for the root mover on random boards: small, sparse and
// full rows, pits of whole laps.
TEST(Wise, PackedRoadAgreesWithThePlainRoad)
{
    Restore keep(match);
    match.display_on = false;
    for (const FixedPosition &p : fixed_positions()) {
        match.board = p.board;
        match.current_player = p.mover;
        uint64_t plain = 0, shipped = wise_positions;
        EXPECT_EQ(wise_move(3), plain_choice(p.board, p.mover, 3, plain));
        EXPECT_EQ(wise_positions - shipped - plain, plain);
    }
    std::mt19937 rng(20261206);
    const uint32_t tops[] = {4, 8, 21, 3};
    for (int n = 0; n < 6000; n++) {
        Board b{};
        while (board_round_over(b)) {
            for (Side &side : b.sides) {
                for (int32_t &seeds : side.pits)
                    seeds = (int32_t)(rng() % tops[n % 4]);
                side.store = (int32_t)(rng() % 30);
            }
            b.sides[rng() % 2].pits[rng() % 6] += n % 8 == 3 ? 13 + rng() % 150 : 0;
        }
        int32_t level = (int32_t)(rng() % (n % 4 == 2 ? 3 : 4));
        match.current_player = n % 2;
        for (int side = 0; side < 2; side++)
            for (int pit = 0; pit < 6; pit++)
                ASSERT_EQ(wise_search(b, side, pit, level),
                          (side == n % 2 ? 1 : -1) * wise_search_plain(b, side, pit, level))
                    << n << ": side " << side << ", pit " << pit;
    }
}
