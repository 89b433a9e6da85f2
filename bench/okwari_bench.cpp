// okwari_bench: how fast the wise robot thinks and the rules sow.
//
// The robot's search is timed against its plain road (a board copy and a
// board_move per position, which only boards of more than 255 seeds take in
// play) in the same run, over the same trees, so that their ratio means
// something on a busy machine. A position is one move scored; the search
// counts the positions it scores, and that count over the fixed set at each
// level is the signature: it changes only when the search tree does.
//
//   make bench                       build and run everything
//   build/okwari_bench --benchmark_filter=wise_move/.*/8 --benchmark_repetitions=5
//
// Times are CPU times of this process (for the program run: of the child),
// so other work on the machine shows as noise rather than as slowness.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "match/match.h"
#include "players/leaves.h"
#include "players/leaves_vector.h"
#include "players/wise.h"
#include "rules/board.h"
#include "testing.h"

namespace {

const int first_level = 6, last_level = 9;
const std::vector<FixedPosition> positions = fixed_positions();

// Positions of the whole set at each level, as each search counts them.
uint64_t shipped_count[last_level + 1], plain_count[last_level + 1];

// The robot's search with its last ply on either road: the scalar one, which
// every machine has, and the vector one where the processor offers it.
const bool vector_road = leaves_best_road() == LEAVES_VECTOR;

// The pit the plain road chooses: the best root score, the lowest pit first.
int32_t plain_move(const Board &board, int mover, int32_t level)
{
    int32_t best_pit = -1, best = 0;
    for (int pit = 0; pit < 6; pit++) {
        if (board.sides[mover].pits[pit] == 0)
            continue;
        int32_t score = wise_search_plain(board, mover, pit, level);
        if (best_pit < 0 || score > best)
            best_pit = pit, best = score;
    }
    return best_pit;
}

void wise_move_plain(benchmark::State &state)
{
    int32_t level = (int32_t)state.range(0);
    uint64_t start = wise_positions;
    for (auto _ : state) {
        int32_t sum = 0;
        for (const FixedPosition &p : positions)
            sum += plain_move(p.board, p.mover, level);
        benchmark::DoNotOptimize(sum);
    }
    plain_count[level] = (wise_positions - start) / (uint64_t)state.iterations();
}

void wise_move_shipped(benchmark::State &state, LeavesRoad road)
{
    int32_t level = (int32_t)state.range(0);
    LeavesRoad chosen = leaves_road;
    leaves_road = road;
    match.display_on = false;
    uint64_t start = wise_positions;
    for (auto _ : state) {
        int32_t sum = 0;
        for (const FixedPosition &p : positions) {
            match.board = p.board;
            match.current_player = p.mover;
            sum += wise_move(level);
        }
        benchmark::DoNotOptimize(sum);
    }
    shipped_count[level] = (wise_positions - start) / (uint64_t)state.iterations();
    leaves_road = chosen;
    state.counters["positions"] = benchmark::Counter((double)shipped_count[level],
                                                     benchmark::Counter::kIsIterationInvariantRate);
}

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

// Whole matches from the board files in bench/, with the seed of the
// end-to-end tests' pinned clock (time 1000000000, pid 4242).
const char *const wise8_board = BENCH_DIR "/wise8.board";
const char *const huge_board = BENCH_DIR "/huge.board";
const uint32_t match_seed_pinned = 1000000000u * 4242u;

// The match flow of the program, in this process: its result line goes to
// standard output among the benchmark's own.
void match_in_process(benchmark::State &state, const char *first, const char *second,
                      const char *board, uint32_t seed)
{
    char *argv[] = {(char *)"okwari", (char *)first, (char *)second, (char *)board, nullptr};
    for (auto _ : state) {
        if (match_start(4, argv, seed) != MATCH_GOES_ON) {
            state.SkipWithError("the board file cannot be read");
            return;
        }
        match_play_round();
        match_between_rounds();
        match_play_round();
        benchmark::DoNotOptimize(match_result());
        fflush(stdout);
    }
}

// The wise robot's thinking time as a player meets it, at each level from
// 4 to 9 (`okwari_bench --levels`, make level-times): its opening move, and
// whole matches against hurry, from each of three boards of bench/. How
// long it thinks depends on the board and on who opens as much as on the
// level, hence more than one board and a match with either opener. With
// the pinned seed the first named player, the robot, opens the first
// round; seed_where_hurry_opens finds the first seed after it with which
// hurry does (the opener does not depend on the board).
const int first_timed_level = 4;
struct TimedBoard {
    const char *name, *path;
};
const TimedBoard timed_boards[] = {{"wise8", wise8_board},
                                   {"even", BENCH_DIR "/even.board"},
                                   {"uneven", BENCH_DIR "/uneven.board"}};
std::string timed_names[last_level + 1];

uint32_t seed_where_hurry_opens()
{
    char *argv[] = {(char *)"okwari", (char *)"wise", (char *)"hurry", (char *)wise8_board,
                    nullptr};
    uint32_t seed = match_seed_pinned;
    while (match_start(4, argv, seed) == MATCH_GOES_ON && match.first_opener != 1)
        seed++;
    return seed;
}

void level_opening(benchmark::State &state, const char *board)
{
    int32_t level = (int32_t)state.range(0);
    char *argv[] = {(char *)"okwari", (char *)timed_names[level].c_str(), (char *)"hurry",
                    (char *)board, nullptr};
    if (match_start(4, argv, match_seed_pinned) != MATCH_GOES_ON) {
        state.SkipWithError("the board file cannot be read");
        return;
    }
    if (match.current_player != 0) {
        state.SkipWithError("the pinned seed no longer lets the wise robot open");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(wise_move(level));
}

// The program itself on the same board and seed. The time is the child's.
std::string program_line;

void match_program(benchmark::State &state)
{
    for (auto _ : state) {
        rusage before, after;
        getrusage(RUSAGE_CHILDREN, &before);
        program_line = run_okwari({"wise8", "wise8", wise8_board}).out;
        getrusage(RUSAGE_CHILDREN, &after);
        state.SetIterationTime((double)(after.ru_utime.tv_sec - before.ru_utime.tv_sec) +
                               (double)(after.ru_utime.tv_usec - before.ru_utime.tv_usec) / 1e6 +
                               (double)(after.ru_stime.tv_sec - before.ru_stime.tv_sec) +
                               (double)(after.ru_stime.tv_usec - before.ru_stime.tv_usec) / 1e6);
    }
}

// The summary: medians over the repetitions of each benchmark's CPU time per
// iteration (the manual time of the program run).
std::map<std::string, std::vector<double>> seconds_per_iteration;

// A run that failed or was skipped: Google Benchmark 1.8 replaced the
// error_occurred flag (Debian 12 has 1.7) with the skipped state (Debian 13
// has 1.9).
template <typename Run> bool run_failed(const Run &run)
{
    if constexpr (requires { run.error_occurred; })
        return run.error_occurred;
    else
        return run.skipped != 0;
}

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run_failed(run))
                continue;
            double seconds = run.run_name.function_name.find("program") != std::string::npos
                                 ? run.real_accumulated_time
                                 : run.cpu_accumulated_time;
            std::string args = run.run_name.args.empty() ? "" : "/" + run.run_name.args;
            seconds_per_iteration[run.run_name.function_name + args].push_back(
                seconds / (double)run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

double median_seconds(const std::string &name)
{
    std::vector<double> v = seconds_per_iteration[name];
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void print_summary()
{
    const char *head =
        "\nwise_move over %zu fixed positions (medians), millions of positions a second\n"
        "level   positions   plain  scalar  vector  scalar/plain  vector/plain\n";
    for (int level = first_level; level <= last_level; level++) {
        uint64_t count = shipped_count[level];
        auto rate = [&](const char *name) {
            double seconds =
                median_seconds(std::string("wise_move/") + name + "/" + std::to_string(level));
            return seconds > 0 ? (double)count / seconds / 1e6 : 0.0;
        };
        if (count == 0)
            continue;
        printf(head, positions.size());
        head = "";
        double plain = rate("plain"), scalar = rate("scalar"), vector = rate("vector");
        printf("%5d  %10llu  %6.1f  %6.1f  %6.1f  %12.2f  %12.2f%s\n", level,
               (unsigned long long)count, plain, scalar, vector, plain > 0 ? scalar / plain : 0.0,
               plain > 0 ? vector / plain : 0.0,
               plain_count[level] != 0 && plain_count[level] != count ? "  (TREES DIFFER)" : "");
    }
    for (const char *name : {"board_move/small", "board_move/2e9"})
        if (median_seconds(name) > 0)
            printf("%s: %.1f ns a move\n", name, median_seconds(name) * 1e9);
    for (const char *name : {"match/wise8-wise8/in-process", "match/wise8-wise8/program",
                             "match/wise3-hurry-huge/in-process"})
        if (median_seconds(name) > 0)
            printf("%-34s %8.3f s\n", name, median_seconds(name));
    if (!program_line.empty())
        printf("the program's wise8 match: %s", program_line.c_str());

    const char *level_head =
        "\nthe wise robot against hurry, by level, in seconds, from the boards of bench/\n"
        "       its opening move          a match it opens          a match hurry opens\n"
        "level     wise8    even  uneven     wise8    even  uneven     wise8    even  uneven\n";
    for (int level = first_timed_level; level <= last_level; level++) {
        std::string of = "/" + std::to_string(level);
        if (median_seconds("level/opening/wise8" + of) == 0)
            continue;
        printf("%s%5d", level_head, level);
        level_head = "";
        for (const char *kind : {"opening/", "robot-opens/", "hurry-opens/"}) {
            printf("  ");
            for (const TimedBoard &board : timed_boards)
                printf("%8.2f", median_seconds(std::string("level/") + kind + board.name + of));
        }
        printf("\n");
    }

    const char *lead = "\nsignature:";
    for (int level = first_level; level <= last_level; level++) {
        if (shipped_count[level] != 0) {
            printf("%s %llu positions at level %d", lead, (unsigned long long)shipped_count[level],
                   level);
            lead = ",";
        }
    }
    if (lead[0] == ',')
        printf("\n");
}

// Registers the level table's runs: minutes at level 9, so they run only
// when asked for with --levels, and then alone.
void register_levels()
{
    for (int level = first_timed_level; level <= last_level; level++)
        timed_names[level] = "wise" + std::to_string(level);
    for (const TimedBoard &board : timed_boards)
        for (int level = first_timed_level; level <= last_level; level++)
            benchmark::RegisterBenchmark((std::string("level/opening/") + board.name).c_str(),
                                         level_opening, board.path)
                ->Arg(level)
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
    const struct {
        const char *name;
        uint32_t seed;
    } openers[] = {{"robot-opens/", match_seed_pinned}, {"hurry-opens/", seed_where_hurry_opens()}};
    for (const auto &opener : openers)
        for (const TimedBoard &board : timed_boards)
            for (int level = first_timed_level; level <= last_level; level++)
                benchmark::RegisterBenchmark(
                    (std::string("level/") + opener.name + board.name + "/" + std::to_string(level))
                        .c_str(),
                    match_in_process, timed_names[level].c_str(), "hurry", board.path, opener.seed)
                    ->Iterations(1)
                    ->Unit(benchmark::kMillisecond);
}

// Registers the benchmark's usual runs.
void register_bench()
{
    for (int level = first_level; level <= last_level; level++) {
        // Side by side, so that both see the machine in the same state.
        benchmark::RegisterBenchmark("wise_move/plain", wise_move_plain)
            ->Arg(level)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("wise_move/scalar", wise_move_shipped, LEAVES_SCALAR)
            ->Arg(level)
            ->Unit(benchmark::kMillisecond);
        if (vector_road)
            benchmark::RegisterBenchmark("wise_move/vector", wise_move_shipped, LEAVES_VECTOR)
                ->Arg(level)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("board_move/small", board_move_small);
    benchmark::RegisterBenchmark("board_move/2e9", board_move_2e9);
    benchmark::RegisterBenchmark("match/wise8-wise8/in-process", match_in_process, "wise8", "wise8",
                                 wise8_board, match_seed_pinned)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("match/wise8-wise8/program", match_program)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("match/wise3-hurry-huge/in-process", match_in_process, "wise3",
                                 "hurry", huge_board, match_seed_pinned)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::string(argv[1]) == "--levels") {
        argv[1] = argv[0];
        argc--, argv++;
        register_levels();
    } else {
        register_bench();
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    print_summary();
    benchmark::Shutdown();
    return 0;
}
