// The benchmark's fixed positions, also searched by the tests: random
// playouts of 8 to 23 moves from random boards of 1 to 6 seeds a pit, drawn
// from a generator whose output the language fixes, so that every machine
// searches the same trees.
#pragma once

#include <random>
#include <vector>

#include "rules/board.h"

struct FixedPosition {
    Board board;
    int mover;
};

inline std::vector<FixedPosition> fixed_positions()
{
    std::mt19937 rng(20261206);
    std::vector<FixedPosition> set;
    while (set.size() < 24) {
        Board b{};
        for (Side &side : b.sides)
            for (int32_t &seeds : side.pits)
                seeds = (int32_t)(rng() % 6 + 1);
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
