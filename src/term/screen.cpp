// The board screen: redrawn whole from the match record before every move.
//
// Side 0 (red) owns the top row, read right to left from pit 0, and the left
// store; side 1 (green) owns the bottom row, read left to right, and the
// right store. So the sowing runs counter-clockwise round the screen and
// pit i of side 0 stands right above the pit it faces, 5 - i of side 1.
#include "term/screen.h"

#include <cmath>
#include <cstdio>

#include "match/match.h"
#include "support/timer.h"
#include "term/term.h"

// Column where the count and label of pit i start; its box runs from c - 2
// to c + 3, six columns with one free column before the next box.
static int pit_column(int side, int i)
{
    return side == 0 ? 48 - 7 * i : 13 + 7 * i;
}

static void put_duration(double seconds)
{
    fputs(duration_text((uint32_t)lround(seconds)), stderr);
}

// A pit of one side: its box, its label (the digit a human types) when the
// label is shown, and its count in the middle of the box. The side to move
// shows labels only over non-empty pits, its legal moves; the other side shows
// all six. On a round-end screen (current player 2) neither side is "the
// other", so both show only non-empty pits. The last pit played by the side
// is in reverse video, and the side's colour comes back after its digits.
static void draw_pit(int side, int i, uint8_t box_top, uint8_t count_row, uint8_t label_row)
{
    const int other = 1 - side;
    const int c = pit_column(side, i);
    const int32_t seeds = match.board.sides[side].pits[i];
    const bool highlight = match.last_move[side] == i;

    term_box((uint8_t)(c - 2), box_top, (uint8_t)(c + 3), (uint8_t)(box_top + 2));
    if (match.current_player == other || seeds != 0) {
        if (highlight)
            term_reverse();
        term_goto((uint8_t)c, label_row);
        fprintf(stderr, "%2d", i);
        if (highlight)
            term_reverse();
    }
    term_goto((uint8_t)c, count_row);
    fprintf(stderr, "%2d", seeds);
}

void draw_screen()
{
    if (!match.display_on)
        return;

    term_clear();
    term_fg(TERM_WHITE);
    fprintf(stderr, "score %d - %d, %s round, move #%d\n", match.scores[0], match.scores[1],
            match.round_label, match.move_number);
    term_hline(11, 52, 8); // joins the two stores at their middle row

    term_fg(term_side_colour[0]);
    term_goto(1, 4);
    fputs(match.names[0], stderr);
    term_goto(1, 5);
    put_duration(match.time_used[0]);
    for (int i = 0; i < 6; i++)
        draw_pit(0, i, 3, 4, 7);
    term_box(1, 6, 10, 10);
    term_goto(4, 8);
    fprintf(stderr, "%3d", match.board.sides[0].store);

    term_fg(term_side_colour[1]);
    term_goto(53, 11);
    put_duration(match.time_used[1]);
    term_goto(53, 12);
    fputs(match.names[1], stderr);
    for (int i = 0; i < 6; i++)
        draw_pit(1, i, 11, 12, 9);
    term_box(53, 6, 62, 10);
    term_goto(56, 8);
    fprintf(stderr, "%3d", match.board.sides[1].store);
}
