#include "support/timer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "support/mem.h"
#include "support/strbuf.h"

namespace {

struct DurationCase {
    uint32_t seconds;
    const char *text;
    const char *clock;
};

const DurationCase duration_cases[] = {
    {0, "00s", "00"},
    {5 * 60 + 7, "05m07s", "05:07"},
    {59, "59s", "59"},
    {60, "60s", "60"},
    {61, "01m01s", "01:01"},
    {3599, "59m59s", "59:59"},
    {3600, "60m00s", "60:00"},
    {3601, "01h00m01s", "01:00:01"},
    {86399, "23h59m59s", "23:59:59"},
    {86400, "24h00m00s", "24:00:00"},
    {86401, "1d00h00m01s", "1-00:00:01"},
    {86400 + 3600 + 60 + 1, "1d01h01m01s", "1-01:01:01"},
    {2 * 86400 + 3600, "2d01h00m00s", "2-01:00:00"},
    {4294967295u, "49710d06h28m15s", "49710-06:28:15"},
};

double now_seconds()
{
    timeval now;
    gettimeofday(&now, nullptr);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_usec) / 1e6;
}

} // namespace

TEST(DurationTextTest, WholeSecondsAsUnitsAndAsClock)
{
    for (const DurationCase &c : duration_cases) {
        EXPECT_STREQ(duration_text(c.seconds), c.text) << c.seconds;
        EXPECT_STREQ(duration_clock_text(c.seconds), c.clock) << c.seconds;
    }
}

TEST(DurationTextTest, SignedMinusOneReadsAsLargestCount)
{
    long rounded = lround(-1.0); // what callers hand over for a thinking time
    const char *text = duration_text(rounded);
    EXPECT_STREQ(text, "49710d06h28m15s");
    EXPECT_EQ(strlen(text), 15u);
    EXPECT_STREQ(duration_clock_text(rounded), "49710-06:28:15");
}

TEST(DurationTextTest, EachTextHasItsOwnBufferRewrittenByTheNextCall)
{
    const char *text = duration_text(86401);
    const char *clock = duration_clock_text(61);
    EXPECT_STREQ(text, "1d00h00m01s");
    EXPECT_STREQ(clock, "01:01");
    EXPECT_EQ(duration_text(7), text);
    EXPECT_STREQ(text, "07s");
}

TEST(TimerTest, TimeSecondsAddsTheFraction)
{
    EXPECT_DOUBLE_EQ(time_seconds(12, 500000), 12.5);
    EXPECT_DOUBLE_EQ(time_seconds(0, 1), 0.000001);
    EXPECT_DOUBLE_EQ(time_seconds(-3, 250000), -2.75);
}

TEST(TimerTest, TimeDiffBorrowsASecond)
{
    timeval diff;
    double seconds = time_diff(&diff, 10, 900000, 12, 100000);
    EXPECT_EQ(diff.tv_sec, 1);
    EXPECT_EQ(diff.tv_usec, 200000);
    EXPECT_NEAR(seconds, 1.2, 1e-9);

    seconds = time_diff(&diff, 10, 100000, 12, 900000);
    EXPECT_EQ(diff.tv_sec, 2);
    EXPECT_EQ(diff.tv_usec, 800000);
    EXPECT_NEAR(seconds, 2.8, 1e-9);

    seconds = time_diff(&diff, 10, 500000, 12, 500000); // equal: no borrow
    EXPECT_EQ(diff.tv_sec, 2);
    EXPECT_EQ(diff.tv_usec, 0);
    EXPECT_EQ(seconds, 2.0);

    EXPECT_NEAR(time_diff(nullptr, 12, 100000, 10, 900000), -1.2, 1e-9);
    seconds = time_diff(&diff, 12, 100000, 10, 900000);
    EXPECT_EQ(diff.tv_sec, -2); // later earlier than earlier: -2 s + 0.8 s
    EXPECT_EQ(diff.tv_usec, 800000);
}

TEST(TimerTest, StackPopsInReverseOrderAndCountsItsNodes)
{
    StackNode *head = nullptr;
    int a = 1, b = 2;
    uint32_t before = mem_total;
    EXPECT_EQ(stack_push(&head, &a), &a);
    EXPECT_EQ(stack_push(&head, &b), &b);
    EXPECT_EQ(mem_total, before + 2 * sizeof(StackNode));
    EXPECT_EQ(stack_pop(&head), &b);
    EXPECT_EQ(stack_pop(&head), &a);
    EXPECT_EQ(head, nullptr);
    EXPECT_EQ(stack_pop(&head), nullptr);
    EXPECT_EQ(mem_total, before);
}

// Whatever stopwatches other tests left running are set aside, so each test
// here starts from an empty stack and leaves the stack as it found it.
class StopwatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        running = timer_stack;
        timer_stack = nullptr;
    }
    void TearDown() override
    {
        EXPECT_EQ(timer_stack, nullptr);
        timer_stack = running;
    }
    StackNode *running = nullptr;
};

TEST_F(StopwatchTest, StopWithoutStopwatchReturnsMinusOne)
{
    uint32_t before = mem_total;
    EXPECT_EQ(timer_stop(), -1.0);
    EXPECT_EQ(timer_stack, nullptr);
    EXPECT_EQ(mem_total, before);
}

TEST_F(StopwatchTest, StartThenStopGivesBackBothBlocks)
{
    uint32_t before = mem_total;
    timeval *start = timer_start();
    EXPECT_EQ(mem_total, before + sizeof(timeval) + sizeof(StackNode));
    EXPECT_EQ(timer_stack->data, start);
    double seconds = timer_stop();
    EXPECT_GE(seconds, 0.0);
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(mem_total, before);
}

// The start records are moved into the past, so each stop shows which start
// it measured from.
TEST_F(StopwatchTest, NestedStopwatchesStopLatestFirst)
{
    timeval *first = timer_start();
    timeval *second = timer_start();
    first->tv_sec -= 100;
    second->tv_sec -= 10;
    EXPECT_NEAR(timer_stop(), 10.0, 1.0);
    EXPECT_NEAR(timer_stop(), 100.0, 1.0);
}

TEST_F(StopwatchTest, ElapsedWithoutArgumentReadsTopAndPopsNothing)
{
    timeval *outer = timer_start();
    timeval *inner = timer_start();
    outer->tv_sec -= 500;
    inner->tv_sec -= 50;
    EXPECT_NEAR(timer_elapsed(nullptr), 50.0, 1.0);
    EXPECT_NEAR(timer_elapsed(outer), 500.0, 1.0);
    EXPECT_EQ(timer_stack->data, inner);
    EXPECT_NEAR(timer_stop(), 50.0, 1.0);
    EXPECT_NEAR(timer_stop(), 500.0, 1.0);
}

TEST_F(StopwatchTest, ElapsedWithNothingRunningIsTheAbsoluteTime)
{
    EXPECT_NEAR(timer_elapsed(nullptr), now_seconds(), 2.0);
}

TEST_F(StopwatchTest, ClockSteppingBackGivesNegativeTime)
{
    timeval *start = timer_start();
    start->tv_sec += 30; // as if the clock was set back 30 s since the start
    EXPECT_NEAR(timer_stop(), -30.0, 1.0);
}

TEST(DurationTextFineTest, UnitsFromSixtySecondsAndCutFractions)
{
    struct Case {
        int32_t seconds, microseconds;
        uint8_t precision;
        const char *text;
    };
    const Case cases[] = {
        {0, 0, 0, "00s"},
        {5, 250000, 2, "05.25s"},
        {59, 999999, 3, "59.999s"},
        {60, 0, 0, "01m00s"},
        {61, 500000, 1, "01m01.5s"},
        {3600, 0, 0, "01h00m00s"},
        {3600 + 120 + 5, 500000, 1, "01h02m05.5s"},
        {86399, 999999, 6, "23h59m59.999999s"},
        {86400, 0, 0, "1d00h00m00s"},
        {86400 + 3600 + 60 + 1, 250000, 2, "1d01h01m01.25s"},
        {7, 123456, 4, "07.1234s"},
        {7, 123456, 5, "07.12345s"},
        {7, 5, 6, "07.000005s"},
        {2147483647, 999999, 0, "24855d03h14m07s"},
        // Above 6 decimals: all six the microseconds hold.
        {7, 123456, 7, "07.123456s"},
        {61, 5, 255, "01m01.000005s"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(duration_text_fine(c.seconds, c.microseconds, c.precision), c.text)
            << c.seconds << " s " << c.microseconds << " us at " << int(c.precision);
}

// The fine buffer is made once per process, so its growth is watched in a
// fresh copy of the test program where nothing has used it yet.
TEST(DurationTextFineDeathTest, BufferGrowsFrom16To64)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            uint32_t before = mem_total;
            duration_text_fine(5, 0, 0);
            uint32_t made = mem_total - before;
            before = mem_total;
            duration_text_fine(86399, 999999, 5); // 15 characters still fit
            uint32_t at_15 = mem_total - before;
            duration_text_fine(86399, 999999, 6); // 16 do not
            fprintf(stderr, "made %u, grew %u then %u", made, at_15, mem_total - before);
            exit(0);
        },
        testing::ExitedWithCode(0),
        "^made " + std::to_string(sizeof(StrBuf) + 16) + ", grew 0 then 48$");
}

TEST(TimerStopTextTest, PopsTheLatestStopwatchAsFineText)
{
    duration_text_fine(0, 0, 0); // the fine buffer exists before counting
    uint32_t before = mem_total;
    StackNode *running = timer_stack; // set aside what others left running
    timer_stack = nullptr;
    EXPECT_EQ(timer_stop_text(3), nullptr);
    timeval *outer = timer_start();
    timeval *inner = timer_start();
    outer->tv_sec -= 86400 + 3723;
    inner->tv_sec -= 61;
    EXPECT_STREQ(timer_stop_text(0), "01m01s");
    const char *text = timer_stop_text(2);
    EXPECT_EQ(timer_stack, nullptr);
    timer_stack = running;
    EXPECT_EQ(mem_total, before);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, 10), "1d01h02m03"); // fraction depends on the clock
    EXPECT_EQ(strlen(text), 14u);
}
