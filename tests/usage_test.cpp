// The program's command line: usage text and its status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

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

// Reads what the program wrote to the terminal whose controlling side is
// `master`, waiting a little for the pty to pass it on, until `want` bytes
// came or nothing more arrives.
std::string terminal_output(int master, size_t want)
{
    std::string seen;
    pollfd ready = {master, POLLIN, 0};
    while (seen.size() < want && poll(&ready, 1, 2000) == 1) {
        char chunk[256];
        ssize_t n = read(master, chunk, sizeof chunk);
        if (n <= 0)
            break;
        seen.append(chunk, static_cast<size_t>(n));
    }
    return seen;
}

TEST(Usage, ClearsTheScreenFirstWhenStandardErrorIsATerminal)
{
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    RunOptions opt;
    opt.err_fd = terminal;
    Outcome r = run_okwari({"alice"}, opt);
    const std::string clear = "\033[2J\033[H"; // erase the display, cursor home
    std::string shown = terminal_output(master, clear.size());
    close(terminal);
    close(master);
    EXPECT_EQ(r.status, 9);
    EXPECT_EQ(r.out, usage);
    EXPECT_EQ(shown, clear);
}

} // namespace
