// Stopwatch stack and duration texts, in whole seconds or with fractions.
#pragma once

#include <cstdint>
#include <sys/time.h>

struct StackNode {
    void *data;      // the stacked item (a timestamp)
    StackNode *next; // node below; null at the bottom
};

extern StackNode *timer_stack; // running stopwatches, latest on top

// Pushes the current time; the record belongs to the stack until stopped.
timeval *timer_start();

// Pops the latest stopwatch: seconds since it started, -1.0 when none runs.
double timer_stop();

// Pops the latest stopwatch and fills `elapsed` with the time since it
// started (microseconds 0 to 999999); false, and nothing changed, when none
// runs.
bool timer_pop(timeval *elapsed);

// Seconds since `start`, or since the latest stopwatch when `start` is null;
// the absolute time when it is null and none runs. Pops nothing.
double timer_elapsed(const timeval *start);

// A time given as seconds and microseconds, in seconds.
double time_seconds(int32_t seconds, int32_t microseconds);

// Later minus earlier, in seconds; fills `diff` (borrowing a second when
// needed) when it is not null.
double time_diff(timeval *diff, int32_t earlier_s, int32_t earlier_us, int32_t later_s,
                 int32_t later_us);

// Puts `data` on top of the stack at `head` in a node of its own; returns it.
void *stack_push(StackNode **head, void *data);

// Takes the top node off and gives it back; returns its data, or null when
// the stack is empty.
void *stack_pop(StackNode **head);

// Whole seconds as text such as 05m07s or 1d01h01m01s; a static buffer that
// the next call overwrites.
const char *duration_text(uint32_t seconds);

// The same with colons: 05:07, 1-01:01:01.
const char *duration_clock_text(uint32_t seconds);

// Elapsed time with 0 to 6 decimals, such as 01m01.5s (a precision above 6
// gives 6); a buffer that the next call overwrites.
const char *duration_text_fine(int32_t seconds, int32_t microseconds, uint8_t precision);

// Pops the latest stopwatch and returns its time as duration_text_fine
// text, or null when none runs.
const char *timer_stop_text(uint8_t precision);
