// Turn dispatch: who chooses the next move, and the player kinds by name.
#pragma once

#include <cstdint>

enum PlayerKind { PLAYER_HUMAN, PLAYER_WISE, PLAYER_RANDOM, PLAYER_HURRY };

// Kind of player a name selects: a name starting "wise" is the wise robot,
// exactly "random" and exactly "hurry" those robots, anything else a human.
PlayerKind player_kind(const char *name);

// Search level of a wise name: the text after "wise" read in base 10 the way
// strtol reads it (no digits give 0), clamped to the signed 32-bit range.
int32_t player_wise_level(const char *name);

// Asks the player of match.current_player for a move, timing the choice:
// adds 1 to match.move_number, adds the elapsed seconds to the mover's
// time_used and records the pit in last_move. Returns a non-empty pit 0..5.
int32_t choose_move();
