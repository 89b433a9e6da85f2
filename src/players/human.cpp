// The human player: reads a pit digit from standard input.
#include "players/human.h"

#include <cstdio>
#include <cstdlib>

#include "match/match.h"
#include "term/term.h"

int32_t human_move()
{
    int me = match.current_player;
    term_fg(term_side_colour[me]);
    term_goto(1, 14);
    fprintf(stderr, "%s: your move? ", match.names[me]);
    term_clear_eol();
    term_flush();

    // The first digit 0 to 5 on a line decides and the rest of the line is
    // thrown away; anything else, NUL bytes included, is passed over without
    // a word, and so is a digit that names an empty pit: the person simply
    // types again.
    for (;;) {
        int c = fgetc(stdin);
        if (c == EOF)
            exit(0);
        if (c < '0' || c > '5')
            continue;
        int pit = c - '0';
        // A last line without its newline still counts: input that ends
        // right after a digit plays that digit, and the next prompt then
        // meets the end of input.
        int rest;
        do
            rest = fgetc(stdin);
        while (rest != '\n' && rest != EOF);
        if (match.board.sides[me].pits[pit] != 0)
            return pit;
        // Once input has ended (or failed) it is never read again: a
        // terminal would wait for more typing, and a failed stream may have
        // more to give that was never meant for this prompt.
        if (rest == EOF)
            exit(0);
    }
}
