// Terminal control layer: the only code that knows escape sequences.
// Everything goes to standard error.
#pragma once

#include <cstdint>

// One-byte attribute: foreground bits 0-2, bold bit 3, background bits 4-6,
// blink bit 7. Colours: 0 black, 1 red, 2 green, 3 yellow, 4 blue,
// 5 magenta, 6 cyan, 7 white.
typedef uint8_t TermAttr;

extern TermAttr term_attr;      // attribute last set; 7 at start
extern uint8_t term_enabled;    // 0 silences every operation
extern uint8_t term_saved_bold; // bold bit taken out by the last term_reverse

void term_enable();
void term_disable();
void term_goto(uint8_t x, uint8_t y); // column x, row y, both from 1
void term_clear();                    // whole display, cursor home
void term_clear_eol();                // cursor to end of line
TermAttr term_get_attr();
TermAttr term_set_attr(TermAttr a); // writes only on change; returns old
void term_reset();
void term_bold();
void term_dim();
void term_blink();
TermAttr term_blink_off();
TermAttr term_reverse();     // swaps foreground and background
TermAttr term_fg(uint8_t c); // 8-15: bright (bold) c - 8
TermAttr term_bg(uint8_t c); // bit 3 of c sets blink
void term_screen_mode(uint8_t m);
void term_put_at(uint8_t x, uint8_t y, char ch);
void term_hline(uint8_t x1, uint8_t x2, uint8_t y);
void term_vline(uint8_t x, uint8_t y1, uint8_t y2);
void term_box(uint8_t x1, uint8_t y1, uint8_t x2, uint8_t y2);
