/* Preload library of the end-to-end tests: time() gives 1000000000, getpid()
 * FAKECLOCK_PID (4242); gettimeofday() starts at that second and moves on
 * FAKECLOCK_STEP_US microseconds (0) each call. */
#include <stdlib.h>
#include <sys/time.h>
#include <unistd.h>

static long long number(const char *name, long long fallback)
{
    const char *text = getenv(name);
    return text && *text ? strtoll(text, NULL, 10) : fallback;
}

time_t time(time_t *out)
{
    return out ? (*out = 1000000000) : 1000000000;
}

pid_t getpid(void)
{
    return (pid_t)number("FAKECLOCK_PID", 4242);
}

int gettimeofday(struct timeval *tv, void *tz)
{
    static long long calls;
    long long us = 1000000000000000 + calls++ * number("FAKECLOCK_STEP_US", 0);
    *tv = (struct timeval){(time_t)(us / 1000000), (suseconds_t)(us % 1000000)};
    return tz != NULL; /* no time zone is ever asked for */
}
