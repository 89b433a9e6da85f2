#include "players/human.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "players/players_test_util.h"
#include "term/term.h"

namespace {

struct LineCase {
    std::string input;
    int pits[12];
    int side;
    int32_t pit;      // expected choice
    const char *left; // what standard input still holds afterwards
};

TEST(HumanMove, FirstDigitZeroToFiveOfALineDecides)
{
    const LineCase cases[] = {
        {"3\n", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 3, ""},
        {"x3\nrest", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 3, "rest"},
        {"12\n", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1, 1, ""},
        {"23 and more\n4\n", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 2, "4\n"},
        {"9 4\n", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 4, ""},
        {"9\n4\n", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1, 4, ""},
        {"7\n\n  \n5\n", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 5, ""},
        // A digit naming an empty pit is passed over with its whole line.
        {"0 1\n1\n", {0, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1}, 0, 1, ""},
        {"2\n3\n", {1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1}, 1, 3, ""},
        // NUL bytes are passed over like any other character.
        {std::string(2, '\0') + "4\n", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 4, ""},
        // A last line without its newline still counts.
        {"5", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 5, ""},
    };
    for (const LineCase &c : cases) {
        set_pits(c.pits);
        match.current_player = c.side;
        match.names[c.side] = "kim";
        feed_stdin(c.input);
        int32_t pit = -1;
        capture_stderr([&] { pit = human_move(); });
        EXPECT_EQ(pit, c.pit) << c.input;
        std::string left;
        int ch;
        while ((ch = fgetc(stdin)) != EOF)
            left += (char)ch;
        EXPECT_EQ(left, c.left) << c.input;
    }
}

TEST(HumanMove, PromptInTheMoversColourOnTheMessageLine)
{
    int pits[12] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    set_pits(pits);
    match.names[0] = "north";
    match.names[1] = "south";
    term_enabled = 1;
    term_attr = 7;
    match.current_player = 1;
    feed_stdin("2\n");
    EXPECT_EQ(capture_stderr([] { human_move(); }),
              "\033[0;32;40;2m\033[14;1Hsouth: your move? \033[K");
    // Already green: no colour sequence at all.
    feed_stdin("2\n");
    EXPECT_EQ(capture_stderr([] { human_move(); }), "\033[14;1Hsouth: your move? \033[K");
    match.current_player = 0;
    feed_stdin("2\n");
    EXPECT_EQ(capture_stderr([] { human_move(); }),
              "\033[0;31;40;2m\033[14;1Hnorth: your move? \033[K");
}

using HumanMoveDeathTest = ::testing::Test;

TEST(HumanMoveDeathTest, EndOfInputEndsTheProgramWithStatusZero)
{
    const std::string inputs[] = {"", "7\n8\n\n", "0\n", std::string("\0x", 2)};
    int pits[12] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    for (const std::string &text : inputs) {
        set_pits(pits);
        match.current_player = 0;
        match.names[0] = "kim";
        EXPECT_EXIT(
            {
                feed_stdin(text);
                human_move();
            },
            ::testing::ExitedWithCode(0), "")
            << text;
    }
}

// A stream that gives "0", then fails once, then has "3\n": fgetc reports the
// failure as EOF, and a second fgetc would read on.
ssize_t fail_once_read(void *cookie, char *buf, size_t size)
{
    int &step = *static_cast<int *>(cookie);
    const char *parts[] = {"0", nullptr, "3\n"};
    if (step > 2 || size == 0)
        return 0;
    const char *part = parts[step++];
    if (part == nullptr) {
        errno = EIO;
        return -1;
    }
    size_t n = strlen(part);
    memcpy(buf, part, n); // NOLINT(bugprone-not-null-terminated-result): bytes, not a string
    return (ssize_t)n;
}

TEST(HumanMoveDeathTest, EndOfInputAfterADigitForAnEmptyPitReadsNoMore)
{
    int pits[12] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    set_pits(pits);
    match.current_player = 0;
    match.names[0] = "kim";
    EXPECT_EXIT(
        {
            static int step = 0;
            stdin = fopencookie(&step, "r", {fail_once_read, nullptr, nullptr, nullptr});
            human_move();
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
