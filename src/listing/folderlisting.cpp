// SPDX-License-Identifier: MIT
#include "folderlisting.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace twinsift {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Paths handed to the kernel in one call stay below PATH_MAX.
constexpr qsizetype kPieceLimit = 4000;

int retryOpenat(int dirFd, const char *name)
{
    int fd;
    do {
        fd = ::openat(dirFd, name, kFolderFlags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Opens a relative path of at most kPieceLimit bytes below `dirFd`. A link anywhere on the
// way fails (ELOOP), so that a folder swapped for a link during the walk leads nowhere else.
int openPiece(int dirFd, const char *path)
{
    static std::atomic<bool> noOpenat2{false};
    if (!noOpenat2.load(std::memory_order_relaxed)) {
        open_how how{};
        how.flags = kFolderFlags;
        how.resolve = RESOLVE_NO_SYMLINKS;
        long fd;
        do {
            fd = ::syscall(SYS_openat2, dirFd, path, &how, sizeof how);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0 || (errno != ENOSYS && errno != EPERM))
            return int(fd);
        noOpenat2.store(true, std::memory_order_relaxed); // older kernels, some sandboxes
    }
    // One name at a time, each refused when it is a link.
    int fd = dirFd;
    for (const char *name = path; *name;) {
        const char *end = std::strchr(name, '/');
        const QByteArray part = end ? QByteArray(name, end - name) : QByteArray(name);
        const int next = retryOpenat(fd, part.constData());
        const int error = errno;
        if (fd != dirFd)
            ::close(fd);
        if (next < 0) {
            errno = error;
            return -1;
        }
        fd = next;
        name = end ? end + 1 : name + part.size();
    }
    return fd;
}

int openBeneath(int anchor, QByteArrayView path)
{
    if (path.size() <= kPieceLimit)
        return openPiece(anchor, path.toByteArray().constData());
    int fd = anchor;
    while (!path.isEmpty()) {
        qsizetype cut = path.size();
        if (cut > kPieceLimit) {
            cut = kPieceLimit; // names are at most 255 bytes, so a "/" is near
            while (path[cut] != '/')
                --cut;
        }
        const int next = openPiece(fd, path.first(cut).toByteArray().constData());
        const int error = errno;
        if (fd != anchor)
            ::close(fd);
        if (next < 0) {
            errno = error;
            return -1;
        }
        fd = next;
        path = path.sliced(std::min(cut + 1, path.size()));
    }
    return fd;
}

int foldLower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

} // namespace

int FolderListing::open(int anchor, QByteArrayView path)
{
    return openBeneath(anchor, path);
}

FolderListing FolderListing::failed(int error)
{
    FolderListing listing;
    listing.m_openError = error;
    return listing;
}

FolderListing FolderListing::read(int fd, const NameFilter &wanted)
{
    // On the heap: readers run on threads whose stacks may be small.
    thread_local std::vector<char> buffer(32768);
    FolderListing listing;
    for (;;) {
        const ssize_t got = ::getdents64(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            listing.m_problems.push_back({{}, errno});
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto *ent = reinterpret_cast<const dirent64 *>(buffer.data() + at);
            at += ent->d_reclen;
            if (ent->d_name[0] != '.')
                listing.add(fd, ent->d_name, ent->d_type, wanted);
        }
    }
    listing.sort();
    return listing;
}

void FolderListing::add(int fd, const char *name, unsigned char type, const NameFilter &wanted)
{
    ++m_met;
    Entry entry;
    if (type == DT_DIR) {
        entry.isFolder = true;
    } else if (type == DT_REG || type == DT_LNK || type == DT_UNKNOWN) {
        // A file the caller never needs costs no look-up; only an entry of unknown kind may
        // still be a folder.
        const bool unwanted = wanted && !wanted(QByteArrayView(name));
        if (unwanted && type != DT_UNKNOWN)
            return;
        // What identifies a file (a link by itself, not its target) and its kind and size.
        struct statx st {};
        constexpr unsigned kMask = STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_MTIME;
        if (::statx(fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kMask, &st) != 0) {
            // An entry that vanished since the folder was read is simply gone.
            if (errno != ENOENT)
                m_problems.push_back({QByteArray(name), errno});
            return;
        }
        entry.identity = FileIdentity::of(st);
        if (S_ISDIR(st.stx_mode)) {
            entry.isFolder = true;
        } else if (unwanted) {
            return;
        } else if (S_ISLNK(st.stx_mode)) {
            // Only links to regular files count; a link to a folder is never entered.
            struct statx target {};
            if (::statx(fd, name, AT_NO_AUTOMOUNT, STATX_TYPE | STATX_SIZE, &target) != 0 ||
                !S_ISREG(target.stx_mode))
                return;
            entry.size = qint64(target.stx_size);
        } else if (S_ISREG(st.stx_mode)) {
            entry.size = qint64(st.stx_size);
        } else {
            return;
        }
    } else {
        return;
    }
    const size_t length = std::strlen(name);
    entry.nameStart = quint32(m_names.size());
    entry.nameSize = quint32(length);
    m_names.append(name, qsizetype(length) + 1);
    m_folders += entry.isFolder ? 1 : 0;
    m_entries.push_back(entry);
}

void FolderListing::sort()
{
    const char *names = m_names.constData();
    std::sort(m_entries.begin(), m_entries.end(), [names](const Entry &a, const Entry &b) {
        const auto *x = reinterpret_cast<const unsigned char *>(names + a.nameStart);
        const auto *y = reinterpret_cast<const unsigned char *>(names + b.nameStart);
        const quint32 common = std::min(a.nameSize, b.nameSize);
        for (quint32 i = 0; i < common; ++i) {
            const int fx = foldLower(x[i]);
            const int fy = foldLower(y[i]);
            if (fx != fy)
                return fx < fy;
        }
        if (a.nameSize != b.nameSize)
            return a.nameSize < b.nameSize;
        return std::memcmp(x, y, common) < 0;
    });
}

} // namespace twinsift
