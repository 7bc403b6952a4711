// SPDX-License-Identifier: MIT
// Comparing the contents of many pairs. `make DIR [PAIRS] [BYTES]` writes PAIRS pairs (20,000)
// over BYTES (2 GB) under DIR: half identical, a quarter of one size but different in their
// last byte (so that every byte of them must be read), a quarter of different sizes. It
// writes DIR/read.list, the files of equal-sized pairs in walk order (NUL-ended), which
// `cat` reads for the read floor. `run DIR` lists the pairs as a search would, compares
// them, and prints the time, the bytes read against the read floor, and the memory the
// compare takes a file read beyond the list.
// Usage: bench_content make DIR [PAIRS] [BYTES] | bench_content run DIR [READERS [PAIRS]]
// (READERS 0: as many as the machine has cores, two at least; PAIRS: the first ones only)

#include "dups/contentcomparer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/stat.h>

using namespace twinsift;

namespace {

long statusKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    }
    return 0;
}

QByteArray name(const QByteArray &dir, qint64 pair, char side)
{
    // A hundred files a folder, as a photo or document tree has them.
    return dir + "/d" + QByteArray::number(pair / 50) + "/file" + QByteArray::number(pair) +
           (side == 'a' ? ".dat" : " (1).dat");
}

int make(const QByteArray &dir, qint64 pairs, qint64 bytes)
{
    QRandomGenerator random(20261207);
    const qint64 average = bytes / (2 * pairs);
    QFile list(QFile::decodeName(dir + "/read.list"));
    QDir().mkpath(QFile::decodeName(dir));
    if (!list.open(QIODevice::WriteOnly))
        return 1;
    QByteArray block(2 * average, Qt::Uninitialized);
    for (qint64 pair = 0; pair < pairs; ++pair) {
        if (pair % 50 == 0)
            QDir().mkpath(QFile::decodeName(dir + "/d" + QByteArray::number(pair / 50)));
        const qint64 size = 1 + qint64(random.bounded(quint32(2 * average - 1)));
        random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        const int kind = int(pair % 4); // 0, 1 identical; 2 same size, different; 3 other size
        QByteArray second = block.left(size + (kind == 3 ? 1 : 0));
        if (kind == 2)
            second[size - 1] = char(~second[size - 1]);
        for (const auto &[side, content] : {std::pair('a', block.left(size)), {'b', second}}) {
            QFile file(QFile::decodeName(name(dir, pair, side)));
            if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
                return 1;
            if (kind != 3)
                list.write(name(dir, pair, side) + '\0');
        }
    }
    return 0;
}

int run(const QByteArray &dir, unsigned readers, size_t limit)
{
    // The list as the window holds it: paths and their identities, pairs by index.
    std::vector<QByteArray> paths;
    std::vector<FileIdentity> identities;
    std::vector<ContentPair> pairs;
    quint64 floor = 0;
    for (qint64 pair = 0;; ++pair) {
        struct stat a {
        }, b{};
        const QByteArray first = name(dir, pair, 'a'), second = name(dir, pair, 'b');
        if (::lstat(first.constData(), &a) != 0 || ::lstat(second.constData(), &b) != 0)
            break;
        pairs.push_back({quint32(paths.size()), quint32(paths.size() + 1)});
        paths.push_back(first);
        paths.push_back(second);
        identities.push_back(FileIdentity::of(a));
        identities.push_back(FileIdentity::of(b));
        if (a.st_size == b.st_size)
            floor += quint64(a.st_size + b.st_size);
    }
    const auto files = [&](quint32 i) { return ContentFile{paths[i], identities[i]}; };
    if (limit > 0 && limit < pairs.size())
        pairs.resize(limit);
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts from here
    const long before = statusKiB("VmRSS:");
    ContentComparer comparer;
    QElapsedTimer timer;
    timer.start();
    const auto outcome = comparer.compare(pairs, files, {}, nullptr, readers);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    qint64 counts[6] = {};
    for (const ContentVerdict &verdict : outcome.verdicts)
        ++counts[int(verdict.kind)];
    std::printf("%zu pairs: %lld same, %lld different, %lld other\n", pairs.size(),
                counts[int(ContentVerdict::Kind::Same)],
                counts[int(ContentVerdict::Kind::Different)],
                qint64(pairs.size()) - counts[1] - counts[2]);
    std::printf("compare: %.3f s, %llu bytes read of a floor of %llu (%s)\n", seconds,
                outcome.bytesRead, floor, outcome.bytesRead <= floor ? "no byte twice" : "MORE");
    // The first compare of the process: the allocator has no freed memory to reuse yet.
    const long peak = statusKiB("VmHWM:") - before;
    std::printf("files read: %zu; peak memory beyond the list: %ld KiB, %.1f bytes a file\n",
                comparer.cachedFiles(), peak, double(peak) * 1024 / double(comparer.cachedFiles()));
    const auto again = comparer.compare(pairs, files, {}, nullptr, readers);
    std::printf("compared again: %llu bytes read\n", again.bytesRead);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 2 ? argv[1] : "", dir = argc > 2 ? argv[2] : "";
    if (mode == "make")
        return make(dir, argc > 3 ? std::atoll(argv[3]) : 20000,
                    argc > 4 ? std::atoll(argv[4]) : 2'000'000'000);
    if (mode == "run")
        return run(dir, argc > 3 ? unsigned(std::atoi(argv[3])) : 0,
                   argc > 4 ? size_t(std::atoll(argv[4])) : 0);
    std::fputs(
        "usage: bench_content make DIR [PAIRS] [BYTES] | bench_content run DIR [READERS [PAIRS]]\n",
        stderr);
    return 2;
}
