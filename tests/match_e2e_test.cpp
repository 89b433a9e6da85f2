// Whole robot matches, checked against a model of the match played with
// the rules library: the seed's board and opener, both rounds, the move
// count, the thinking times and the result line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "e2e.h"
#include "match/match.h"
#include "players/wise.h"
#include "rules/board.h"
#include "support/timer.h"

namespace {

struct Expected {
    std::string line;
    int status;
};

// The robot's choice on `board` for side `me`; random robots draw from the
// same stream as the program. A person in the model plays like hurry.
int model_choice(const char *name, const Board &board, int me)
{
    const Side &mine = board.sides[me];
    if (strcmp(name, "hurry") == 0 || !is_robot_name(name)) {
        int pit = 0;
        for (int i = 1; i < 6; i++)
            if (mine.pits[i] > mine.pits[pit])
                pit = i;
        return pit;
    }
    if (strcmp(name, "random") == 0) {
        int legal[6], n = 0;
        for (int i = 0; i < 6; i++)
            if (mine.pits[i] > 0)
                legal[n++] = i;
        return legal[random() % n];
    }
    // The wise search has its own tests; the model only drives it.
    match.board = board;
    match.current_player = me;
    match.display_on = false;
    return wise_move((int32_t)strtol(name + 4, nullptr, 10));
}

// `typed`, when given, receives the lines a person playing in the model
// types in each round.
Expected model_match(const char *first, const char *second, uint32_t time, uint32_t pid,
                     long step_us = 0, const int *file_pits = nullptr, std::string *typed = nullptr)
{
    const char *names[2] = {first, second};
    srandom(time * pid);
    Board start{};
    for (int s = 0; s < 2; s++)
        for (int i = 0; i < 6; i++)
            start.sides[s].pits[i] = (int32_t)(random() % 6 + 1);
    if (file_pits)
        for (int k = 0; k < 12; k++)
            start.sides[k / 6].pits[k % 6] = file_pits[k];
    int opener = (int)(random() % 2);

    long long points[2] = {0, 0};
    long choices[2] = {0, 0};
    int counted = 0;
    for (int round = 0; round < 2; round++) {
        Board b{};
        for (int i = 0; i < 6; i++) {
            b.sides[0].pits[i] = start.sides[round].pits[i];
            b.sides[1].pits[i] = start.sides[1 - round].pits[i];
        }
        int mover = round == 0 ? opener : 1 - opener;
        int move_number = 1;
        while (!board_round_over(b)) {
            int pit = model_choice(names[mover], b, mover);
            if (typed && !is_robot_name(names[mover]))
                typed[round] += std::to_string(pit) + "\n";
            move_number++;
            choices[mover]++;
            if (!board_move(b, mover, pit))
                mover = 1 - mover;
        }
        counted += move_number;
        points[0] += b.sides[0].store;
        points[1] += b.sides[1].store;
    }

    char text[512];
    int status;
    if (points[0] > points[1]) {
        snprintf(text, sizeof text, "%s wins %lld-%lld", names[0], points[0], points[1]);
        status = 0;
    } else if (points[0] < points[1]) {
        snprintf(text, sizeof text, "%s wins %lld-%lld", names[1], points[1], points[0]);
        status = 1;
    } else {
        snprintf(text, sizeof text, "draw %lld all", points[0]);
        status = 2;
    }
    // Each choice starts and stops one stopwatch: two clock readings, so it
    // lasts exactly one step of the pinned clock.
    std::string line = text;
    for (int s = 0; s < 2; s++) {
        long seconds = lround((double)choices[s] * (double)step_us / 1e6);
        line += s == 0 ? ", time " : "";
        line += std::string(names[s]) + "=" + duration_text((uint32_t)seconds);
        line += s == 0 ? " " : ", ";
    }
    line += std::to_string(counted) + " moves\n";
    return {line, status};
}

RunOptions pinned(uint32_t time, uint32_t pid, long step_us = 0)
{
    RunOptions opt;
    opt.env = {{"FAKECLOCK_TIME", std::to_string(time)},
               {"FAKECLOCK_PID", std::to_string(pid)},
               {"FAKECLOCK_STEP_US", std::to_string(step_us)}};
    return opt;
}

TEST(RobotMatch, KnownSeedsGiveKnownMatches)
{
    // Written down once from real runs, so that a change that moved both the
    // program and the model the same way would still be caught.
    struct {
        uint32_t pid;
        const char *line;
        int status;
    } known[] = {
        {1, "hurry wins 54-26, time random=00s hurry=00s, 55 moves\n", 1},
        {2, "hurry wins 50-36, time random=00s hurry=00s, 49 moves\n", 1},
        {3, "hurry wins 35-29, time random=00s hurry=00s, 39 moves\n", 1},
    };
    for (const auto &k : known) {
        Outcome r = run_okwari({"random", "hurry"}, pinned(1000000000, k.pid));
        EXPECT_EQ(r.out, k.line);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.status, k.status);
        Expected e = model_match("random", "hurry", 1000000000, k.pid);
        EXPECT_EQ(e.line, k.line);
    }
}

// The parts of a result line; false when the line is not of that form.
struct ResultLine {
    std::string winner, first, second;
    long long points[2] = {0, 0}; // winner's first; both the same for a draw
    bool draw = false;
    long moves = 0;
};

bool parse_result(const std::string &line, ResultLine &r)
{
    char a[64], b[64], c[64];
    int used = 0;
    const char *s = line.c_str();
    long long *points = r.points;
    if (sscanf(s, "draw %lld all, time %n", points, &used) == 1 && used > 0) {
        r.draw = true;
        points[1] = points[0];
    } else if (sscanf(s, "%63s wins %lld-%lld, time %n", a, points, points + 1, &used) == 3 &&
               used > 0) {
        r.winner = a;
    } else {
        return false;
    }
    s += used;
    int tail = 0;
    int n =
        sscanf(s, "%63[^=]=%*[0-9dhms] %63[^=]=%*[0-9dhms], %ld moves%n", b, c, &r.moves, &tail);
    if (n != 3)
        return false;
    r.first = b;
    r.second = c;
    return std::string(s + tail) == "\n";
}

TEST(RobotMatch, EveryPairingPlaysToAResult)
{
    const char *robots[] = {"random", "hurry", "wise0", "wise1", "wise2", "wise3",
                            "wise4",  "wise5", "wise6", "wise",  "wise-2"};
    uint32_t pid = 500;
    for (const char *a : robots) {
        for (const char *b : robots) {
            Outcome r = run_okwari({a, b}, pinned(1000000000, ++pid));
            ResultLine line;
            ASSERT_TRUE(parse_result(r.out, line)) << a << " vs " << b << ": " << r.out;
            EXPECT_EQ(line.first, a);
            EXPECT_EQ(line.second, b);
            EXPECT_EQ(r.err, "");
            EXPECT_GT(line.moves, 2);
            if (line.draw) {
                EXPECT_EQ(r.status, 2) << r.out;
                continue;
            }
            EXPECT_GT(line.points[0], line.points[1]) << r.out;
            if (strcmp(a, b) == 0) {
                // Same name on both sides: only the status tells which won.
                EXPECT_TRUE(r.status == 0 || r.status == 1) << r.out;
            } else {
                EXPECT_EQ(r.status, line.winner == a ? 0 : 1) << r.out;
            }
        }
    }
}

TEST(RobotMatch, PairingsPlayTheModelsMatch)
{
    const char *robots[] = {"random", "hurry", "wise0", "wise1",
                            "wise2",  "wise3", "wise",  "wise-2"};
    uint32_t pid = 100;
    int statuses_seen[3] = {0, 0, 0};
    for (const char *a : robots) {
        for (const char *b : robots) {
            pid += 7;
            long step = 250000 + pid * 1000;
            Outcome r = run_okwari({a, b}, pinned(1234567, pid, step));
            Expected e = model_match(a, b, 1234567, pid, step);
            ASSERT_EQ(r.out, e.line) << a << " vs " << b;
            ASSERT_EQ(r.status, e.status) << a << " vs " << b;
            statuses_seen[r.status]++;
        }
    }
    // The pairings above end in wins for either side and in draws.
    EXPECT_GT(statuses_seen[0], 0);
    EXPECT_GT(statuses_seen[1], 0);
    EXPECT_GT(statuses_seen[2], 0);
}

TEST(RobotMatch, ThinkingTimesAddUpOverBothRounds)
{
    // 37 seconds a choice: a side that chooses 40 times thinks 24m40s.
    Outcome r = run_okwari({"hurry", "random"}, pinned(1000000000, 9, 37000000));
    Expected e = model_match("hurry", "random", 1000000000, 9, 37000000);
    EXPECT_EQ(r.out, e.line);
    char minutes[8];
    EXPECT_EQ(sscanf(r.out.c_str(), "%*[^,], time hurry=%*2dm%*2ds random=%7s", minutes), 1)
        << r.out;
}

struct TempDir {
    std::string path;
    TempDir()
    {
        char tmpl[] = "/tmp/okwari-e2e-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir()
    {
        (void)!system(("rm -rf '" + path + "'").c_str());
    }
};

TEST(RobotMatch, BoardFileStartsTheMatchAndKeepsTheOpener)
{
    TempDir dir;
    std::string file = dir.path + "/board";
    FILE *f = fopen(file.c_str(), "w");
    fputs("# a replayed match\n4 4 4 4 4 4\n3 3 3 3 3 3  # second row\n", f);
    fclose(f);
    const int pits[12] = {4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3};
    for (uint32_t pid : {11u, 12u, 13u, 14u}) {
        Outcome r = run_okwari({"random", "wise2", file}, pinned(1000000000, pid));
        Expected e = model_match("random", "wise2", 1000000000, pid, 0, pits);
        EXPECT_EQ(r.out, e.line);
        EXPECT_EQ(r.status, e.status);
    }
}

TEST(RobotMatch, NewBoardFileHoldsTheRandomBoardAndReplaysIt)
{
    TempDir dir;
    std::string file = dir.path + "/new.board";
    Outcome first = run_okwari({"hurry", "random", file, "ignored", "too"}, pinned(1000000000, 21));
    EXPECT_EQ(first.out, model_match("hurry", "random", 1000000000, 21).line);
    srandom(1000000000u * 21u);
    std::string want;
    for (int k = 0; k < 12; k++)
        want += std::to_string(random() % 6 + 1) + " ";
    EXPECT_EQ(read_file(file), want);
    // Same file, same seed: the same match again.
    Outcome again = run_okwari({"hurry", "random", file}, pinned(1000000000, 21));
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(again.status, first.status);
}

TEST(RobotMatch, PointsPastTwoBillionAreAddedWide)
{
    // Each round's points fit in 32 bits, the two rounds together do not,
    // and the result line still tells the truth: twice the board's seeds.
    // With 2147483647 seeds in all every count is at its limit; a pit of two
    // billion seeds sows 153,846,153 whole laps at once.
    struct {
        const char *first;
        int32_t big_pit;
    } cases[] = {{"wise2", 2147483636}, {"wise3", 2000000000}};
    TempDir dir;
    std::string file = dir.path + "/huge.board";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        FILE *f = fopen(file.c_str(), "w");
        fprintf(f, "%d 1 1 1 1 1 1 1 1 1 1 1", c.big_pit);
        fclose(f);
        int pits[12] = {c.big_pit, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
        Outcome r = run_okwari({c.first, "hurry", file}, pinned(1000000000, 5));
        Expected e = model_match(c.first, "hurry", 1000000000, 5, 0, pits);
        EXPECT_EQ(r.out, e.line);
        ResultLine line;
        ASSERT_TRUE(parse_result(r.out, line)) << r.out;
        EXPECT_EQ(line.points[0] + line.points[1], 2LL * (c.big_pit + 11));
    }
}

TEST(HumanMatch, ScriptedLinesPlayTheWholeMatch)
{
    for (uint32_t pid : {31u, 32u, 33u}) {
        std::string typed[2];
        Expected e = model_match("hurry", "ann", 1000000000, pid, 0, nullptr, typed);
        RunOptions opt = pinned(1000000000, pid);
        // Junk and a line without a pit digit are passed over at the prompt;
        // the line that ends the pause is thrown away whole, digit and all.
        opt.input = "x\n9\n" + typed[0] + "go 3\n" + typed[1];
        Outcome r = run_okwari({"hurry", "ann"}, opt);
        EXPECT_EQ(r.out, e.line) << pid;
        EXPECT_EQ(r.status, e.status) << pid;
        // The screen is on: the prompt, the pause and the final reset.
        EXPECT_NE(r.err.find("ann: your move? "), std::string::npos);
        EXPECT_NE(r.err.find("\033[14;1H\033[0;37;40;2mfirst round ended, press ENTER to start "
                             "second round\n"),
                  std::string::npos);
        EXPECT_EQ(r.err.substr(r.err.size() - 10), "\033[14;1H\033[m");
    }
}

TEST(HumanMatch, EndOfInputDuringThePauseStartsRoundTwo)
{
    std::string typed[2];
    model_match("hurry", "ann", 1000000000, 41, 0, nullptr, typed);
    RunOptions opt = pinned(1000000000, 41);
    opt.input = typed[0];
    Outcome r = run_okwari({"hurry", "ann"}, opt);
    // Round 2 began, and the first prompt of a person in it met the end of
    // input: status 0 and no result.
    size_t pause = r.err.find("first round ended, press ENTER");
    ASSERT_NE(pause, std::string::npos);
    EXPECT_NE(r.err.find("second round, move #1\n", pause), std::string::npos);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);
}

TEST(BoardFileErrors, EndTheProgramBeforeTheMatch)
{
    TempDir dir;
    struct {
        const char *content;
        std::string err;
        int status;
    } cases[] = {
        {"1 2 3 4 5 6 0 1 1 1 1 1\n", "invalid token '0' in " + dir.path + "/b\n", 8},
        {"1 2 3 4 5 6 1 1 'x' 1 1 1\n", "invalid token 'x' in " + dir.path + "/b\n", 8},
    };
    for (const auto &c : cases) {
        std::string file = dir.path + "/b";
        FILE *f = fopen(file.c_str(), "w");
        fputs(c.content, f);
        fclose(f);
        Outcome r = run_okwari({"alice", "hurry", file}, pinned(1000000000, 1));
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, c.status);
    }
    std::string nowhere = dir.path + "/no/such/dir/board";
    Outcome r = run_okwari({"alice", "hurry", nowhere}, pinned(1000000000, 1));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "can't write '" + nowhere + "': No such file or directory\n");
    EXPECT_EQ(r.status, 9);
}

} // namespace
