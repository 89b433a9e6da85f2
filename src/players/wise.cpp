// The wise robot: an exhaustive fixed-depth minimax search.
//
// The tree is exactly the one the rules define: every move of every
// position down to the level, no pruning, no table of positions seen, pits in
// ascending order. What is made cheap is each position of it. A board of at
// most 255 seeds in all (every board a random start can lead to) is packed
// one side to a 64-bit word, a count to a byte, so a position lives in two
// registers and the sowing is a few additions from a table. Larger boards
// take the plain road: a copy of the Board and one board_move per position.
//
// Inside the search, scores are seen from the side to move and negated at
// each change of turn; the best of a set of moves is its maximum. Only the
// value of a position matters below the root, so which of several equal
// moves is best does not; the root keeps the lowest pit among equals.
#include "players/wise.h"

#include <bit>
#include <climits>
#include <cstdio>
#include <cstring>

#include "match/match.h"
#include "term/term.h"

namespace {

// ---------------------------------------------------------------------------
// Packed boards.

// One side: byte i is pit i, byte 6 the store, byte 7 always 0. The side to
// move is always called `me`, the other `opp`. With at most 255 seeds on the
// board no byte can overflow into its neighbour.
typedef uint64_t Row;
static_assert(std::endian::native == std::endian::little, "a row's byte i is pit i in memory");

const Row row_pits = 0x0000ffffffffffffull;
const Row lap_me = 0x0001010101010101ull;  // a seed in each pit and the store
const Row lap_opp = 0x0000010101010101ull; // a seed in each pit, none in the store
const int packed_max_seeds = 255;

// What sowing pit p leaves behind once the whole laps of 13 are taken out:
// the seeds the remaining r seeds add, and where the last one falls.
struct Sowing {
    Row add_me;       // one seed on each of the mover's positions reached
    Row add_opp;      // and on each of the opponent's pits reached
    uint8_t take_me;  // bit offset of the mover's pit a capture empties
    uint8_t take_opp; // bit offset of the opponent's pit facing it
    bool landed_own;  // the last seed fell in the mover's row
    bool again;       // the last seed fell in the mover's store
};

// Position k of the lap from pit p is (p + k) % 13 counted over the mover's
// pits 0-5, its store 6 and the opponent's pits 7-12: the opponent's store is
// never sown. With no seed left over the last seed of the last lap fell into
// the starting pit itself.
constexpr Sowing make_sowing(int pit, int rest)
{
    Sowing t{};
    int at = pit;
    for (int k = 1; k <= rest; k++) {
        at = (pit + k) % 13;
        if (at < 7)
            t.add_me += 1ull << (8 * at);
        else
            t.add_opp += 1ull << (8 * (at - 7));
    }
    if (at == 6) {
        // Byte 7 is always 0, so pointing both offsets there makes the
        // capture test below fail without a test of its own.
        t.again = true;
        t.landed_own = true;
        t.take_me = 56;
        t.take_opp = 56;
    } else if (at < 6) {
        t.landed_own = true;
        t.take_me = (uint8_t)(8 * at);
        t.take_opp = (uint8_t)(8 * (5 - at));
    } else {
        t.take_opp = (uint8_t)(8 * (at - 7));
        t.take_me = (uint8_t)(8 * (5 - (at - 7)));
    }
    return t;
}

struct SowingTable {
    Sowing at[6][13];
};

constexpr SowingTable make_sowing_table()
{
    SowingTable table{};
    for (int pit = 0; pit < 6; pit++)
        for (int rest = 0; rest < 13; rest++)
            table.at[pit][rest] = make_sowing(pit, rest);
    return table;
}

constexpr SowingTable sowings = make_sowing_table();

struct Sown {
    Row me, opp;
    bool again;
};

// board_move for the side `me` on a packed board: pick up, whole laps,
// leftover seeds, and the capture. The end-of-round sweep is left to the
// scoring, which is the only thing that looks at a finished round. Without
// `laps` every pit of `me` must hold fewer than 13 seeds.
template <bool laps = true> inline Sown packed_sow(Row me, Row opp, int pit)
{
    uint32_t n = (uint32_t)(me >> (8 * pit)) & 0xff;
    me &= ~(0xffull << (8 * pit));
    if (laps && n >= 13) {
        uint32_t whole = n / 13;
        me += whole * lap_me;
        opp += whole * lap_opp;
        n -= 13 * whole;
    }
    const Sowing &t = sowings.at[pit][n];
    me += t.add_me;
    opp += t.add_opp;

    // The landing pit and the pit facing it: one of them is the mover's and
    // the other the opponent's, whichever row the last seed fell in.
    Row mine = (me >> t.take_me) & 0xff;
    Row theirs = (opp >> t.take_opp) & 0xff;
    Row landed = t.landed_own ? mine : theirs;
    Row take = -(Row)(landed == 1);
    me = me - ((mine << t.take_me) & take) + (((mine + theirs) << 48) & take);
    opp = opp - ((theirs << t.take_opp) & take);
    return {me, opp, t.again};
}

inline bool packed_over(Row me, Row opp)
{
    return ((me & row_pits) == 0) | ((opp & row_pits) == 0);
}

// All seven counts of a side added up; fits a byte like every count.
inline int32_t packed_total(Row side)
{
    return (int32_t)((side * 0x0101010101010101ull) >> 56);
}

// The mover's store minus the other's, after the sweep when the round is
// over: then each side's pits count as its own.
inline int32_t packed_score(Row me, Row opp, bool over)
{
    int32_t stores = (int32_t)(me >> 48) - (int32_t)(opp >> 48);
    int32_t totals = packed_total(me) - packed_total(opp);
    return over ? totals : stores;
}

// Scoring a move at depth 0 in the middle of a round needs no board after
// it, only the mover's store. For a pit of fewer than 13 seeds that is the
// store before the move plus a constant of the pit and its count, plus what
// a capture brings.
struct LeafSowing {
    uint8_t last;       // position of the last seed in the capture table
    int8_t capture_fix; // added to a capture table entry to give the seeds captured
    int16_t store_gain; // seeds sown into the mover's store
};

// Positions of the lap from pit p as in make_sowing. The capture table of a
// position holds, while that pit is empty, 1 plus the count of the pit facing
// it (position 12 - c), and 0 otherwise; the store (6) is always 0.
constexpr LeafSowing make_leaf_sowing(int pit, int n)
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

constexpr LeafTable make_leaf_table()
{
    LeafTable table{};
    for (int pit = 0; pit < 6; pit++)
        for (int n = 0; n < 13; n++)
            table.at[pit][n] = make_leaf_sowing(pit, n);
    return table;
}

constexpr LeafTable leaf_sowings = make_leaf_table();

const Row pit_ones = 0x0000010101010101ull;
const Row pit_highs = 0x0000808080808080ull;

// Bit 7 of the byte of every pit that holds seeds.
inline Row full_pits(Row side)
{
    return (((side & 0x7f7f7f7f7f7f7f7full) + 0x7f7f7f7f7f7f7f7full) | side) & pit_highs;
}

// 0xff in the byte of every empty pit, 0 elsewhere.
inline Row empty_pits(Row side)
{
    return ((full_pits(side) ^ pit_highs) >> 7) * 0xff;
}

// The pits in reverse order: byte i holds pit 5 - i, the pit facing pit i of
// the other side; the store is dropped.
inline Row facing_pits(Row side)
{
    return __builtin_bswap64(side << 16);
}

// True when some pit holds 13 seeds or more.
inline bool has_laps(Row side)
{
    return ((((side & 0x7f7f7f7f7f7f7f7full) + 0x7373737373737373ull) | side) & pit_highs) != 0;
}

// True when one move of `me` may empty a row: the opponent's needs to be
// down to one pit, which a capture takes; the mover's to the pit it sows and
// at most one more, which a capture in the opponent's row takes.
inline bool may_end_round(Row me, Row opp)
{
    Row mine = full_pits(me), theirs = full_pits(opp);
    mine &= mine - 1;
    return ((mine & (mine - 1)) == 0) | ((theirs & (theirs - 1)) == 0);
}

// The capture table of `me` to move: positions 0-5 the mover's pits, 6 its
// store, 7-12 the opponent's pits.
struct Captures {
    uint8_t at[16];
};

inline Captures packed_captures(Row me, Row opp)
{
    Row mine = (facing_pits(opp) + pit_ones) & empty_pits(me);
    Row theirs = (facing_pits(me) + pit_ones) & empty_pits(opp);
    Captures table;
    memcpy(table.at, &mine, 8);
    memcpy(table.at + 7, &theirs, 8);
    return table;
}

// The best score for `me` over its moves scored as they land (depth 0), by
// sowing each: for a mover with a pit of 13 seeds or more, or when the move
// may end the round and the totals count.
int32_t packed_leaves_sown(Row me, Row opp)
{
    int32_t best = INT32_MIN;
    for (Row left = full_pits(me); left != 0; left &= left - 1) {
        Sown s = packed_sow(me, opp, std::countr_zero(left) >> 3);
        int32_t score = packed_score(s.me, s.opp, packed_over(s.me, s.opp));
        best = score > best ? score : best;
    }
    return best;
}

// The best score for `me` over its moves scored as they land (depth 0). In
// the middle of a round, most of the tree, all six pits are scored from the
// capture table, the empty ones to no effect (their table entries see to
// it): six short computations with nothing to wait for and nothing to guess.
inline int32_t packed_leaves(Row me, Row opp)
{
    if (has_laps(me) | may_end_round(me, opp))
        return packed_leaves_sown(me, opp);

    Captures captures = packed_captures(me, opp);
    int32_t stores = (int32_t)(me >> 48) - (int32_t)(opp >> 48);
    int32_t best = INT32_MIN;
#pragma GCC unroll 6
    for (int pit = 0; pit < 6; pit++) {
        const LeafSowing &t = leaf_sowings.at[pit][(me >> (8 * pit)) & 0xff];
        int32_t c = captures.at[t.last];
        // Whether a capture happens is anybody's guess: no branch on it.
        int32_t captured = (c + t.capture_fix) & -(int32_t)(c != 0);
        int32_t score = stores + t.store_gain + captured;
        best = score > best ? score : best;
    }
    return best;
}

int32_t packed_best(Row me, Row opp, int32_t depth);

// The best score for `me`, to move with seeds on both rows, over its moves
// each searched to `depth`, at least 1.
template <bool laps> int32_t packed_best_of(Row me, Row opp, int32_t depth)
{
    int32_t best = INT32_MIN;
    // One bit for each pit with seeds: no guess per pit whether it is empty.
    for (Row left = full_pits(me); left != 0; left &= left - 1) {
        Sown s = packed_sow<laps>(me, opp, std::countr_zero(left) >> 3);
        int32_t score;
        if (packed_over(s.me, s.opp))
            score = packed_score(s.me, s.opp, true);
        else if (s.again) // only a change of turn uses up depth
            score = packed_best(s.me, s.opp, depth);
        else if (depth > 1)
            score = -packed_best(s.opp, s.me, depth - 1);
        else
            score = -packed_leaves(s.opp, s.me);
        best = score > best ? score : best;
    }
    return best;
}

// Pits of 13 seeds or more are rare: the others need no division.
int32_t packed_best(Row me, Row opp, int32_t depth)
{
    return has_laps(me) ? packed_best_of<true>(me, opp, depth)
                        : packed_best_of<false>(me, opp, depth);
}

// Score for `me` of sowing `pit` and the best play after it.
int32_t packed_move(Row me, Row opp, int pit, int32_t depth)
{
    Sown s = packed_sow(me, opp, pit);
    bool over = packed_over(s.me, s.opp);
    if (over || depth <= 0)
        return packed_score(s.me, s.opp, over);
    if (s.again)
        return packed_best(s.me, s.opp, depth);
    if (depth > 1)
        return -packed_best(s.opp, s.me, depth - 1);
    return -packed_leaves(s.opp, s.me);
}

inline Row packed_row(const Side &side)
{
    Row row = 0;
    for (int i = 0; i < 6; i++)
        row |= (Row)side.pits[i] << (8 * i);
    return row | (Row)side.store << 48;
}

// True when every count is at least 0 and all of them add up to at most 255.
bool packable(const Board &board)
{
    int64_t total = 0;
    bool negative = false;
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++) {
            total += board.sides[s].pits[i];
            negative |= board.sides[s].pits[i] < 0;
        }
        total += board.sides[s].store;
        negative |= board.sides[s].store < 0;
    }
    return !negative && total <= packed_max_seeds;
}

// ---------------------------------------------------------------------------
// Any board: a copy and board_move per position, scores seen from `side`.

int32_t plain_move(const Board &board, int side, int pit, int32_t depth)
{
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
        int32_t s = plain_move(copy, next, p, following);
        best = !any || s > best ? s : best;
        any = true;
    }
    if (!any)
        return score;
    return next == side ? best : -best;
}

// Score for `side` of its move `pit` on `board`, by whichever road fits.
int32_t move_score(const Board &board, int side, int pit, int32_t depth)
{
    if (pit < 0 || pit > 5 || board.sides[side].pits[pit] == 0 || !packable(board))
        return plain_move(board, side, pit, depth);
    return packed_move(packed_row(board.sides[side]), packed_row(board.sides[1 - side]), pit,
                       depth);
}

} // namespace

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
        int32_t score = move_score(match.board, me, pit, level);
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
    int32_t score = move_score(board, side, pit, depth);
    return side == match.current_player ? score : -score;
}
