// Runs the built program as a user would: arguments, standard input from a
// string, the clock pinned by the preload library; collects everything.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct Outcome {
    std::string out; // standard output
    std::string err; // standard error
    int status;      // exit status, or 128 + signal
};

struct RunOptions {
    std::string input;                                    // standard input
    std::vector<std::pair<std::string, std::string>> env; // extra variables
    bool fake_clock = true;                               // preload the clock
    std::string argv0 = OKWARI_BIN;                       // program path given
    int err_fd = -1;                                      // not -1: stderr goes here, uncollected
};

Outcome run_okwari(const std::vector<std::string> &args, const RunOptions &opt = {});

// Reads a whole file; "" when it cannot be read.
std::string read_file(const std::string &path);
