// Runs the built program as a user would: arguments, standard input, and the
// clock pinned by tests/fakeclock.c, with its variables in `env`.
#pragma once

#include <sys/wait.h>
#include <vector>

#include "capture.h"

struct Outcome {
    std::string out, err; // standard output and standard error
    int status;           // exit status, or 128 + signal
    long writes;          // write calls made
};

inline Outcome run_okwari(const std::vector<std::string> &args, const std::string &input = "",
                          const std::vector<std::string> &env = {}, std::string argv0 = OKWARI_BIN)
{
    FILE *in = tmpfile(), *out = tmpfile(), *err = tmpfile();
    fwrite(input.data(), 1, input.size(), in);
    fflush(in);
    std::vector<char *> argv{argv0.data()};
    for (const std::string &a : args)
        argv.push_back((char *)a.c_str());
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        lseek(fileno(in), 0, SEEK_SET);
        dup2(fileno(in), 0), dup2(fileno(out), 1), dup2(fileno(err), 2);
        setenv("LD_PRELOAD", FAKECLOCK_LIB, 1);
        setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 0);
        for (const std::string &e : env)
            putenv((char *)e.c_str());
        execv(OKWARI_BIN, argv.data());
        _exit(127);
    }
    siginfo_t child; // the counts of an exited child stay readable until it is reaped
    waitid(P_PID, pid, &child, WEXITED | WNOWAIT);
    long writes = -1;
    FILE *io = fopen(("/proc/" + std::to_string(pid) + "/io").c_str(), "r");
    (void)!fscanf(io, "rchar: %*d wchar: %*d syscr: %*d syscw: %ld", &writes);
    fclose(io), fclose(in), waitpid(pid, nullptr, 0);
    return {read_back(out), read_back(err),
            child.si_code == CLD_EXITED ? child.si_status : 128 + child.si_status, writes};
}
