// Unit-test helpers: catch what the code under test writes to standard
// error, and give it a standard input of our choosing.
#pragma once

#include <cstdio>
#include <string>
#include <unistd.h>

inline int stderr_saved_fd = -1;
inline FILE *stderr_capture_file = nullptr;

// Sends file descriptor 2 into a temporary file until capture_stderr_end.
inline void capture_stderr_begin()
{
    fflush(stderr);
    stderr_saved_fd = dup(2);
    stderr_capture_file = tmpfile();
    dup2(fileno(stderr_capture_file), 2);
}

// Restores standard error and returns every byte written since the begin.
inline std::string capture_stderr_end()
{
    fflush(stderr);
    dup2(stderr_saved_fd, 2);
    close(stderr_saved_fd);
    std::string bytes;
    rewind(stderr_capture_file);
    int ch;
    while ((ch = fgetc(stderr_capture_file)) != EOF)
        bytes.push_back((char)ch);
    fclose(stderr_capture_file);
    return bytes;
}

// Runs `body` with standard error caught; returns what it wrote.
template <typename F> std::string capture_stderr(F body)
{
    capture_stderr_begin();
    body();
    return capture_stderr_end();
}

// Makes `text` the whole of standard input from here on.
inline void feed_stdin(const std::string &text)
{
    FILE *f = tmpfile();
    fwrite(text.data(), 1, text.size(), f);
    fflush(f);
    dup2(fileno(f), 0);
    fclose(f);
    clearerr(stdin);
    fseek(stdin, 0, SEEK_SET);
}
