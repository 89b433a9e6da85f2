// Shared by the players' tests: set the live board and feed standard input.
#pragma once

#include <cstdio>
#include <string>
#include <unistd.h>

#include "match/match.h"

// Sets match.board from side 0's six pits then side 1's six pits.
inline void set_pits(const int (&pits)[12])
{
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++)
            match.board.sides[s].pits[i] = pits[s * 6 + i];
        match.board.sides[s].store = 0;
    }
}

// Makes `text` the whole of standard input from here on.
inline void feed_stdin(const std::string &text)
{
    FILE *f = tmpfile();
    fwrite(text.data(), 1, text.size(), f);
    fflush(f);
    rewind(f);
    dup2(fileno(f), 0);
    fclose(f);
    clearerr(stdin);
    fseek(stdin, 0, SEEK_SET);
}

// Runs `body` with standard error captured; returns what it wrote.
template <typename F> std::string capture_stderr(F body)
{
    fflush(stderr);
    int saved = dup(2);
    FILE *tmp = tmpfile();
    dup2(fileno(tmp), 2);
    body();
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    rewind(tmp);
    int c;
    while ((c = fgetc(tmp)) != EOF)
        text += (char)c;
    fclose(tmp);
    return text;
}
