// The wise search written plainly, one step per rule: a copy of the board
// and one board_move for every position. It is what the fast search in
// wise.cpp must agree with, position for position, and what the benchmark
// measures it against. Test and benchmark code only: the program never
// includes it.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "rules/board.h"

// Calls of reference_wise_search since it was last set to 0: the number of
// positions examined, the unit in which the benchmark counts.
inline uint64_t reference_positions = 0;

// Score, for `root`, of `side` sowing `pit` on `board` and the best play
// after it to `depth` further changes of turn.
inline int32_t reference_wise_search(const Board &board, int root, int side, int pit, int32_t depth)
{
    reference_positions++;

    // Step 1. The call's own copy; the caller's board is never touched.
    Board copy = board;

    // Step 2. Apply the move. A rejected move also passes the turn, exactly
    // as in the match loop.
    bool again = board_move(copy, side, pit);

    // Step 3. An extra turn keeps the same side to move.
    int next = again ? side : 1 - side;

    // Step 4. Always from the root mover's view, also inside the opponent's
    // turns; after a move that ended the round this includes the sweep.
    int32_t score = copy.sides[root].store - copy.sides[1 - root].store;

    // Step 5. Negative depths are the same as 0.
    if (depth <= 0)
        return score;

    // Step 6. Only a change of turn uses up depth.
    int32_t following = again ? depth : depth - 1;

    // Step 7. The root mover maximises and the opponent minimises, by who
    // moves and not by the parity of the depth. After the round is over
    // every pit is empty and the score of step 4 stands.
    bool first = true;
    for (int p = 0; p < 6; p++) {
        if (copy.sides[next].pits[p] == 0)
            continue;
        int32_t s = reference_wise_search(copy, root, next, p, following);
        if (first || (next == root ? s > score : s < score)) {
            score = s;
            first = false;
        }
    }

    // Step 8.
    return score;
}

// The pit `mover` plays on `board` at `level`: the best root score, the
// lowest pit among equals. -1 when the mover has no seed.
inline int32_t reference_wise_move(const Board &board, int mover, int32_t level)
{
    int32_t best_pit = -1;
    int32_t best_score = 0;
    for (int pit = 0; pit < 6; pit++) {
        if (board.sides[mover].pits[pit] == 0)
            continue;
        int32_t score = reference_wise_search(board, mover, mover, pit, level);
        if (best_pit < 0 || score > best_score) {
            best_pit = pit;
            best_score = score;
        }
    }
    return best_pit;
}

// The benchmark's fixed positions, also searched by the tests: random
// playouts of 8 to 23 moves from random starting boards of 1 to 6 seeds a
// pit, drawn from a generator whose output the language fixes, so that every
// machine searches the same trees.
struct ReferencePosition {
    Board board;
    int mover;
};

inline std::vector<ReferencePosition> reference_positions_set()
{
    std::mt19937 rng(20261206);
    std::vector<ReferencePosition> set;
    while (set.size() < 24) {
        Board b{};
        for (Side &side : b.sides)
            for (int32_t &seeds : side.pits)
                seeds = (int32_t)(rng() % 6 + 1);
        int mover = (int)(rng() % 2);
        int moves = 8 + (int)(set.size() % 16);
        for (int k = 0; k < moves && !board_round_over(b); k++) {
            int legal[6], n = 0;
            for (int i = 0; i < 6; i++)
                if (b.sides[mover].pits[i] != 0)
                    legal[n++] = i;
            if (!board_move(b, mover, legal[rng() % n]))
                mover = 1 - mover;
        }
        // A playout that ended its round is drawn again.
        if (!board_round_over(b))
            set.push_back({b, mover});
    }
    return set;
}
