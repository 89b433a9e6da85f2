// The program run as a user runs it: arguments, board files, typed lines; its output and status.
#include <gtest/gtest.h>

#include <fstream>

#include "testing.h"

// File names of this test process's own, so that runs side by side do not meet; removed at the end.
static const std::string scratch = testing::TempDir() + "okwari-" + std::to_string(getpid()) + "-";
struct Scratch {
    std::string path;
    ~Scratch()
    {
        remove(path.c_str());
    }
};

// Fewer than two names: the usage, under the name the program was started by; nothing cleared.
TEST(Okwari, UsageWithFewerThanTwoNames)
{
    Outcome r = run_okwari({"ann"}, "", {}, "/usr/games/my game");
    EXPECT_EQ(r.out + r.err + std::to_string(r.status),
              "my game, okwari 1.0 (December 2026), a sowing game for two\n\n"
              "play okwari game\n\nusage: my game player_name player_name [filename]\n\n"
              "special robot player names\n"
              "  random       choose a random move\n"
              "  hurry        try to finish game as soon as possible\n"
              "  wise[level]  deep thinker\n\n"
              "optional filename contains 12 table initialization numbers (default random)\n"
              "or created with a random board\n9");
}

// Robots play on their own, past 2^31 points too. A board file is read (63 seeds, then 24 with the
// first token, bare or quoted, cut at 255 characters) or, new, gets the random board (twelve
// numbers 1 to 6, each with a blank) and replays; a bad token, or a file neither read nor written,
// ends the program.
TEST(Okwari, MatchesAndBoardFiles)
{
    const Scratch file{scratch + "F"};
    const std::string &F = file.path, nowhere = scratch + "no/such", dir = testing::TempDir();
    const std::string big = "too many seeds in " + F + ": ", bad = "invalid token '";
    const std::vector<std::string> wh = {"wise", "hurry", F};
    int pid = 0;
    // clang-format off
    for (auto [args, board, shown] : {std::tuple<std::vector<std::string>, std::string, std::string>{
         {"random", "hurry", F}, "", "hurry wins 54-26, time random=00s hurry=00s, 55 moves\n1"},
         {{"wise3", "random", F}, "", "wise3 wins 73-13, time wise3=00s random=00s, 47 moves\n0"},
         {{"wise-99999999999", "wisex", F}, "", "draw 32 all, time wise-99999999999=00s wisex=00s, 40 moves\n2"},
         {{"hurry", "wise5", F, "ignored"}, "", "wise5 wins 66-18, time hurry=00s wise5=00s, 34 moves\n1"},
         {{"wise2", "hurry", F}, "2147483636 1 1 1 1 1 1 1 1 1 1 1",
          "wise2 wins 3303822139-991145155, time wise2=00s hurry=00s, 1486 moves\n0"},
         {wh, "# 0\n4 4 4 4 4 4 # 1\n'5' \"5\" `5` ' 5' 12abc\n+7\f\v\r\t",
          "wise wins 82-44, time wise=00s hurry=00s, 56 moves\n0"},
         {wh, std::string(254, '0') + "59 1 1 1 1 1 1 1 1 1 1 -4",
          "wise wins 35-13, time wise=00s hurry=00s, 21 moves\n0"},
         {wh, "'" + std::string(254, '0') + "59' 1 1 1 1 1 1 1 1 1 1", // 5, then 9'
          "wise wins 35-13, time wise=00s hurry=00s, 22 moves\n0"},
         {wh, "1 1 -3 1", bad + "-3' in " + F + "\n8"}, {wh, "2 3 '' 1", bad + "' in " + F + "\n8"},
         {wh, "5#x -2", bad + "-2' in " + F + "\n8"},
         {wh, "1 2 3 4 5 6\n6 5 4 3 2 # 1", "missing token in " + F + ": it ends after 11 of the 12 pits\n8"},
         {wh, "4294967297 1 1 1 1 1 1 1 1 1 1 1", big + "2147483658 in all, at most 2147483647\n8"},
         {wh, "2147483637 1 1 1 1 1 1 1 1 1 1 1", big + "2147483648 in all, at most 2147483647\n8"},
         {{"wise", "hurry", nowhere}, "", "can't write '" + nowhere + "': No such file or directory\n9"},
         {{"wise", "hurry", dir}, "", "can't read '" + dir + "': Is a directory\n9"}}) {
        // clang-format on
        std::ofstream(F) << board;
        if (board.empty())
            remove(F.c_str());
        const std::vector<std::string> env = {"FAKECLOCK_PID=" + std::to_string(++pid)};
        Outcome r = run_okwari(args, "", env);
        EXPECT_EQ(r.out + r.err + std::to_string(r.status), shown) << board;
        bool fresh = board.empty() && r.status <= 2; // a new board file receives the random board
        std::string got = fresh ? read_back(fopen(F.c_str(), "r")) : "";
        for (char &c : got) // each digit 1 to 6 read as n
            c = c >= '1' && c <= '6' ? 'n' : c;
        EXPECT_TRUE(!fresh || got == "n n n n n n n n n n n n ") << got;
        EXPECT_EQ(run_okwari(args, "", env).out, r.out);
    }
}

// alice against hurry, each choice taking 9.5 s: the first digit 0 to 5 of a line decides, all else
// (NUL too) and empty pits are passed over; 15 + 5 points a round, 8 + 7 on the round counters.
TEST(Okwari, PersonAgainstRobot)
{
    const Scratch file{scratch + "alice.board"};
    std::ofstream(file.path) << "# alice\n3 1 1 1 1 2\n# hurry\n1 2 3 2 1 2\n";
    const std::vector<std::string> args = {"alice", "hurry", file.path},
                                   env = {"FAKECLOCK_STEP_US=9500000"};
    Outcome r = run_okwari(args, std::string("hello\n\0 95x\nx4 3\n5\n0\n\n3\n1", 25), env);
    EXPECT_EQ(r.out + std::to_string(r.status),
              "alice wins 30-10, time alice=48s hurry=01m16s, 15 moves\n0");
    const long usage = run_okwari({}).writes;
    EXPECT_GT(usage, 0);
    EXPECT_LE(r.writes - usage, 10);  // a write a screen, beyond the usage's
    std::vector<std::string> screens; // what follows each clear of the terminal
    for (size_t p = 0, next; p < r.err.size(); p = next)
        screens.push_back(r.err.substr(p + 7, (next = r.err.find("\033[2J", p + 1)) - p - 7));
    ASSERT_EQ(screens.size(), 1 + 8 + 1 + 7 + 1u); // the first, before each move, after, the ends
    EXPECT_EQ(screens[0].find("score 0 - 0, first round, move #0\n"), 0u);
    for (int column = 13; column <= 48; column += 7) // no label at a round's end
        for (const char *row : {"\033[7;", "\033[9;"})
            EXPECT_EQ(screens[9].find(row + std::to_string(column) + "H "), std::string::npos);
    for (int i : {0, 10}) // a round starts with nothing highlighted
        EXPECT_EQ(screens[i].find("\033[0;30;4"), std::string::npos) << i;
    // The first pit highlighted is not bold: no bold bit was put aside before it.
    EXPECT_EQ(r.err.substr(r.err.find("\033[0;30;4"), 12), "\033[0;30;41;2m");
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
}
