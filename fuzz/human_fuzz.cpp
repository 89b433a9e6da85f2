// Fuzz target for the human prompt: human_move on arbitrary standard input.
//
// The first byte picks the mover and whether the terminal layer is on, the
// next twelve the pits (about a third of them empty; the mover always has a
// seed somewhere, as the match loop guarantees), and the rest is the whole
// of standard input. human_move must either return a non-empty pit 0..5 of
// the mover or end the program with status 0 at end of input, and its
// choice and the bytes it used must agree with a plain reading of the input:
// the first digit 0 to 5 of a line decides, the rest of that line goes with
// it, and a digit naming an empty pit is passed over.
//
// It must also never read standard input again once it has seen its end
// (a terminal would then wait), and it must have written the whole prompt
// before the first read.
//
// This file is linked with -Wl,--wrap=exit,--wrap=fgetc: the program's
// exit() comes back here through a longjmp while human_move runs, and every
// fgetc on standard input is counted. The program itself is unchanged.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "match/match.h"
#include "players/human.h"
#include "term/term.h"

extern "C" {
[[noreturn]] void __real_exit(int status);
[[noreturn]] void __wrap_exit(int status);
int __real_fgetc(FILE *stream);
int __wrap_fgetc(FILE *stream);
}

namespace {

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(real_stderr, "human_fuzz: check failed at line %d: %s\n", __LINE__, #cond);    \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)

FILE *real_stderr;
FILE *real_stdin;
char err_buf[1024]; // standard error of human_move lands here
FILE *err_stream;
const char mover_name[] = "kim";
const char prompt[] = "kim: your move? ";

// Set while human_move runs.
bool armed;
jmp_buf back;
int exit_status;
bool saw_eof;     // an fgetc on standard input has returned EOF
size_t reads;     // fgetc calls on standard input
bool prompt_seen; // the prompt was complete at the first read

} // namespace

extern "C" void __wrap_exit(int status)
{
    if (!armed)
        __real_exit(status);
    armed = false;
    exit_status = status;
    longjmp(back, 1);
}

extern "C" int __wrap_fgetc(FILE *stream)
{
    if (!armed || stream != stdin)
        return __real_fgetc(stream);
    // Reading again after the end would wait for a terminal that has none.
    CHECK(!saw_eof);
    if (reads++ == 0) {
        fflush(err_stream);
        long len = ftell(err_stream);
        CHECK(len >= 0);
        std::string err(err_buf, (size_t)len);
        prompt_seen = err.find(prompt) != std::string::npos;
    }
    int c = __real_fgetc(stream);
    if (c == EOF)
        saw_eof = true;
    return c;
}

namespace {

// What a person reading the rules expects: the pit chosen (-1 when the input
// ends first) and how many bytes are used up by then.
struct Expect {
    int pit;
    size_t used;
};

Expect reference_choice(const uint8_t *in, size_t n, const Side &mine)
{
    size_t i = 0;
    while (i < n) {
        uint8_t c = in[i++];
        if (c < '0' || c > '5')
            continue;
        int pit = c - '0';
        while (i < n && in[i++] != '\n') {
        }
        if (mine.pits[pit] != 0)
            return {pit, i};
    }
    return {-1, n};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    real_stderr = stderr;
    real_stdin = stdin;
    err_stream = fmemopen(err_buf, sizeof err_buf, "w");
    if (err_stream == nullptr) {
        perror("fmemopen");
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 13)
        return 0;
    int me = data[0] & 1;
    term_enabled = (data[0] >> 1) & 1;
    term_attr = 7;
    for (int i = 0; i < 12; i++)
        match.board.sides[i / 6].pits[i % 6] = data[1 + i] % 3;
    Side &mine = match.board.sides[me];
    bool any = false;
    for (int i = 0; i < 6; i++)
        any = any || mine.pits[i] != 0;
    if (!any)
        mine.pits[(data[0] >> 2) % 6] = 1;
    match.current_player = me;
    match.names[me] = mover_name;
    match.names[1 - me] = "other";
    const Board before = match.board;

    const uint8_t *in = data + 13;
    size_t n = size - 13;
    static uint8_t empty; // fmemopen wants a buffer even for no bytes
    FILE *input = fmemopen(n > 0 ? (void *)in : &empty, n, "r");
    CHECK(input != nullptr);
    stdin = input;
    stderr = err_stream;
    rewind(err_stream);

    saw_eof = false;
    reads = 0;
    prompt_seen = false;
    exit_status = -1;
    volatile int pit = -1;
    armed = true;
    if (setjmp(back) == 0) {
        pit = human_move();
        armed = false;
    }

    stderr = real_stderr;
    stdin = real_stdin;
    long used = ftell(input);
    bool at_end = feof(input);
    fclose(input);

    Expect expect = reference_choice(in, n, before.sides[me]);
    CHECK(reads >= 1 && prompt_seen);
    CHECK(used >= 0 && (size_t)used <= n);
    CHECK((size_t)used == expect.used);
    CHECK(memcmp(&match.board, &before, sizeof before) == 0);
    if (pit == -1) {
        // Ended as at end of input: status 0, and only after seeing the end.
        CHECK(exit_status == 0);
        CHECK(saw_eof && at_end);
        CHECK(expect.pit == -1);
    } else {
        CHECK(exit_status == -1);
        CHECK(pit >= 0 && pit <= 5);
        CHECK(before.sides[me].pits[pit] != 0);
        CHECK(pit == expect.pit);
    }

    // The prompt alone when the terminal layer is off; with it on, the
    // colour and cursor sequences come first and the line is cleared after.
    fflush(err_stream);
    long len = ftell(err_stream);
    CHECK(len >= 0);
    std::string err(err_buf, (size_t)len);
    if (term_enabled == 0)
        CHECK(err == prompt);
    else
        CHECK(err.size() > strlen(prompt) && err.find(prompt) != std::string::npos &&
              err.compare(err.size() - 3, 3, "\033[K") == 0);
    return 0;
}
