#include "players/turn.h"

#include <gtest/gtest.h>

#include <climits>

#include "match/match.h"

// The player a name selects, case-sensitive, and a wise robot's level.
TEST(PlayerKind, ByName)
{
    const std::tuple<const char *, PlayerKind, int32_t> cases[] = {
        // clang-format off
        {"wise", PLAYER_WISE, 0}, {"wise3", PLAYER_WISE, 3}, {"wise12x", PLAYER_WISE, 12}, {"wisex", PLAYER_WISE, 0},
        {"wise-2", PLAYER_WISE, -2}, {"wise 7", PLAYER_WISE, 7}, {"wise99999999999", PLAYER_WISE, INT32_MAX},
        {"wise-99999999999", PLAYER_WISE, INT32_MIN}, {"random", PLAYER_RANDOM, 0}, {"hurry", PLAYER_HURRY, 0},
        {"Wise3", PLAYER_HUMAN, 0}, {"wis", PLAYER_HUMAN, 0}, {"randomly", PLAYER_HUMAN, 0}, {"hurry2", PLAYER_HUMAN, 0},
        // clang-format on
    };
    for (auto [name, kind, level] : cases) {
        EXPECT_EQ(player_kind(name), kind) << name;
        EXPECT_EQ(is_robot_name(name), kind != PLAYER_HUMAN) << name;
        EXPECT_EQ(kind == PLAYER_WISE ? wise_level(name) : 0, level) << name;
    }
}
