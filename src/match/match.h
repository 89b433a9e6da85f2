// The match: its one global record, and its course from the command line to
// the exit status.
#pragma once

#include <cstdint>

#include "rules/board.h"

// The one global record of the match; exists for the whole run. Its initial
// values are those of a run's start ({} is zero, or none).
struct MatchState {
    const char *program_name = {};     // argv[0] after its last '/'
    const char *names[2] = {};         // player names of side 0 and side 1 (argv[1], argv[2])
    bool display_on = true;            // board screen shown; false only when both are robots
    const char *round_label = "first"; // "first" or "second"
    int32_t current_player = {};       // side to move; 2 while a round-end screen is drawn
    Board board = {};                  // live board of the round being played
    Board start_board = {};            // pits round 1 started from (stores unused, always 0)
    int32_t first_opener = {};         // side that opened round 1
    int32_t scores[2] = {};            // points from the rounds already finished
    int32_t move_number = {};          // move being chosen in this round, from 1
    int32_t move_total = {};           // move counter carried over from finished rounds
    double time_used[2] = {};          // thinking seconds per side over the whole match
    int32_t last_move[2] = {-1, -1};   // last pit chosen per side, -1 for none
};

extern MatchState match;

// One line naming the version and its release month; shown by the usage text.
extern const char credits_text[];

// What match_start returns when the match is to be played.
const int MATCH_GOES_ON = -1;

// The whole program: match_start with match_seed, both rounds, the result.
// Holds standard error back so that each screen leaves in one write.
// Returns the exit status.
int match_run(int argc, char **argv);

// The seed of a run: the time in seconds times the process id, in 32-bit
// arithmetic that wraps.
uint32_t match_seed();

// Start-up: puts `match` back to its initial values, takes the program name
// and the two player names from the command line, switches the screen off
// for two robots, seeds the random stream, draws the board (then applies the
// board file, when one is named) and the opener, and draws the first screen.
// Returns MATCH_GOES_ON, or the exit status to end with at once: 9 for the
// usage text, 8 or 9 for a board file that failed.
int match_start(int argc, char **argv, uint32_t seed);

// One round from match.board: redraw, and while both rows hold seeds, ask
// the mover and sow; a move that does not end in the mover's store passes
// the turn.
void match_play_round();

// With the screen on, the round-end screen and a wait for ENTER (or the end
// of input); then round 2 on round 1's starting pits with the rows
// exchanged, opened by the player who did not open round 1.
void match_between_rounds();

// The final screen, then the result line on standard output. Returns the
// exit status: 0 when the first named player won, 1 the second, 2 a draw.
int match_result();

// Prints the usage text on standard output, after clearing the screen when
// standard error is a terminal. Returns 9, the usage exit status.
int print_usage();

// True for the robot names: anything starting "wise", exactly "random",
// exactly "hurry". Case-sensitive.
bool is_robot_name(const char *name);

// The part of `path` after its last '/' (a view into `path`).
const char *base_name(const char *path);
