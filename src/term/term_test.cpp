#include "term/term.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "capture.h"

namespace {

// One case: the layer's state before, the operations run, the exact bytes
// written to standard error and the state after. `run` returns the result of
// its last attribute operation, or -1 when that operation has none.
struct TermCase {
    const char *what;
    TermAttr attr_before;
    uint8_t enabled_before;
    uint8_t saved_before;
    int (*run)();
    std::string bytes;
    TermAttr attr_after;
    uint8_t saved_after;
    int result;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TermCase &c, std::ostream *os)
{
    *os << c.what;
}

// Kept as written: the formatter would spread every two-statement lambda
// over five lines and bury the table.
// clang-format off
const TermCase term_cases[] = {
    // attribute setter and colours
    {"fg 7 at start", 7, 1, 0, [] { return (int)term_fg(7); }, "", 7, 0, 7},
    {"fg 1 at start", 7, 1, 0, [] { return (int)term_fg(1); }, "\033[0;31;40;2m", 1, 0, 7},
    {"set same value", 0x25, 1, 0, [] { return (int)term_set_attr(0x25); }, "", 0x25, 0, 0x25},
    {"set 7", 1, 1, 0, [] { return (int)term_set_attr(7); }, "\033[0;37;40;2m", 7, 0, 1},
    {"set 1", 7, 1, 0, [] { return (int)term_set_attr(1); }, "\033[0;31;40;2m", 1, 0, 7},
    {"set 0x10", 7, 1, 0, [] { return (int)term_set_attr(0x10); }, "\033[0;30;41;2m", 0x10, 0, 7},
    {"set 0x8F", 7, 1, 0, [] { return (int)term_set_attr(0x8F); }, "\033[0;5;37;40;1m", 0x8F, 0, 7},
    {"fg 9 is bold red", 7, 1, 0, [] { return (int)term_fg(9); }, "\033[0;31;40;1m", 0x09, 0, 7},
    {"fg 2 clears bold, keeps blink and bg", 0xBF, 1, 0, [] { return (int)term_fg(2); },
     "\033[0;5;32;43;2m", 0xB2, 0, 0xBF},
    {"bg 9 sets blink", 7, 1, 0, [] { return (int)term_bg(9); }, "\033[0;5;37;41;2m", 0x97, 0, 7},
    {"bg 2 keeps blink", 0x87, 1, 0, [] { return (int)term_bg(2); }, "\033[0;5;37;42;2m", 0xA7, 0,
     0x87},
    {"bg 0 keeps fg and bold", 0x4B, 1, 0, [] { return (int)term_bg(0); }, "\033[0;33;40;1m", 0x0B,
     0, 0x4B},
    {"get attr", 0x5A, 1, 1, [] { return (int)term_get_attr(); }, "", 0x5A, 1, 0x5A},

    // single codes, written every time
    {"bold", 7, 1, 0, [] { term_bold(); return -1; }, "\033[1m", 0x0F, 0, -1},
    {"bold when bold", 0x0F, 1, 0, [] { term_bold(); return -1; }, "\033[1m", 0x0F, 0, -1},
    {"dim", 0x0F, 1, 0, [] { term_dim(); return -1; }, "\033[2m", 7, 0, -1},
    {"blink", 7, 1, 0, [] { term_blink(); return -1; }, "\033[5m", 0x87, 0, -1},
    {"blink off", 0x87, 1, 0, [] { return (int)term_blink_off(); }, "\033[0;37;40;2m", 7, 0, 0x87},
    {"blink off when off", 7, 1, 0, [] { return (int)term_blink_off(); }, "", 7, 0, 7},
    {"reset", 0x8F, 1, 1, [] { term_reset(); return -1; }, "\033[m", 7, 0, -1},

    // reverse video
    {"reverse red", 1, 1, 0, [] { return (int)term_reverse(); }, "\033[0;30;41;2m", 0x10, 0, 1},
    {"reverse red twice", 1, 1, 0, [] { term_reverse(); return (int)term_reverse(); },
     "\033[0;30;41;2m\033[0;31;40;2m", 1, 0, 0x10},
    {"reverse bold white", 0x0F, 1, 0, [] { return (int)term_reverse(); }, "\033[0;30;47;2m", 0x70,
     1, 0x0F},
    {"reverse bold white twice", 0x0F, 1, 0, [] { term_reverse(); return (int)term_reverse(); },
     "\033[0;30;47;2m\033[0;37;40;1m", 0x0F, 0, 0x70},
    {"reset between reverses", 0x0F, 1, 0,
     [] { term_reverse(); term_reset(); return (int)term_reverse(); },
     "\033[0;30;47;2m\033[m\033[0;30;47;2m", 0x70, 0, 7},
    {"reverse keeps blink", 0x92, 1, 0, [] { return (int)term_reverse(); }, "\033[0;5;31;42;2m",
     0xA1, 0, 0x92},

    // positioning and clearing
    {"goto", 7, 1, 0, [] { term_goto(10, 3); return -1; }, "\033[3;10H", 7, 0, -1},
    {"clear", 7, 1, 0, [] { term_clear(); return -1; }, "\033[2J\033[H", 7, 0, -1},
    {"clear eol", 7, 1, 0, [] { term_clear_eol(); return -1; }, "\033[K", 7, 0, -1},
    {"screen mode", 7, 1, 0, [] { term_screen_mode(3); return -1; }, "\033[=3h", 7, 0, -1},
    {"put at", 7, 1, 0, [] { term_put_at(2, 13, 'Z'); return -1; }, "\033[13;2HZ", 7, 0, -1},

    // lines and boxes
    {"hline", 7, 1, 0, [] { term_hline(2, 4, 7); return -1; }, "\033[7;2H\033(0qqq\033(B", 7, 0, -1},
    {"hline backwards", 7, 1, 0, [] { term_hline(5, 4, 1); return -1; }, "\033[1;5H\033(0\033(B", 7,
     0, -1},
    {"vline", 7, 1, 0, [] { term_vline(3, 5, 6); return -1; },
     "\033(0\033[5;3Hx\033[6;3Hx\033(B", 7, 0, -1},
    {"vline backwards", 7, 1, 0, [] { term_vline(3, 5, 4); return -1; }, "\033(0\033(B", 7, 0, -1},
    {"hline to column 255", 7, 1, 0, [] { term_hline(253, 255, 2); return -1; },
     "\033[2;253H\033(0qqq\033(B", 7, 0, -1},
    {"vline to row 255", 7, 1, 0, [] { term_vline(9, 254, 255); return -1; },
     "\033(0\033[254;9Hx\033[255;9Hx\033(B", 7, 0, -1},
    {"smallest box", 7, 1, 0, [] { term_box(1, 1, 2, 2); return -1; },
     "\033(0\033[1;1Hl\033[2;1Hm\033[2;2Hj\033[1;2Hk\033(B"
     "\033[1;2H\033(0\033(B"
     "\033[2;2H\033(0\033(B"
     "\033(0\033(B"
     "\033(0\033(B",
     7, 0, -1},
    {"pit box", 7, 1, 0, [] { term_box(46, 3, 51, 5); return -1; },
     "\033(0\033[3;46Hl\033[5;46Hm\033[5;51Hj\033[3;51Hk\033(B"
     "\033[3;47H\033(0qqqq\033(B"
     "\033[5;47H\033(0qqqq\033(B"
     "\033(0\033[4;46Hx\033(B"
     "\033(0\033[4;51Hx\033(B",
     7, 0, -1},

    // disabled: nothing written, state still tracked
    {"disabled fg", 7, 0, 0, [] { return (int)term_fg(1); }, "", 1, 0, 7},
    {"disabled then enabled", 7, 0, 0,
     [] { term_fg(1); term_enable(); term_fg(1); return (int)term_fg(7); }, "\033[0;37;40;2m", 7,
     0, 1},
    {"disabled reverse", 0x0F, 0, 0, [] { return (int)term_reverse(); }, "", 0x70, 1, 0x0F},
    {"disabled bold blink bg", 7, 0, 0, [] { term_bold(); term_blink(); return (int)term_bg(4); },
     "", 0xCF, 0, 0x8F},
    {"disabled reset", 0x70, 0, 1, [] { term_reset(); return -1; }, "", 7, 0, -1},
    {"disabled dim blink off", 0x8F, 0, 0, [] { term_dim(); return (int)term_blink_off(); }, "", 7,
     0, 0x87},
    {"disabled drawing", 7, 0, 0,
     [] {
         term_goto(1, 1);
         term_clear();
         term_clear_eol();
         term_screen_mode(3);
         term_put_at(1, 1, 'a');
         term_hline(1, 9, 1);
         term_vline(1, 1, 9);
         term_box(1, 1, 9, 9);
         return -1;
     },
     "", 7, 0, -1},
    {"enable and disable write nothing", 7, 1, 0,
     [] { term_disable(); term_enable(); term_disable(); return -1; }, "", 7, 0, -1},
};
// clang-format on

class TermTest : public ::testing::TestWithParam<TermCase> {};

} // namespace

TEST_P(TermTest, WritesExactBytesAndTracksState)
{
    const TermCase &c = GetParam();
    term_attr = c.attr_before;
    term_enabled = c.enabled_before;
    term_saved_bold = c.saved_before;

    capture_stderr_begin();
    int result = c.run();
    std::string bytes = capture_stderr_end();

    EXPECT_EQ(bytes, c.bytes) << c.what;
    EXPECT_EQ(term_attr, c.attr_after) << c.what;
    EXPECT_EQ(term_saved_bold, c.saved_after) << c.what;
    EXPECT_EQ(result, c.result) << c.what;

    term_attr = 7;
    term_enabled = 1;
    term_saved_bold = 0;
}

INSTANTIATE_TEST_SUITE_P(Cases, TermTest, ::testing::ValuesIn(term_cases),
                         [](const ::testing::TestParamInfo<TermCase> &info) {
                             std::string name = info.param.what;
                             for (char &ch : name)
                                 if (!isalnum((unsigned char)ch))
                                     ch = '_';
                             return name;
                         });

TEST(TermTest, EnableAndDisableSetTheSwitch)
{
    term_enabled = 1;
    term_disable();
    EXPECT_EQ(term_enabled, 0);
    term_enable();
    EXPECT_EQ(term_enabled, 1);
}

// Counters run in int, so an end coordinate of 255 (also the wrapped x2 - 1
// of a box with x2 or y2 of 0) finishes after drawing up to 255.
TEST(TermTest, LinesEndingAt255Finish)
{
    term_attr = 7;
    term_enabled = 1;
    term_saved_bold = 0;

    capture_stderr_begin();
    term_hline(1, 255, 1);
    std::string line = capture_stderr_end();
    EXPECT_EQ(line, "\033[1;1H\033(0" + std::string(255, 'q') + "\033(B");

    capture_stderr_begin();
    term_box(1, 1, 0, 0);
    std::string box = capture_stderr_end();
    // Inner ranges 2..255 on both axes: 254 glyphs per edge.
    EXPECT_EQ(std::count(box.begin(), box.end(), 'q'), 2 * 254);
    EXPECT_EQ(std::count(box.begin(), box.end(), 'x'), 2 * 254);
    const std::string tail = "\033[254;0Hx\033[255;0Hx\033(B";
    ASSERT_GE(box.size(), tail.size());
    EXPECT_EQ(box.substr(box.size() - tail.size()), tail);
}
