#include "e2e.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

std::string read_file(const std::string &path)
{
    std::string text;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, n);
    fclose(f);
    return text;
}

static int temp_file(const std::string &content)
{
    FILE *f = tmpfile();
    fwrite(content.data(), 1, content.size(), f);
    fflush(f);
    int fd = dup(fileno(f));
    fclose(f);
    lseek(fd, 0, SEEK_SET);
    return fd;
}

static std::string slurp(int fd)
{
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char chunk[4096];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0)
        text.append(chunk, (size_t)n);
    close(fd);
    return text;
}

Outcome run_okwari(const std::vector<std::string> &args, const RunOptions &opt)
{
    int in = temp_file(opt.input);
    int out = temp_file("");
    int err = temp_file("");
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in, 0);
        dup2(out, 1);
        dup2(opt.err_fd != -1 ? opt.err_fd : err, 2);
        if (opt.fake_clock) {
            setenv("LD_PRELOAD", FAKECLOCK_LIB, 1);
            // Under the sanitizers the runtime is loaded after the preload
            // library; that order is harmless here.
            setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 0);
        }
        for (const auto &[name, value] : opt.env)
            setenv(name.c_str(), value.c_str(), 1);
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(opt.argv0.c_str()));
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(OKWARI_BIN, argv.data());
        _exit(127);
    }
    close(in);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    Outcome r;
    r.out = slurp(out);
    r.err = slurp(err);
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    return r;
}
