#include "players/wise.h"

#include <gtest/gtest.h>

#include "match/match.h"
#include "players/leaves.h"
#include "term/term.h"
#include "testing.h"

// Side 0 to move, its seeds in pits 4 and 5; by level, the scores of pits 4 and 5, the pit chosen
// and the positions scored. Pit 5 ends in the store; at level 1 its extra turn leaves pit 4, whose
// capture ends the round 3 to 5, and three of side 1's four replies to pit 4 reach its store.
// The first search chooses the road of this processor.
TEST(Wise, WorkedPosition)
{
    Restore keep(match, term_attr, leaves_road);
    match = {.display_on = false, .board = {0, 0, 0, 0, 1, 1, 0, 1, 2, 2, 0, 0, 1, 0}};
    leaves_road = LEAVES_UNCHOSEN;
    for (auto [level, score4, score5, pit, positions] :
         {std::tuple{-5, 0, 1, 5, 2}, {0, 0, 1, 5, 2}, {1, -1, -2, 4, 7}, {2, -6, -2, 5, 16}}) {
        EXPECT_EQ(wise_search(match.board, 0, 4, level), score4) << level;
        EXPECT_EQ(wise_search(match.board, 0, 5, level), score5) << level;
        uint64_t before = wise_positions;
        EXPECT_EQ(capture([&, level = level, pit = pit] { EXPECT_EQ(wise_move(level), pit); }), "");
        EXPECT_EQ(wise_positions - before, (uint64_t)positions) << level;
    }
    EXPECT_EQ(leaves_road, leaves_best_road());
#ifdef OKWARI_EXPECT_ROAD // the road of a processor known to the build (make test-cross)
    EXPECT_EQ(leaves_road, OKWARI_EXPECT_ROAD);
#endif
    match.display_on = true; // the thinking line
    EXPECT_EQ(capture([] { wise_move(-5); }), "\033[14;1H\033[0;31;40;2mwise-5 thinking...");
}

// On either road the search walks the plain road's tree: the same scores for either side, and as
// many positions, on positions reached in play, at several levels, some with pits of whole laps.
TEST(Wise, BothRoadsWalkThePlainRoadsTree)
{
    Restore keep(match, leaves_road);
    for (LeavesRoad road : {LEAVES_SCALAR, leaves_best_road()}) {
        leaves_road = road;
        int n = 0;
        for (FixedPosition p : fixed_positions(road, 400)) {
            p.board.sides[n % 2].pits[n % 6] += n % 3 ? 0 : 13 + n % 150;
            match.current_player = p.mover;
            for (int side = 0; side < 2; side++)
                for (int pit = 0; pit < 6; pit++) {
                    uint64_t start = wise_positions;
                    int32_t score = wise_search(p.board, side, pit, n % 4);
                    uint64_t middle = wise_positions;
                    ASSERT_EQ(score, (side == p.mover ? 1 : -1) *
                                         wise_search_plain(p.board, side, pit, n % 4))
                        << n;
                    ASSERT_EQ(wise_positions - middle, middle - start) << n;
                }
            n++;
        }
    }
}
