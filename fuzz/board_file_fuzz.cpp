// Fuzz target for the board file: the input bytes are the whole file.
//
// read_token is run over the bytes through a memory stream and each token,
// and the stream position after it, is compared with a tokenizer written
// here over the byte array. Whatever the bytes, no token is longer than 255
// characters, a token never holds white space unless it was quoted, and the
// end of the bytes is reported as no token, again and again.
//
// board_file_setup then reads the same bytes as a file (a memory file named
// through /proc/self/fd). It must return 0 or 8 (the file is readable, so
// never 9, and it must never write the file). On 0 both boards hold the
// twelve values of the first twelve tokens, every one at least 1 and all
// together at most 2147483647, and the stores are untouched. On 8 a message
// was written on standard error; for a bad number it is the invalid-token
// line, and the pits before the bad token hold their values.
#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "match/board_file.h"
#include "match/match.h"

namespace {

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(real_stderr, "board_file_fuzz: check failed at line %d: %s\n", __LINE__,       \
                    #cond);                                                                        \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)

FILE *real_stderr;
int memfd = -1;
char memfd_path[64];
char err_buf[4096]; // standard error of board_file_setup lands here
FILE *err_stream;

bool is_white(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_quote(uint8_t c)
{
    return c == '\'' || c == '`' || c == '"';
}

// One token of the file as the board file defines it: `text` holds its
// characters (NUL bytes included), `end` is the offset just after the last
// byte read for it, `quoted` tells whether it began with a quote.
struct RefToken {
    bool found;
    std::string text;
    size_t end;
    bool quoted;
};

RefToken reference_token(const uint8_t *data, size_t size, size_t at)
{
    RefToken t = {false, "", at, false};
    size_t i = at;
    for (;;) {
        while (i < size && is_white(data[i]))
            i++;
        if (i == size) {
            t.end = i;
            return t;
        }
        if (data[i] != '#')
            break;
        while (i < size && data[i] != '\n')
            i++;
        if (i < size)
            i++; // the newline ends the comment and goes with it
    }
    t.found = true;
    if (is_quote(data[i])) {
        t.quoted = true;
        uint8_t quote = data[i++];
        while (i < size && data[i] != quote && t.text.size() < 255)
            t.text += (char)data[i++];
        if (i < size && data[i] == quote && t.text.size() < 255)
            i++;
    } else {
        while (i < size && !is_white(data[i]) && t.text.size() < 255)
            t.text += (char)data[i++];
        if (i < size && is_white(data[i]) && t.text.size() < 255)
            i++;
    }
    t.end = i;
    return t;
}

// The conversion of a token's text: strtol in base 10 up to the first NUL,
// held to the signed 32-bit range.
int64_t reference_value(const std::string &text)
{
    long v = strtol(text.c_str(), nullptr, 10);
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return v;
}

int32_t &pit_of(Board &b, int index)
{
    return b.sides[index / 6].pits[index % 6];
}

void check_tokens(const uint8_t *data, size_t size)
{
    static uint8_t empty; // fmemopen wants a buffer even for no bytes
    FILE *stream = fmemopen(size > 0 ? (void *)data : &empty, size, "r");
    CHECK(stream != nullptr);
    size_t at = 0;

    for (size_t n = 0;; n++) {
        CHECK(n <= size);
        const char *token = read_token(stream);
        RefToken ref = reference_token(data, size, at);
        CHECK((token != nullptr) == ref.found);
        CHECK((size_t)ftell(stream) == ref.end);
        if (token == nullptr) {
            CHECK(read_token(stream) == nullptr);
            break;
        }
        size_t len = strlen(token);
        CHECK(len <= 255);
        CHECK(ref.text.size() <= 255);
        // The caller sees the token up to its first NUL byte.
        CHECK(len == strlen(ref.text.c_str()));
        CHECK(memcmp(token, ref.text.data(), len) == 0);
        if (!ref.quoted) {
            CHECK(len == 0 || token[0] != '#');
            for (size_t k = 0; k < len; k++)
                CHECK(!isspace((unsigned char)token[k]));
        }
        // A token takes at least its first byte, so the loop ends.
        CHECK(ref.end > at);
        at = ref.end;
    }
    fclose(stream);
}

void check_setup(const uint8_t *data, size_t size)
{
    CHECK(ftruncate(memfd, 0) == 0);
    CHECK(pwrite(memfd, data, size, 0) == (ssize_t)size);

    // Marks in every count show what board_file_setup wrote and what it left.
    const int32_t mark = -77;
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++) {
            match.board.sides[s].pits[i] = mark;
            match.start_board.sides[s].pits[i] = mark - 1;
        }
        match.board.sides[s].store = 1000 + s;
        match.start_board.sides[s].store = 2000 + s;
    }

    rewind(err_stream);
    int status = board_file_setup(memfd_path);
    fflush(err_stream);
    long err_len = ftell(err_stream);
    CHECK(err_len >= 0 && (size_t)err_len < sizeof err_buf);
    std::string err(err_buf, (size_t)err_len);

    // The file was readable, so 9 (and writing the random board over it,
    // which would leave the marks below in place) must not happen.
    CHECK(status == 0 || status == 8);

    // What the reading should give: up to twelve values, the first bad one
    // ending it.
    int good = 0;
    int64_t total = 0;
    bool short_file = false;
    std::string bad_text;
    size_t at = 0;
    for (; good < 12; good++) {
        RefToken ref = reference_token(data, size, at);
        if (!ref.found) {
            short_file = true;
            break;
        }
        at = ref.end;
        int64_t v = reference_value(ref.text);
        if (v < 1) {
            bad_text = ref.text.c_str();
            break;
        }
        total += v;
        int32_t expect = (int32_t)v;
        CHECK(pit_of(match.board, good) == expect);
        CHECK(pit_of(match.start_board, good) == expect);
    }
    for (int i = good; i < 12; i++) {
        CHECK(pit_of(match.board, i) == mark);
        CHECK(pit_of(match.start_board, i) == mark - 1);
    }
    for (int s = 0; s < 2; s++) {
        CHECK(match.board.sides[s].store == 1000 + s);
        CHECK(match.start_board.sides[s].store == 2000 + s);
    }

    bool ok = good == 12 && total <= INT32_MAX;
    CHECK((status == 0) == ok);
    if (status == 0) {
        CHECK(err.empty());
        int64_t sum = 0;
        for (int i = 0; i < 12; i++) {
            CHECK(pit_of(match.board, i) >= 1);
            sum += pit_of(match.board, i);
        }
        CHECK(sum <= INT32_MAX);
    } else {
        CHECK(!err.empty() && err.back() == '\n');
        if (!short_file && good < 12)
            CHECK(err == "invalid token '" + bad_text + "' in " + memfd_path + "\n");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    real_stderr = stderr;
    memfd = memfd_create("board_file_fuzz", 0);
    if (memfd < 0) {
        perror("memfd_create");
        abort();
    }
    snprintf(memfd_path, sizeof memfd_path, "/proc/self/fd/%d", memfd);
    err_stream = fmemopen(err_buf, sizeof err_buf, "w");
    if (err_stream == nullptr) {
        perror("fmemopen");
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check_tokens(data, size);
    // The program's messages go to the memory buffer, the fuzzer's own
    // reports still to the real standard error.
    stderr = err_stream;
    check_setup(data, size);
    stderr = real_stderr;
    return 0;
}
