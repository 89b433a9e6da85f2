// Growable NUL-terminated text buffers whose memory is counted.
#include "support/strbuf.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/mem.h"

uint32_t sb_block = 64;

static const uint32_t RECORD_SIZE = sizeof(StrBuf);

// Lengths and capacities are 32-bit. A buffer that would need more ends the
// program the way an exhausted allocator does (message on stderr, status 1),
// rather than wrapping to a small capacity and writing past its block.
static void sb_too_large(uint64_t bytes)
{
    fprintf(stderr,
            "FATAL: text buffer of %llu bytes is over the 4294967295-byte limit! total=%u\n",
            (unsigned long long)bytes, mem_total);
    exit(1);
}

// The smallest multiple of the block size strictly greater than n, so that
// n characters and the NUL fit.
static uint32_t sb_round(uint64_t n)
{
    uint64_t capacity = (n / sb_block + 1) * sb_block;
    if (capacity > UINT32_MAX)
        sb_too_large(capacity);
    return (uint32_t)capacity;
}

// sb_reserve for a need that may already lie beyond 32 bits (a length plus
// what is added to it).
static void sb_reserve_wide(StrBuf *buffer, uint64_t need)
{
    if (buffer->capacity > need)
        return;
    uint32_t capacity = sb_round(need);
    buffer->text = (char *)sb_realloc(buffer->text, buffer->capacity, capacity);
    buffer->capacity = capacity;
}

uint32_t sb_block_shift(uint8_t shift)
{
    uint32_t before = sb_block;
    if (shift <= 31)
        sb_block = UINT32_C(1) << shift;
    return before;
}

StrBuf *sb_new(const char *source, uint32_t n)
{
    if (source != nullptr)
        return sb_create(source, n, n + 1);
    return sb_create(nullptr, 0, n);
}

StrBuf *sb_create(const char *source, uint32_t len, uint32_t cap)
{
    StrBuf *buffer = (StrBuf *)mem_alloc(RECORD_SIZE);
    buffer->length = source != nullptr ? len : 0;
    // The len argument decides even without a source: an exact capacity is
    // kept only when it is larger.
    buffer->capacity = len < cap ? cap : sb_round(buffer->length);
    buffer->text = (char *)mem_alloc(buffer->capacity);
    if (source != nullptr)
        memcpy(buffer->text, source, len);
    buffer->text[buffer->length] = '\0';
    return buffer;
}

char *sb_reserve(StrBuf *buffer, uint32_t need)
{
    sb_reserve_wide(buffer, need);
    return buffer->text;
}

void *sb_realloc(void *old, uint32_t old_size, uint32_t new_size)
{
    void *block = mem_alloc(new_size);
    if (old == nullptr)
        return block;
    memcpy(block, old, std::min(old_size, new_size));
    mem_free(old, old_size);
    return block;
}

// Appends n bytes; n may be a whole strlen, wider than 32 bits.
static char *sb_append_wide(StrBuf *buffer, const char *source, uint64_t n)
{
    if (source == nullptr) // n 0 changes nothing either, below
        return buffer->text;
    uint64_t length = buffer->length + n;
    sb_reserve_wide(buffer, length);
    memcpy(buffer->text + buffer->length, source, n);
    buffer->length = (uint32_t)length;
    buffer->text[length] = '\0';
    return buffer->text;
}

char *sb_append_n(StrBuf *buffer, const char *source, uint32_t n)
{
    return sb_append_wide(buffer, source, n);
}

// Inserting without a source writes n spaces, and it does so at the end too
// (position equal to the length), so that padding works the same at every
// position; only a source is appended through sb_append_n.
static char *sb_insert_wide(StrBuf *buffer, int32_t position, const char *source, uint64_t n)
{
    if (n == 0)
        return buffer->text;
    // A negative position counts from the end, and from no further than the start.
    int64_t at = position < 0 ? std::max<int64_t>(position + (int64_t)buffer->length, 0) : position;
    if (at > buffer->length)
        return buffer->text;
    if (at == buffer->length && source != nullptr)
        return sb_append_wide(buffer, source, n);
    uint32_t former = buffer->length;
    uint64_t length = former + n;
    sb_reserve_wide(buffer, length);
    buffer->length = (uint32_t)length;
    // The tail with its NUL moves n places towards the end.
    memmove(buffer->text + at + n, buffer->text + at, former - at + 1);
    if (source != nullptr)
        memcpy(buffer->text + at, source, n);
    else
        memset(buffer->text + at, ' ', n);
    return buffer->text;
}

char *sb_insert_n(StrBuf *buffer, int32_t position, const char *source, int32_t n)
{
    // A negative n asks for the source's own length; with no source there is
    // nothing to measure, so nothing is inserted.
    if (n < 0)
        return sb_insert_wide(buffer, position, source, source != nullptr ? strlen(source) : 0);
    return sb_insert_wide(buffer, position, source, (uint64_t)n);
}

char *sb_insert(StrBuf *buffer, int32_t position, const char *source)
{
    return sb_insert_wide(buffer, position, source, source != nullptr ? strlen(source) : 0);
}

static char *sb_set_wide(StrBuf *buffer, const char *source, uint64_t n)
{
    if (source == nullptr) { // n 0 empties it too, below
        buffer->length = 0;
        buffer->text[0] = '\0';
        return buffer->text;
    }
    sb_reserve_wide(buffer, n);
    memcpy(buffer->text, source, n);
    buffer->length = (uint32_t)n;
    buffer->text[n] = '\0';
    return buffer->text;
}

// A negative n asks for the whole source; without one, n is not looked at.
char *sb_set_n(StrBuf *buffer, const char *source, int32_t n)
{
    return sb_set_wide(buffer, source, source != nullptr && n < 0 ? strlen(source) : (uint64_t)n);
}

char *sb_set(StrBuf *buffer, const char *source)
{
    return sb_set_wide(buffer, source, source != nullptr ? strlen(source) : 0);
}
