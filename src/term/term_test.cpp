#include "term/term.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testing.h"

// From an attribute, with output on or off and no saved bold bit: the operations, the bytes
// written, the attribute and saved bit left, and what the last operation returns.
TEST(Term, WritesExactBytesAndTracksState)
{
    Restore keep(term_attr, term_saved_bold, term_enabled);
    // clang-format off
    const std::tuple<int, int, int (*)(), const char *, int, int, int> cases[] = {
        {7, 1, [] { term_fg(7); return (int)term_get_attr(); }, "", 7, 0, 7},
        {7, 1, [] { return (int)term_set_attr(0x8F); }, "\033[0;5;37;40;1m", 0x8F, 0, 7},
        {7, 1, [] { return (int)term_fg(9); }, "\033[0;31;40;1m", 0x09, 0, 7},
        {0xBF, 1, [] { return (int)term_fg(2); }, "\033[0;5;32;43;2m", 0xB2, 0, 0xBF},
        {7, 1, [] { return (int)term_bg(9); }, "\033[0;5;37;41;2m", 0x97, 0, 7},
        {0x87, 1, [] { return (int)term_bg(2); }, "\033[0;5;37;42;2m", 0xA7, 0, 0x87},
        {0x0F, 1, [] { term_bold(); term_dim(); term_blink(); return 0; }, "\033[1m\033[2m\033[5m", 0x87, 0, 0},
        {0x87, 1, [] { return (int)term_blink_off(); }, "\033[0;37;40;2m", 7, 0, 0x87},
        {0x8F, 1, [] { return (int)term_reverse(); }, "\033[0;5;30;47;2m", 0xF0, 1, 0x8F},
        {0x0F, 1, [] { term_reverse(); return (int)term_reverse(); }, "\033[0;30;47;2m\033[0;37;40;1m", 0x0F, 0, 0x70},
        {0x0F, 1, [] { term_reverse(); term_reset(); return (int)term_reverse(); },
         "\033[0;30;47;2m\033[m\033[0;30;47;2m", 0x70, 0, 7},
        {7, 1, [] { term_goto(10, 3); term_clear(); term_clear_eol(); term_screen_mode(3); return 0; },
         "\033[3;10H\033[2J\033[H\033[K\033[=3h", 7, 0, 0},
        {7, 1, [] { term_put_at(2, 13, 'Z'); term_hline(5, 4, 1); term_vline(3, 5, 4); return 0; },
         "\033[13;2HZ\033[1;5H\033(0\033(B\033(0\033(B", 7, 0, 0},
        {7, 1, [] { term_hline(253, 255, 2); term_vline(9, 254, 255); return 0; },
         "\033[2;253H\033(0qqq\033(B\033(0\033[254;9Hx\033[255;9Hx\033(B", 7, 0, 0},
        {7, 1, [] { term_box(46, 3, 51, 5); return 0; }, "\033(0\033[3;46Hl\033[5;46Hm\033[5;51Hj\033[3;51Hk\033(B"
         "\033[3;47H\033(0qqqq\033(B\033[5;47H\033(0qqqq\033(B\033(0\033[4;46Hx\033(B\033(0\033[4;51Hx\033(B", 7, 0, 0},
        {0x0F, 0, [] { term_goto(1, 1); term_clear(); term_clear_eol(); term_screen_mode(3); term_put_at(1, 1, 'a'); term_hline(1, 2, 1); term_vline(1, 1, 2);
                       term_box(1, 1, 9, 9); term_bold(); term_blink(); return (int)term_reverse(); }, "", 0xF0, 1, 0x8F},
        {7, 0, [] { term_fg(1); term_enable(); term_fg(1); return (int)term_fg(7); }, "\033[0;37;40;2m", 7, 0, 1},
        {7, 1, [] { term_disable(); term_dim(); term_reset(); term_fg(1); return (int)term_enabled; }, "", 1, 0, 0},
    };
    // clang-format on
    for (auto [attr, enabled, run, bytes, attr_after, saved_after, result] : cases) {
        term_attr = (TermAttr)attr, term_saved_bold = 0, term_enabled = (uint8_t)enabled;
        int returned = -1;
        EXPECT_EQ(capture([&, run = run] { returned = run(); }), bytes);
        EXPECT_EQ(std::tuple((int)term_attr, (int)term_saved_bold, returned),
                  std::tuple(attr_after, saved_after, result))
            << bytes;
    }
    term_enabled = 1; // the loop counters are wider than a coordinate, so lines to 255 end
    std::string box = capture([] { term_box(1, 1, 0, 0); });
    EXPECT_EQ(std::count_if(box.begin(), box.end(), [](char c) { return c == 'q' || c == 'x'; }),
              4 * 254);
}
