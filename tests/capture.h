// Test helpers: what code writes, caught; standard input, given; the globals
// a test touches, put back when it ends.
#pragma once

#include <cstdio>
#include <stdio_ext.h>
#include <string>
#include <unistd.h>

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

// What `body` writes to file descriptor `fd`.
template <typename F> std::string capture(F body, int fd = 2)
{
    FILE *file = tmpfile();
    fflush(nullptr);
    int saved = dup(fd);
    dup2(fileno(file), fd);
    body();
    fflush(nullptr);
    dup2(saved, fd);
    close(saved);
    return read_back(file);
}

// Makes `text` the whole of standard input, dropping what the stream held.
inline void feed_stdin(const std::string &text)
{
    FILE *file = tmpfile();
    fwrite(text.data(), 1, text.size(), file);
    fflush(file);
    dup2(fileno(file), 0);
    fclose(file);
    lseek(0, 0, SEEK_SET);
    __fpurge(stdin);
    clearerr(stdin);
}

template <typename T> struct Restore {
    T &global;
    T saved;
    explicit Restore(T &g) : global(g), saved(g)
    {}
    ~Restore()
    {
        global = saved;
    }
};
