// The sowing rules of okwari.
#include "rules/board.h"

// A side is sown as seven consecutive counts: pits 0 to 5, then the store.
// Both records are laid out that way, so position p of side s is count(s, p).
static_assert(sizeof(Side) == 7 * sizeof(int32_t), "a side is seven counts");

static int32_t &count(Board &board, int side, int position)
{
    return position == 6 ? board.sides[side].store : board.sides[side].pits[position];
}

bool board_round_over(const Board &board)
{
    for (int s = 0; s < 2; s++) {
        int32_t any = 0;
        for (int i = 0; i < 6; i++)
            any |= board.sides[s].pits[i];
        if (any == 0)
            return true;
    }
    return false;
}

bool board_move(Board &board, int side, int pit)
{
    if (side != 0 && side != 1)
        return false;
    if (pit < 0 || pit > 5 || board.sides[side].pits[pit] == 0)
        return false;

    int32_t n = board.sides[side].pits[pit];
    board.sides[side].pits[pit] = 0;

    // One lap from a pit back to itself is 13 positions: the mover's six
    // pits and store, then the opponent's six pits; the opponent's store is
    // never sown. Whole laps add one seed to each of those 13 positions at
    // once, so a pit of two billion seeds costs no more than a pit of six.
    int32_t laps = n / 13;
    int32_t rest = n % 13;
    if (laps > 0) {
        for (int i = 0; i < 6; i++) {
            board.sides[0].pits[i] += laps;
            board.sides[1].pits[i] += laps;
        }
        board.sides[side].store += laps;
    }

    // The seeds left over are sown one at a time. When none are left over,
    // the last seed of the last lap fell into the starting pit itself.
    int s = side, p = pit;
    for (int32_t k = 0; k < rest; k++) {
        p++;
        if (p > 6 || (p == 6 && s != side)) {
            s = 1 - s;
            p = 0;
        }
        count(board, s, p)++;
    }

    bool again = false;
    if (p == 6) {
        again = true;
    } else if (board.sides[s].pits[p] == 1) {
        // The last seed fell into an empty pit (the emptied starting pit
        // counts, so a 13-seed move captures in its own pit). It is taken
        // with whatever faces it, on whichever side it landed.
        int32_t &facing = board.sides[1 - s].pits[5 - p];
        board.sides[side].store += 1 + facing;
        facing = 0;
        board.sides[s].pits[p] = 0;
    }

    // When either row is empty the round ends: each side keeps what is left
    // in its own pits.
    if (board_round_over(board)) {
        for (int t = 0; t < 2; t++) {
            for (int i = 0; i < 6; i++) {
                board.sides[t].store += board.sides[t].pits[i];
                board.sides[t].pits[i] = 0;
            }
        }
    }
    return again;
}
