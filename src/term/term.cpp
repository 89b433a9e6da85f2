// Terminal control layer. This file is the only one that knows the bytes of
// the escape sequences; each one is named and glossed once, here.
#include "term/term.h"

#include <cstdio>

// ECMA-48 / VT100 sequences written by this layer (ESC is code 27).
static const char SEQ_GOTO[] = "\033[%d;%dH";      // cursor position: row, then column, 1-based
static const char SEQ_CLEAR[] = "\033[2J\033[H";   // erase whole display, then cursor home
static const char SEQ_CLEAR_EOL[] = "\033[K";      // erase from cursor to end of line
static const char SEQ_SGR_START[] = "\033[0;";     // select graphic rendition from reset (0)
static const char SEQ_SGR_BLINK[] = "5;";          // ... blink on, inside an SGR
static const char SEQ_SGR_REST[] = "%d;%d;%cm";    // ... fg 30+c; bg 40+c; 1 bold or 2 faint; end
static const char SEQ_RESET[] = "\033[m";          // SGR with no parameter: all attributes off
static const char SEQ_BOLD[] = "\033[1m";          // SGR 1: bold
static const char SEQ_DIM[] = "\033[2m";           // SGR 2: faint
static const char SEQ_BLINK[] = "\033[5m";         // SGR 5: blink
static const char SEQ_SCREEN_MODE[] = "\033[=%ch"; // set screen mode, one digit
static const char SEQ_LINE_CHARS[] = "\033(0";     // DEC Special Graphics into G0
static const char SEQ_ASCII_CHARS[] = "\033(B";    // ASCII back into G0

// Glyphs of the DEC Special Graphics set (they read as these letters in ASCII).
static const char GLYPH_HLINE = 'q';
static const char GLYPH_VLINE = 'x';
static const char GLYPH_UPPER_LEFT = 'l';
static const char GLYPH_UPPER_RIGHT = 'k';
static const char GLYPH_LOWER_LEFT = 'm';
static const char GLYPH_LOWER_RIGHT = 'j';

static const TermAttr ATTR_FG = 0x07;
static const TermAttr ATTR_BOLD = 0x08;
static const TermAttr ATTR_BG = 0x70;
static const TermAttr ATTR_BLINK = 0x80;
static const TermAttr ATTR_DEFAULT = TERM_WHITE; // white on black

TermAttr term_attr = ATTR_DEFAULT; // attribute last set; the terminal is assumed to start here
uint8_t term_enabled = 1;          // 0 silences every operation; state is still tracked
uint8_t term_saved_bold = 0;       // bold bit taken out by the last term_reverse

// A screen with its prompt is about 2 KB; a few screens drawn between two
// waits for input (a robot's moves) still fit, and more only costs a write.
static char output_buffer[16384];

void term_hold_output()
{
    setvbuf(stderr, output_buffer, _IOFBF, sizeof output_buffer);
}

void term_flush()
{
    fflush(stderr);
}

void term_enable()
{
    term_enabled = 1;
}

void term_disable()
{
    term_enabled = 0;
}

void term_goto(uint8_t x, uint8_t y)
{
    if (term_enabled)
        fprintf(stderr, SEQ_GOTO, y, x);
}

void term_clear()
{
    if (term_enabled)
        fputs(SEQ_CLEAR, stderr);
}

void term_clear_eol()
{
    if (term_enabled)
        fputs(SEQ_CLEAR_EOL, stderr);
}

TermAttr term_get_attr()
{
    return term_attr;
}

// Each sequence starts from reset and sets the whole state, so the terminal
// matches term_attr whatever came before; non-bold is therefore sent as
// faint (2) rather than "normal intensity" (22).
TermAttr term_set_attr(TermAttr a)
{
    TermAttr old = term_attr;
    if (a == old)
        return old;
    term_attr = a;
    if (!term_enabled)
        return old;
    fputs(SEQ_SGR_START, stderr);
    if (a & ATTR_BLINK)
        fputs(SEQ_SGR_BLINK, stderr);
    fprintf(stderr, SEQ_SGR_REST, 30 + (a & ATTR_FG), 40 + ((a & ATTR_BG) >> 4),
            (a & ATTR_BOLD) ? '1' : '2');
    return old;
}

void term_reset()
{
    term_attr = ATTR_DEFAULT;
    term_saved_bold = 0;
    if (term_enabled)
        fputs(SEQ_RESET, stderr);
}

// bold, dim and blink write their single code every time: they bypass the
// change test of term_set_attr.
void term_bold()
{
    term_attr |= ATTR_BOLD;
    if (term_enabled)
        fputs(SEQ_BOLD, stderr);
}

void term_dim()
{
    term_attr &= (TermAttr)~ATTR_BOLD;
    if (term_enabled)
        fputs(SEQ_DIM, stderr);
}

void term_blink()
{
    term_attr |= ATTR_BLINK;
    if (term_enabled)
        fputs(SEQ_BLINK, stderr);
}

TermAttr term_blink_off()
{
    return term_set_attr(term_attr & (TermAttr)~ATTR_BLINK);
}

// The bold bit trades places with term_saved_bold, so two calls in a row give
// back both the attribute and the saved bit exactly; a bold foreground would
// otherwise turn into a bright background or be lost.
TermAttr term_reverse()
{
    TermAttr old = term_attr;
    TermAttr a = (TermAttr)(((old & ATTR_BG) >> 4) | (term_saved_bold ? ATTR_BOLD : 0) |
                            ((old & ATTR_FG) << 4) | (old & ATTR_BLINK));
    TermAttr result = term_set_attr(a);
    term_saved_bold = (old & ATTR_BOLD) ? 1 : 0;
    return result;
}

// Colours 8-15 carry the bold bit with them (bright foreground).
TermAttr term_fg(uint8_t c)
{
    return term_set_attr((TermAttr)((term_attr & (TermAttr)(~(ATTR_FG | ATTR_BOLD))) | c));
}

// Bit 3 of c lands on the blink bit, which is how a bright background is
// asked for; colours 0-7 leave an existing blink alone.
TermAttr term_bg(uint8_t c)
{
    return term_set_attr((TermAttr)((term_attr & (TermAttr)~ATTR_BG) | (c << 4)));
}

void term_screen_mode(uint8_t m)
{
    if (term_enabled)
        fprintf(stderr, SEQ_SCREEN_MODE, (char)(uint8_t)('0' + m));
}

void term_put_at(uint8_t x, uint8_t y, char ch)
{
    if (!term_enabled)
        return;
    term_goto(x, y);
    putc(ch, stderr);
}

// Loop counters run in int, not in the 8-bit coordinate type: an end
// coordinate of 255 (also the inner edge of a box whose x2 or y2 is 0, since
// x2 - 1 wraps to 255) would otherwise wrap the counter back to 0 and never
// end. Such a call draws up to column or row 255 and stops; it is off any
// real screen, but it finishes.
void term_hline(uint8_t x1, uint8_t x2, uint8_t y)
{
    if (!term_enabled)
        return;
    term_goto(x1, y);
    fputs(SEQ_LINE_CHARS, stderr);
    for (int x = x1; x <= x2; x++)
        putc(GLYPH_HLINE, stderr);
    fputs(SEQ_ASCII_CHARS, stderr);
}

void term_vline(uint8_t x, uint8_t y1, uint8_t y2)
{
    if (!term_enabled)
        return;
    fputs(SEQ_LINE_CHARS, stderr);
    for (int y = y1; y <= y2; y++)
        term_put_at(x, (uint8_t)y, GLYPH_VLINE);
    fputs(SEQ_ASCII_CHARS, stderr);
}

// Corners first, in one stretch of line glyphs, then the four edges; the
// edge coordinates are taken on 8 bits like every coordinate.
void term_box(uint8_t x1, uint8_t y1, uint8_t x2, uint8_t y2)
{
    if (!term_enabled)
        return;
    fputs(SEQ_LINE_CHARS, stderr);
    term_put_at(x1, y1, GLYPH_UPPER_LEFT);
    term_put_at(x1, y2, GLYPH_LOWER_LEFT);
    term_put_at(x2, y2, GLYPH_LOWER_RIGHT);
    term_put_at(x2, y1, GLYPH_UPPER_RIGHT);
    fputs(SEQ_ASCII_CHARS, stderr);
    term_hline((uint8_t)(x1 + 1), (uint8_t)(x2 - 1), y1);
    term_hline((uint8_t)(x1 + 1), (uint8_t)(x2 - 1), y2);
    term_vline(x1, (uint8_t)(y1 + 1), (uint8_t)(y2 - 1));
    term_vline(x2, (uint8_t)(y1 + 1), (uint8_t)(y2 - 1));
}
