#include "rules/board.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>

namespace {

// A board written as side 0's pits and store, then side 1's pits and store.
Board make(std::initializer_list<int32_t> counts)
{
    Board b{};
    int32_t *cell[14];
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++)
            cell[s * 7 + i] = &b.sides[s].pits[i];
        cell[s * 7 + 6] = &b.sides[s].store;
    }
    int k = 0;
    for (int32_t c : counts)
        *cell[k++] = c;
    return b;
}

::testing::AssertionResult same(const Board &got, const Board &want)
{
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++)
            if (got.sides[s].pits[i] != want.sides[s].pits[i])
                return ::testing::AssertionFailure()
                       << "side " << s << " pit " << i << ": " << got.sides[s].pits[i]
                       << " != " << want.sides[s].pits[i];
        if (got.sides[s].store != want.sides[s].store)
            return ::testing::AssertionFailure() << "side " << s << " store: " << got.sides[s].store
                                                 << " != " << want.sides[s].store;
    }
    return ::testing::AssertionSuccess();
}

int64_t total(const Board &b)
{
    int64_t sum = 0;
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++)
            sum += b.sides[s].pits[i];
        sum += b.sides[s].store;
    }
    return sum;
}

struct MoveCase {
    const char *what;
    Board before;
    int side, pit;
    Board after;
    bool again;
};

TEST(BoardMove, WorkedBoards)
{
    // Kept as written: each case is its name, then the board before with
    // the move, then the board after, one line each, so that the boards
    // stand in columns.
    // clang-format off
    const MoveCase cases[] = {
        {"plain sowing",
         make({1, 2, 3, 4, 5, 6, 0, 1, 1, 1, 1, 1, 1, 0}), 0, 4,
         make({1, 2, 3, 4, 0, 7, 1, 2, 2, 2, 1, 1, 1, 0}), false},
        {"last seed into the own store",
         make({1, 1, 1, 1, 1, 1, 0, 4, 4, 4, 4, 4, 4, 0}), 1, 2,
         make({1, 1, 1, 1, 1, 1, 0, 4, 4, 0, 5, 5, 5, 1}), true},
        {"capture on the own side",
         make({1, 0, 3, 4, 5, 6, 0, 2, 2, 2, 2, 7, 2, 0}), 0, 0,
         make({0, 0, 3, 4, 5, 6, 8, 2, 2, 2, 2, 0, 2, 0}), false},
        {"capture on the opponent's side",
         make({3, 3, 3, 3, 9, 3, 0, 2, 0, 2, 2, 2, 2, 0}), 0, 5,
         make({3, 3, 3, 3, 0, 0, 11, 3, 0, 2, 2, 2, 2, 0}), false},
        {"opponent's store passed over",
         make({1, 1, 1, 1, 1, 8, 0, 1, 1, 1, 1, 1, 1, 0}), 0, 5,
         make({2, 1, 1, 1, 1, 0, 1, 2, 2, 2, 2, 2, 2, 0}), false},
        {"a 13-seed pit captures in itself",
         make({13, 1, 1, 1, 1, 1, 0, 2, 2, 2, 2, 2, 2, 0}), 0, 0,
         make({0, 2, 2, 2, 2, 2, 5, 3, 3, 3, 3, 3, 0, 0}), false},
        {"sweep after a move into the store",
         make({0, 0, 0, 0, 0, 1, 0, 2, 2, 2, 2, 2, 2, 0}), 0, 5,
         make({0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 12}), true},
        {"sweep when the mover empties its own row",
         make({1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 2, 4}), 1, 5,
         make({0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 5}), false},
        {"capture with an empty facing pit",
         make({1, 0, 3, 4, 5, 6, 0, 2, 2, 2, 2, 0, 2, 0}), 0, 0,
         make({0, 0, 3, 4, 5, 6, 1, 2, 2, 2, 2, 0, 2, 0}), false},
        {"side 1 captures on side 0",
         make({0, 4, 4, 4, 4, 4, 0, 4, 4, 4, 4, 3, 4, 0}), 1, 4,
         make({0, 4, 4, 4, 4, 4, 0, 4, 4, 4, 4, 0, 0, 7}), false},
        {"two laps plus three: 29 seeds from side 1 pit 4",
         make({1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 29, 1, 0}), 1, 4,
         make({4, 3, 3, 3, 3, 3, 0, 3, 3, 3, 3, 2, 4, 3}), false},
        {"two whole laps end in the starting pit (2 seeds: no capture)",
         make({1, 1, 26, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 0}), 0, 2,
         make({3, 3, 2, 3, 3, 3, 2, 3, 3, 3, 3, 3, 3, 0}), false},
    };
    // clang-format on
    for (const MoveCase &c : cases) {
        Board b = c.before;
        EXPECT_EQ(board_move(b, c.side, c.pit), c.again) << c.what;
        EXPECT_TRUE(same(b, c.after)) << c.what;
        EXPECT_EQ(total(b), total(c.before)) << c.what;
    }
}

TEST(BoardMove, RejectedMovesChangeNothing)
{
    const Board before = make({1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3});
    const struct {
        int side, pit;
    } rejected[] = {{2, 0}, {-1, 0}, {0, -1}, {0, 6}, {1, 6}, {0, 1}, {1, 2}, {0, 100}, {1, -7}};
    for (auto r : rejected) {
        Board b = before;
        EXPECT_FALSE(board_move(b, r.side, r.pit)) << r.side << "/" << r.pit;
        EXPECT_TRUE(same(b, before)) << r.side << "/" << r.pit;
    }
}

// Sowing seed by seed, the slow way, to check the lap shortcut against.
bool sow_one_by_one(Board &b, int side, int pit)
{
    int32_t *pos[2][7];
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++)
            pos[s][i] = &b.sides[s].pits[i];
        pos[s][6] = &b.sides[s].store;
    }
    int32_t n = *pos[side][pit];
    *pos[side][pit] = 0;
    int s = side, p = pit;
    while (n-- > 0) {
        p++;
        if (p == 7 || (p == 6 && s != side)) {
            s ^= 1;
            p = 0;
        }
        ++*pos[s][p];
    }
    if (p == 6)
        return true;
    if (*pos[s][p] == 1) {
        *pos[side][6] += 1 + *pos[1 - s][5 - p];
        *pos[1 - s][5 - p] = 0;
        *pos[s][p] = 0;
    }
    return false;
}

TEST(BoardMove, AgreesWithSeedBySeedSowingOnRandomBoards)
{
    srand(12345);
    for (int trial = 0; trial < 20000; trial++) {
        Board b{};
        int limit = trial % 3 == 0 ? 40 : 7;
        for (int s = 0; s < 2; s++)
            for (int i = 0; i < 6; i++)
                b.sides[s].pits[i] = rand() % limit;
        b.sides[0].store = rand() % 20;
        b.sides[1].store = rand() % 20;
        int side = rand() % 2, pit = rand() % 6;
        if (b.sides[side].pits[pit] == 0)
            continue;
        Board fast = b, slow = b;
        bool again = sow_one_by_one(slow, side, pit);
        if (board_round_over(slow)) {
            for (int s = 0; s < 2; s++)
                for (int i = 0; i < 6; i++) {
                    slow.sides[s].store += slow.sides[s].pits[i];
                    slow.sides[s].pits[i] = 0;
                }
        }
        ASSERT_EQ(board_move(fast, side, pit), again) << "trial " << trial;
        ASSERT_TRUE(same(fast, slow)) << "trial " << trial;
        ASSERT_EQ(total(fast), total(b));
    }
}

TEST(BoardMove, HugePitSowsInWholeLaps)
{
    // 2000000000 = 153846153 laps of 13 and 11 more seeds: the last one
    // lands in side 1 pit 4, which then holds a lap's worth plus this seed.
    Board b = make({2000000000, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 0});
    const int64_t before = total(b);
    EXPECT_FALSE(board_move(b, 0, 0));
    EXPECT_EQ(total(b), before);
    EXPECT_EQ(b.sides[0].pits[0], 153846153);
    EXPECT_EQ(b.sides[0].pits[1], 153846155);
    EXPECT_EQ(b.sides[0].store, 153846154);
    EXPECT_EQ(b.sides[1].pits[4], 153846155);
    EXPECT_EQ(b.sides[1].pits[5], 153846154);
    EXPECT_EQ(b.sides[1].store, 0);
}

TEST(BoardRoundOver, EitherRowEmpty)
{
    const struct {
        Board b;
        bool over;
    } cases[] = {
        {make({0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0}), true},
        {make({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 9}), true},
        {make({0, 0, 0, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 18}), true},
        {make({0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0}), false},
        {make({5, 0, 0, 0, 0, 0, 40, 0, 0, 0, 0, 0, 7, 40}), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(board_round_over(c.b), c.over);
}

} // namespace
