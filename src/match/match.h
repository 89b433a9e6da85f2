// The match record and the program's entry helpers.
#pragma once

#include <cstdint>

#include "rules/board.h"

// The one global record of the match; exists for the whole run.
struct MatchState {
    const char *program_name; // argv[0] after its last '/'
    const char *names[2];     // player names of side 0 and side 1 (argv[1], argv[2])
    bool display_on;          // board screen shown; false only when both are robots
    const char *round_label;  // "first" or "second"
    int32_t current_player;   // side to move; 2 while a round-end screen is drawn
    Board board;              // live board of the round being played
    Board start_board;        // pits round 1 started from (stores unused)
    int32_t first_opener;     // side that opened round 1
    int32_t scores[2];        // points from the rounds already finished
    int32_t move_number;      // move being chosen in this round, from 1
    int32_t move_total;       // move counter carried over from finished rounds
    double time_used[2];      // thinking seconds per side over the whole match
    int32_t last_move[2];     // last pit chosen per side, -1 for none
};

extern MatchState match;

// One line naming the version and its release month; shown by the usage text.
extern const char credits_text[];

// Prints the usage text on standard output, after clearing the screen when
// standard error is a terminal. Returns 9, the usage exit status.
int print_usage();

// True for the robot names: anything starting "wise", exactly "random",
// exactly "hurry". Case-sensitive.
bool is_robot_name(const char *name);

// The part of `path` after its last '/' (a view into `path`).
const char *base_name(const char *path);
