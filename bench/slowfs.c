// SPDX-License-Identifier: MIT
// Folders with latency, for bench/walk.sh: sleeps SLOWFS_DELAY_US microseconds in every
// folder open and every read of a folder's entries, as a network share waits on the wire.
// Preloaded with LD_PRELOAD; never built into the program nor installed.
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

static void delay(void)
{
    const char *us = getenv("SLOWFS_DELAY_US");
    const long n = us ? atol(us) : 0;
    const struct timespec t = {n / 1000000, (n % 1000000) * 1000};
    nanosleep(&t, NULL);
}

#define REAL(name)                                                                             \
    static __typeof__(name) *real;                                                             \
    if (!real)                                                                                 \
    real = (__typeof__(name) *)dlsym(RTLD_NEXT, #name)

#define OPEN_WRAPPER(name, ...)                                                                \
    int name(__VA_ARGS__, int flags, ...)                                                      \
    {                                                                                          \
        va_list ap;                                                                            \
        va_start(ap, flags);                                                                   \
        const mode_t mode = va_arg(ap, mode_t);                                                \
        va_end(ap);                                                                            \
        if (flags & O_DIRECTORY)                                                               \
            delay();                                                                           \
        REAL(name);                                                                            \
        return CALL_##name;                                                                    \
    }
#define CALL_open real(path, flags, mode)
#define CALL_open64 real(path, flags, mode)
#define CALL_openat real(fd, path, flags, mode)
#define CALL_openat64 real(fd, path, flags, mode)
OPEN_WRAPPER(open, const char *path)
OPEN_WRAPPER(open64, const char *path)
OPEN_WRAPPER(openat, int fd, const char *path)
OPEN_WRAPPER(openat64, int fd, const char *path)

DIR *opendir(const char *path)
{
    delay();
    REAL(opendir);
    return real(path);
}

// readdir reads its entries in batches that a wrapper cannot see: count the first call on
// each stream as one read, as getdents64 below counts one call that returns entries.
static __thread DIR *current;

struct dirent *readdir(DIR *dir)
{
    if (dir != current) {
        current = dir;
        delay();
    }
    REAL(readdir);
    return real(dir);
}

struct dirent64 *readdir64(DIR *dir)
{
    if (dir != current) {
        current = dir;
        delay();
    }
    REAL(readdir64);
    return real(dir);
}

int closedir(DIR *dir)
{
    if (dir == current)
        current = NULL;
    REAL(closedir);
    return real(dir);
}

ssize_t getdents64(int fd, void *buffer, size_t length)
{
    REAL(getdents64);
    const ssize_t got = real(fd, buffer, length);
    if (got > 0)
        delay();
    return got;
}

long syscall(long number, ...)
{
    va_list ap;
    va_start(ap, number);
    long a[6];
    for (int i = 0; i < 6; ++i)
        a[i] = va_arg(ap, long);
    va_end(ap);
    if (number == SYS_openat2)
        delay();
    REAL(syscall);
    return real(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}
