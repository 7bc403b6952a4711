// SPDX-License-Identifier: MIT
// A slow mount, for benchmarks and tests: preloaded with LD_PRELOAD, never built into the
// program nor installed. It sleeps SLOWFS_DELAY_US microseconds in file-system calls, as a
// network share waits on the wire.
//
// - SLOWFS_DIR unset (bench/walk.sh): every folder open and every read of a folder's
//   entries waits.
// - SLOWFS_DIR set: every call on a path at or below that folder waits (opens, stat and its
//   kin, access, folder reads, links, real paths, volume sizes, renames...), and so does
//   every call on a descriptor opened there, reads included. Set and empty: nothing waits.
// - SLOWFS_GUARD_MAIN=1 with SLOWFS_DIR: a slow call made on the process's main thread (the
//   GUI thread of a Qt program) is written as "main thread: CALL PATH" to the file named by
//   SLOWFS_LOG, or to standard error.
// The variables are read at each call, so a test may set them while it runs.
// slowfs_calls() tells how many calls waited.
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

static unsigned long calls;

unsigned long slowfs_calls(void)
{
    return __atomic_load_n(&calls, __ATOMIC_RELAXED);
}

#define REAL(name)                                                                                 \
    static __typeof__(name) *real;                                                                 \
    if (!real)                                                                                     \
    real = (__typeof__(name) *)dlsym(RTLD_NEXT, #name)

static void delay(void)
{
    const char *us = getenv("SLOWFS_DELAY_US");
    const long n = us ? atol(us) : 0;
    const struct timespec t = {n / 1000000, (n % 1000000) * 1000};
    __atomic_add_fetch(&calls, 1, __ATOMIC_RELAXED);
    nanosleep(&t, NULL);
}

// Descriptors opened on a slow path, with that path for the guard's log. A torn path in a
// race of close and log only spoils one log line.
enum { kFds = 4096, kPathMax = 256 };
static char slowFds[kFds][kPathMax];

static int slowFd(int fd)
{
    return fd >= 0 && fd < kFds && slowFds[fd][0];
}

// Marks `fd`, opened as `path` relative to `dirFd`, as slow or not.
static void track(int fd, int dirFd, const char *path, int slow)
{
    if (fd < 0 || fd >= kFds)
        return;
    if (!slow) {
        slowFds[fd][0] = 0;
        return;
    }
    char whole[kPathMax];
    if (path && path[0] != '/' && slowFd(dirFd))
        snprintf(whole, sizeof whole, "%s/%s", slowFds[dirFd], path);
    else
        snprintf(whole, sizeof whole, "%s", path && *path ? path : "?");
    memcpy(slowFds[fd], whole, sizeof whole);
}

static int under(const char *dir, const char *path)
{
    const size_t n = strlen(dir);
    return strncmp(path, dir, n) == 0 && (path[n] == '/' || path[n] == 0 || dir[n - 1] == '/');
}

// Whether `path`, relative to the folder open as `fd`, lies in the slow folder.
static int slowAt(int fd, const char *path)
{
    const char *dir = getenv("SLOWFS_DIR");
    if (!dir || !*dir || !path)
        return 0;
    if (path[0] == '/')
        return under(dir, path);
    if (slowFd(fd))
        return 1;
    // A folder opened before SLOWFS_DIR was set, or above it: ask the kernel where it is.
    char at[PATH_MAX];
    if (fd == AT_FDCWD) {
        if (!getcwd(at, sizeof at))
            return 0;
    } else {
        char link[64];
        snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        static __typeof__(readlink) *realReadlink;
        if (!realReadlink)
            realReadlink = (__typeof__(readlink) *)dlsym(RTLD_NEXT, "readlink");
        const ssize_t n = realReadlink(link, at, sizeof at - 1);
        if (n <= 0)
            return 0;
        at[n] = 0;
    }
    char whole[PATH_MAX * 2];
    snprintf(whole, sizeof whole, "%s%s%s", at, at[strlen(at) - 1] == '/' ? "" : "/", path);
    return under(dir, whole);
}

static void logMain(const char *call, const char *path)
{
    const char *guard = getenv("SLOWFS_GUARD_MAIN");
    if (!guard || strcmp(guard, "1") != 0 || gettid() != getpid())
        return;
    char line[PATH_MAX + 64];
    const int n = snprintf(line, sizeof line, "main thread: %s %s\n", call, path ? path : "");
    const char *file = getenv("SLOWFS_LOG");
    static __typeof__(open) *realOpen;
    if (!realOpen)
        realOpen = (__typeof__(open) *)dlsym(RTLD_NEXT, "open");
    const int fd = file ? realOpen(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600) : 2;
    if (fd < 0)
        return;
    const int saved = errno;
    if (write(fd, line, n > 0 && (size_t)n < sizeof line ? (size_t)n : sizeof line - 1) < 0)
        errno = saved;
    if (fd != 2)
        close(fd);
    errno = saved;
}

// Waits when the call is slow; errno is kept for the real call's caller.
static int slow(const char *call, int fd, const char *path)
{
    if (!slowAt(fd, path))
        return 0;
    const int saved = errno;
    logMain(call, path);
    delay();
    errno = saved;
    return 1;
}

static int slowDescriptor(const char *call, int fd)
{
    if (!getenv("SLOWFS_DIR") || !slowFd(fd))
        return 0;
    const int saved = errno;
    logMain(call, slowFds[fd]);
    delay();
    errno = saved;
    return 1;
}

// Opens. Without SLOWFS_DIR only folder opens wait, for bench/walk.sh.
static int openMode(int flags, va_list ap)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(ap, int) : 0;
}

static int opened(const char *call, int dirFd, const char *path, int flags)
{
    if (!getenv("SLOWFS_DIR")) {
        if (flags & O_DIRECTORY)
            delay();
        return 0;
    }
    return slow(call, dirFd, path);
}

#define OPEN_WRAPPER(name, dirFd, ...)                                                             \
    int name(__VA_ARGS__, int flags, ...)                                                          \
    {                                                                                              \
        va_list ap;                                                                                \
        va_start(ap, flags);                                                                       \
        const int mode = openMode(flags, ap);                                                      \
        va_end(ap);                                                                                \
        const int wait = opened(#name, dirFd, path, flags);                                        \
        REAL(name);                                                                                \
        const int fd = CALL_##name;                                                                \
        track(fd, dirFd, path, wait);                                                              \
        return fd;                                                                                 \
    }
#define CALL_open real(path, flags, mode)
#define CALL_open64 real(path, flags, mode)
#define CALL_openat real(dirFd, path, flags, mode)
#define CALL_openat64 real(dirFd, path, flags, mode)
OPEN_WRAPPER(open, AT_FDCWD, const char *path)
OPEN_WRAPPER(open64, AT_FDCWD, const char *path)
OPEN_WRAPPER(openat, dirFd, int dirFd, const char *path)
OPEN_WRAPPER(openat64, dirFd, int dirFd, const char *path)

// What _FORTIFY_SOURCE builds call instead of open and openat.
int __open_2(const char *path, int flags)
{
    return open(path, flags);
}
int __open64_2(const char *path, int flags)
{
    return open64(path, flags);
}
int __openat_2(int dirFd, const char *path, int flags)
{
    return openat(dirFd, path, flags);
}
int __openat64_2(int dirFd, const char *path, int flags)
{
    return openat64(dirFd, path, flags);
}

#define FOPEN_WRAPPER(name)                                                                        \
    FILE *name(const char *path, const char *mode)                                                 \
    {                                                                                              \
        const int wait = slow(#name, AT_FDCWD, path);                                              \
        REAL(name);                                                                                \
        FILE *file = real(path, mode);                                                             \
        if (file)                                                                                  \
            track(fileno(file), AT_FDCWD, path, wait);                                             \
        return file;                                                                               \
    }
FOPEN_WRAPPER(fopen)
FOPEN_WRAPPER(fopen64)

// Calls on a path: they wait, then do their work.
#define PATH_WRAPPER(ret, name, params, dirFd, path, args)                                         \
    ret name params                                                                                \
    {                                                                                              \
        slow(#name, dirFd, path);                                                                  \
        REAL(name);                                                                                \
        return real args;                                                                          \
    }
PATH_WRAPPER(int, stat, (const char *p, struct stat *s), AT_FDCWD, p, (p, s))
PATH_WRAPPER(int, stat64, (const char *p, struct stat64 *s), AT_FDCWD, p, (p, s))
PATH_WRAPPER(int, lstat, (const char *p, struct stat *s), AT_FDCWD, p, (p, s))
PATH_WRAPPER(int, lstat64, (const char *p, struct stat64 *s), AT_FDCWD, p, (p, s))
PATH_WRAPPER(int, fstatat, (int d, const char *p, struct stat *s, int f), d, p, (d, p, s, f))
PATH_WRAPPER(int, fstatat64, (int d, const char *p, struct stat64 *s, int f), d, p, (d, p, s, f))
PATH_WRAPPER(int, statx, (int d, const char *p, int f, unsigned m, struct statx *s), d, p,
             (d, p, f, m, s))
PATH_WRAPPER(int, access, (const char *p, int m), AT_FDCWD, p, (p, m))
PATH_WRAPPER(int, euidaccess, (const char *p, int m), AT_FDCWD, p, (p, m))
PATH_WRAPPER(int, eaccess, (const char *p, int m), AT_FDCWD, p, (p, m))
PATH_WRAPPER(int, faccessat, (int d, const char *p, int m, int f), d, p, (d, p, m, f))
PATH_WRAPPER(ssize_t, readlink, (const char *p, char *b, size_t n), AT_FDCWD, p, (p, b, n))
PATH_WRAPPER(ssize_t, readlinkat, (int d, const char *p, char *b, size_t n), d, p, (d, p, b, n))
PATH_WRAPPER(char *, realpath, (const char *p, char *r), AT_FDCWD, p, (p, r))
PATH_WRAPPER(char *, canonicalize_file_name, (const char *p), AT_FDCWD, p, (p))
PATH_WRAPPER(int, statvfs, (const char *p, struct statvfs *s), AT_FDCWD, p, (p, s))
PATH_WRAPPER(int, statvfs64, (const char *p, struct statvfs64 *s), AT_FDCWD, p, (p, s))
PATH_WRAPPER(int, statfs, (const char *p, struct statfs *s), AT_FDCWD, p, (p, s))
PATH_WRAPPER(int, statfs64, (const char *p, struct statfs64 *s), AT_FDCWD, p, (p, s))
PATH_WRAPPER(int, mkdir, (const char *p, mode_t m), AT_FDCWD, p, (p, m))
PATH_WRAPPER(int, mkdirat, (int d, const char *p, mode_t m), d, p, (d, p, m))
PATH_WRAPPER(int, rmdir, (const char *p), AT_FDCWD, p, (p))
PATH_WRAPPER(int, unlink, (const char *p), AT_FDCWD, p, (p))
PATH_WRAPPER(int, unlinkat, (int d, const char *p, int f), d, p, (d, p, f))
PATH_WRAPPER(int, rename, (const char *p, const char *q), AT_FDCWD, p, (p, q))
PATH_WRAPPER(int, renameat, (int d, const char *p, int e, const char *q), d, p, (d, p, e, q))
PATH_WRAPPER(int, renameat2, (int d, const char *p, int e, const char *q, unsigned f), d, p,
             (d, p, e, q, f))
PATH_WRAPPER(int, chdir, (const char *p), AT_FDCWD, p, (p))

// Calls on a descriptor opened in the slow folder.
#define FD_WRAPPER(ret, name, params, fd, args)                                                    \
    ret name params                                                                                \
    {                                                                                              \
        slowDescriptor(#name, fd);                                                                 \
        REAL(name);                                                                                \
        return real args;                                                                          \
    }
FD_WRAPPER(int, fstat, (int d, struct stat *s), d, (d, s))
FD_WRAPPER(int, fstat64, (int d, struct stat64 *s), d, (d, s))
FD_WRAPPER(int, fstatvfs, (int d, struct statvfs *s), d, (d, s))
FD_WRAPPER(int, fstatfs, (int d, struct statfs *s), d, (d, s))
FD_WRAPPER(ssize_t, read, (int d, void *b, size_t n), d, (d, b, n))
FD_WRAPPER(ssize_t, pread, (int d, void *b, size_t n, off_t o), d, (d, b, n, o))
FD_WRAPPER(ssize_t, pread64, (int d, void *b, size_t n, off64_t o), d, (d, b, n, o))
FD_WRAPPER(DIR *, fdopendir, (int d), d, (d))

int close(int fd)
{
    track(fd, -1, NULL, 0);
    REAL(close);
    return real(fd);
}

DIR *opendir(const char *path)
{
    const int wait = getenv("SLOWFS_DIR") ? slow("opendir", AT_FDCWD, path) : (delay(), 0);
    REAL(opendir);
    DIR *dir = real(path);
    if (dir)
        track(dirfd(dir), AT_FDCWD, path, wait);
    return dir;
}

// readdir reads its entries in batches that a wrapper cannot see: count the first call on
// each stream as one read, as getdents64 below counts one call that returns entries.
static __thread DIR *current;

static void readingFolder(DIR *dir)
{
    if (dir == current)
        return;
    current = dir;
    if (!getenv("SLOWFS_DIR"))
        delay();
    else
        slowDescriptor("readdir", dirfd(dir));
}

struct dirent *readdir(DIR *dir)
{
    readingFolder(dir);
    REAL(readdir);
    return real(dir);
}

struct dirent64 *readdir64(DIR *dir)
{
    readingFolder(dir);
    REAL(readdir64);
    return real(dir);
}

int closedir(DIR *dir)
{
    if (dir == current)
        current = NULL;
    track(dirfd(dir), -1, NULL, 0);
    REAL(closedir);
    return real(dir);
}

ssize_t getdents64(int fd, void *buffer, size_t length)
{
    const int wait = slowDescriptor("getdents64", fd);
    REAL(getdents64);
    const ssize_t got = real(fd, buffer, length);
    if (got > 0 && !wait && !getenv("SLOWFS_DIR"))
        delay();
    return got;
}

// openat2 has no glibc wrapper: programs reach it through syscall().
long syscall(long number, ...)
{
    va_list ap;
    va_start(ap, number);
    long a[6];
    for (int i = 0; i < 6; ++i)
        a[i] = va_arg(ap, long);
    va_end(ap);
    int wait = 0;
    if (number == SYS_openat2 && !getenv("SLOWFS_DIR"))
        delay();
    else if (number == SYS_openat2 || number == SYS_statx)
        wait = slow(number == SYS_openat2 ? "openat2" : "statx", (int)a[0], (const char *)a[1]);
    REAL(syscall);
    const long got = real(number, a[0], a[1], a[2], a[3], a[4], a[5]);
    if (number == SYS_openat2)
        track((int)got, (int)a[0], (const char *)a[1], wait);
    return got;
}
