// Turn dispatch: the mover's name picks the routine; every choice is timed.
#include "players/turn.h"

#include <cstring>

#include "match/match.h"
#include "players/human.h"
#include "players/robots.h"
#include "players/wise.h"
#include "support/number.h"
#include "support/timer.h"

PlayerKind player_kind(const char *name)
{
    if (strncmp(name, "wise", 4) == 0)
        return PLAYER_WISE;
    if (strcmp(name, "random") == 0)
        return PLAYER_RANDOM;
    if (strcmp(name, "hurry") == 0)
        return PLAYER_HURRY;
    return PLAYER_HUMAN;
}

int32_t player_wise_level(const char *name)
{
    return number_read(name + 4);
}

int32_t choose_move()
{
    timer_start();
    match.move_number++;

    int me = match.current_player;
    const char *name = match.names[me];
    int32_t pit;
    switch (player_kind(name)) {
    case PLAYER_WISE:
        pit = wise_move(player_wise_level(name));
        break;
    case PLAYER_RANDOM:
        pit = random_move();
        break;
    case PLAYER_HURRY:
        pit = hurry_move();
        break;
    default:
        pit = human_move();
        break;
    }

    match.time_used[me] += timer_stop();
    match.last_move[me] = pit;
    match.last_move[1 - me] = -1;
    return pit;
}
