// The wise robot: exhaustive fixed-depth minimax over copies of the board.
#pragma once

#include <cstdint>

#include "rules/board.h"

// Positions scored since the start, or since a caller last set it to 0: one
// for every move searched, at every depth. Only a change of the search tree
// changes the count for a given board and level.
extern uint64_t wise_positions;

// Chooses a pit for match.current_player by searching `level` changes of
// turn deep (negative levels act as 0). Writes its thinking line on the
// message line while the screen is on, and sends it to the terminal before
// it thinks. Returns a non-empty pit 0..5.
int32_t wise_move(int32_t level);

// Score, for the root mover match.current_player, of `side` sowing `pit`
// (0 to 5; an empty one passes the turn) on `board` and the best play after
// it to `depth` further changes of turn.
int32_t wise_search(const Board &board, int side, int pit, int32_t depth);

// The same search by the plain road, which boards of more than 255 seeds
// take: a copy of the board and one board_move per position. The score is
// seen from `side`; any pit may be given, a refused move passing the turn.
int32_t wise_search_plain(const Board &board, int side, int pit, int32_t depth);
