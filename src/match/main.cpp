// okwari: two rounds of the sowing game between humans and robots.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "match/board_file.h"
#include "match/match.h"
#include "players/turn.h"
#include "rules/board.h"
#include "support/timer.h"
#include "term/screen.h"
#include "term/term.h"

// Plays one round from match.board until either row is empty.
static void play_round()
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

// Shows the end of round 1 and waits for ENTER. When standard input ends
// instead, the second round simply starts: a match fed from a file or a pipe
// plays to its result rather than stopping half-way.
static void pause_between_rounds()
{
    match.current_player = 2;
    draw_screen();
    term_goto(1, 14);
    term_fg(7);
    fputs("first round ended, press ENTER to start second round\n", stderr);
    int c;
    do
        c = fgetc(stdin);
    while (c != '\n' && c != EOF);
}

// Round 2 starts from round 1's starting pits with the rows exchanged and
// is opened by the player who did not open round 1.
static void setup_second_round()
{
    Side &s0 = match.board.sides[0];
    Side &s1 = match.board.sides[1];
    match.round_label = "second";
    match.scores[0] = s0.store;
    s0.store = 0;
    for (int i = 0; i < 6; i++)
        s0.pits[i] = match.start_board.sides[1].pits[i];
    match.scores[1] = s1.store;
    s1.store = 0;
    for (int i = 0; i < 6; i++)
        s1.pits[i] = match.start_board.sides[0].pits[i];
    match.current_player = match.first_opener == 0 ? 1 : 0;
    match.last_move[1] = -1;
    match.last_move[0] = -1;
    match.move_total = match.move_number;
    match.move_number = 1;
}

int main(int argc, char **argv)
{
    match.program_name = base_name(argv[0]);
    if (argc < 3)
        return print_usage();
    match.names[0] = argv[1];
    match.names[1] = argv[2];
    match.display_on = true;
    if (is_robot_name(match.names[0]) && is_robot_name(match.names[1]))
        match.display_on = false;
    match.round_label = "first";
    match.board.sides[0].store = 0;
    match.board.sides[1].store = 0;
    match.scores[0] = 0;
    match.scores[1] = 0;

    srandom((unsigned)((uint32_t)time(nullptr) * (uint32_t)getpid()));

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
    play_round();

    if (match.display_on)
        pause_between_rounds();
    setup_second_round();
    play_round();

    match.current_player = 2;
    draw_screen();
    // Both rounds together can hold more points than a 32-bit count: each
    // round may carry up to 2147483647 seeds. The totals are added wide.
    long long total0 = (long long)match.scores[0] + match.board.sides[0].store;
    long long total1 = (long long)match.scores[1] + match.board.sides[1].store;
    if (match.display_on) {
        term_goto(1, 14);
        term_reset();
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
