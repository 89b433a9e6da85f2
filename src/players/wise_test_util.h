// The benchmark's fixed positions, also searched by the tests: playouts of
// 8 to 23 random moves from boards of 1 to 6 seeds a pit, drawn from a
// generator the language fixes, so every machine searches the same trees.
#pragma once

#include <random>
#include <vector>

#include "rules/board.h"

struct FixedPosition {
    Board board;
    int mover;
};

inline std::vector<FixedPosition> fixed_positions(uint32_t seed = 20261206, size_t count = 24)
{
    std::mt19937 rng(seed);
    std::vector<FixedPosition> set;
    while (set.size() < count) {
        Board b{};
        for (int k = 0; k < 12; k++)
            b.sides[k / 6].pits[k % 6] = (int32_t)(rng() % 6 + 1);
        int mover = (int)(rng() % 2);
        for (int k = 8 + (int)(set.size() % 16); k > 0 && !board_round_over(b); k--) {
            int legal[6], n = 0;
            for (int i = 0; i < 6; i++)
                if (b.sides[mover].pits[i] != 0)
                    legal[n++] = i;
            if (!board_move(b, mover, legal[rng() % n]))
                mover = 1 - mover;
        }
        if (!board_round_over(b)) // a playout that ended its round is drawn again
            set.push_back({b, mover});
    }
    return set;
}
