#include "term/screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "capture.h"
#include "match/match.h"
#include "screen_model.h"
#include "term/term.h"

namespace {

// A small VT100 model: cursor addressing, erase display, erase line, the two
// G0 designations and the colours of SGR. Line glyphs render as + - |. Each
// cell also keeps a colour letter: w white, r red, g green, R black on red,
// G black on green, ? anything else, . never written since the clear.
struct Grid {
    std::string text[14];
    std::string colour[14];
    std::string faults; // what the stream did that the model does not accept
};

char colour_letter(int fg, int bg)
{
    if (bg == 0 && fg == 7)
        return 'w';
    if (bg == 0 && fg == 1)
        return 'r';
    if (bg == 0 && fg == 2)
        return 'g';
    if (fg == 0 && bg == 1)
        return 'R';
    if (fg == 0 && bg == 2)
        return 'G';
    return '?';
}

// The terminal starts white on black, as the layer assumes.
Grid render(const std::string &s)
{
    Grid g;
    for (int r = 0; r < 14; r++) {
        g.text[r] = std::string(62, ' ');
        g.colour[r] = std::string(62, '.');
    }
    int row = 1, col = 1, fg = 7, bg = 0;
    bool lines = false;
    size_t i = 0;
    while (i < s.size()) {
        char ch = s[i++];
        if (ch == '\033') {
            if (i < s.size() && s[i] == '(') {
                char set = i + 1 < s.size() ? s[i + 1] : 0;
                if (set == '0' || set == 'B')
                    lines = set == '0';
                else
                    g.faults += "bad designation;";
                i += 2;
                continue;
            }
            if (i >= s.size() || s[i] != '[') {
                g.faults += "bad escape;";
                continue;
            }
            i++;
            std::vector<int> params{0};
            bool empty = true;
            while (i < s.size() && (isdigit((unsigned char)s[i]) || s[i] == ';')) {
                if (s[i] == ';')
                    params.push_back(0);
                else
                    params.back() = params.back() * 10 + (s[i] - '0');
                empty = false;
                i++;
            }
            char final = i < s.size() ? s[i++] : 0;
            if (final == 'H') {
                row = empty ? 1 : params[0];
                col = params.size() > 1 ? params[1] : 1;
            } else if (final == 'J' && params[0] == 2) {
                for (int r = 0; r < 14; r++) {
                    g.text[r] = std::string(62, ' ');
                    g.colour[r] = std::string(62, '.');
                }
            } else if (final == 'K') {
                for (int c = col; c <= 62; c++) {
                    g.text[row - 1][c - 1] = ' ';
                    g.colour[row - 1][c - 1] = '.';
                }
            } else if (final == 'm') {
                for (int p : params) {
                    if (p == 0)
                        fg = 7, bg = 0;
                    else if (p >= 30 && p <= 37)
                        fg = p - 30;
                    else if (p >= 40 && p <= 47)
                        bg = p - 40;
                }
            } else {
                g.faults += std::string("unknown sequence ") + final + ";";
            }
            continue;
        }
        if (ch == '\n') {
            row++;
            col = 1;
            continue;
        }
        char shown = ch;
        if (lines) {
            switch (ch) {
            case 'l':
            case 'k':
            case 'm':
            case 'j':
                shown = '+';
                break;
            case 'q':
                shown = '-';
                break;
            case 'x':
                shown = '|';
                break;
            default:
                g.faults += std::string("text in line mode: ") + ch + ";";
            }
        }
        if (row < 1 || row > 14 || col < 1 || col > 62) {
            g.faults +=
                "off the screen at " + std::to_string(col) + "," + std::to_string(row) + ";";
        } else {
            g.text[row - 1][col - 1] = shown;
            g.colour[row - 1][col - 1] = colour_letter(fg, bg);
        }
        col++;
    }
    return g;
}

std::string trimmed(const std::string &s)
{
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

// Side 1 to move in move 5 of the first round; side 0 last played pit 2,
// pit 0 of side 1 is empty.
void set_example_match()
{
    match = MatchState{};
    match.names[0] = "north";
    match.names[1] = "south";
    match.display_on = true;
    match.round_label = "first";
    match.current_player = 1;
    match.board = Board{{{{5, 2, 0, 7, 3, 6}, 4}, {{0, 7, 2, 5, 6, 3}, 1}}};
    match.scores[0] = 0;
    match.scores[1] = 0;
    match.move_number = 5;
    match.time_used[0] = 306.5; // lround takes halves away from zero: 307
    match.time_used[1] = 11.5;
    match.last_move[0] = 2;
    match.last_move[1] = -1;
}

// What the shared screen model is given for the match record as it stands.
ScreenView view_of_match()
{
    ScreenView v{};
    for (int side = 0; side < 2; side++) {
        v.names[side] = match.names[side];
        v.scores[side] = match.scores[side];
        v.seconds[side] = lround(match.time_used[side]);
        v.last_move[side] = match.last_move[side];
    }
    v.round_label = match.round_label;
    v.move_number = match.move_number;
    v.current_player = match.current_player;
    v.board = match.board;
    return v;
}

std::string draw_captured()
{
    capture_stderr_begin();
    draw_screen();
    return capture_stderr_end();
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        term_attr = 7;
        term_enabled = 1;
        term_saved_bold = 0;
        set_example_match();
    }
};

const char *const example_text[14] = {
    "score 0 - 0, first round, move #5",
    "",
    "          +----+ +----+ +----+ +----+ +----+ +----+",
    "north     |  6 | |  3 | |  7 | |  0 | |  2 | |  5 |",
    "05m07s    +----+ +----+ +----+ +----+ +----+ +----+",
    "+--------+                                          +--------+",
    "|        |   5      4      3      2      1      0   |        |",
    "|    4   |------------------------------------------|    1   |",
    "|        |          1      2      3      4      5   |        |",
    "+--------+                                          +--------+",
    "          +----+ +----+ +----+ +----+ +----+ +----+ 12s",
    "          |  0 | |  7 | |  2 | |  5 | |  6 | |  3 | south",
    "          +----+ +----+ +----+ +----+ +----+ +----+",
    "",
};

const char *const example_colour[14] = {
    "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww.............................",
    "..............................................................",
    "..........rrrrrr.rrrrrr.rrrrrr.rrrrrr.rrrrrr.rrrrrr...........",
    "rrrrr.....r.rr.r.r.rr.r.r.rr.r.r.rr.r.r.rr.r.r.rr.r...........",
    "rrrrrr....rrrrrr.rrrrrr.rrrrrr.rrrrrr.rrrrrr.rrrrrr...........",
    "rrrrrrrrrr..........................................gggggggggg",
    "r........r..rr.....rr.....rr.....RR.....rr.....rr...g........g",
    "r..rrr...rwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwg..ggg...g",
    "r........r.........gg.....gg.....gg.....gg.....gg...g........g",
    "rrrrrrrrrr..........................................gggggggggg",
    "..........gggggg.gggggg.gggggg.gggggg.gggggg.gggggg.ggg.......",
    "..........g.gg.g.g.gg.g.g.gg.g.g.gg.g.g.gg.g.g.gg.g.ggggg.....",
    "..........gggggg.gggggg.gggggg.gggggg.gggggg.gggggg...........",
    "..............................................................",
};

} // namespace

// The whole stream of the example board, piece by piece in drawing order;
// then the same board drawn again, when the first screen has left green set.
TEST_F(ScreenTest, ExampleBoardByteForByte)
{
    const std::string body =
        "score 0 - 0, first round, move #5\n" + hline(11, 52, 8) + RED + at(1, 4) + "north" +
        at(1, 5) + "05m07s" + box(46, 3, 51, 5) + at(48, 7) + " 0" + at(48, 4) + " 5" +
        box(39, 3, 44, 5) + at(41, 7) + " 1" + at(41, 4) + " 2" + box(32, 3, 37, 5) + RED_REVERSED +
        at(34, 7) + " 2" + RED + at(34, 4) + " 0" + box(25, 3, 30, 5) + at(27, 7) + " 3" +
        at(27, 4) + " 7" + box(18, 3, 23, 5) + at(20, 7) + " 4" + at(20, 4) + " 3" +
        box(11, 3, 16, 5) + at(13, 7) + " 5" + at(13, 4) + " 6" + box(1, 6, 10, 10) + at(4, 8) +
        "  4" + GREEN + at(53, 11) + "12s" + at(53, 12) + "south" + box(11, 11, 16, 13) +
        at(13, 12) + " 0" + box(18, 11, 23, 13) + at(20, 9) + " 1" + at(20, 12) + " 7" +
        box(25, 11, 30, 13) + at(27, 9) + " 2" + at(27, 12) + " 2" + box(32, 11, 37, 13) +
        at(34, 9) + " 3" + at(34, 12) + " 5" + box(39, 11, 44, 13) + at(41, 9) + " 4" + at(41, 12) +
        " 6" + box(46, 11, 51, 13) + at(48, 9) + " 5" + at(48, 12) + " 3" + box(53, 6, 62, 10) +
        at(56, 8) + "  1";

    EXPECT_EQ(draw_captured(), CLEAR + body) << "first screen: white already set";
    EXPECT_EQ(term_attr, 2) << "the screen leaves green behind";
    EXPECT_EQ(draw_captured(), CLEAR + WHITE + body) << "later screen";

    // The model that the end-to-end tests build whole matches from agrees
    // with the stream written out by hand above.
    std::string pen = WHITE;
    EXPECT_EQ(screen_bytes(view_of_match(), pen), CLEAR + body);
    EXPECT_EQ(pen, GREEN);
    EXPECT_EQ(screen_bytes(view_of_match(), pen), CLEAR + WHITE + body);
}

TEST_F(ScreenTest, ExampleBoardAsSeen)
{
    Grid g = render(draw_captured());
    EXPECT_EQ(g.faults, "");
    for (int r = 0; r < 14; r++) {
        EXPECT_EQ(trimmed(g.text[r]), example_text[r]) << "row " << r + 1;
        EXPECT_EQ(g.colour[r], example_colour[r]) << "row " << r + 1;
    }
}

TEST_F(ScreenTest, DisplayOffWritesNothing)
{
    match.display_on = false;
    term_attr = 2;
    EXPECT_EQ(draw_captured(), "");
    EXPECT_EQ(term_attr, 2);
}

namespace {

// Labels and highlight on a board with empty pits in both rows. Rows are
// the rendered rows 7 (side 0 labels) and 9 (side 1 labels); `reversed` is
// the column of the highlighted label's first cell, 0 when none.
struct LabelCase {
    const char *what;
    int32_t current_player;
    int32_t last_move[2];
    const char *row7;
    const char *row9;
    int reversed_row;
    int reversed_col;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LabelCase &c, std::ostream *os)
{
    *os << c.what;
}

const char *const ALL0 = "|        |   5      4      3      2      1      0   |        |";
const char *const FULL0 = "|        |          4      3             1          |        |";
const char *const ALL1 = "|        |   0      1      2      3      4      5   |        |";
const char *const FULL1 = "|        |   0                    3      4          |        |";

const LabelCase label_cases[] = {
    {"side 0 to move", 0, {-1, -1}, FULL0, ALL1, 0, 0},
    {"side 1 to move", 1, {-1, -1}, ALL0, FULL1, 0, 0},
    {"round end", 2, {-1, -1}, FULL0, FULL1, 0, 0},
    {"played pit shown after the turn passed", 1, {2, -1}, ALL0, FULL1, 7, 34},
    {"played pit hidden while the side moves again", 0, {2, -1}, FULL0, ALL1, 0, 0},
    {"played pit refilled, same side again", 0, {3, -1}, FULL0, ALL1, 7, 27},
    {"side 1 highlight", 0, {-1, 4}, FULL0, ALL1, 9, 41},
    {"side 1 highlight hidden on round end", 2, {-1, 2}, FULL0, FULL1, 0, 0},
};

class ScreenLabelTest : public ::testing::TestWithParam<LabelCase> {};

} // namespace

TEST_P(ScreenLabelTest, ShowsLabelsAndHighlight)
{
    const LabelCase &c = GetParam();
    term_attr = 7;
    term_enabled = 1;
    term_saved_bold = 0;
    set_example_match();
    match.board = Board{{{{0, 3, 0, 1, 2, 0}, 9}, {{4, 0, 0, 6, 1, 0}, 11}}};
    match.current_player = c.current_player;
    match.last_move[0] = c.last_move[0];
    match.last_move[1] = c.last_move[1];

    std::string bytes = draw_captured();
    std::string pen = WHITE;
    EXPECT_EQ(bytes, screen_bytes(view_of_match(), pen)) << c.what << ": the shared model";
    Grid g = render(bytes);
    EXPECT_EQ(g.faults, "") << c.what;
    EXPECT_EQ(trimmed(g.text[6]), c.row7) << c.what;
    EXPECT_EQ(trimmed(g.text[8]), c.row9) << c.what;

    std::string cells;
    for (int r = 0; r < 14; r++)
        for (int col = 0; col < 62; col++)
            if (g.colour[r][col] == 'R' || g.colour[r][col] == 'G')
                cells +=
                    std::to_string(col + 1) + "," + std::to_string(r + 1) + g.colour[r][col] + ";";
    std::string expected;
    if (c.reversed_row != 0) {
        char letter = c.reversed_row == 7 ? 'R' : 'G';
        for (int k = 0; k < 2; k++)
            expected += std::to_string(c.reversed_col + k) + "," + std::to_string(c.reversed_row) +
                        letter + ";";
    }
    EXPECT_EQ(cells, expected) << c.what;
    // No highlight shown means no reverse sequence sent either.
    if (c.reversed_row == 0) {
        EXPECT_EQ(bytes.find(RED_REVERSED), std::string::npos) << c.what;
        EXPECT_EQ(bytes.find(GREEN_REVERSED), std::string::npos) << c.what;
    }
    EXPECT_EQ(term_saved_bold, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, ScreenLabelTest, ::testing::ValuesIn(label_cases));

TEST_F(ScreenTest, LargeCountsAndRoundEndBoard)
{
    match.current_player = 2;
    match.round_label = "second";
    match.scores[0] = 40;
    match.scores[1] = 32;
    match.move_number = 23;
    match.board = Board{{{{123, 0, 0, 0, 0, 1000}, 100}, {{0, 0, 0, 0, 0, 999}, 7}}};
    match.last_move[0] = -1;
    match.last_move[1] = 5;
    Grid g = render(draw_captured());
    EXPECT_EQ(g.faults, "");
    EXPECT_EQ(trimmed(g.text[0]), "score 40 - 32, second round, move #23");
    // 100-999 stays inside the box; 1000 runs over its right edge.
    EXPECT_EQ(trimmed(g.text[3]), "north     | 1000 |  0 | |  0 | |  0 | |  0 | | 123|");
    EXPECT_EQ(trimmed(g.text[7]), "|  100   |------------------------------------------|    7   |");
    EXPECT_EQ(trimmed(g.text[11]), "          |  0 | |  0 | |  0 | |  0 | |  0 | | 999| south");
    EXPECT_EQ(trimmed(g.text[6]), "|        |   5                                  0   |        |");
    EXPECT_EQ(trimmed(g.text[8]), "|        |                                      5   |        |");
}

TEST_F(ScreenTest, LongNameIsOverwrittenByTheBoxes)
{
    match.names[0] = "abcdefghijklmnopq";
    Grid g = render(draw_captured());
    EXPECT_EQ(trimmed(g.text[3]).substr(0, 18), "abcdefghij|l 6o|q|");
}
