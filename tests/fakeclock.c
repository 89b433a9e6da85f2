/* Preload library of the end-to-end tests: time() gives FAKECLOCK_TIME
 * (1000000000 if unset), getpid() FAKECLOCK_PID (4242); gettimeofday() starts
 * at that time and moves on FAKECLOCK_STEP_US microseconds (0) each call. */
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
    time_t t = (time_t)number("FAKECLOCK_TIME", 1000000000);
    return out ? (*out = t) : t;
}

pid_t getpid(void)
{
    return (pid_t)number("FAKECLOCK_PID", 4242);
}

int gettimeofday(struct timeval *tv, void *tz)
{
    static long long us = -1;
    us = us < 0 ? number("FAKECLOCK_TIME", 1000000000) * 1000000
                : us + number("FAKECLOCK_STEP_US", 0);
    *tv = (struct timeval){(time_t)(us / 1000000), (suseconds_t)(us % 1000000)};
    return tz != NULL; /* no time zone is ever asked for */
}
