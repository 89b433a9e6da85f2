#include "players/human.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "match/match.h"
#include "term/term.h"

// kim plays side 1, whose pit 2 is empty.
static const MatchState kim = {.names = {"ann", "kim"},
                               .current_player = 1,
                               .board = {1, 1, 1, 1, 1, 1, 0, 1, 1, 0, 1, 1, 1, 0}};

// Typed, then the pit and what is left unread. The first digit 0 to 5 of a
// line decides and takes the line with it; a digit for an empty pit is
// passed over with its line, and so is all else, NUL bytes too.
TEST(HumanMove, FirstDigitOfALineForAPitWithSeeds)
{
    Restore keep(match);
    Restore keep_attr(term_attr);
    // clang-format off
    for (auto [typed, pit_and_rest] : {std::pair<std::string, std::string>{"3\n", "3"}, {"x3\nrest", "3rest"},
         {"12\n4\n", "14\n"}, {"9 4\n", "4"}, {"7\n\n 5\n", "5"}, {"2 1\n0\n", "0"}, {std::string(2, '\0') + "4\n", "4"},
         {"5", "5"}}) {
        // clang-format on
        match = kim;
        term_attr = TERM_WHITE;
        feed_stdin(typed);
        std::string got;
        EXPECT_EQ(capture([&] { got = std::to_string(human_move()); }),
                  "\033[0;32;40;2m\033[14;1Hkim: your move? \033[K");
        for (int c; (c = fgetc(stdin)) != EOF;)
            got += (char)c;
        EXPECT_EQ(got, pit_and_rest) << typed;
    }
}

// End of input at the prompt, also right after a digit for an empty pit,
// ends the program with status 0.
TEST(HumanMoveDeathTest, EndOfInputEndsTheProgram)
{
    Restore keep(match);
    match = kim;
    for (const char *typed : {"", "9\n", "2"}) {
        feed_stdin(typed);
        EXPECT_EXIT(human_move(), testing::ExitedWithCode(0), "") << typed;
    }
}
