// The bytes of one board screen, built from the terminal's side: each escape
// sequence is spelt out here, independently of the terminal layer, so a
// wrong byte in the layer or in the screen shows up in the tests that
// compare against this model (the screen's unit test and the end-to-end
// match tests).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "rules/board.h"

const std::string CLEAR = "\033[2J\033[H";
const std::string CLEAR_EOL = "\033[K";
const std::string RESET = "\033[m";
const std::string WHITE = "\033[0;37;40;2m";
const std::string RED = "\033[0;31;40;2m";
const std::string GREEN = "\033[0;32;40;2m";
const std::string RED_REVERSED = "\033[0;30;41;2m";
const std::string GREEN_REVERSED = "\033[0;30;42;2m";
const std::string LINES_ON = "\033(0";
const std::string LINES_OFF = "\033(B";

// Colour of each side's texts, and of its highlighted label.
const std::string SIDE_COLOUR[2] = {RED, GREEN};
const std::string SIDE_REVERSED[2] = {RED_REVERSED, GREEN_REVERSED};

inline std::string at(int x, int y)
{
    return "\033[" + std::to_string(y) + ";" + std::to_string(x) + "H";
}

inline std::string hline(int x1, int x2, int y)
{
    return at(x1, y) + LINES_ON + std::string(x2 >= x1 ? x2 - x1 + 1 : 0, 'q') + LINES_OFF;
}

inline std::string vline(int x, int y1, int y2)
{
    std::string s = LINES_ON;
    for (int y = y1; y <= y2; y++)
        s += at(x, y) + "x";
    return s + LINES_OFF;
}

// Corners first, then the top, bottom, left and right edges.
inline std::string box(int x1, int y1, int x2, int y2)
{
    return LINES_ON + at(x1, y1) + "l" + at(x1, y2) + "m" + at(x2, y2) + "j" + at(x2, y1) + "k" +
           LINES_OFF + hline(x1 + 1, x2 - 1, y1) + hline(x1 + 1, x2 - 1, y2) +
           vline(x1, y1 + 1, y2 - 1) + vline(x2, y1 + 1, y2 - 1);
}

// The terminal layer sends a colour only when it differs from the one it
// sent last. `pen` is that last colour sequence (WHITE when the program
// starts); paint gives the bytes for switching to `colour`: none when the
// pen already holds it.
inline std::string paint(std::string &pen, const std::string &colour)
{
    if (pen == colour)
        return "";
    pen = colour;
    return colour;
}

// Whole seconds as the screen and the result line show them (under an
// hour): 48s, 60s, 01m16s.
inline std::string clock_words(long seconds)
{
    char text[48];
    if (seconds > 60)
        snprintf(text, sizeof text, "%02ldm%02lds", seconds / 60, seconds % 60);
    else
        snprintf(text, sizeof text, "%02lds", seconds);
    return text;
}

inline std::string two_digits(int32_t n)
{
    char text[16];
    snprintf(text, sizeof text, "%2d", n);
    return text;
}

// Everything one screen shows.
struct ScreenView {
    const char *names[2];
    int32_t scores[2];
    const char *round_label;
    int32_t move_number;
    long seconds[2];        // thinking time per side, already rounded
    int32_t current_player; // 0 or 1; 2 on a round-end screen
    Board board;
    int32_t last_move[2]; // -1 for none
};

// One pit's box, label and count. The side to move (and both sides on a
// round-end screen) label only the pits that hold seeds; the other side
// labels all six. The last pit the side played is labelled in reverse video
// when its label is shown.
inline std::string pit_bytes(const ScreenView &v, int side, int i, std::string &pen)
{
    const int c = side == 0 ? 48 - 7 * i : 13 + 7 * i;
    const int box_top = side == 0 ? 3 : 11;
    const int label_row = side == 0 ? 7 : 9;
    const int32_t seeds = v.board.sides[side].pits[i];
    std::string s = box(c - 2, box_top, c + 3, box_top + 2);
    // One paint per statement: the pen changes in the order of the stream.
    if (v.current_player == 1 - side || seeds != 0) {
        const bool highlight = v.last_move[side] == i;
        if (highlight)
            s += paint(pen, SIDE_REVERSED[side]);
        s += at(c, label_row) + two_digits(i);
        if (highlight)
            s += paint(pen, SIDE_COLOUR[side]);
    }
    return s + at(c, box_top + 1) + two_digits(seeds);
}

// The bytes of one whole screen; `pen` goes in as the colour the terminal
// holds and comes out as the one the screen leaves (green).
inline std::string screen_bytes(const ScreenView &v, std::string &pen)
{
    char status[128];
    snprintf(status, sizeof status, "score %d - %d, %s round, move #%d\n", v.scores[0], v.scores[1],
             v.round_label, v.move_number);
    char stores[2][16];
    snprintf(stores[0], sizeof stores[0], "%3d", v.board.sides[0].store);
    snprintf(stores[1], sizeof stores[1], "%3d", v.board.sides[1].store);

    std::string s = CLEAR;
    s += paint(pen, WHITE);
    s += status + hline(11, 52, 8);
    s += paint(pen, RED);
    s += at(1, 4) + v.names[0] + at(1, 5) + clock_words(v.seconds[0]);
    for (int i = 0; i < 6; i++)
        s += pit_bytes(v, 0, i, pen);
    s += box(1, 6, 10, 10) + at(4, 8) + stores[0];
    s += paint(pen, GREEN);
    s += at(53, 11) + clock_words(v.seconds[1]) + at(53, 12) + v.names[1];
    for (int i = 0; i < 6; i++)
        s += pit_bytes(v, 1, i, pen);
    s += box(53, 6, 62, 10) + at(56, 8) + stores[1];
    return s;
}
