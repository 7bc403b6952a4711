// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <functional>
#include <vector>

namespace twinsift::cli {

// A listing of paths, such as find or a backup catalogue writes, read as a stream: only what
// the caller keeps of the entries stays in memory, however long the listing.
class PathListing {
public:
    enum class Fault { None, Unreadable, NulInLine, PathTooLong, NameTooLong };
    struct Outcome {
        Fault fault = Fault::None;
        quint64 entry = 0; // the entry (the line, without --null) where it stopped, from 1
        int error = 0;     // errno when unreadable
    };
    // Takes one path, valid during the call only; true when the caller keeps it.
    using Visit = std::function<bool(QByteArrayView path)>;
    // Sets `out` to the path the caller kept as its k-th, from 0. The listing holds no copy.
    using KeptPath = std::function<void(quint32 k, QByteArray &out)>;

    explicit PathListing(KeptPath keptPath);
    ~PathListing();
    PathListing(const PathListing &) = delete;
    PathListing &operator=(const PathListing &) = delete;

    // Opens `fileName`, or takes standard input for "-". On failure returns the errno.
    int open(const QByteArray &fileName);

    // Hands every entry to `visit` in listing order. Entries end at NUL with `nul`, else at a
    // line feed, with a carriage return before it dropped; empty entries are skipped, and so
    // is a path already kept, since a file paired with itself is no pair. Stops at the first
    // fault: a read error, a NUL in a line listing (which no path can hold), or an entry
    // longer than a path or a name can be.
    Outcome read(bool nul, const Visit &visit);

    // Paths skipped because they were kept before.
    quint64 repeats() const { return m_repeats; }

    static constexpr qsizetype kPathMax = 4096;
    static constexpr qsizetype kNameMax = 255;

private:
    // The kept paths by their hash, open addressing at most half full: each slot holds 32 bits
    // of the hash and the path's number plus one (0: empty). A path read again is compared by
    // its text only where those bits agree.
    struct Slot {
        quint32 hash;
        quint32 kept;
    };

    Fault take(QByteArrayView path, bool nul, const Visit &visit);
    bool isKept(QByteArrayView path, quint32 hash);
    void keep(quint32 hash);

    KeptPath m_keptPath;
    QByteArray m_keptText; // the last path asked of m_keptPath
    int m_fd = -1;
    bool m_ownsFd = false;
    std::vector<Slot> m_slots;
    quint32 m_keptCount = 0;
    quint64 m_repeats = 0;
};

} // namespace twinsift::cli
