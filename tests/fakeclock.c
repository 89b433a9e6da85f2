/* Preload library of the end-to-end tests: time() gives 1000000000, getpid() FAKECLOCK_PID (4242);
 * gettimeofday() starts at that second and moves on FAKECLOCK_STEP_US microseconds (0) a call. */
#include <stdlib.h>
#include <sys/time.h>
#include <unistd.h>

time_t time(time_t *out)
{
    return out ? (*out = 1000000000) : 1000000000;
}

pid_t getpid(void)
{
    const char *pid = getenv("FAKECLOCK_PID");
    return pid ? atoi(pid) : 4242;
}

int gettimeofday(struct timeval *tv, void *tz)
{
    static long long calls;
    const char *step = getenv("FAKECLOCK_STEP_US");
    long long us = 1000000000000000 + calls++ * (step ? atoll(step) : 0);
    *tv = (struct timeval){(time_t)(us / 1000000), (suseconds_t)(us % 1000000)};
    return tz != NULL; /* no time zone is ever asked for */
}
