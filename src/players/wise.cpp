// The wise robot: an exhaustive fixed-depth minimax search.
//
// The tree is exactly the one the rules define: every move of every
// position down to the level, no pruning, no table of positions seen, pits in
// ascending order. What is made cheap is each position of it: a board of at
// most 255 seeds (every board a random start can lead to) is searched packed,
// two registers a position (rules/packed.h), its last ply scored in one step
// (players/leaves.h); a larger one, which only a board file can bring, takes
// the plain road, a copy of the Board and one board_move per position.
//
// Inside the search, scores are seen from the side to move and negated at
// each change of turn, so the best of a set of moves is always its maximum.
// Only the value of a position matters below the root, so which of several
// equal moves is best does not; the root keeps the lowest pit among equals.
#include "players/wise.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdio>

#include "match/match.h"
#include "players/leaves.h"
#include "players/leaves_vector.h"
#include "rules/packed.h"
#include "term/term.h"

uint64_t wise_positions; // 0 at start, as every global

// ---------------------------------------------------------------------------
// The search on a packed board, two Rows a position, its last ply scored by
// the road `vector` names: leaves_best_scalar (players/leaves.h), which
// every machine has, or leaves_best_vector (players/leaves_vector.h).
//
// The positions scored are counted in a register on the way back up rather
// than in wise_positions, to which the root adds them once: a count kept in
// memory would chain every position of the search to the one before it.

struct Scored {
    int32_t score;      // for the side to move
    uint64_t positions; // moves scored to find it
};

template <bool vector> static Scored best_move_any(Row me, Row opp, int32_t depth);

// The score for `me` of sowing `pit` and the best play after it, with
// `depth` changes of turn still to look at; `positions` grows by those
// scored after it. `last` where `depth` is known to be 1: the parents of the
// last ply, most positions above it, need no test of the depth.
template <bool laps, bool vector, bool last = false>
[[gnu::always_inline]] static inline int32_t move_score(Row me, Row opp, int pit, int32_t depth,
                                                        uint64_t &positions)
{
    // Step 1. Copy the board: two registers, passed by value.
    // Step 2. Apply the move.
    PackedMove m = packed_sow<laps>(me, opp, pit);

    // Step 3. A move that ends the round is scored after the sweep, at any
    // depth: nobody moves after it.
    if (packed_over(m.me, m.opp))
        return packed_final(m.me, m.opp);

    // Step 4. Stop at depth: the stores as they stand.
    if (!last && depth <= 0)
        return packed_stores(m.me, m.opp);

    // Step 5. The next depth: an extra turn keeps the mover and the depth;
    // only a change of turn uses one up.
    if (m.again) {
        Scored next = best_move_any<vector>(m.me, m.opp, depth);
        positions += next.positions;
        return next.score;
    }

    // Step 6. Each reply of the opponent, whose best is the mover's worst.
    // At the last change of turn the replies are scored in one step.
    if (last || depth <= 1)
        return -(vector ? leaves_best_vector(m.opp, m.me, positions)
                        : leaves_best_scalar(m.opp, m.me, positions));
    Scored next = best_move_any<vector>(m.opp, m.me, depth - 1);
    positions += next.positions;
    return -next.score;
}

// Step 7. The best of `me`'s moves, each searched to `depth`, at least 1;
// both rows hold seeds. One bit per pit with seeds: no guess per pit whether
// it is empty.
template <bool laps, bool vector, bool last>
[[gnu::always_inline]] static inline Scored best_move(Row me, Row opp, int32_t depth)
{
    Row moves = packed_full_pits(me);
    Scored best = {INT32_MIN, (uint64_t)packed_count(moves)};
    for (Row left = moves; left != 0; left &= left - 1) {
        int32_t score = move_score<laps, vector, last>(me, opp, std::countr_zero(left) >> 3, depth,
                                                       best.positions);
        best.score = std::max(best.score, score);
    }
    return best;
}

// Pits of 13 seeds or more are rare: the others need no division. The
// depth is tested once a position rather than once a move.
template <bool vector>
[[gnu::always_inline]] static inline Scored best_move_dispatch(Row me, Row opp, int32_t depth)
{
    if (depth == 1)
        return packed_has_laps(me) ? best_move<true, vector, true>(me, opp, 1)
                                   : best_move<false, vector, true>(me, opp, 1);
    return packed_has_laps(me) ? best_move<true, vector, false>(me, opp, depth)
                               : best_move<false, vector, false>(me, opp, depth);
}

template <> Scored best_move_any<false>(Row me, Row opp, int32_t depth)
{
    return best_move_dispatch<false>(me, opp, depth);
}

// The vector road is compiled for SSSE3 (on x86-64) and takes in every function it calls
// (flatten), so that the last ply's vector code joins the search's own; only
// its own recursion stays a call.
template <>
[[LEAVES_VECTOR_TARGET, gnu::flatten]] Scored best_move_any<true>(Row me, Row opp, int32_t depth)
{
    return best_move_dispatch<true>(me, opp, depth);
}

// ---------------------------------------------------------------------------
// Any board: a copy and board_move per position, scores seen from `side`.

int32_t wise_search_plain(const Board &board, int side, int pit, int32_t depth)
{
    wise_positions++;
    Board copy = board;
    bool again = board_move(copy, side, pit);
    int32_t score = copy.sides[side].store - copy.sides[1 - side].store;
    if (depth <= 0)
        return score;
    // A rejected move passes the turn too, as in the match loop.
    int next = again ? side : 1 - side;
    int32_t following = again ? depth : depth - 1;
    // After a move that ended the round every pit is empty: the score stands.
    bool any = false;
    int32_t best = 0;
    for (int p = 0; p < 6; p++) {
        if (copy.sides[next].pits[p] == 0)
            continue;
        int32_t s = wise_search_plain(copy, next, p, following);
        best = any ? std::max(best, s) : s;
        any = true;
    }
    if (!any)
        return score;
    return next == side ? best : -best;
}

// Score for `side` of its move `pit` (0 to 5) on `board`, by whichever road
// fits. On either road an empty pit moves nothing and passes the turn.
static int32_t search(const Board &board, int side, int pit, int32_t depth)
{
    if (!packed_fits(board))
        return wise_search_plain(board, side, pit, depth);
    wise_positions++;
    Row me = packed_row(board.sides[side]), opp = packed_row(board.sides[1 - side]);
    if (leaves_road == LEAVES_UNCHOSEN)
        leaves_road = leaves_best_road();
    uint64_t positions = 0;
    int32_t score = leaves_road == LEAVES_VECTOR
                        ? move_score<true, true>(me, opp, pit, depth, positions)
                        : move_score<true, false>(me, opp, pit, depth, positions);
    wise_positions += positions;
    return score;
}

int32_t wise_move(int32_t level)
{
    int32_t me = match.current_player;

    // The board screen was redrawn just before, so the line is neither
    // ended nor cleared; it is on the terminal before the thinking starts.
    if (match.display_on) {
        term_goto(1, 14);
        term_fg(term_side_colour[me]);
        fprintf(stderr, "wise%d thinking...", level);
        term_flush();
    }

    // Ties keep the lowest pit: a later pit must score strictly more.
    int32_t best_pit = -1;
    int32_t best_score = 0;
    for (int pit = 0; pit < 6; pit++) {
        if (match.board.sides[me].pits[pit] == 0)
            continue;
        int32_t score = search(match.board, me, pit, level);
        if (best_pit < 0 || score > best_score) {
            best_pit = pit;
            best_score = score;
        }
    }
    return best_pit;
}

int32_t wise_search(const Board &board, int side, int pit, int32_t depth)
{
    // Scores are the root mover's store minus the other's, whoever moves.
    int32_t score = search(board, side, pit, depth);
    return side == match.current_player ? score : -score;
}
