// The benchmark's fixed positions, also searched by the tests: playouts of
// 8 to 23 random moves from boards of 1 to 6 seeds a pit, from a generator
// the language fixes, so that every machine searches the same trees.
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
        FixedPosition p{};
        for (int k = 0; k < 12; k++)
            p.board.sides[k / 6].pits[k % 6] = (int32_t)(rng() % 6 + 1);
        p.mover = (int)(rng() % 2);
        for (int k = 8 + (int)(set.size() % 16); k > 0 && !board_round_over(p.board); k--) {
            int legal[6], n = 0;
            for (int i = 0; i < 6; i++)
                if (p.board.sides[p.mover].pits[i] != 0)
                    legal[n++] = i;
            if (!board_move(p.board, p.mover, legal[rng() % n]))
                p.mover = 1 - p.mover;
        }
        if (!board_round_over(p.board)) // a playout that ended its round is drawn again
            set.push_back(p);
    }
    return set;
}
