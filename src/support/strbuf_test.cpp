#include "support/strbuf.h"

#include <gtest/gtest.h>

#include "support/mem.h"
#include "testing.h"

// An operation on a buffer made from "abc" (capacity 4): text, length, capacity; all given back.
TEST(StrBuf, Operations)
{
    Restore keep(sb_block);
    uint32_t held = mem_total;
    auto shown = [](StrBuf *b) {
        std::string s = std::string(b->text) + "/" + std::to_string(b->length) + "/" +
                        std::to_string(b->capacity);
        mem_free(b->text, b->capacity), mem_free(b, sizeof(StrBuf));
        return s;
    };
    // clang-format off
#define ON(...) [](StrBuf *b) { __VA_ARGS__; }
    for (auto [operation, after] : {std::pair<void (*)(StrBuf *), const char *>{ON(sb_reserve(b, 3)), "abc/3/4"},
         {ON(sb_reserve(b, 4)), "abc/3/64"}, {ON(sb_reserve(b, 200)), "abc/3/256"},
         {ON(sb_reserve(b, 64)), "abc/3/128"}, {ON(sb_block_shift(0), sb_reserve(b, 10)), "abc/3/11"},
         {ON(sb_block_shift(0), sb_insert(b, 1, "X")), "aXbc/4/5"}, {ON(sb_insert(b, -1, "X")), "abXc/4/64"},
         {ON(sb_insert(b, -10, "XY")), "XYabc/5/64"}, {ON(sb_insert(b, 3, "X")), "abcX/4/64"},
         {ON(sb_insert(b, 4, "X")), "abc/3/4"}, {ON(sb_insert(b, 1, "")), "abc/3/4"},
         {ON(sb_insert_n(b, 1, nullptr, 2)), "a  bc/5/64"}, {ON(sb_insert_n(b, 3, nullptr, 2)), "abc  /5/64"},
         {ON(sb_insert_n(b, 0, "YZ", -1)), "YZabc/5/64"}, {ON(sb_insert_n(b, 1, "YZ", 0)), "abc/3/4"},
         {ON(sb_append_n(b, "defg", 2)), "abcde/5/64"},
         {ON(sb_append_n(b, "d", 0)), "abc/3/4"}, {ON(sb_append_n(b, nullptr, 2)), "abc/3/4"},
         {ON(sb_set(b, "xy")), "xy/2/4"}, {ON(sb_set_n(b, "12", 1)), "1/1/4"}, {ON(sb_set(b, nullptr)), "/0/4"},
         {ON(sb_set_n(b, "0123456789", -1)), "0123456789/10/64"}, {ON(sb_set_n(b, "12", 0)), "/0/4"}}) {
        // clang-format on
        sb_block = 64;
        StrBuf *b = sb_new("abcdef", 3);
        operation(b);
        EXPECT_EQ(shown(b), after);
    }
    EXPECT_EQ(shown(sb_new(nullptr, 16)) + shown(sb_new(nullptr, 1)) + shown(sb_new(nullptr, 0)),
              "/0/16/0/1/0/64");
    EXPECT_EQ(shown(sb_create("0123456789", 10, 4)), "0123456789/10/64");
    EXPECT_EQ(mem_total, held);
    EXPECT_EQ(sb_block_shift(32), 64u);
    EXPECT_EQ(sb_block_shift(31), 64u);
    EXPECT_EQ(sb_block, 2147483648u);
}

// Beyond 32 bits a buffer ends the program, as an exhausted allocator does.
TEST(StrBufDeathTest, CapacityBeyond32Bits)
{
    StrBuf huge = {(char *)"abc", 4294967290u, 4294967295u};
    EXPECT_EXIT(
        sb_append_n(&huge, "0123456789", 10), testing::ExitedWithCode(1),
        "^FATAL: text buffer of 4294967360 bytes is over the 4294967295-byte limit! total=");
    EXPECT_EXIT((sb_block_shift(31), sb_reserve(sb_new(nullptr, 1), 2147483648u)),
                testing::ExitedWithCode(1), "of 4294967296 bytes");
}
