#include "match/match.h"

#include <gtest/gtest.h>

#include "testing.h"

// Start-up puts the whole record back, so that a caller can play match after match in one process.
TEST(MatchStart, StartsFromTheInitialRecord)
{
    Restore keep(match);
    match = {.round_label = "second", .scores = {5, 7}, .move_total = 9, .last_move = {3, -1}};
    const char *argv[] = {"/usr/games/okwari", "random", "hurry", nullptr};
    EXPECT_EQ(match_start(3, (char **)argv, 1), MATCH_GOES_ON);
    EXPECT_STREQ(match.round_label, "first"); // and each count as at start: 0, 0, 0, -1, 1
    EXPECT_EQ(match.scores[0] + match.scores[1] + match.move_total + match.last_move[0], -1);
    EXPECT_EQ(match.move_number, 1);
}
