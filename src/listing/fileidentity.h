// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace twinsift {

// What makes a listed file the one the user reviewed: the entry's own inode (for a link,
// the link itself, never its target), its size and its modification time. A file whose
// identity differs from the listed one is not touched on the user's behalf.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1; // -1: not known, which matches nothing
    qint64 mtimeNs = 0;

    bool isKnown() const { return size >= 0; }
    bool sameInode(const FileIdentity &other) const
    {
        return device == other.device && inode == other.inode;
    }
    bool operator==(const FileIdentity &) const = default;

    static FileIdentity of(const struct stat &st)
    {
        return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
    // The device number is stat's: statx gives it as its two parts.
    static FileIdentity of(const struct statx &st)
    {
        return {quint64(makedev(st.stx_dev_major, st.stx_dev_minor)), quint64(st.stx_ino),
                qint64(st.stx_size),
                qint64(st.stx_mtime.tv_sec) * 1000000000 + st.stx_mtime.tv_nsec};
    }
};

} // namespace twinsift
