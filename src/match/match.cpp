// The match: start-up, the two rounds, the pause between them and the
// result, over the one global record.
#include "match/match.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "match/board_file.h"
#include "players/turn.h"
#include "support/timer.h"
#include "term/screen.h"
#include "term/term.h"

MatchState match;

const char credits_text[] = "okwari 1.0 (December 2026), a sowing game for two";

int print_usage()
{
    if (isatty(2)) {
        term_clear();
        term_flush(); // before the text on standard output, which may share the terminal
    }
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

uint32_t match_seed()
{
    return (uint32_t)time(nullptr) * (uint32_t)getpid();
}

int match_start(int argc, char **argv, uint32_t seed)
{
    match = MatchState{};
    match.program_name = base_name(argv[0]);
    if (argc < 3)
        return print_usage();
    match.names[0] = argv[1];
    match.names[1] = argv[2];
    if (is_robot_name(match.names[0]) && is_robot_name(match.names[1]))
        match.display_on = false;

    srandom(seed);
    // The twelve draws are made whether or not a board file follows, so the
    // opener drawn next is the same for a given seed either way.
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++) {
            int32_t seeds = (int32_t)(random() % 6 + 1);
            match.board.sides[s].pits[i] = seeds;
            match.start_board.sides[s].pits[i] = seeds;
        }
    }
    if (argc > 3) {
        int status = board_file_setup(argv[3]);
        if (status != 0)
            return status;
    }
    match.current_player = (int32_t)(random() % 2);
    match.first_opener = match.current_player;

    draw_screen();
    match.move_number = 1;
    return MATCH_GOES_ON;
}

void match_play_round()
{
    for (;;) {
        draw_screen();
        if (board_round_over(match.board))
            return;
        int32_t pit = choose_move();
        // A rejected move changes nothing and, like any move that does not
        // end in the mover's store, passes the turn.
        if (!board_move(match.board, match.current_player, pit))
            match.current_player = 1 - match.current_player;
    }
}

// At the end of standard input the pause ends rather than waiting for ever:
// the second round starts, and the person's next prompt meets the end of
// input too and ends the program with status 0, without a result line.
void match_between_rounds()
{
    if (match.display_on) {
        match.current_player = 2;
        draw_screen();
        term_goto(1, 14);
        term_fg(TERM_WHITE);
        fputs("first round ended, press ENTER to start second round\n", stderr);
        term_flush();
        int c;
        do
            c = fgetc(stdin);
        while (c != '\n' && c != EOF);
    }

    // Round 2 starts from round 1's starting pits, the rows exchanged; the
    // starting board's stores were never used, so both stores start empty.
    match.round_label = "second";
    match.scores[0] = match.board.sides[0].store;
    match.scores[1] = match.board.sides[1].store;
    match.board.sides[0] = match.start_board.sides[1];
    match.board.sides[1] = match.start_board.sides[0];
    match.current_player = match.first_opener == 0 ? 1 : 0;
    match.last_move[0] = match.last_move[1] = -1;
    match.move_total = match.move_number;
    match.move_number = 1;
}

int match_result()
{
    match.current_player = 2;
    draw_screen();
    // Both rounds together can hold more points than a 32-bit count: each
    // round may carry up to 2147483647 seeds. The totals are added wide.
    long long total0 = (long long)match.scores[0] + match.board.sides[0].store;
    long long total1 = (long long)match.scores[1] + match.board.sides[1].store;
    if (match.display_on) {
        term_goto(1, 14);
        term_reset();
        term_flush(); // the result line follows on row 14 when both streams share the terminal
    }

    int status;
    if (total0 > total1) {
        printf("%s wins %lld-%lld", match.names[0], total0, total1);
        status = 0;
    } else if (total0 < total1) {
        printf("%s wins %lld-%lld", match.names[1], total1, total0);
        status = 1;
    } else {
        printf("draw %lld all", total0);
        status = 2;
    }
    match.move_total += match.move_number;
    printf(", time %s=%s ", match.names[0], duration_text((uint32_t)lround(match.time_used[0])));
    printf("%s=%s, ", match.names[1], duration_text((uint32_t)lround(match.time_used[1])));
    printf("%d moves\n", match.move_total);
    return status;
}

int match_run(int argc, char **argv)
{
    term_hold_output();
    int status = match_start(argc, argv, match_seed());
    if (status != MATCH_GOES_ON)
        return status;
    match_play_round();
    match_between_rounds();
    match_play_round();
    return match_result();
}
