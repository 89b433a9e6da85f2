// Which road scores the last ply of the wise search.
#include "players/leaves.h"

LeavesRoad leaves_road = LEAVES_UNCHOSEN;

#ifdef __x86_64__
LeavesRoad leaves_best_road()
{
    return __builtin_cpu_supports("ssse3") ? LEAVES_VECTOR : LEAVES_SCALAR;
}
#else
LeavesRoad leaves_best_road()
{
    return LEAVES_SCALAR;
}
#endif
