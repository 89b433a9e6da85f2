// The okwari board and its two rule operations.
#pragma once

#include <cstdint>

// One player's half: six pits in sowing order, then the store. The sowing
// treats the store as position 6, so a side is seven consecutive counts.
struct Side {
    int32_t pits[6]; // seed counts, index 0 to 5 in sowing order
    int32_t store;   // seeds won; position 6 of the side
};

// Side 0 belongs to the first named player, side 1 to the second.
// Pit i of one side faces pit 5 - i of the other. A plain value: copy freely.
struct Board {
    Side sides[2];
};

// True when all six pits of side 0, or all six of side 1, are empty.
// Stores are not looked at.
bool board_round_over(const Board &board);

// Sows pit `pit` of side `side`. Returns true when the last seed fell into
// the mover's own store (the mover plays again). Rejects, returning false and
// leaving the board untouched, a side other than 0 or 1, a pit outside 0..5,
// or an empty pit. Captures on either side of the board; when the move leaves
// either row empty, sweeps every pit into its own side's store.
bool board_move(Board &board, int side, int pit);
