// The match record and the helpers of the program's entry.
#include "match/match.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "players/turn.h"
#include "term/term.h"

MatchState match = {
    .program_name = "okwari",
    .names = {nullptr, nullptr},
    .display_on = true,
    .round_label = "first",
    .current_player = 0,
    .board = {},
    .start_board = {},
    .first_opener = 0,
    .scores = {0, 0},
    .move_number = 0,
    .move_total = 0,
    .time_used = {0.0, 0.0},
    .last_move = {-1, -1},
};

const char credits_text[] = "okwari 1.0 (December 2026), a sowing game for two";

int print_usage()
{
    if (isatty(2))
        term_clear();
    printf(
        "%s, %s\n\nplay okwari game\n\nusage: %s player_name player_name [filename]\n\n"
        "special robot player names\n"
        "  random       choose a random move\n"
        "  hurry        try to finish game as soon as possible\n"
        "  wise[level]  deep thinker\n\n"
        "optional filename contains 12 table initialization numbers (default random)\n"
        "or created with a random board\n",
        match.program_name, credits_text, match.program_name);
    return 9;
}

bool is_robot_name(const char *name)
{
    return player_kind(name) != PLAYER_HUMAN;
}

const char *base_name(const char *path)
{
    const char *slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}
