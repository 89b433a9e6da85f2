// Growable NUL-terminated text buffers with counted memory.
//
// Every operation that grows a buffer ends the program (message on standard
// error, status 1) when memory runs out or the capacity it needs would not
// fit in 32 bits. A buffer's text moves when it grows: callers take it from
// each result. A source must not lie inside the buffer it is copied into.
#pragma once

#include <cstdint>

struct StrBuf {
    char *text;        // block of `capacity` bytes, NUL at index `length`
    uint32_t length;   // characters before the NUL
    uint32_t capacity; // size of the block; always greater than `length`
};

// Capacities grow to the smallest multiple of this that is greater than the
// length: 64 at start, always a power of two.
extern uint32_t sb_block;

// Makes the block size 2 to the power `shift`; a shift above 31 changes
// nothing. Returns the block size before the call.
uint32_t sb_block_shift(uint8_t shift);

// With a source: a buffer of its first n bytes, capacity exactly n + 1.
// Without: an empty buffer of capacity n, or of sb_block when n is 0.
StrBuf *sb_new(const char *source, uint32_t n);

// A buffer of len bytes of the source (empty without one) and capacity cap,
// or the rounded capacity when len is not below cap.
StrBuf *sb_create(const char *source, uint32_t len, uint32_t cap);

// Grows the buffer to hold `need` characters and the NUL, rounding up to the
// block size; a capacity already larger stays. Returns the text.
char *sb_reserve(StrBuf *buffer, uint32_t need);

// A new block of new_size bytes holding the old block's first bytes; the old
// one (may be null) is given back with old_size. Returns the new block.
void *sb_realloc(void *old, uint32_t old_size, uint32_t new_size);

// Adds n bytes of the source at the end; nothing for a null source or n 0.
// Returns the text.
char *sb_append_n(StrBuf *buffer, const char *source, uint32_t n);

// Inserts n bytes of the source (n negative: the whole source) at
// `position` (negative: counted from the end, at least 0); a null source
// inserts n blanks, at the end too. Beyond the end, nothing. Returns the text.
char *sb_insert_n(StrBuf *buffer, int32_t position, const char *source, int32_t n);

// sb_insert_n of the whole NUL-terminated source; nothing for a null one.
char *sb_insert(StrBuf *buffer, int32_t position, const char *source);

// Replaces the text with n bytes of the source (n negative: the whole
// source); a null source or n 0 leaves it empty. The capacity never shrinks.
// Returns the text.
char *sb_set_n(StrBuf *buffer, const char *source, int32_t n);

// sb_set_n of the whole NUL-terminated source; empty for a null one.
char *sb_set(StrBuf *buffer, const char *source);
