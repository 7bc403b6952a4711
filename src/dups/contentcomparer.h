// SPDX-License-Identifier: MIT
#pragma once

#include "dups/contentverdict.h"
#include "listing/fileidentity.h"

#include <QByteArrayView>

#include <xxhash.h>

#include <atomic>
#include <functional>
#include <span>
#include <stop_token>
#include <vector>

namespace twinsift {

// One side of a pair as listed: where the file is, and what it was when it was listed.
struct ContentFile {
    QByteArrayView path;
    FileIdentity identity;
};

// A pair by its two files' places in the caller's file list.
struct ContentPair {
    quint32 first = 0;
    quint32 second = 0;
};

// Bytes read of those still to read, for a timer on another thread. The total shrinks once
// the first bytes show which files need no more reading.
struct ContentProgress {
    std::atomic<quint64> done{0};
    std::atomic<quint64> total{0};
};

// Tells, for pairs of listed files, whether their contents are the same. Files of different
// sizes are different without a read. The others are read once each by parallel readers,
// opened without following a link and checked against their listed identity: first their
// first 4 KiB, then the rest only where some partner's first 4 KiB agree. What was read is
// kept by identity for the comparer's life, so comparing again reads no unchanged file.
class ContentComparer {
public:
    using Files = std::function<ContentFile(quint32 file)>;
    struct Failure {
        quint32 file;
        ContentVerdict why;
    };
    struct Outcome {
        std::vector<ContentVerdict> verdicts; // one a pair, in the order given
        std::vector<Failure> failures;        // each file that could not be told, once
        quint64 bytesRead = 0;
        bool stopped = false;
    };

    // `files` is called from several threads at once. Pairs the compare did not reach
    // before `stop` stay NotCompared.
    Outcome compare(std::span<const ContentPair> pairs, const Files &files,
                    std::stop_token stop = {}, ContentProgress *progress = nullptr,
                    unsigned readers = 0);

    // Files known, for the memory figures.
    size_t cachedFiles() const { return m_cache.size(); }

private:
    enum State : quint32 { Pending, Prefix, NeedsRest, Full, Failed };
    enum Round : quint32 { Untouched, Asked, Checked };
    enum class Phase { Start, Rest };
    // 48 bytes a file read: its identity, what reading found, and during a compare which
    // file of the caller's list it is. Kept sorted by identity.
    struct Entry {
        quint64 inode;
        qint64 size;
        qint64 mtimeNs;
        quint32 device; // major << 20 | minor: every Linux device number fits
        quint32 state : 3;
        quint32 round : 2; // Untouched, or used by the compare under way: Asked, then Checked
        quint32 file : 27;
        // The first 4 KiB's hash; once the rest is read, the hash of that and the rest. When
        // Failed, low64 holds the verdict's kind and high64 the errno.
        XXH128_hash_t digest;
    };
    static_assert(sizeof(Entry) == 48);

    struct Reader;
    static Entry keyOf(const FileIdentity &identity);
    static bool before(const Entry &a, const Entry &b);
    Entry *find(const FileIdentity &identity);
    void collect(std::span<const ContentPair> pairs, const Files &files);
    void markRests(std::span<const ContentPair> pairs, const Files &files,
                   ContentProgress *progress, std::vector<ContentVerdict> &verdicts);
    ContentVerdict verdict(const ContentFile &first, const ContentFile &second);
    void readAll(Phase phase, const Files &files, const std::stop_token &stop,
                 ContentProgress *progress, unsigned readers, std::atomic<quint64> &bytes);
    void forgetUnfinished();

    std::vector<Entry> m_cache;
};

} // namespace twinsift
