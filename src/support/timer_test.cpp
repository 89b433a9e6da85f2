#include "support/timer.h"

#include <gtest/gtest.h>

#include "support/mem.h"
#include "testing.h"

// Whole seconds with unit letters and as a clock; then with 0 to 6 decimals, units from 60 s, 60
// min and 24 h reached, fractions cut (above 6: all six).
TEST(DurationText, WholeAndFine)
{
    // clang-format off
    for (auto [seconds, text, clock] : {std::tuple<long, const char *, const char *>{0, "00s", "00"},
         {59, "59s", "59"}, {60, "60s", "60"}, {61, "01m01s", "01:01"}, {3600, "60m00s", "60:00"},
         {3601, "01h00m01s", "01:00:01"}, {86400, "24h00m00s", "24:00:00"}, {86401, "1d00h00m01s", "1-00:00:01"},
         {90061, "1d01h01m01s", "1-01:01:01"}, {-1, "49710d06h28m15s", "49710-06:28:15"}})
        EXPECT_EQ(std::string(duration_text((uint32_t)seconds)) + " " + duration_clock_text((uint32_t)seconds),
                  std::string(text) + " " + clock);
    for (auto [seconds, microseconds, precision, text] : {std::tuple<int, int, int, const char *>{0, 0, 0, "00s"},
         {5, 250000, 2, "05.25s"}, {59, 999999, 3, "59.999s"}, {1, 2000, 3, "01.002s"}, {60, 0, 0, "01m00s"},
         {3600, 0, 0, "01h00m00s"}, {61, 500000, 1, "01m01.5s"}, {3725, 500000, 1, "01h02m05.5s"},
         {7, 123456, 4, "07.1234s"}, {7, 123456, 5, "07.12345s"}, {7, 123456, 9, "07.123456s"}, {3599, 0, 0, "59m59s"},
         {86399, 999999, 6, "23h59m59.999999s"}, {86400, 0, 0, "1d00h00m00s"}, {90061, 250000, 2, "1d01h01m01.25s"}})
        EXPECT_STREQ(duration_text_fine(seconds, microseconds, (uint8_t)precision), text);
    // clang-format on
}

// Stopwatches nest, the latest stopped first, and give back both blocks each takes.
TEST(Timer, StopwatchesNest)
{
    Restore keep(timer_stack);
    timer_stack = nullptr;
    duration_text_fine(0, 0, 0); // its buffer, made once, lives on
    uint32_t held = mem_total;
    EXPECT_EQ(timer_stop(), -1.0);
    EXPECT_EQ(timer_stop_text(0), nullptr);
    timeval *outer = timer_start();
    timer_start()->tv_sec -= 50;
    EXPECT_EQ(mem_total - held, 2 * (sizeof(timeval) + sizeof(StackNode)));
    outer->tv_sec -= 90061;
    EXPECT_NEAR(timer_elapsed(nullptr), 50, 1);
    EXPECT_NEAR(timer_elapsed(outer), 90061, 1);
    EXPECT_NEAR(timer_stop(), 50, 1);
    EXPECT_STREQ(timer_stop_text(0), "1d01h01m01s");
    EXPECT_EQ(mem_total, held);
    timer_start()->tv_sec += 30; // a clock set back since the start
    EXPECT_NEAR(timer_stop(), -30, 1);
    EXPECT_NEAR(timer_elapsed(nullptr), (double)time(nullptr), 2);
    timeval diff; // a second borrowed, and none at equal microseconds
    EXPECT_NEAR(time_diff(&diff, 10, 900000, 12, 100000), 1.2, 1e-9);
    EXPECT_EQ(std::pair(diff.tv_sec, diff.tv_usec), std::pair(1L, 200000L));
    time_diff(&diff, 10, 100000, 12, 900000);
    EXPECT_EQ(std::pair(diff.tv_sec, diff.tv_usec), std::pair(2L, 800000L));
    time_diff(&diff, 10, 500000, 12, 500000);
    EXPECT_EQ(std::pair(diff.tv_sec, diff.tv_usec), std::pair(2L, 0L));
    EXPECT_DOUBLE_EQ(time_seconds(-3, 250000), -2.75);
}
