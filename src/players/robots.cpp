// The random and hurry robots.
#include "players/robots.h"

#include <cstdlib>

#include "match/match.h"

int32_t random_move()
{
    const Side &mine = match.board.sides[match.current_player];
    int32_t legal[6];
    int32_t n = 0;
    for (int32_t i = 0; i < 6; i++)
        if (mine.pits[i] != 0)
            legal[n++] = i;
    // One draw per call, also with a single legal pit: each choice moves the
    // stream on by exactly one value, whatever the board.
    long r = random();
    return n > 0 ? legal[r % n] : 0;
}

int32_t hurry_move()
{
    const Side &mine = match.board.sides[match.current_player];
    int32_t best = 0, pit = 0;
    for (int32_t i = 0; i < 6; i++) {
        if (mine.pits[i] > best) {
            best = mine.pits[i];
            pit = i;
        }
    }
    return pit;
}
