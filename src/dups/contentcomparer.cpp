// SPDX-License-Identifier: MIT
#include "contentcomparer.h"

#include <algorithm>
#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace twinsift {

namespace {

constexpr qint64 kPrefix = 4096;
constexpr size_t kChunk = 256 * 1024;
constexpr quint32 kMaxFiles = 1u << 27;

using Kind = ContentVerdict::Kind;

// Why a file could not be told, from the errno of opening or reading it.
ContentVerdict failureOf(int error)
{
    switch (error) {
    case ELOOP: // the name is a link now, or was listed as one: what it points to is not read
    case ENXIO: // a socket
        return {Kind::NotRegular};
    case ENOENT:
    case ENOTDIR:
        return {Kind::Changed};
    default:
        return {Kind::Unreadable, quint8(std::clamp(error, 0, 255))};
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

struct ContentComparer::Reader {
    Reader() : buffer(kChunk), state(XXH3_createState()) {}
    ~Reader() { XXH3_freeState(state); }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    void fail(Entry &entry, ContentVerdict why)
    {
        entry.state = Failed;
        entry.digest = {quint64(why.kind), why.error};
    }

    // Opens the very file that was listed, or says why not. A pipe is opened without waiting
    // for a writer and never read; a link is not followed.
    int open(Entry &entry, const ContentFile &file)
    {
        const QByteArray path = file.path.toByteArray();
        const int fd =
            ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            fail(entry, failureOf(errno));
            return -1;
        }
        if (!matches(entry, fd, file.identity)) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    bool matches(Entry &entry, int fd, const FileIdentity &listed)
    {
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            fail(entry, failureOf(errno));
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            fail(entry, {Kind::NotRegular});
            return false;
        }
        if (FileIdentity::of(info) != listed) {
            fail(entry, {Kind::Changed});
            return false;
        }
        return true;
    }

    // Reads `length` bytes from `offset` into the hash state, or the first ones into the
    // buffer when `state` is null. False, with the entry failed, when the file ends early.
    bool read(Entry &entry, int fd, qint64 offset, qint64 length, XXH3_state_t *into,
              const std::stop_token &stop, std::atomic<quint64> &bytes, ContentProgress *progress)
    {
        while (length > 0) {
            if (stop.stop_requested())
                return false;
            const size_t want = size_t(std::min<qint64>(length, qint64(buffer.size())));
            const ssize_t got = ::pread(fd, buffer.data(), want, offset);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                fail(entry, failureOf(errno));
                return false;
            }
            if (got == 0) {
                fail(entry, {Kind::Changed});
                return false;
            }
            if (into)
                XXH3_128bits_update(into, buffer.data(), size_t(got));
            bytes.fetch_add(quint64(got), std::memory_order_relaxed);
            if (progress)
                progress->done.fetch_add(quint64(got), std::memory_order_relaxed);
            offset += got;
            length -= got;
        }
        return true;
    }

    void start(Entry &entry, const ContentFile &file, const std::stop_token &stop,
               std::atomic<quint64> &bytes, ContentProgress *progress)
    {
        if (entry.state != Pending) {
            // Known from an earlier compare: only make sure the file is still the listed one.
            struct stat info {};
            const QByteArray path = file.path.toByteArray();
            if (::fstatat(AT_FDCWD, path.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
                fail(entry, failureOf(errno));
            else if (FileIdentity::of(info) != file.identity)
                fail(entry, {Kind::Changed});
            entry.round = Checked;
            return;
        }
        const Descriptor fd(open(entry, file));
        if (fd.get() < 0) {
            entry.round = Checked;
            return;
        }
        const qint64 length = std::min(entry.size, kPrefix);
        if (!read(entry, fd.get(), 0, length, nullptr, stop, bytes, progress))
            return;
        // A change while reading shows in the time or the size.
        if (!matches(entry, fd.get(), file.identity)) {
            entry.round = Checked;
            return;
        }
        entry.digest = XXH3_128bits(buffer.data(), size_t(length));
        entry.state = entry.size <= kPrefix ? Full : Prefix;
        entry.round = Checked;
    }

    // The rest's hash goes on from the first 4 KiB's, so no byte is read twice, and a file
    // read whole in one compare matches one whose first 4 KiB were read in another.
    void rest(Entry &entry, const ContentFile &file, const std::stop_token &stop,
              std::atomic<quint64> &bytes, ContentProgress *progress)
    {
        const Descriptor fd(open(entry, file));
        if (fd.get() < 0)
            return;
        ::posix_fadvise(fd.get(), kPrefix, 0, POSIX_FADV_SEQUENTIAL);
        XXH3_128bits_reset(state);
        XXH3_128bits_update(state, &entry.digest, sizeof entry.digest);
        if (!read(entry, fd.get(), kPrefix, entry.size - kPrefix, state, stop, bytes, progress))
            return;
        if (!matches(entry, fd.get(), file.identity))
            return;
        entry.digest = XXH3_128bits_digest(state);
        entry.state = Full;
    }

    std::vector<char> buffer;
    XXH3_state_t *state;
};

ContentComparer::Entry ContentComparer::keyOf(const FileIdentity &identity)
{
    const auto device = dev_t(identity.device);
    Entry entry{};
    entry.inode = identity.inode;
    entry.size = identity.size;
    entry.mtimeNs = identity.mtimeNs;
    entry.device = quint32(major(device) << 20 | (minor(device) & 0xFFFFF));
    return entry;
}

bool ContentComparer::before(const Entry &a, const Entry &b)
{
    return std::tie(a.device, a.inode, a.size, a.mtimeNs) <
           std::tie(b.device, b.inode, b.size, b.mtimeNs);
}

ContentComparer::Entry *ContentComparer::find(const FileIdentity &identity)
{
    const Entry key = keyOf(identity);
    const auto it = std::lower_bound(m_cache.begin(), m_cache.end(), key, before);
    if (it == m_cache.end() || before(key, *it))
        return nullptr;
    return &*it;
}

// Marks the known files the pairs need, and adds the others, each once, in identity order.
void ContentComparer::collect(std::span<const ContentPair> pairs, const Files &files)
{
    std::vector<bool> fresh;
    size_t freshCount = 0;
    for (const ContentPair &pair : pairs) {
        const ContentFile a = files(pair.first), b = files(pair.second);
        if (!a.identity.isKnown() || a.identity.size != b.identity.size || !b.identity.isKnown() ||
            std::max(pair.first, pair.second) >= kMaxFiles)
            continue;
        for (const auto &[index, file] : {std::pair(pair.first, a), std::pair(pair.second, b)}) {
            if (Entry *known = find(file.identity)) {
                known->round = Asked;
                known->file = index & (kMaxFiles - 1);
                continue;
            }
            if (fresh.size() <= index)
                fresh.resize(index + 1);
            if (!fresh[index]) {
                fresh[index] = true;
                ++freshCount;
            }
        }
    }
    const auto known = std::ptrdiff_t(m_cache.size());
    m_cache.reserve(m_cache.size() + freshCount);
    for (quint32 index = 0; index < fresh.size(); ++index) {
        if (!fresh[index])
            continue;
        Entry entry = keyOf(files(index).identity);
        entry.state = Pending;
        entry.round = Asked;
        entry.file = index & (kMaxFiles - 1);
        m_cache.push_back(entry);
    }
    // Two names of one file (hard links) are read once.
    std::sort(m_cache.begin() + known, m_cache.end(), before);
    m_cache.erase(std::unique(m_cache.begin() + known, m_cache.end(),
                              [](const Entry &a, const Entry &b) { return !before(a, b); }),
                  m_cache.end());
    std::inplace_merge(m_cache.begin(), m_cache.begin() + known, m_cache.end(), before);
}

void ContentComparer::readAll(Phase phase, const Files &files, const std::stop_token &stop,
                              ContentProgress *progress, unsigned readers,
                              std::atomic<quint64> &bytes)
{
    std::atomic<size_t> next{0};
    auto work = [&] {
        Reader reader;
        for (size_t i = next++; i < m_cache.size() && !stop.stop_requested(); i = next++) {
            Entry &entry = m_cache[i];
            if (phase == Phase::Start && entry.round == Asked)
                reader.start(entry, files(entry.file), stop, bytes, progress);
            else if (phase == Phase::Rest && entry.round == Checked && entry.state == NeedsRest)
                reader.rest(entry, files(entry.file), stop, bytes, progress);
        }
    };
    std::vector<std::jthread> threads;
    for (unsigned i = 1; i < readers; ++i)
        threads.emplace_back(work);
    work();
}

// Files whose first 4 KiB agree with a partner's are read to the end, and so is one whose
// partner was read whole in an earlier compare: only whole hashes compare then. Pairs whose
// first 4 KiB differ are told here, before reading the rest of one of them for another pair
// replaces the hash of its first 4 KiB.
void ContentComparer::markRests(std::span<const ContentPair> pairs, const Files &files,
                                ContentProgress *progress, std::vector<ContentVerdict> &verdicts)
{
    auto started = [](const Entry *e) {
        return e && e->round == Checked && (e->state == Prefix || e->state == NeedsRest);
    };
    for (size_t k = 0; k < pairs.size(); ++k) {
        const ContentFile a = files(pairs[k].first), b = files(pairs[k].second);
        if (!a.identity.isKnown() || !b.identity.isKnown() || a.identity.size != b.identity.size)
            continue;
        Entry *ea = find(a.identity), *eb = find(b.identity);
        if (!ea || !eb || ea == eb)
            continue;
        if (started(ea) && started(eb)) {
            if (XXH128_isEqual(ea->digest, eb->digest))
                ea->state = eb->state = NeedsRest;
            else
                verdicts[k] = {Kind::Different};
        } else if (started(ea) && eb->round == Checked && eb->state == Full) {
            ea->state = NeedsRest;
        } else if (started(eb) && ea->round == Checked && ea->state == Full) {
            eb->state = NeedsRest;
        }
    }
    if (!progress)
        return;
    quint64 rest = 0;
    for (const Entry &entry : m_cache) {
        if (entry.round != Untouched && entry.state == NeedsRest)
            rest += quint64(entry.size - kPrefix);
    }
    progress->total.store(progress->done.load() + rest);
}

ContentVerdict ContentComparer::verdict(const ContentFile &first, const ContentFile &second)
{
    if (!first.identity.isKnown() || !second.identity.isKnown())
        return {Kind::Changed}; // what was listed is not known, so nothing can match it
    if (first.identity.size != second.identity.size)
        return {Kind::Different};
    const Entry *a = find(first.identity), *b = find(second.identity);
    if (!a || !b || a->round != Checked || b->round != Checked)
        return {};
    for (const Entry *e : {a, b}) {
        if (e->state == Failed)
            return {Kind(e->digest.low64), quint8(e->digest.high64)};
    }
    if (a == b)
        return {Kind::Same};
    if (a->state == Full && b->state == Full)
        return {XXH128_isEqual(a->digest, b->digest) ? Kind::Same : Kind::Different};
    return {}; // stopped before the rest was read
}

// Files not read to the end keep what was read; failures are not kept, so that a file that
// becomes readable is read next time.
void ContentComparer::forgetUnfinished()
{
    std::erase_if(m_cache, [](const Entry &e) { return e.state == Pending || e.state == Failed; });
    for (Entry &entry : m_cache) {
        if (entry.state == NeedsRest)
            entry.state = Prefix;
        entry.round = Untouched;
    }
}

ContentComparer::Outcome ContentComparer::compare(std::span<const ContentPair> pairs,
                                                  const Files &files, std::stop_token stop,
                                                  ContentProgress *progress, unsigned readers)
{
    if (readers == 0)
        readers = std::clamp(std::thread::hardware_concurrency(), 2u, 8u);
    collect(pairs, files);
    if (progress) {
        quint64 total = 0;
        for (const Entry &entry : m_cache) {
            if (entry.round == Asked && entry.state != Full)
                total += quint64(entry.state == Pending ? entry.size : entry.size - kPrefix);
        }
        progress->done.store(0);
        progress->total.store(total);
    }
    std::atomic<quint64> bytes{0};
    readAll(Phase::Start, files, stop, progress, readers, bytes);
    Outcome outcome;
    outcome.verdicts.resize(pairs.size());
    markRests(pairs, files, progress, outcome.verdicts);
    readAll(Phase::Rest, files, stop, progress, readers, bytes);
    for (size_t k = 0; k < pairs.size(); ++k) {
        if (!outcome.verdicts[k].isCompared())
            outcome.verdicts[k] = verdict(files(pairs[k].first), files(pairs[k].second));
    }
    for (const Entry &entry : m_cache) {
        if (entry.round == Checked && entry.state == Failed)
            outcome.failures.push_back(
                {entry.file, {Kind(entry.digest.low64), quint8(entry.digest.high64)}});
    }
    outcome.bytesRead = bytes.load();
    outcome.stopped = stop.stop_requested();
    forgetUnfinished();
    return outcome;
}

} // namespace twinsift
