// The wise robot: an exhaustive fixed-depth minimax search. Written plainly,
// one step per rule, so that it can serve as the reference for any faster
// search of the same positions.
#include "players/wise.h"

#include <cstdio>

#include "match/match.h"
#include "term/term.h"

int32_t wise_move(int32_t level)
{
    int32_t me = match.current_player;

    // The board screen was redrawn just before, so the line is neither
    // ended nor cleared.
    if (match.display_on) {
        term_goto(1, 14);
        term_fg((uint8_t)(me + 1));
        fprintf(stderr, "wise%d thinking...", level);
    }

    // Ties keep the lowest pit: a later pit must score strictly more.
    int32_t best_pit = -1;
    int32_t best_score = 0;
    for (int pit = 0; pit < 6; pit++) {
        if (match.board.sides[me].pits[pit] == 0)
            continue;
        int32_t score = wise_search(match.board, me, pit, level);
        if (best_pit < 0 || score > best_score) {
            best_pit = pit;
            best_score = score;
        }
    }
    return best_pit;
}

int32_t wise_search(const Board &board, int side, int pit, int32_t depth)
{
    int32_t root = match.current_player;

    // Step 1. The call's own copy; the caller's board is never touched, and
    // the copy lives on the stack, so the search takes nothing from the heap.
    Board copy = board;

    // Step 2. Apply the move. A rejected move also passes the turn, exactly
    // as in the match loop.
    bool again = board_move(copy, side, pit);

    // Step 3. An extra turn keeps the same side to move.
    int next = again ? side : 1 - side;

    // Step 4. Always from the root mover's view, also inside the opponent's
    // turns. After a move that ended the round this already includes the
    // sweep of every pit into the stores.
    int32_t score = copy.sides[root].store - copy.sides[1 - root].store;

    // Step 5. Negative depths are the same as 0.
    if (depth <= 0)
        return score;

    // Step 6. Only a change of turn uses up depth, so a chain of extra
    // turns is followed to its end (it is finite: each one puts a seed into
    // a store for good).
    int32_t following = again ? depth : depth - 1;

    // Step 7. The root mover maximises and the opponent minimises, by who
    // moves and not by the parity of the depth. When the round is over every
    // pit is empty, no move is tried, and the score of step 4 stands.
    bool first = true;
    for (int p = 0; p < 6; p++) {
        if (copy.sides[next].pits[p] == 0)
            continue;
        int32_t s = wise_search(copy, next, p, following);
        if (first || (next == root ? s > score : s < score)) {
            score = s;
            first = false;
        }
    }

    // Step 8.
    return score;
}
