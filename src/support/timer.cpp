// Stopwatch stack and whole-second duration texts.
#include "support/timer.h"

#include <algorithm>
#include <cstdio>

#include "support/mem.h"
#include "support/strbuf.h"

StackNode *timer_stack = nullptr;

static const uint32_t TIMESTAMP_SIZE = sizeof(timeval);
static const uint32_t NODE_SIZE = sizeof(StackNode);

// The longest texts for any 32-bit count are 49710d06h28m15s (15) and
// 49710-06:28:15 (14), so 16 bytes always hold them with the NUL.
static char duration_buffer[16];
static char clock_buffer[16];

timeval *timer_start()
{
    timeval *start = (timeval *)mem_alloc(TIMESTAMP_SIZE);
    gettimeofday(start, nullptr);
    stack_push(&timer_stack, start);
    return start;
}

// Fills `diff` with the time from `start` to now.
static void time_since(const timeval *start, timeval *diff)
{
    timeval now;
    gettimeofday(&now, nullptr);
    time_diff(diff, (int32_t)start->tv_sec, (int32_t)start->tv_usec, (int32_t)now.tv_sec,
              (int32_t)now.tv_usec);
}

bool timer_pop(timeval *elapsed)
{
    timeval *start = (timeval *)stack_pop(&timer_stack);
    if (start == nullptr)
        return false;
    time_since(start, elapsed);
    mem_free(start, TIMESTAMP_SIZE);
    return true;
}

double timer_stop()
{
    timeval diff;
    if (!timer_pop(&diff))
        return -1.0;
    // A clock that stepped back gives a negative time; it is returned as is.
    return time_seconds((int32_t)diff.tv_sec, (int32_t)diff.tv_usec);
}

double timer_elapsed(const timeval *start)
{
    if (start == nullptr && timer_stack != nullptr)
        start = (const timeval *)timer_stack->data;
    if (start == nullptr) {
        timeval now;
        gettimeofday(&now, nullptr);
        return time_seconds((int32_t)now.tv_sec, (int32_t)now.tv_usec);
    }
    timeval diff;
    time_since(start, &diff);
    return time_seconds((int32_t)diff.tv_sec, (int32_t)diff.tv_usec);
}

double time_seconds(int32_t seconds, int32_t microseconds)
{
    return (double)microseconds / 1000000.0 + (double)seconds;
}

double time_diff(timeval *diff, int32_t earlier_s, int32_t earlier_us, int32_t later_s,
                 int32_t later_us)
{
    if (diff != nullptr) {
        // Widened before subtracting so that no pair of 32-bit times overflows.
        if (earlier_us > later_us) {
            diff->tv_sec = (time_t)later_s - earlier_s - 1;
            diff->tv_usec = (suseconds_t)later_us + 1000000 - earlier_us;
        } else {
            diff->tv_sec = (time_t)later_s - earlier_s;
            diff->tv_usec = (suseconds_t)later_us - earlier_us;
        }
    }
    return time_seconds(later_s, later_us) - time_seconds(earlier_s, earlier_us);
}

void *stack_push(StackNode **head, void *data)
{
    StackNode *below = *head;
    StackNode *node = (StackNode *)mem_alloc(NODE_SIZE);
    *head = node;
    node->data = data;
    node->next = below;
    return data;
}

void *stack_pop(StackNode **head)
{
    StackNode *top = *head;
    if (top == nullptr)
        return nullptr;
    void *data = top->data;
    StackNode *below = top->next;
    mem_free(top, NODE_SIZE);
    *head = below;
    return data;
}

// A larger unit appears only when the count exceeds a whole one (61 s is
// 01m01s, 60 s stays 60s); once one is written every smaller one follows.
// After the day piece each piece is two digits and its mark, hence the fixed
// advance of 3.
static const char *duration_format(char *buffer, uint32_t t, const char *day_piece,
                                   const char *hour_piece, const char *minute_piece,
                                   const char *second_piece)
{
    int p = 0;
    if (t > 86400) {
        p = sprintf(buffer, day_piece, t / 86400);
        t %= 86400;
    }
    if (p != 0 || t > 3600) {
        sprintf(buffer + p, hour_piece, t / 3600);
        t %= 3600;
        p += 3;
    }
    if (p != 0 || t > 60) {
        sprintf(buffer + p, minute_piece, t / 60);
        t %= 60;
        p += 3;
    }
    sprintf(buffer + p, second_piece, t);
    return buffer;
}

const char *duration_text(uint32_t seconds)
{
    return duration_format(duration_buffer, seconds, "%ud", "%02uh", "%02um", "%02us");
}

const char *duration_clock_text(uint32_t seconds)
{
    return duration_format(clock_buffer, seconds, "%u-", "%02u:", "%02u:", "%02u");
}

// The one buffer behind duration_text_fine, made on its first call.
static StrBuf *fine_buffer = nullptr;

// Units appear from 60 s, 60 min and 24 h reached, so 60 s is 01m00s here.
// Fractions are cut, never rounded: 0.999999 s at three decimals is .999.
// A precision above 6 writes all six decimals, the finest the microseconds
// hold, rather than no seconds at all.
const char *duration_text_fine(int32_t seconds, int32_t microseconds, uint8_t precision)
{
    static const int32_t divisors[6] = {100000, 10000, 1000, 100, 10, 1}; // by precision - 1
    // Pieces of valid input take at most 11 characters (-59.999999s);
    // snprintf keeps a bad microsecond count from writing past the area.
    char piece[16];
    if (fine_buffer == nullptr)
        fine_buffer = sb_new(nullptr, 16);
    precision = std::min<uint8_t>(precision, 6);
    if (precision == 0)
        snprintf(piece, sizeof piece, "%02ds", seconds % 60);
    else
        snprintf(piece, sizeof piece, "%02d.%0*ds", seconds % 60, (int)precision,
                 microseconds / divisors[precision - 1]);
    sb_set(fine_buffer, piece);
    if (seconds > 59) {
        int32_t m = seconds / 60;
        snprintf(piece, sizeof piece, "%02dm", m % 60);
        sb_insert(fine_buffer, 0, piece);
        if (m > 59) {
            int32_t h = m / 60;
            snprintf(piece, sizeof piece, "%02dh", h % 24);
            sb_insert(fine_buffer, 0, piece);
            if (h > 23) {
                snprintf(piece, sizeof piece, "%dd", h / 24);
                sb_insert(fine_buffer, 0, piece);
            }
        }
    }
    return fine_buffer->text;
}

const char *timer_stop_text(uint8_t precision)
{
    timeval diff;
    if (!timer_pop(&diff))
        return nullptr;
    return duration_text_fine((int32_t)diff.tv_sec, (int32_t)diff.tv_usec, precision);
}
