// The board file: twelve starting pits, read from or written to a file.
#pragma once

#include <cstdio>

// Next token of `stream`: white space separates tokens, '#' where a token
// would begin starts a comment to the end of the line, and a token may be
// quoted with ', ` or ". Returns a view of a static 256-byte buffer that the
// next call overwrites, or nullptr when the stream ends before a token.
const char *read_token(FILE *stream);

// Reads the twelve starting pits from `path` into match.board and
// match.start_board, or, when `path` cannot be read, writes the random board
// held there into a new file of that name. Returns 0 to go on, 8 for a bad
// token (message printed), 9 when the file can neither be read nor written.
int board_file_setup(const char *path);
