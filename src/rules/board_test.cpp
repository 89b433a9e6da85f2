#include "rules/board.h"

#include <gtest/gtest.h>

// A board is side 0's six pits and store, then side 1's. Each case: before, the side and pit moved,
// after, and whether the mover plays again. In turn: sowing; into the own store; captures on the
// own side, the other, with nothing facing; the other store passed over; 13 seeds capturing in
// their own pit; whole laps of 26 and 29; the sweep after a move into the store, and when the mover
// empties its own row; refused, changing nothing: a side or a pit out of range, an empty pit.
TEST(BoardMove, WorkedBoards)
{
    const std::tuple<Board, int, int, Board, bool> cases[] = {
        // clang-format off
        {{1, 2, 3, 4, 5, 6, 0, 1, 1, 1, 1, 1, 1, 0}, 0, 4, {1, 2, 3, 4, 0, 7, 1, 2, 2, 2, 1, 1, 1, 0}, false},
        {{1, 1, 1, 1, 1, 1, 0, 4, 4, 4, 4, 4, 4, 0}, 1, 2, {1, 1, 1, 1, 1, 1, 0, 4, 4, 0, 5, 5, 5, 1}, true},
        {{1, 0, 3, 4, 5, 6, 0, 2, 2, 2, 2, 7, 2, 0}, 0, 0, {0, 0, 3, 4, 5, 6, 8, 2, 2, 2, 2, 0, 2, 0}, false},
        {{3, 3, 3, 3, 9, 3, 0, 2, 0, 2, 2, 2, 2, 0}, 0, 5, {3, 3, 3, 3, 0, 0, 11, 3, 0, 2, 2, 2, 2, 0}, false},
        {{0, 4, 4, 4, 4, 4, 0, 4, 4, 4, 4, 3, 4, 0}, 1, 4, {0, 4, 4, 4, 4, 4, 0, 4, 4, 4, 4, 0, 0, 7}, false},
        {{1, 0, 3, 4, 5, 6, 0, 2, 2, 2, 2, 0, 2, 0}, 0, 0, {0, 0, 3, 4, 5, 6, 1, 2, 2, 2, 2, 0, 2, 0}, false},
        {{1, 1, 1, 1, 1, 8, 0, 1, 1, 1, 1, 1, 1, 0}, 0, 5, {2, 1, 1, 1, 1, 0, 1, 2, 2, 2, 2, 2, 2, 0}, false},
        {{13, 1, 1, 1, 1, 1, 0, 2, 2, 2, 2, 2, 2, 0}, 0, 0, {0, 2, 2, 2, 2, 2, 5, 3, 3, 3, 3, 3, 0, 0}, false},
        {{1, 1, 26, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 0}, 0, 2, {3, 3, 2, 3, 3, 3, 2, 3, 3, 3, 3, 3, 3, 0}, false},
        {{1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 29, 1, 0}, 1, 4, {4, 3, 3, 3, 3, 3, 0, 3, 3, 3, 3, 2, 4, 3}, false},
        {{0, 0, 0, 0, 0, 1, 0, 2, 2, 2, 2, 2, 2, 0}, 0, 5, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 12}, true},
        {{1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 2, 4}, 1, 5, {0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 5}, false},
        {{1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3}, 2, 0, {1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3}, false},
        {{1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3}, 1, -1, {1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3}, false},
        {{1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3}, 1, 6, {1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3}, false},
        {{1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3}, 1, 2, {1, 0, 3, 4, 5, 6, 9, 2, 2, 0, 2, 7, 2, 3}, false},
        // clang-format on
    };
    for (auto [before, side, pit, after, again] : cases) {
        EXPECT_EQ(board_move(before, side, pit), again) << side << pit;
        EXPECT_EQ(memcmp(&before, &after, sizeof before), 0)
            << testing::PrintToString(before.sides[1].pits);
    }
}
