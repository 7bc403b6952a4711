// SPDX-License-Identifier: MIT
// Writes a listing of N generated, realistic paths for `twinsift-cli dups --from`: folders of
// related names whose vocabulary grows with N (see corpustree.h), so that the rows grow about
// as the names. `--fixed` takes the names from the search bench's generator instead, whose
// fixed vocabulary makes alike names grow with N squared. The number of distinct words goes
// to standard error.
// Usage: bench_listing N [--null] [--fixed] > listing
#include "corpustree.h"
#include "names.h"

#include <QByteArray>

#include <cstdio>

int main(int argc, char **argv)
{
    const qint64 count = argc > 1 ? QByteArray(argv[1]).toLongLong() : 0;
    bool nul = false, fixed = false;
    for (int i = 2; i < argc; ++i) {
        nul |= QByteArray(argv[i]) == "--null";
        fixed |= QByteArray(argv[i]) == "--fixed";
    }
    if (count <= 0) {
        std::fputs("usage: bench_listing N [--null] [--fixed]\n", stderr);
        return 2;
    }
    NameGenerator names(42);
    CorpusTree tree(42);
    if (!fixed && tree.isEmpty()) {
        std::fputs("bench_listing: no file names under /usr to learn from\n", stderr);
        return 1;
    }
    QByteArray out;
    for (qint64 i = 0; i < count; ++i) {
        // About 40 files a folder, 50 folders a parent, as the fixed names always came.
        out += (fixed ? "/srv/archive/set" + QByteArray::number(i / 2000) + "/folder" +
                            QByteArray::number(i / 40 % 50) + '/' + names.next().toUtf8()
                      : tree.next()) +
               (nul ? '\0' : '\n');
        if (out.size() > (1 << 20)) {
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    if (!fixed)
        std::fprintf(stderr, "%lld names, %lld distinct words\n", qlonglong(count),
                     qlonglong(tree.vocabulary()));
    return 0;
}
