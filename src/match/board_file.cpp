// The board file: the tokenizer and the start-up step that reads the twelve
// starting pits from a file, or writes the random board into a new one.
#include "match/board_file.h"

#include <cctype>
#include <cerrno>
#include <cstdint>

#include "match/match.h"
#include "support/number.h"

static const int board_file_pits = 12;
static const int token_max = 255; // characters in one token, without the zero

static bool is_quote(int c)
{
    return c == '\'' || c == '`' || c == '"';
}

// fgetc gives unsigned byte values, so bytes 128-255 never reach isspace as
// negative numbers; in the "C" locale they are all token characters.
static bool is_blank(int c)
{
    return c != EOF && isspace((unsigned char)c);
}

static int32_t &file_pit(Board &board, int index)
{
    return board.sides[index / 6].pits[index % 6];
}

// "<what> '<path>': " and the system's reason for the call that just failed,
// on standard error. Returns 9, the exit status of a file that can be
// neither read nor written.
static int system_error(const char *what, const char *path)
{
    int cause = errno; // fprintf may change it before perror reads it
    fprintf(stderr, "%s '%s': ", what, path);
    errno = cause;
    perror("");
    return 9;
}

// Reads the twelve pits from the open `file` into both boards. Returns the
// exit status; the caller closes the file.
static int read_board(FILE *file, const char *path)
{
    int64_t total = 0; // twelve counts of at most 2^31 - 1 cannot overflow 64 bits
    for (int i = 0; i < board_file_pits; i++) {
        const char *token = read_token(file);
        if (token == nullptr) {
            // A read error (the path names a directory, say) is not a short
            // file: report the system's reason like the failed write below.
            if (ferror(file))
                return system_error("can't read", path);
            // A file that ends early is refused like a bad token: the match
            // must not start from a board that is half random, half read.
            fprintf(stderr, "missing token in %s: it ends after %d of the 12 pits\n", path, i);
            return 8;
        }
        int32_t value = number_read(token);
        if (value < 1) {
            fprintf(stderr, "invalid token '%s' in %s\n", token, path);
            return 8;
        }
        file_pit(match.board, i) = value;
        file_pit(match.start_board, i) = value;
        total += value;
    }
    // Counts are 32-bit and a store may end up holding every seed of the
    // board, so a board of more than 2147483647 seeds is refused rather than
    // played with counts that would overflow.
    if (total > INT32_MAX) {
        fprintf(stderr, "too many seeds in %s: %lld in all, at most 2147483647\n", path,
                (long long)total);
        return 8;
    }
    return 0;
}

const char *read_token(FILE *stream)
{
    static char token[token_max + 1];
    int c;
    for (;;) {
        c = fgetc(stream);
        if (c == EOF)
            return nullptr;
        if (is_blank(c))
            continue;
        if (c != '#')
            break;
        while (c != '\n' && c != EOF)
            c = fgetc(stream);
    }

    int length = 0;
    if (is_quote(c)) {
        int quote = c;
        // A token cut at 255 characters leaves its closing quote unread.
        while (length < token_max) {
            c = fgetc(stream);
            if (c == EOF || c == quote)
                break;
            token[length++] = (char)c;
        }
    } else {
        token[length++] = (char)c;
        while (length < token_max) {
            c = fgetc(stream);
            if (c == EOF || is_blank(c))
                break;
            token[length++] = (char)c;
        }
    }
    token[length] = '\0';
    return token;
}

int board_file_setup(const char *path)
{
    FILE *file = fopen(path, "r");
    if (file != nullptr) {
        int status = read_board(file, path);
        fclose(file);
        return status;
    }

    file = fopen(path, "w");
    if (file == nullptr)
        return system_error("can't write", path);
    for (int i = 0; i < board_file_pits; i++)
        fprintf(file, "%d ", file_pit(match.board, i));
    fclose(file);
    return 0;
}
