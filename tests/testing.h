// Test helpers: standard error caught, globals put back, positions to search, the program run.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "rules/board.h"

// The whole of a temporary file, which is then closed.
inline std::string read_back(FILE *file)
{
    std::string bytes;
    rewind(file);
    for (int c; (c = fgetc(file)) != EOF;)
        bytes.push_back((char)c);
    fclose(file);
    return bytes;
}

template <typename F> std::string capture(F body)
{
    FILE *file = tmpfile();
    fflush(stderr);
    int saved = dup(2);
    dup2(fileno(file), 2);
    body();
    fflush(stderr);
    dup2(saved, 2), close(saved);
    return read_back(file);
}

template <typename... T> struct Restore {
    std::tuple<T &...> globals;
    std::tuple<T...> saved{globals};
    explicit Restore(T &...g) : globals(g...)
    {}
    ~Restore()
    {
        globals = saved;
    }
};

// The benchmark's fixed positions, also searched by the tests: random playouts, the same anywhere.
struct FixedPosition {
    Board board;
    int mover;
};

inline std::vector<FixedPosition> fixed_positions(uint32_t seed = 20261206, size_t count = 24)
{
    std::mt19937 rng(seed);
    std::vector<FixedPosition> set;
    while (set.size() < count) {
        FixedPosition p{};
        for (int k = 0; k < 12; k++)
            p.board.sides[k / 6].pits[k % 6] = (int32_t)(rng() % 6 + 1);
        p.mover = (int)(rng() % 2);
        for (int k = 8 + (int)(set.size() % 16); k > 0 && !board_round_over(p.board); k--) {
            int legal[6], n = 0;
            for (int i = 0; i < 6; i++)
                if (p.board.sides[p.mover].pits[i] != 0)
                    legal[n++] = i;
            if (!board_move(p.board, p.mover, legal[rng() % n]))
                p.mover = 1 - p.mover;
        }
        if (!board_round_over(p.board)) // a playout that ended its round is drawn again
            set.push_back(p);
    }
    return set;
}

#ifdef OKWARI_BIN
#ifndef PRELOAD
#define PRELOAD "LD_PRELOAD="
#endif
struct Outcome {
    std::string out, err;
    int status;  // exit status, or 128 + signal
    long writes; // write calls made
};

// The program run with the clock pinned by tests/fakeclock.c (set in `env`), an alarm at 60 s.
inline Outcome run_okwari(const std::vector<std::string> &args, const std::string &input = "",
                          std::vector<std::string> env = {}, std::string argv0 = OKWARI_BIN)
{
    FILE *in = tmpfile(), *out = tmpfile(), *err = tmpfile(), *count = tmpfile();
    fwrite(input.data(), 1, input.size(), in), rewind(in);
    // Built for another processor, OKWARI_BIN is a launcher of the program under an emulator, which
    // takes the preload (PRELOAD is then its variable) and argv[0] for the program from these.
    env.insert(env.end(), {PRELOAD FAKECLOCK_LIB, "QEMU_ARGV0=" + argv0,
                           "ASAN_OPTIONS=verify_asan_link_order=0", "FAKECLOCK_WRITES_FD=3"});
    std::vector<char *> argv{argv0.data()}, envp;
    for (const std::string &a : args)
        argv.push_back((char *)a.c_str());
    for (std::string &e : env)
        envp.push_back(e.data());
    argv.push_back(nullptr), envp.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(in), 0), dup2(fileno(out), 1), dup2(fileno(err), 2), dup2(fileno(count), 3);
        alarm(60);
        _exit(execve(OKWARI_BIN, argv.data(), envp.data()));
    }
    int status = 0;
    waitpid(pid, &status, 0), fclose(in);
    long writes = std::stol("0" + read_back(count)); // 0: not counted, or no exit
    return {read_back(out), read_back(err),
            WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), writes};
}
#endif
