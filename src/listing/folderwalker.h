// SPDX-License-Identifier: MIT
#pragma once

#include "folderlisting.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <functional>
#include <stop_token>
#include <vector>

namespace twinsift {

// One file met by the walk. `path` is only valid during the callback.
struct WalkedFile {
    QByteArrayView path;   // the folder path with its trailing "/" and the name, raw bytes
    qsizetype nameOffset;  // where the name starts in `path`
    qint64 size;           // bytes; for a link to a file, the target's size
    FileIdentity identity; // the entry's own: for a link, the link's

    QByteArrayView name() const { return path.sliced(nameOffset); }
};

struct WalkError {
    QByteArray path;
    QString reason;
    int code = 0; // the errno, for callers that tell a shortage of descriptors from the tree
};

// Counters a walk updates as it goes, for a timer on another thread to read.
struct WalkProgress {
    std::atomic<quint64> entries{0};
    std::atomic<quint64> files{0};
};

struct WalkOutcome {
    quint64 files = 0;
    quint64 folders = 0;           // folders read, the starting one included
    std::vector<WalkError> errors; // folders or entries that could not be read, in walk order
    bool stopped = false;          // a stop was requested before the walk ended
    bool rootFailed = false;       // the starting folder itself could not be read

    bool operator==(const WalkOutcome &) const = default;
};

bool operator==(const WalkError &a, const WalkError &b);

// Walks a folder tree depth first and hands every file to `sink` in a fixed order: each
// folder's entries sorted by name (ASCII letters folded to lower case, ties by raw bytes),
// a sub-folder's files in place of the sub-folder. Names that begin with "." are hidden and
// neither listed nor entered; links to folders are never entered; a link to a regular file
// counts as a file with the target's size; other kinds of entry are skipped. Folders are read
// ahead on worker threads, within bounds of memory and of descriptors sized from the
// process's limit; files still come out one at a time, in order, on the calling thread. A
// folder reflects its content when it was read, which may be a little before the walk
// reaches it. The walk keeps no recursion and at most a few folders open, so any depth works.
class FolderWalker {
public:
    using FileSink = std::function<void(const WalkedFile &)>;

    // A folder path as the walk uses it: with one trailing "/" ("/" stays "/").
    static QByteArray folderPath(QByteArrayView path);

    // Files whose names `wanted` turns down are neither looked up nor handed to `sink`.
    static WalkOutcome walk(QByteArrayView root, const FileSink &sink, std::stop_token stop = {},
                            WalkProgress *progress = nullptr,
                            const FolderListing::NameFilter &wanted = {});
};

} // namespace twinsift
