#include "support/strbuf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/mem.h"

namespace {

// Gives a test buffer back so the byte count stays meaningful.
void drop(StrBuf *buffer)
{
    mem_free(buffer->text, buffer->capacity);
    mem_free(buffer, sizeof(StrBuf));
}

StrBuf *abc()
{
    return sb_new("abc", 3);
}

} // namespace

TEST(StrBufTest, NewTakesExactOrRequestedCapacity)
{
    uint32_t before = mem_total;
    StrBuf *b = sb_new("abcdef", 3);
    EXPECT_STREQ(b->text, "abc");
    EXPECT_EQ(b->length, 3u);
    EXPECT_EQ(b->capacity, 4u);
    EXPECT_EQ(mem_total, before + sizeof(StrBuf) + 4);
    drop(b);

    b = sb_new(nullptr, 16);
    EXPECT_STREQ(b->text, "");
    EXPECT_EQ(b->length, 0u);
    EXPECT_EQ(b->capacity, 16u);
    drop(b);

    b = sb_new(nullptr, 0);
    EXPECT_EQ(b->length, 0u);
    EXPECT_EQ(b->capacity, 64u);
    drop(b);

    // A source of length 0 copies nothing: room for the NUL alone.
    b = sb_new("abc", 0);
    EXPECT_STREQ(b->text, "");
    EXPECT_EQ(b->length, 0u);
    EXPECT_EQ(b->capacity, 1u);
    drop(b);
    EXPECT_EQ(mem_total, before);
}

TEST(StrBufTest, CreateRoundsWhenLengthIsNotBelowCapacity)
{
    StrBuf *b = sb_create("0123456789", 10, 4);
    EXPECT_STREQ(b->text, "0123456789");
    EXPECT_EQ(b->capacity, 64u);
    drop(b);
    b = sb_create(nullptr, 10, 4); // no source: empty, rounded from length 0
    EXPECT_EQ(b->length, 0u);
    EXPECT_EQ(b->capacity, 64u);
    drop(b);
    b = sb_create(nullptr, 10, 40);
    EXPECT_EQ(b->capacity, 40u);
    drop(b);
}

TEST(StrBufTest, ReserveRoundsToTheNextBlock)
{
    struct Case {
        uint32_t capacity, need, grown;
    };
    const Case cases[] = {{16, 15, 16}, {16, 16, 64}, {16, 200, 256}, {64, 64, 128}, {64, 63, 64}};
    for (const Case &c : cases) {
        StrBuf *b = sb_new(nullptr, c.capacity);
        sb_append_n(b, "xyz", 3);
        uint32_t before = mem_total;
        char *text = sb_reserve(b, c.need);
        EXPECT_EQ(text, b->text);
        EXPECT_EQ(b->capacity, c.grown) << c.capacity << " for " << c.need;
        EXPECT_EQ(mem_total, before + c.grown - c.capacity);
        EXPECT_STREQ(b->text, "xyz");
        EXPECT_EQ(b->length, 3u);
        drop(b);
    }
}

TEST(StrBufTest, BlockShiftSetsPowersOfTwo)
{
    EXPECT_EQ(sb_block_shift(0), 64u);
    EXPECT_EQ(sb_block, 1u);
    StrBuf *b = sb_new("ab", 2);
    sb_reserve(b, 10);
    EXPECT_EQ(b->capacity, 11u);
    EXPECT_EQ(sb_block_shift(32), 1u);
    EXPECT_EQ(sb_block, 1u);
    EXPECT_EQ(sb_block_shift(255), 1u);
    EXPECT_EQ(sb_block_shift(31), 1u);
    EXPECT_EQ(sb_block, 2147483648u);
    EXPECT_EQ(sb_block_shift(4), 2147483648u);
    sb_reserve(b, 16); // later growth uses the new size
    EXPECT_EQ(b->capacity, 32u);
    EXPECT_STREQ(b->text, "ab");
    EXPECT_EQ(sb_block_shift(6), 16u);
    drop(b);
}

TEST(StrBufTest, ReallocCopiesTheSmallerSize)
{
    uint32_t before = mem_total;
    char *block = static_cast<char *>(sb_realloc(nullptr, 0, 8));
    EXPECT_EQ(mem_total, before + 8);
    memcpy(block, "abcdefgh", 8); // NOLINT(bugprone-not-null-terminated-result): no NUL wanted
    block = static_cast<char *>(sb_realloc(block, 8, 4));
    EXPECT_EQ(std::string(block, 4), "abcd");
    EXPECT_EQ(mem_total, before + 4);
    block = static_cast<char *>(sb_realloc(block, 4, 6));
    EXPECT_EQ(std::string(block, 4), "abcd");
    mem_free(block, 6);
    EXPECT_EQ(mem_total, before);
}

TEST(StrBufTest, AppendCopiesExactlyNBytesAndGrows)
{
    StrBuf *b = sb_new(nullptr, 4);
    EXPECT_EQ(sb_append_n(b, "ab\0cd", 5), b->text); // bytes, NULs included
    EXPECT_EQ(b->length, 5u);
    EXPECT_EQ(std::string(b->text, 6), std::string("ab\0cd\0", 6));
    EXPECT_EQ(b->capacity, 64u);
    sb_append_n(b, nullptr, 3);
    sb_append_n(b, "zz", 0);
    EXPECT_EQ(b->length, 5u);
    drop(b);
}

TEST(StrBufTest, InsertAtEachKindOfPosition)
{
    struct Case {
        int32_t position;
        const char *source;
        int32_t n;
        const char *expected;
    };
    const Case cases[] = {
        {1, "X", -1, "aXbc"},
        {-1, "X", -1, "abXc"},
        {-10, "X", -1, "Xabc"},
        {3, "X", -1, "abcX"},
        {4, "X", -1, "abc"},
        {0, "XYZ", 2, "XYabc"},
        {1, nullptr, 2, "a  bc"},
        {2, "X", 0, "abc"},
        {-3, "X", 1, "Xabc"},
        {0, "", -1, "abc"},
        {1, nullptr, -1, "abc"},
        // At the end a null source appends spaces like everywhere else.
        {3, nullptr, 2, "abc  "},
        {0, nullptr, 1, " abc"},
    };
    for (const Case &c : cases) {
        StrBuf *b = abc();
        char *text = sb_insert_n(b, c.position, c.source, c.n);
        EXPECT_EQ(text, b->text);
        EXPECT_STREQ(b->text, c.expected)
            << c.position << " " << (c.source ? c.source : "null") << " " << c.n;
        EXPECT_EQ(b->length, strlen(c.expected));
        EXPECT_LT(b->length, b->capacity);
        drop(b);
    }
}

TEST(StrBufTest, InsertWholeTextAndGrowth)
{
    StrBuf *b = abc(); // capacity 4: every insert must grow it
    sb_insert(b, 1, "1234");
    EXPECT_STREQ(b->text, "a1234bc");
    EXPECT_EQ(b->capacity, 64u);
    sb_insert(b, 0, nullptr);
    sb_insert(b, 8, "no");
    EXPECT_STREQ(b->text, "a1234bc");
    sb_insert(b, 7, "!");
    EXPECT_STREQ(b->text, "a1234bc!");
    drop(b);
}

TEST(StrBufTest, SetReplacesOrEmptiesAndNeverShrinks)
{
    StrBuf *b = sb_new(nullptr, 0);
    std::string long_text(100, 'q');
    sb_set(b, long_text.c_str());
    EXPECT_EQ(b->text, long_text);
    EXPECT_EQ(b->capacity, 128u);
    sb_set(b, "hi");
    EXPECT_STREQ(b->text, "hi");
    EXPECT_EQ(b->capacity, 128u);
    sb_set_n(b, "hello", 4);
    EXPECT_STREQ(b->text, "hell");
    sb_set_n(b, "hello", -1);
    EXPECT_STREQ(b->text, "hello");
    sb_set_n(b, "hello", 0);
    EXPECT_STREQ(b->text, "");
    sb_set(b, "x");
    sb_set_n(b, nullptr, -1);
    EXPECT_STREQ(b->text, "");
    sb_set(b, "x");
    sb_set(b, nullptr);
    EXPECT_EQ(b->length, 0u);
    EXPECT_STREQ(b->text, "");
    EXPECT_EQ(b->capacity, 128u);
    drop(b);
}

// Capacities are 32-bit: a buffer that would need more ends the program with
// a message, as an exhausted allocator does, instead of wrapping around.
TEST(StrBufDeathTest, CapacityBeyond32BitsIsRefused)
{
    const char *message =
        "^FATAL: text buffer of 4294967296 bytes is over the 4294967295-byte limit! "
        "total=[0-9]+\n$";
    EXPECT_EXIT(
        {
            StrBuf *b = sb_new(nullptr, 16);
            sb_block_shift(31);
            sb_reserve(b, 2147483648u);
        },
        testing::ExitedWithCode(1), message);
    EXPECT_EXIT(
        {
            StrBuf *b = sb_new(nullptr, 16);
            sb_reserve(b, 4294967295u);
        },
        testing::ExitedWithCode(1), message);
    EXPECT_EXIT(sb_new("abc", 4294967295u), testing::ExitedWithCode(1), message);
}

// A record that claims nearly 4 GiB lets the length sums overflow without
// holding that memory; the refusal comes before anything is written.
TEST(StrBufDeathTest, LengthPlusAddedBytesBeyond32BitsIsRefused)
{
    char small[8] = "abc";
    StrBuf huge = {small, 4294967290u, 4294967295u};
    const char *message =
        "^FATAL: text buffer of 4294967360 bytes is over the 4294967295-byte limit! "
        "total=[0-9]+\n$";
    EXPECT_EXIT(sb_append_n(&huge, "0123456789", 10), testing::ExitedWithCode(1), message);
    EXPECT_EXIT(sb_insert_n(&huge, 0, "0123456789", 10), testing::ExitedWithCode(1), message);
    EXPECT_EXIT(sb_insert(&huge, 1, "0123456789"), testing::ExitedWithCode(1), message);
    EXPECT_EXIT(sb_insert_n(&huge, -1, nullptr, 10), testing::ExitedWithCode(1), message);
}
