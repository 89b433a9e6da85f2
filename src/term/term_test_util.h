// Test helpers shared by the terminal layer and board screen tests: capture
// what the code under test writes to standard error.
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
