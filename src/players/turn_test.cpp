#include "players/turn.h"

#include <gtest/gtest.h>

#include "match/match.h"
#include "players/players_test_util.h"
#include "support/mem.h"
#include "support/timer.h"

namespace {

TEST(PlayerKind, ByNameCaseSensitive)
{
    const struct {
        const char *name;
        PlayerKind kind;
    } cases[] = {
        {"wise", PLAYER_WISE},    {"wise12", PLAYER_WISE},   {"wisest", PLAYER_WISE},
        {"wiseguy", PLAYER_WISE}, {"wise-2", PLAYER_WISE},   {"random", PLAYER_RANDOM},
        {"hurry", PLAYER_HURRY},  {"Wise3", PLAYER_HUMAN},   {"wis", PLAYER_HUMAN},
        {"Random", PLAYER_HUMAN}, {"randoms", PLAYER_HUMAN}, {"randomly", PLAYER_HUMAN},
        {"hurry2", PLAYER_HUMAN}, {"rand", PLAYER_HUMAN},    {"", PLAYER_HUMAN},
        {"bob", PLAYER_HUMAN},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(player_kind(c.name), c.kind) << c.name;
        EXPECT_EQ(is_robot_name(c.name), c.kind != PLAYER_HUMAN) << c.name;
    }
}

TEST(WiseLevel, ReadLikeStrtol)
{
    const struct {
        const char *name;
        int32_t level;
    } cases[] = {
        {"wise", 0},
        {"wise3", 3},
        {"wise12x", 12},
        {"wisex", 0},
        {"wise-2", -2},
        {"wise +7", 7},
        {"wise 5", 5},
        {"wise99999999999", 2147483647},
        {"wise-99999999999", -2147483647 - 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(wise_level(c.name), c.level) << c.name;
}

TEST(ChooseMove, CountsTimesAndRecordsTheChoice)
{
    int pits[12] = {3, 7, 7, 0, 1, 2, 1, 1, 1, 1, 9, 1};
    set_pits(pits);
    match.names[0] = "hurry";
    match.names[1] = "hurry";
    match.display_on = false;
    match.move_number = 4;
    match.time_used[0] = 2.5;
    match.time_used[1] = 7.0;
    match.last_move[0] = -1;
    match.last_move[1] = 3;
    uint32_t held = mem_total;

    match.current_player = 0;
    EXPECT_EQ(choose_move(), 1);
    EXPECT_EQ(match.move_number, 5);
    EXPECT_EQ(match.last_move[0], 1);
    EXPECT_EQ(match.last_move[1], -1);
    EXPECT_GE(match.time_used[0], 2.5);
    EXPECT_LT(match.time_used[0], 3.5);
    EXPECT_EQ(match.time_used[1], 7.0);

    match.current_player = 1;
    EXPECT_EQ(choose_move(), 4);
    EXPECT_EQ(match.move_number, 6);
    EXPECT_EQ(match.last_move[0], -1);
    EXPECT_EQ(match.last_move[1], 4);

    // Every stopwatch started for a choice was stopped and given back.
    EXPECT_EQ(timer_stack, nullptr);
    EXPECT_EQ(mem_total, held);
}

} // namespace
