// Growable NUL-terminated text buffers with counted memory.
#pragma once

#include <cstdint>

struct StrBuf {
    char *text;        // block of `capacity` bytes, NUL at index `length`
    uint32_t length;   // characters before the NUL
    uint32_t capacity; // size of the block; always greater than `length`
};

extern uint32_t sb_block; // capacities are rounded to multiples of this

// Every operation that grows a buffer ends the program (message on stderr,
// status 1) when the capacity it needs would not fit in 32 bits, as the
// allocator does when memory runs out. A source must not lie inside the
// buffer it is copied into.

uint32_t sb_block_shift(uint8_t shift);
StrBuf *sb_new(const char *source, uint32_t n);
StrBuf *sb_create(const char *source, uint32_t len, uint32_t cap);
char *sb_reserve(StrBuf *buffer, uint32_t need);
void *sb_realloc(void *old, uint32_t old_size, uint32_t new_size);
char *sb_append_n(StrBuf *buffer, const char *source, uint32_t n);
char *sb_insert_n(StrBuf *buffer, int32_t position, const char *source, int32_t n);
char *sb_insert(StrBuf *buffer, int32_t position, const char *source);
char *sb_set_n(StrBuf *buffer, const char *source, int32_t n);
char *sb_set(StrBuf *buffer, const char *source);
