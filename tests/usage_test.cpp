// The program's command line: usage text and its status.
#include <gtest/gtest.h>

#include "e2e.h"

namespace {

const char usage[] =
    "okwari, okwari 1.0 (December 2026), a sowing game for two\n"
    "\n"
    "play okwari game\n"
    "\n"
    "usage: okwari player_name player_name [filename]\n"
    "\n"
    "special robot player names\n"
    "  random       choose a random move\n"
    "  hurry        try to finish game as soon as possible\n"
    "  wise[level]  deep thinker\n"
    "\n"
    "optional filename contains 12 table initialization numbers (default random)\n"
    "or created with a random board\n";

TEST(Usage, FewerThanTwoNamesPrintUsageAndExit9)
{
    for (const std::vector<std::string> &args : {std::vector<std::string>{}, {"alice"}}) {
        Outcome r = run_okwari(args);
        EXPECT_EQ(r.out, usage);
        // Standard error is a file here, not a terminal: nothing is cleared.
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.status, 9);
    }
}

TEST(Usage, ProgramNameIsTheBaseNameOfItsPath)
{
    RunOptions opt;
    opt.argv0 = "/usr/games/bin/mygame";
    Outcome r = run_okwari({}, opt);
    EXPECT_EQ(r.out.substr(0, 8), "mygame, ");
    EXPECT_NE(r.out.find("usage: mygame player_name player_name [filename]\n"), std::string::npos);
    opt.argv0 = "plain";
    r = run_okwari({"x"}, opt);
    EXPECT_EQ(r.out.substr(0, 7), "plain, ");
}

} // namespace
