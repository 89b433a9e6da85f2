// The program run as a user runs it: arguments, board files, typed lines;
// standard output, standard error and the exit status.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "testing.h"

// A file name of this test process's own, so that runs side by side do not meet.
static std::string scratch(const char *name)
{
    return testing::TempDir() + "okwari-" + std::to_string(getpid()) + "-" + name;
}

TEST(Okwari, UsageWithFewerThanTwoNames)
{
    const std::string usage = // the program's name after ", " and after "usage: "
        ", okwari 1.0 (December 2026), a sowing game for two\n\nplay okwari game\n\nusage: "
        " player_name player_name [filename]\n\nspecial robot player names\n"
        "  random       choose a random move\n"
        "  hurry        try to finish game as soon as possible\n"
        "  wise[level]  deep thinker\n\n"
        "optional filename contains 12 table initialization numbers (default random)\n"
        "or created with a random board\n";
    for (auto [args, name] :
         {std::pair<std::vector<std::string>, std::string>{{}, "okwari"}, {{"ann"}, "my game"}}) {
        Outcome r = run_okwari(args, "", {}, "/usr/games/" + name);
        EXPECT_EQ(r.out,
                  std::string(usage).insert(usage.find("usage: ") + 7, name).insert(0, name));
        EXPECT_EQ(r.err + std::to_string(r.status), "9"); // not a terminal: nothing cleared
    }
}

// Robots play on their own, past 2^31 points too; a new board file receives
// the random board, twelve numbers of 1 to 6 each with a blank, and replays.
TEST(Okwari, RobotMatches)
{
    const std::string path = scratch("robots.board");
    // clang-format off
    for (auto [args, pid, board, line] : {std::tuple<std::vector<std::string>, const char *, const char *,
         const char *>{{"random", "hurry"}, "1", "", "hurry wins 54-26, time random=00s hurry=00s, 55 moves\n1"},
         {{"wise3", "random"}, "2", "", "wise3 wins 73-13, time wise3=00s random=00s, 47 moves\n0"},
         {{"wise-2", "wise"}, "3", "", "draw 32 all, time wise-2=00s wise=00s, 40 moves\n2"},
         {{"hurry", "wise5", "ignored"}, "4", "", "wise5 wins 66-18, time hurry=00s wise5=00s, 34 moves\n1"},
         {{"wise2", "hurry"}, "5", "2147483636 1 1 1 1 1 1 1 1 1 1 1",
          "wise2 wins 3303822139-991145155, time wise2=00s hurry=00s, 1486 moves\n0"}}) {
        // clang-format on
        std::ofstream(path) << board;
        if (!*board)
            remove(path.c_str());
        args.insert(args.begin() + 2, path);
        const std::vector<std::string> env = {std::string("FAKECLOCK_PID=") + pid};
        Outcome r = run_okwari(args, "", env);
        EXPECT_EQ(r.out + r.err + std::to_string(r.status), line);
        std::ifstream file(path);
        std::string text{std::istreambuf_iterator<char>(file), {}};
        EXPECT_TRUE(*board || std::regex_match(text, std::regex("([1-6] ){12}"))) << text;
        EXPECT_EQ(run_okwari(args, "", env).out, r.out);
    }
    remove(path.c_str());
}

// alice against hurry, each choice taking 9.5 s: the first digit 0 to 5 of a
// line decides, all else (NUL too) and empty pits are passed over; 15 + 5
// points a round, 8 + 7 on the round counters.
TEST(Okwari, PersonAgainstRobot)
{
    const std::string path = scratch("alice.board");
    std::ofstream(path) << "# alice\n3 1 1 1 1 2\n# hurry\n1 2 3 2 1 2\n";
    const std::vector<std::string> args = {"alice", "hurry", path},
                                   env = {"FAKECLOCK_STEP_US=9500000"};
    Outcome r = run_okwari(args, std::string("hello\n\0 95x\nx4 3\n5\n0\n\n3\n1", 25), env);
    EXPECT_EQ(r.out + std::to_string(r.status),
              "alice wins 30-10, time alice=48s hurry=01m16s, 15 moves\n0");
    // A screen leaves with its prompt in one write (beside what the usage takes)
    EXPECT_LE(r.writes - run_okwari({}).writes, 10);
    std::vector<std::string> screens; // what follows each clear of the terminal
    for (size_t p = 0, next; p < r.err.size(); p = next)
        screens.push_back(r.err.substr(p + 7, (next = r.err.find("\033[2J", p + 1)) - p - 7));
    // The first; before each move and after the last; each round's end.
    ASSERT_EQ(screens.size(), 1 + 8 + 1 + 7 + 1u);
    EXPECT_EQ(screens[0].find("score 0 - 0, first round, move #0\n"), 0u);
    for (int column = 13; column <= 48; column += 7) // no label at a round's end
        for (const char *row : {"\033[7;", "\033[9;"})
            EXPECT_EQ(screens[9].find(row + std::to_string(column) + "H "), std::string::npos);
    for (int i : {0, 10}) // a round starts with nothing highlighted
        EXPECT_EQ(screens[i].find("\033[0;30;4"), std::string::npos) << i;
    EXPECT_EQ(screens[10].find("score 15 - 5, second round, move #1\n"), 0u);
    // The prompt, a name, the pause line, and the line between the stores.
    for (const std::string &shown : std::initializer_list<std::string>{
             "\033[0;31;40;2m\033[14;1Halice: your move? \033[K", "\033[4;1Halice\033[5;1H",
             "\033[14;1H\033[0;37;40;2mfirst round ended, press ENTER to start second round\n",
             "\033[8;11H\033(0" + std::string(42, 'q') + "\033(B"})
        EXPECT_NE(r.err.find(shown), std::string::npos) << shown;
    EXPECT_EQ(r.err.substr(r.err.size() - 10), "\033[14;1H\033[m");
    // Input ending at the pause starts round 2; at a prompt it ends the program.
    for (const char *typed : {"5\n4\n0\n", "5\n", "5\n5"}) {
        r = run_okwari(args, typed, env);
        EXPECT_EQ(r.out + std::to_string(r.status), "0");
        EXPECT_EQ(r.err.substr(r.err.size() - 21), "alice: your move? \033[K");
    }
    remove(path.c_str());
}

// Board file tokens (63 seeds in the first board, 24 in the one whose first
// token is cut at 255 characters, as the points show); a bad one, or a file
// neither read nor written, ends the program before anything else.
TEST(Okwari, BoardFiles)
{
    const std::string dir = testing::TempDir(), F = scratch("F"), nowhere = scratch("no/such");
    const std::string big = "too many seeds in " + F + ": ";
    // clang-format off
    for (auto [path, contents, shown] : {std::tuple<std::string, std::string, std::string>{F,
         "# 0\n4 4 4 4 4 4 # 1\n'5' \"5\" `5` ' 5' 12abc\n+7\f\v\r\t", "wise wins 89-37, time wise=00s hurry=00s, 63 moves\n0"},
         {F, "1 1 -3 1", "invalid token '-3' in " + F + "\n8"}, {F, "2 3 '' 1", "invalid token '' in " + F + "\n8"},
         {F, "5#x -2", "invalid token '-2' in " + F + "\n8"},
         {F, "1 2 3 4 5 6\n6 5 4 3 2 # 1", "missing token in " + F + ": it ends after 11 of the 12 pits\n8"},
         {F, "4294967297 1 1 1 1 1 1 1 1 1 1 1", big + "2147483658 in all, at most 2147483647\n8"},
         {F, "2147483637 1 1 1 1 1 1 1 1 1 1 1", big + "2147483648 in all, at most 2147483647\n8"},
         {F, std::string(254, '0') + "59 1 1 1 1 1 1 1 1 1 1 -4", "wise wins 35-13, time wise=00s hurry=00s, 22 moves\n0"},
         {nowhere, "", "can't write '" + nowhere + "': No such file or directory\n9"},
         {dir, "", "can't read '" + dir + "': Is a directory\n9"}}) {
        // clang-format on
        std::ofstream(F) << contents;
        Outcome r = run_okwari({"wise", "hurry", path});
        EXPECT_EQ(r.out + r.err + std::to_string(r.status), shown) << contents;
    }
    remove(F.c_str());
}
