// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QSet>

#include <functional>
#include <memory>
#include <vector>

namespace twinsift::cli {

// A listing of paths, such as find or a backup catalogue writes, read as a stream: only the
// entries that are kept stay in memory, however long the listing.
class PathListing {
public:
    enum class Fault { None, Unreadable, NulInLine, PathTooLong, NameTooLong };
    struct Outcome {
        Fault fault = Fault::None;
        quint64 entry = 0; // the entry (the line, without --null) where it stopped, from 1
        int error = 0;     // errno when unreadable
    };
    // Takes one path; true when it keeps a reference to the path's bytes, which the listing
    // then holds for as long as it lives, each kept path once.
    using Visit = std::function<bool(QByteArrayView path)>;

    PathListing() = default;
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
    Fault take(QByteArrayView path, bool nul, const Visit &visit);

    int m_fd = -1;
    bool m_ownsFd = false;
    // The kept paths, packed into large blocks rather than allocated one by one.
    std::vector<std::unique_ptr<char[]>> m_blocks;
    qsizetype m_used = 0; // of the last block
    QSet<QByteArrayView> m_kept;
    quint64 m_repeats = 0;
};

} // namespace twinsift::cli
