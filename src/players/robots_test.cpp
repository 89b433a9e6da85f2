#include "players/robots.h"

#include <gtest/gtest.h>

#include "match/match.h"
#include "testing.h"

// The fullest pit, the lowest among equals; a pit of one seed counts too.
TEST(HurryMove, FullestPitLowestFirst)
{
    Restore keep(match);
    match.current_player = 1;
    for (auto [side, pit] : {std::pair{Side{{3, 7, 7, 0, 1, 2}, 0}, 1},
                             {Side{{0, 0, 0, 0, 0, 5}, 0}, 5},
                             {Side{{0, 1, 0, 1, 1, 0}, 9}, 1}}) {
        match.board.sides[1] = side;
        EXPECT_EQ(hurry_move(), pit);
    }
}
