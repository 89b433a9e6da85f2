// The wise robot: an exhaustive fixed-depth minimax search.
//
// The tree is exactly the one the rules define: every move of every
// position down to the level, no pruning, no table of positions seen, pits in
// ascending order. What is made cheap is each position of it: a board of at
// most 255 seeds (every board a random start can lead to) is searched packed,
// two registers a position (rules/packed.h); a larger one, which only a board
// file can bring, takes the plain road, a copy of the Board and one
// board_move per position.
//
// Inside the search, scores are seen from the side to move and negated at
// each change of turn, so the best of a set of moves is always its maximum.
// Only the value of a position matters below the root, so which of several
// equal moves is best does not; the root keeps the lowest pit among equals.
#include "players/wise.h"

#include <bit>
#include <climits>
#include <cstdio>
#include <cstring>

#include "match/match.h"
#include "rules/packed.h"
#include "term/term.h"

uint64_t wise_positions = 0;

// ---------------------------------------------------------------------------
// The last ply in one step.
//
// Scoring a move at depth 0 in the middle of a round needs no board after
// it, only the mover's store: for a pit of fewer than 13 seeds that is the
// store before the move, plus a constant of the pit and its count, plus what
// a capture brings. So a parent scores all its leaves at once from two small
// tables, without sowing any of them.

struct LeafSowing {
    uint8_t last;       // position of the last seed in the capture table
    int8_t capture_fix; // added to a capture table entry to give the seeds captured
    int16_t store_gain; // seeds sown into the mover's store
};

// Positions of the lap from pit p as in packed_make_sowing. The capture
// table of a position holds, while that pit is empty, 1 plus the count of the
// pit facing it (position 12 - c), and 0 otherwise; the store (6) is always 0.
static constexpr LeafSowing make_leaf_sowing(int pit, int n)
{
    LeafSowing t{};
    if (n == 0) {
        // An empty pit scores below any move, which is -255 at worst.
        t.last = 6;
        t.store_gain = -1000;
        return t;
    }
    int at = (pit + n) % 13;
    bool facing_sown = false;
    for (int k = 1; k <= n; k++)
        facing_sown |= (pit + k) % 13 == 12 - at;
    t.last = (uint8_t)at;
    t.store_gain = (int16_t)(n >= 6 - pit);
    // The capture table counts the facing pit as it was before the move:
    // add the seed sown into it, and on the mover's side take back the
    // seeds of the emptied starting pit when that is the pit facing.
    int fix = facing_sown ? 1 : 0;
    if (at > 6 && 12 - at == pit)
        fix -= n;
    t.capture_fix = (int8_t)fix;
    return t;
}

struct LeafTable {
    LeafSowing at[6][13];
};

static constexpr LeafTable make_leaf_table()
{
    LeafTable table{};
    for (int pit = 0; pit < 6; pit++)
        for (int n = 0; n < 13; n++)
            table.at[pit][n] = make_leaf_sowing(pit, n);
    return table;
}

static constexpr LeafTable leaf_sowings = make_leaf_table();

static const Row pit_ones = 0x0000010101010101ull;

// 0xff in the byte of every empty pit, 0 elsewhere.
static inline Row empty_pits(Row side)
{
    return ((packed_full_pits(side) ^ packed_pit_highs) >> 7) * 0xff;
}

// The pits in reverse order: byte i holds pit 5 - i, the pit facing pit i of
// the other side; the store is dropped.
static inline Row facing_pits(Row side)
{
    return __builtin_bswap64(side << 16);
}

// True when one move of `me` may empty a row: the opponent's needs to be
// down to one pit, which a capture takes; the mover's to the pit it sows and
// at most one more, which a capture in the opponent's row takes.
static inline bool may_end_round(Row me, Row opp)
{
    Row mine = packed_full_pits(me), theirs = packed_full_pits(opp);
    mine &= mine - 1;
    return ((mine & (mine - 1)) == 0) | ((theirs & (theirs - 1)) == 0);
}

// The best score for `me` over its moves scored as they land. Where a pit
// holds 13 seeds or more, or the round may end and the totals count, each
// move is sown; otherwise, most of the tree, all six pits are scored from
// the capture table, the empty ones to no effect (their table entries see
// to it): six short computations with nothing to wait for or to guess.
static inline int32_t leaves_best(Row me, Row opp)
{
    wise_positions += packed_count(packed_full_pits(me));
    int32_t best = INT32_MIN;
    if (packed_has_laps(me) | may_end_round(me, opp)) {
        for (Row left = packed_full_pits(me); left != 0; left &= left - 1) {
            PackedMove m = packed_sow(me, opp, std::countr_zero(left) >> 3);
            int32_t score =
                packed_over(m.me, m.opp) ? packed_final(m.me, m.opp) : packed_stores(m.me, m.opp);
            best = score > best ? score : best;
        }
        return best;
    }

    Row mine = (facing_pits(opp) + pit_ones) & empty_pits(me);
    Row theirs = (facing_pits(me) + pit_ones) & empty_pits(opp);
    uint8_t captures[16]; // positions 0-5 the mover's pits, 6 its store, 7-12 the other's pits
    memcpy(captures, &mine, 8);
    memcpy(captures + 7, &theirs, 8);
    int32_t stores = packed_stores(me, opp);
#pragma GCC unroll 6
    for (int pit = 0; pit < 6; pit++) {
        const LeafSowing &t = leaf_sowings.at[pit][(me >> (8 * pit)) & 0xff];
        int32_t c = captures[t.last];
        int32_t captured = (c + t.capture_fix) & -(int32_t)(c != 0);
        int32_t score = stores + t.store_gain + captured;
        best = score > best ? score : best;
    }
    return best;
}

// ---------------------------------------------------------------------------
// The search on a packed board.

template <bool laps> static int32_t best_move(Row me, Row opp, int32_t depth);

// Pits of 13 seeds or more are rare: the others need no division.
static int32_t best_move_any(Row me, Row opp, int32_t depth)
{
    return packed_has_laps(me) ? best_move<true>(me, opp, depth) : best_move<false>(me, opp, depth);
}

// The score for `me` of sowing `pit` and the best play after it, with
// `depth` changes of turn still to look at.
template <bool laps>
[[gnu::always_inline]] static inline int32_t move_score(Row me, Row opp, int pit, int32_t depth)
{
    // Step 1. Copy the board: two registers, passed by value.
    // Step 2. Apply the move.
    PackedMove m = packed_sow<laps>(me, opp, pit);

    // Step 3. A move that ends the round is scored after the sweep, at any
    // depth: nobody moves after it.
    if (packed_over(m.me, m.opp))
        return packed_final(m.me, m.opp);

    // Step 4. Stop at depth: the stores as they stand.
    if (depth <= 0)
        return packed_stores(m.me, m.opp);

    // Step 5. The next depth: an extra turn keeps the mover and the depth;
    // only a change of turn uses one up.
    if (m.again)
        return best_move_any(m.me, m.opp, depth);

    // Step 6. Each reply of the opponent, whose best is the mover's worst.
    // At the last change of turn the replies are scored in one step.
    if (depth > 1)
        return -best_move_any(m.opp, m.me, depth - 1);
    return -leaves_best(m.opp, m.me);
}

// Step 7. The best of `me`'s moves, each searched to `depth`, at least 1;
// both rows hold seeds. One bit per pit with seeds: no guess per pit whether
// it is empty.
template <bool laps> static int32_t best_move(Row me, Row opp, int32_t depth)
{
    Row moves = packed_full_pits(me);
    wise_positions += packed_count(moves);
    int32_t best = INT32_MIN;
    for (Row left = moves; left != 0; left &= left - 1) {
        int32_t score = move_score<laps>(me, opp, std::countr_zero(left) >> 3, depth);
        best = score > best ? score : best;
    }
    return best;
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
        best = !any || s > best ? s : best;
        any = true;
    }
    if (!any)
        return score;
    return next == side ? best : -best;
}

// Score for `side` of its move `pit` on `board`, by whichever road fits.
static int32_t search(const Board &board, int side, int pit, int32_t depth)
{
    if (pit < 0 || pit > 5 || board.sides[side].pits[pit] == 0 || !packed_fits(board))
        return wise_search_plain(board, side, pit, depth);
    wise_positions++;
    return move_score<true>(packed_row(board.sides[side]), packed_row(board.sides[1 - side]), pit,
                            depth);
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
