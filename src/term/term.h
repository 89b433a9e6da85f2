// Terminal control layer: the only code that knows escape sequences.
// Everything goes to standard error. While term_enabled is 0 no operation
// writes anything, but the attribute is still tracked.
#pragma once

#include <cstdint>

// One-byte attribute: foreground bits 0-2, bold bit 3, background bits 4-6,
// blink bit 7.
typedef uint8_t TermAttr;

// The colours the game uses, of the eight of the attribute byte (0 black,
// 1 red, 2 green, 3 yellow, 4 blue, 5 magenta, 6 cyan, 7 white).
const uint8_t TERM_RED = 1, TERM_GREEN = 2, TERM_WHITE = 7;

// The players' colours, by side: the first named player red, the second
// green. Neutral text (the status line, messages) is white.
const uint8_t term_side_colour[2] = {TERM_RED, TERM_GREEN};

extern TermAttr term_attr;      // attribute last set; 7 (white on black) at start
extern uint8_t term_enabled;    // 0 silences every operation
extern uint8_t term_saved_bold; // bold bit taken out by the last term_reverse

// Holds standard error in a buffer of this layer's until term_flush, so that
// a whole screen reaches the terminal in one write rather than piece by
// piece. Call it before anything is written to standard error.
void term_hold_output();

// Sends everything written so far to the terminal. Whoever is about to wait
// for input, think for long or write to standard output calls it first; exit
// sends the rest itself.
void term_flush();

void term_enable();  // output on
void term_disable(); // output off; the attribute is still tracked

// Moves the cursor to column x, row y, both from 1.
void term_goto(uint8_t x, uint8_t y);

// Erases the whole display and puts the cursor at column 1, row 1.
void term_clear();

// Erases from the cursor to the end of its line.
void term_clear_eol();

// The attribute last set.
TermAttr term_get_attr();

// Makes `a` the attribute, writing its sequence only when it differs from the
// one in force. Returns the attribute before the call.
TermAttr term_set_attr(TermAttr a);

// Writes the terminal's own reset and takes the attribute back to 7, with
// no saved bold bit.
void term_reset();

// Bold on, bold off (faint), blink on: each writes its code every time, in
// force or not.
void term_bold();
void term_dim();
void term_blink();

// Blink off, through term_set_attr. Returns the attribute before the call.
TermAttr term_blink_off();

// Swaps foreground and background; the bold bit trades places with
// term_saved_bold, so a second call restores both. Returns the attribute
// before the call.
TermAttr term_reverse();

// Foreground colour c; 8-15 give c - 8 in bold. Returns the attribute before.
TermAttr term_fg(uint8_t c);

// Background colour c; bit 3 of c sets blink. Returns the attribute before.
TermAttr term_bg(uint8_t c);

// Writes the screen-mode sequence for mode m (one digit).
void term_screen_mode(uint8_t m);

// Writes `ch` at column x, row y.
void term_put_at(uint8_t x, uint8_t y, char ch);

// Line-drawing glyphs from x1 to x2 on row y, or from y1 to y2 in column x;
// none when the first coordinate is past the second, though the character
// set is still switched to lines and back.
void term_hline(uint8_t x1, uint8_t x2, uint8_t y);
void term_vline(uint8_t x, uint8_t y1, uint8_t y2);

// A box with corners (x1, y1) upper left and (x2, y2) lower right, both on it.
void term_box(uint8_t x1, uint8_t y1, uint8_t x2, uint8_t y2);
