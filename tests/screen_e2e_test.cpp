// Whole matches as a person at the terminal gets them: every byte on
// standard error, the result line on standard output, the exit status.
//
// Each match is written down as a script: who moves, which pit, and what
// the person types for it. A small model of the match plays the script on
// the rules library (board_move, which has its own unit tests) and builds
// the expected screen stream with the shared screen model; the program then
// plays the same match from a board file with the clock pinned, and the two
// streams must agree byte for byte.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "e2e.h"
#include "rules/board.h"
#include "screen_model.h"

namespace {

enum Kind { HUMAN, HURRY, WISE };

struct Player {
    const char *name;
    Kind kind;
    int level; // the wise robot's search level
};

// One move of the script. `typed` is what the person types for it (null
// for a robot); `pit` is the pit that is played.
struct Turn {
    int side;
    int pit;
    const char *typed;
};

struct Piece {
    std::string what; // where in the match, for the failure message
    std::string bytes;
};

// The match as the model plays it, and everything it expects to see.
struct MatchModel {
    Player players[2];
    bool display_on;
    Board board;
    Board start;
    int current;
    int opener;
    int round;
    int32_t scores[2];
    int32_t move_number;
    int32_t move_total;
    long long used_us[2];
    long long step_us; // what each move choice takes on the pinned clock
    int32_t last_move[2];
    std::string pen; // colour the terminal holds
    std::vector<Piece> err;
    std::string input; // standard input, in the order it is read
};

// The opener the program draws: the thirteenth value of the generator
// seeded with time times pid, after the twelve pits of the random board.
int opener_for(uint32_t time, uint32_t pid)
{
    srandom(time * pid);
    for (int i = 0; i < 12; i++)
        random();
    return (int)(random() % 2);
}

long rounded_seconds(long long us)
{
    return (long)((us + 500000) / 1000000);
}

// Nothing is written while both players are robots.
void expect_bytes(MatchModel &m, const std::string &what, const std::string &bytes)
{
    if (m.display_on)
        m.err.push_back({what, bytes});
}

std::string where(const MatchModel &m)
{
    return "round " + std::to_string(m.round) + ", ";
}

void model_screen(MatchModel &m, const std::string &what)
{
    if (!m.display_on)
        return;
    ScreenView v{};
    for (int side = 0; side < 2; side++) {
        v.names[side] = m.players[side].name;
        v.scores[side] = m.scores[side];
        v.seconds[side] = rounded_seconds(m.used_us[side]);
        v.last_move[side] = m.last_move[side];
    }
    v.round_label = m.round == 1 ? "first" : "second";
    v.move_number = m.move_number;
    v.current_player = m.current;
    v.board = m.board;
    expect_bytes(m, what, screen_bytes(v, m.pen));
}

void model_start(MatchModel &m, Player first, Player second, const Board &start, int opener,
                 long long step_us)
{
    m = MatchModel{};
    m.players[0] = first;
    m.players[1] = second;
    m.display_on = first.kind == HUMAN || second.kind == HUMAN;
    m.board = start;
    m.start = start;
    m.current = opener;
    m.opener = opener;
    m.round = 1;
    m.step_us = step_us;
    m.last_move[0] = m.last_move[1] = -1;
    m.pen = WHITE;
    model_screen(m, "the first screen, move #0");
    m.move_number = 1;
}

int fullest_pit(const Board &b, int side)
{
    int best = -1;
    for (int i = 0; i < 6; i++)
        if (b.sides[side].pits[i] > (best < 0 ? 0 : b.sides[side].pits[best]))
            best = i;
    return best;
}

// At level 0 and below the wise robot looks one move ahead: the largest
// store difference right after its own move, the lowest pit among equals.
int greediest_pit(const Board &b, int side)
{
    int best = -1, best_gain = 0;
    for (int i = 0; i < 6; i++) {
        if (b.sides[side].pits[i] == 0)
            continue;
        Board after = b;
        board_move(after, side, i);
        int gain = after.sides[side].store - after.sides[1 - side].store;
        if (best < 0 || gain > best_gain)
            best = i, best_gain = gain;
    }
    return best;
}

// Asks the mover for a move: the screen, then the prompt or the thinking
// line on row 14 (a hurry robot shows nothing).
void model_ask(MatchModel &m)
{
    const std::string n = std::to_string(m.move_number);
    model_screen(m, where(m) + "the screen before move " + n);
    m.move_number++;
    const Player &p = m.players[m.current];
    std::string line;
    if (p.kind == HUMAN) {
        line += paint(m.pen, SIDE_COLOUR[m.current]);
        line += at(1, 14) + p.name + ": your move? " + CLEAR_EOL;
        expect_bytes(m, where(m) + p.name + "'s prompt for move " + n, line);
    } else if (p.kind == WISE) {
        line += at(1, 14);
        line += paint(m.pen, SIDE_COLOUR[m.current]);
        line += "wise" + std::to_string(p.level) + " thinking...";
        expect_bytes(m, where(m) + "the thinking line for move " + n, line);
    }
}

void model_turn(MatchModel &m, const Turn &t)
{
    const Player &p = m.players[t.side];
    EXPECT_FALSE(board_round_over(m.board)) << "the script goes on after the round is over";
    ASSERT_EQ(t.side, m.current) << where(m) << "move " << m.move_number << " is not " << p.name
                                 << "'s in the script";
    ASSERT_GT(m.board.sides[t.side].pits[t.pit], 0) << "the script plays an empty pit";
    model_ask(m);
    if (p.kind == HUMAN)
        m.input += t.typed;
    if (p.kind == HURRY) {
        EXPECT_EQ(t.pit, fullest_pit(m.board, t.side)) << "hurry takes the fullest pit";
    }
    if (p.kind == WISE) {
        EXPECT_LE(p.level, 0) << "the model follows the wise robot only at level 0";
        EXPECT_EQ(t.pit, greediest_pit(m.board, t.side)) << "wise0 takes the best gain";
    }
    m.used_us[t.side] += m.step_us;
    m.last_move[t.side] = t.pit;
    m.last_move[1 - t.side] = -1;
    if (!board_move(m.board, t.side, t.pit))
        m.current = 1 - m.current;
}

void model_round(MatchModel &m, const std::vector<Turn> &turns)
{
    for (const Turn &t : turns) {
        model_turn(m, t);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    // The round loop draws once more and only then finds the round over.
    model_screen(m, where(m) + "the screen after the last move");
    EXPECT_TRUE(board_round_over(m.board)) << where(m) << "the script ends before the round";
}

// The round-end screen and the pause, while the screen is on; then round 2
// on the exchanged starting pits, opened by the other player.
void model_between_rounds(MatchModel &m, const char *typed_at_pause)
{
    if (m.display_on) {
        m.current = 2;
        model_screen(m, "round 1, the round-end screen");
        std::string message = at(1, 14);
        message += paint(m.pen, WHITE);
        message += "first round ended, press ENTER to start second round\n";
        expect_bytes(m, "the pause message", message);
        m.input += typed_at_pause;
    }
    m.round = 2;
    for (int side = 0; side < 2; side++) {
        m.scores[side] = m.board.sides[side].store;
        m.board.sides[side].store = 0;
        for (int i = 0; i < 6; i++)
            m.board.sides[side].pits[i] = m.start.sides[1 - side].pits[i];
        m.last_move[side] = -1;
    }
    m.current = 1 - m.opener;
    m.move_total = m.move_number;
    m.move_number = 1;
}

void model_end(MatchModel &m)
{
    m.current = 2;
    model_screen(m, "the final screen");
    expect_bytes(m, "the cursor to row 14 and the colours reset", at(1, 14) + RESET);
}

// Makes control bytes readable in a failure message.
std::string shown(const std::string &bytes)
{
    std::string s;
    for (unsigned char c : bytes) {
        if (c == 033)
            s += "\\e";
        else if (c == '\n')
            s += "\\n";
        else if (c < 32 || c > 126) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02x", c);
            s += hex;
        } else
            s += (char)c;
    }
    return s;
}

// Compares the stream piece by piece and names the first piece that differs.
void expect_stream(const std::string &actual, const std::vector<Piece> &pieces)
{
    size_t pos = 0;
    for (const Piece &p : pieces) {
        const std::string got = actual.substr(pos, p.bytes.size());
        if (got != p.bytes) {
            size_t k = 0;
            while (k < got.size() && got[k] == p.bytes[k])
                k++;
            size_t from = k < 20 ? 0 : k - 20;
            ADD_FAILURE() << "standard error differs in " << p.what << ", at byte " << pos + k
                          << " of the stream:\n  expected ..." << shown(p.bytes.substr(from, 70))
                          << "\n  got      ..." << shown(actual.substr(pos + from, 70));
            return;
        }
        pos += p.bytes.size();
    }
    EXPECT_EQ(pos, actual.size()) << "after the expected stream came: "
                                  << shown(actual.substr(pos, 200));
}

// The board file of a match: a comment line and the six pits of each row.
std::string board_file_text(const MatchModel &m)
{
    std::string text;
    for (int side = 0; side < 2; side++) {
        text += std::string("# ") + m.players[side].name + "\n";
        for (int i = 0; i < 6; i++)
            text += std::to_string(m.start.sides[side].pits[i]) + " ";
        text += "\n";
    }
    return text;
}

class ScreenE2E : public ::testing::Test {
protected:
    std::string dir;
    std::string board_path;

    void SetUp() override
    {
        char pattern[] = "/tmp/okwari-screen-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        board_path = dir + "/board";
    }

    void TearDown() override
    {
        unlink(board_path.c_str());
        rmdir(dir.c_str());
    }

    void write_board(const MatchModel &m)
    {
        FILE *f = fopen(board_path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        fputs(board_file_text(m).c_str(), f);
        fclose(f);
    }

    Outcome play(const MatchModel &m, const char *pid, const std::string &input)
    {
        RunOptions opt;
        opt.input = input;
        opt.env = {{"FAKECLOCK_TIME", "1000000000"},
                   {"FAKECLOCK_PID", pid},
                   {"FAKECLOCK_STEP_US", std::to_string(m.step_us)}};
        return run_okwari({m.players[0].name, m.players[1].name, board_path}, opt);
    }
};

// ---- alice (top row, red) against the hurry robot (bottom row, green) ----

const int ALICE = 0, HURRY_ROBOT = 1;
const Player alice = {"alice", HUMAN, 0};
const Player hurry = {"hurry", HURRY, 0};
const Board alice_hurry_board = {{{{3, 1, 1, 1, 1, 2}, 0}, {{1, 2, 3, 2, 1, 2}, 0}}};

// Round 1: with the clock at 1000000000 and pid 4242, alice opens.
// clang-format off
const std::vector<Turn> alice_hurry_round1 = {
    {ALICE, 5, "hello\n5\n"},   // a line without a pit digit is passed over
    {HURRY_ROBOT, 2, nullptr},  // its fullest pit, 3 seeds
    {ALICE, 4, "4\n"},          // lands in her empty pit 5 and captures
    {HURRY_ROBOT, 3, nullptr},  // last seed in its store: hurry again
    {HURRY_ROBOT, 5, nullptr},
    {ALICE, 0, "5\n0\n"},       // her pit 5 is empty: passed over, then 0
    {HURRY_ROBOT, 4, nullptr},  // its row runs empty: the round is over
};

// Round 2: the rows exchanged, and hurry, who did not open round 1, opens.
const std::vector<Turn> alice_hurry_round2 = {
    {HURRY_ROBOT, 0, nullptr},
    {ALICE, 3, "3\n"},
    {HURRY_ROBOT, 1, nullptr},
    {ALICE, 1, "1\n"},
    {HURRY_ROBOT, 3, nullptr},  // hurry again
    {HURRY_ROBOT, 5, nullptr},  // its row runs empty again
};
// clang-format on

void model_alice_hurry(MatchModel &m)
{
    // Each move choice takes 9.5 s on the pinned clock: the times on the
    // screen round halves up (9.5 s shows 10s) and pass a minute (01m07s).
    model_start(m, alice, hurry, alice_hurry_board, ALICE, 9500000);
    model_round(m, alice_hurry_round1);
    model_between_rounds(m, "\n");
    model_round(m, alice_hurry_round2);
    model_end(m);
}

TEST_F(ScreenE2E, HumanAgainstHurryWholeStream)
{
    ASSERT_EQ(opener_for(1000000000, 4242), ALICE);
    MatchModel m;
    model_alice_hurry(m);
    ASSERT_FALSE(HasFatalFailure());
    write_board(m);
    EXPECT_EQ(m.input, "hello\n5\n4\n5\n0\n\n3\n1\n");

    Outcome r = play(m, "4242", m.input);
    expect_stream(r.err, m.err);
    // 15 + 5 points in each round; 8 + 7 on the two round counters.
    EXPECT_EQ(r.out, "alice wins 30-10, time alice=48s hurry=01m16s, 15 moves\n");
    EXPECT_EQ(r.status, 0);
}

// Standard input ends while alice is asked for her second move: the program
// stops there, with the prompt as the last thing written, no result line
// and status 0.
TEST_F(ScreenE2E, InputEndingAtThePromptStopsTheMatch)
{
    MatchModel m;
    model_start(m, alice, hurry, alice_hurry_board, ALICE, 9500000);
    model_turn(m, alice_hurry_round1[0]);
    model_turn(m, alice_hurry_round1[1]);
    model_ask(m);
    ASSERT_EQ(m.err.back().what, "round 1, alice's prompt for move 3");
    write_board(m);

    Outcome r = play(m, "4242", m.input);
    expect_stream(r.err, m.err);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);
}

// ---- the wise robot (top row, red) against bob (bottom row, green) ----

const int WISE_ROBOT = 0, BOB = 1;
// The name "wise" has no digits: level 0, and its line says wise0.
const Player wise = {"wise", WISE, 0};
const Player bob = {"bob", HUMAN, 0};
const Board wise_bob_board = {{{{1, 2, 1, 1, 1, 3}, 0}, {{3, 1, 1, 2, 2, 3}, 0}}};

// Round 1: the same seed, so side 0, the robot, opens.
// clang-format off
const std::vector<Turn> wise_bob_round1 = {
    {WISE_ROBOT, 5, nullptr},
    {BOB, 3, "3\n"},
    {WISE_ROBOT, 4, nullptr},  // captures
    {BOB, 4, "4\n"},
    {WISE_ROBOT, 3, nullptr},
    {BOB, 5, "5\n"},           // his row runs empty: the round is over
};

const std::vector<Turn> wise_bob_round2 = {
    {BOB, 1, "1\n"},
    {WISE_ROBOT, 5, nullptr},  // its last seed takes bob's empty pit 1
    {BOB, 3, "9 3\n"},         // 9 is no pit: the 3 after it counts
    {WISE_ROBOT, 3, nullptr},
    {BOB, 4, "4\n"},           // last seed in his store: bob again, and his
                               // emptied pit 4 shows no label
    {BOB, 5, "5\n"},
};
// clang-format on

TEST_F(ScreenE2E, WiseRobotAgainstHumanWholeStream)
{
    ASSERT_EQ(opener_for(1000000000, 4242), WISE_ROBOT);
    MatchModel m;
    // Half a second a move: 2.5 s round to 03s, 3.5 s to 04s.
    model_start(m, wise, bob, wise_bob_board, WISE_ROBOT, 500000);
    model_round(m, wise_bob_round1);
    model_between_rounds(m, "\n");
    model_round(m, wise_bob_round2);
    model_end(m);
    ASSERT_FALSE(HasFatalFailure());
    write_board(m);

    Outcome r = play(m, "4242", m.input);
    expect_stream(r.err, m.err);
    EXPECT_EQ(r.out, "wise wins 33-9, time wise=03s bob=04s, 14 moves\n");
    EXPECT_EQ(r.status, 0);
}

// Runs the program with standard input a pipe that stays open and empty:
// were it to wait for ENTER between the rounds, it would block there until
// the alarm set before exec ends it (SIGALRM survives exec).
Outcome run_with_silent_open_stdin(const std::vector<std::string> &args)
{
    int in[2];
    if (pipe(in) != 0)
        return {"", "pipe failed", -1};
    FILE *out = tmpfile();
    FILE *err = tmpfile();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        close(in[0]);
        close(in[1]);
        dup2(fileno(out), 1);
        dup2(fileno(err), 2);
        setenv("LD_PRELOAD", FAKECLOCK_LIB, 1);
        setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 0); // as in run_okwari
        std::vector<char *> argv{const_cast<char *>(OKWARI_BIN)};
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        alarm(10);
        execv(OKWARI_BIN, argv.data());
        _exit(127);
    }
    close(in[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    close(in[1]);
    Outcome r;
    r.out = read_file("/proc/self/fd/" + std::to_string(fileno(out)));
    r.err = read_file("/proc/self/fd/" + std::to_string(fileno(err)));
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    fclose(out);
    fclose(err);
    return r;
}

TEST_F(ScreenE2E, TwoRobotsWriteNothingOnStandardErrorAndNeverPause)
{
    MatchModel m;
    model_start(m, hurry, wise, alice_hurry_board, 0, 0);
    write_board(m);

    Outcome r = run_with_silent_open_stdin({"hurry", "wise", board_path});
    EXPECT_NE(r.status, 128 + SIGALRM) << "the program waited on standard input";
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "wise wins 30-10, time hurry=00s wise=00s, 23 moves\n");
    EXPECT_EQ(r.status, 1);
}

} // namespace
