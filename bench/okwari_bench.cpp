// okwari_bench: how fast the wise robot thinks and the rules sow.
//
// The fast search of the library is timed against the plain search kept
// beside the tests (players/wise_reference.h) in the same run, over the same
// trees, so that their ratio means something on a busy machine. A position is
// one call of the plain search; the number of positions of the fixed set at
// each level is printed at the end and never changes unless the search does.
//
//   make bench                       build and run everything
//   build/okwari_bench --benchmark_filter=wise_move/.*/8 --benchmark_repetitions=5
//
// Times are CPU times of this process (for the program run: of the child),
// so other work on the machine shows as noise rather than as slowness.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "e2e.h"
#include "match/board_file.h"
#include "match/match.h"
#include "players/robots.h"
#include "players/wise.h"
#include "players/wise_reference.h"
#include "rules/board.h"
#include "support/timer.h"

namespace {

// ---------------------------------------------------------------------------
// The fixed positions: random playouts of 8 to 23 moves from random starting
// boards of 1 to 6 seeds a pit, drawn from a generator whose output the
// language fixes, so every machine searches the same trees.

struct Position {
    Board board;
    int mover;
};

const int first_level = 5, last_level = 9;

std::vector<Position> fixed_positions()
{
    std::mt19937 rng(20261206);
    std::vector<Position> set;
    while (set.size() < 24) {
        Board b{};
        for (int s = 0; s < 2; s++)
            for (int i = 0; i < 6; i++)
                b.sides[s].pits[i] = (int32_t)(rng() % 6 + 1);
        int mover = (int)(rng() % 2);
        int moves = 8 + (int)(set.size() % 16);
        for (int k = 0; k < moves && !board_round_over(b); k++) {
            int legal[6], n = 0;
            for (int i = 0; i < 6; i++)
                if (b.sides[mover].pits[i] != 0)
                    legal[n++] = i;
            if (!board_move(b, mover, legal[rng() % n]))
                mover = 1 - mover;
        }
        // A playout that ended its round is drawn again.
        if (!board_round_over(b))
            set.push_back({b, mover});
    }
    return set;
}

const std::vector<Position> positions = fixed_positions();

// Positions of the whole set at each level, known once the plain search has
// been run at that level.
uint64_t positions_at[last_level + 1];

void wise_move_reference(benchmark::State &state)
{
    int32_t level = (int32_t)state.range(0);
    uint64_t start = reference_positions;
    for (auto _ : state) {
        int32_t sum = 0;
        for (const Position &p : positions)
            sum += reference_wise_move(p.board, p.mover, level);
        benchmark::DoNotOptimize(sum);
    }
    positions_at[level] = (reference_positions - start) / (uint64_t)state.iterations();
    state.counters["positions"] = benchmark::Counter((double)positions_at[level],
                                                     benchmark::Counter::kIsIterationInvariantRate);
}

void wise_move_fast(benchmark::State &state)
{
    int32_t level = (int32_t)state.range(0);
    match.display_on = false;
    for (auto _ : state) {
        int32_t sum = 0;
        for (const Position &p : positions) {
            match.board = p.board;
            match.current_player = p.mover;
            sum += wise_move(level);
        }
        benchmark::DoNotOptimize(sum);
    }
    if (positions_at[level] != 0)
        state.counters["positions"] = benchmark::Counter(
            (double)positions_at[level], benchmark::Counter::kIsIterationInvariantRate);
}

// ---------------------------------------------------------------------------
// One move on a fresh copy of a board: every pit of a row of 1 to 6 seeds in
// turn, and a pit of two billion seeds, which sows 153,846,153 whole laps.

void board_move_small(benchmark::State &state)
{
    const Board start = {{{{1, 2, 3, 4, 5, 6}, 0}, {{6, 5, 4, 3, 2, 1}, 0}}};
    int pit = 0;
    for (auto _ : state) {
        Board b = start;
        benchmark::DoNotOptimize(board_move(b, 0, pit));
        benchmark::DoNotOptimize(b);
        pit = pit == 5 ? 0 : pit + 1;
    }
}

void board_move_2e9(benchmark::State &state)
{
    const Board start = {{{{2000000000, 1, 1, 1, 1, 1}, 0}, {{1, 1, 1, 1, 1, 1}, 0}}};
    for (auto _ : state) {
        Board b = start;
        benchmark::DoNotOptimize(board_move(b, 0, 0));
        benchmark::DoNotOptimize(b);
    }
}

// ---------------------------------------------------------------------------
// Whole matches, played in this process the way the program plays them: the
// seed time * pid, twelve pits drawn and replaced by the board file's, the
// opener drawn, two rounds with the rows exchanged and the other player
// opening. The result line is the program's as it prints it under the
// pinned clock of the end-to-end tests, where no time passes.

const uint32_t match_time = 1000000000, match_pid = 4242;
const char *const wise8_board = BENCH_DIR "/wise8.board";
const char *const huge_board = BENCH_DIR "/huge.board";

enum Search { FAST, REFERENCE };

int32_t robot_choice(const char *name, Search search)
{
    if (name[0] == 'h')
        return hurry_move();
    int32_t level = (int32_t)strtol(name + 4, nullptr, 10);
    if (search == FAST)
        return wise_move(level);
    return reference_wise_move(match.board, match.current_player, level);
}

std::string play_match(const char *first, const char *second, const char *board_file, Search search)
{
    const char *names[2] = {first, second};
    srandom(match_time * match_pid);
    for (int s = 0; s < 2; s++)
        for (int i = 0; i < 6; i++)
            match.board.sides[s].pits[i] = match.start_board.sides[s].pits[i] =
                (int32_t)(random() % 6 + 1);
    if (board_file_setup(board_file) != 0)
        return "unreadable board file " + std::string(board_file) + "\n";
    int opener = (int)(random() % 2);
    match.display_on = false;

    long long points[2] = {0, 0};
    int moves = 0;
    for (int round = 0; round < 2; round++) {
        for (int i = 0; i < 6; i++) {
            match.board.sides[0].pits[i] = match.start_board.sides[round].pits[i];
            match.board.sides[1].pits[i] = match.start_board.sides[1 - round].pits[i];
        }
        match.board.sides[0].store = match.board.sides[1].store = 0;
        match.current_player = round == 0 ? opener : 1 - opener;
        moves++;
        while (!board_round_over(match.board)) {
            int32_t pit = robot_choice(names[match.current_player], search);
            moves++;
            if (!board_move(match.board, match.current_player, pit))
                match.current_player = 1 - match.current_player;
        }
        points[0] += match.board.sides[0].store;
        points[1] += match.board.sides[1].store;
    }

    char line[256];
    int n;
    if (points[0] != points[1])
        n = snprintf(line, sizeof line, "%s wins %lld-%lld", names[points[1] > points[0]],
                     std::max(points[0], points[1]), std::min(points[0], points[1]));
    else
        n = snprintf(line, sizeof line, "draw %lld all", points[0]);
    snprintf(line + n, sizeof line - (size_t)n, ", time %s=%s %s=%s, %d moves\n", first,
             duration_text(0), second, duration_text(0), moves);
    return line;
}

// Result lines of the wise8 matches: plain search, fast search, program.
enum Player { PLAIN, FAST_IN_PROCESS, PROGRAM };
std::string wise8_lines[3];
std::string huge_line;
long long huge_seeds; // on the huge board, as read from its file

void match_wise8(benchmark::State &state, Search search)
{
    for (auto _ : state)
        wise8_lines[search == FAST ? FAST_IN_PROCESS : PLAIN] =
            play_match("wise8", "wise8", wise8_board, search);
}

// The real program on the same board and seed, its clock and process id
// pinned by the preload library. The time is the child's CPU time.
void match_wise8_program(benchmark::State &state)
{
    RunOptions opt;
    opt.env = {{"FAKECLOCK_TIME", std::to_string(match_time)},
               {"FAKECLOCK_PID", std::to_string(match_pid)}};
    for (auto _ : state) {
        rusage before, after;
        getrusage(RUSAGE_CHILDREN, &before);
        Outcome r = run_okwari({"wise8", "wise8", wise8_board}, opt);
        getrusage(RUSAGE_CHILDREN, &after);
        wise8_lines[PROGRAM] = r.out;
        double seconds = (double)(after.ru_utime.tv_sec - before.ru_utime.tv_sec) +
                         (double)(after.ru_utime.tv_usec - before.ru_utime.tv_usec) / 1e6 +
                         (double)(after.ru_stime.tv_sec - before.ru_stime.tv_sec) +
                         (double)(after.ru_stime.tv_usec - before.ru_stime.tv_usec) / 1e6;
        state.SetIterationTime(seconds);
    }
}

void match_wise3_hurry_huge(benchmark::State &state)
{
    for (auto _ : state)
        huge_line = play_match("wise3", "hurry", huge_board, FAST);
    huge_seeds = 0;
    for (int s = 0; s < 2; s++)
        for (int i = 0; i < 6; i++)
            huge_seeds += match.start_board.sides[s].pits[i];
}

// ---------------------------------------------------------------------------
// The summary: medians over the repetitions of each benchmark's time per
// iteration (CPU time, or the manual time of the program run).

std::map<std::string, std::vector<double>> seconds_per_iteration;

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const std::string &name = run.run_name.function_name;
            double seconds = name.find("program") != std::string::npos ? run.real_accumulated_time
                                                                       : run.cpu_accumulated_time;
            std::string args = run.run_name.args.empty() ? "" : "/" + run.run_name.args;
            seconds_per_iteration[name + args].push_back(seconds / (double)run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// Median time of a benchmark, or 0 when it did not run.
double median_seconds(const std::string &name)
{
    auto found = seconds_per_iteration.find(name);
    if (found == seconds_per_iteration.end() || found->second.empty())
        return 0;
    std::vector<double> v = found->second;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void print_summary()
{
    // Rates need the position count, which the plain search gives.
    const char *head =
        "\nwise_move over %zu fixed positions (medians; a position is one "
        "call of the plain search)\n"
        "level  positions    plain Mpos/s  fast Mpos/s  ratio\n";
    for (int level = first_level; level <= last_level; level++) {
        std::string l = "/" + std::to_string(level);
        double plain = median_seconds("wise_move/reference" + l);
        double fast = median_seconds("wise_move/fast" + l);
        uint64_t count = positions_at[level];
        if (count == 0)
            continue;
        printf(head, positions.size());
        head = "";
        printf("%5d  %10llu  %12.1f  %11.1f  %5.2f\n", level, (unsigned long long)count,
               plain > 0 ? (double)count / plain / 1e6 : 0.0,
               fast > 0 ? (double)count / fast / 1e6 : 0.0,
               plain > 0 && fast > 0 ? plain / fast : 0.0);
    }

    const char *match_names[3] = {"match/wise8-wise8/reference", "match/wise8-wise8/fast",
                                  "match/wise8-wise8/program"};
    double match_seconds[3];
    bool any = false, same = true;
    for (int k = 0; k < 3; k++) {
        match_seconds[k] = median_seconds(match_names[k]);
        any |= match_seconds[k] > 0;
        for (int j = 0; j < k; j++)
            same &= wise8_lines[j].empty() || wise8_lines[k].empty() ||
                    wise8_lines[j] == wise8_lines[k];
    }
    if (any) {
        printf("\nwise8 against wise8 from %s, seed %u * %u\n", wise8_board, match_time, match_pid);
        for (int k = 0; k < 3; k++)
            if (match_seconds[k] > 0)
                printf("  %-28s %8.3f s  %s", match_names[k], match_seconds[k],
                       wise8_lines[k].c_str());
        for (int k = 1; k < 3; k++)
            if (match_seconds[0] > 0 && match_seconds[k] > 0)
                printf("  plain / %s: %.2f\n", k == 1 ? "fast" : "program",
                       match_seconds[0] / match_seconds[k]);
        printf("  result lines %s\n", same ? "agree" : "DIFFER");
    }

    const char *moves[2] = {"board_move/small", "board_move/2e9"};
    for (const char *name : moves)
        if (median_seconds(name) > 0)
            printf("\n%s: %.1f ns a move", name, median_seconds(name) * 1e9);
    if (median_seconds(moves[0]) > 0 || median_seconds(moves[1]) > 0)
        printf("\n");

    if (!huge_line.empty()) {
        long long a = 0, b = 0;
        sscanf(huge_line.c_str(), "%*s wins %lld-%lld", &a, &b);
        printf(
            "\nwise3 against hurry from %s: %.3f s\n  %s  points %lld in all, twice the "
            "board's %lld seeds: %s\n",
            huge_board, median_seconds("match/wise3-hurry-huge/fast"), huge_line.c_str(), a + b,
            huge_seeds, a + b == 2 * huge_seeds ? "yes" : "NO");
    }

    // Counted by the plain search, so only the levels it ran at.
    const char *lead = "\nsignature:";
    for (int level = first_level; level <= last_level; level++) {
        if (positions_at[level] != 0) {
            printf("%s %llu positions at level %d", lead, (unsigned long long)positions_at[level],
                   level);
            lead = ",";
        }
    }
    if (lead[0] == ',')
        printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    for (int level = first_level; level <= last_level; level++) {
        // Side by side, so that both see the machine in the same state.
        benchmark::RegisterBenchmark("wise_move/reference", wise_move_reference)
            ->Arg(level)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("wise_move/fast", wise_move_fast)
            ->Arg(level)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("board_move/small", board_move_small);
    benchmark::RegisterBenchmark("board_move/2e9", board_move_2e9);
    benchmark::RegisterBenchmark("match/wise8-wise8/reference", match_wise8, REFERENCE)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("match/wise8-wise8/fast", match_wise8, FAST)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("match/wise8-wise8/program", match_wise8_program)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("match/wise3-hurry-huge/fast", match_wise3_hurry_huge)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    print_summary();
    benchmark::Shutdown();
    return 0;
}
