/* Preload library of the end-to-end tests: time() gives 1000000000, getpid() FAKECLOCK_PID (4242);
 * gettimeofday() starts at that second and moves on FAKECLOCK_STEP_US microseconds (0) a call.
 * Given FAKECLOCK_WRITES_FD, the program's count of write calls is written to that descriptor after
 * its exit handlers, every stream flushed as exit would after: a process reads its own counts. */
#include <stdio.h>
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

__attribute__((destructor)) static void count_writes(void)
{
    const char *fd = getenv("FAKECLOCK_WRITES_FD");
    long writes = 0; /* where the count cannot be read */
    FILE *io = fd && fflush(NULL) == 0 ? fopen("/proc/self/io", "r") : NULL;
    if (io)
        (void)!fscanf(io, "rchar: %*d wchar: %*d syscr: %*d syscw: %ld", &writes), fclose(io);
    if (fd)
        dprintf(atoi(fd), "%ld", writes);
}
