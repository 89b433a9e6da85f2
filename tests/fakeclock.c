/*
 * Preload library for the end-to-end tests: pins the clock and the process
 * id so that a given seed always plays the same match.
 *
 *   FAKECLOCK_TIME     seconds returned by time() and gettimeofday() at
 *                      start (default 1000000000)
 *   FAKECLOCK_PID      value returned by getpid() (default 4242)
 *   FAKECLOCK_STEP_US  microseconds the gettimeofday() clock advances on
 *                      each call (default 0: time stands still)
 */
#define _GNU_SOURCE
#include <stdlib.h>
#include <sys/time.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

static long long env_number(const char *name, long long fallback)
{
    const char *text = getenv(name);
    return text && *text ? strtoll(text, NULL, 10) : fallback;
}

static long long now_us = -1;

time_t time(time_t *out)
{
    time_t t = (time_t)env_number("FAKECLOCK_TIME", 1000000000);
    if (out)
        *out = t;
    return t;
}

pid_t getpid(void)
{
    return (pid_t)env_number("FAKECLOCK_PID", 4242);
}

int gettimeofday(struct timeval *restrict tv, void *restrict tz)
{
    (void)tz;
    if (now_us < 0)
        now_us = env_number("FAKECLOCK_TIME", 1000000000) * 1000000LL;
    else
        now_us += env_number("FAKECLOCK_STEP_US", 0);
    tv->tv_sec = (time_t)(now_us / 1000000);
    tv->tv_usec = (suseconds_t)(now_us % 1000000);
    return 0;
}
