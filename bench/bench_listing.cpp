// SPDX-License-Identifier: MIT
// Writes a listing of N generated, realistic paths for `twinsift-cli dups --from`: names from
// the search bench's generator, spread over nested folders as a photo, music and document
// collection would be. Usage: bench_listing N [--null] > listing
#include "names.h"

#include <QByteArray>

#include <cstdio>

int main(int argc, char **argv)
{
    const qint64 count = argc > 1 ? QByteArray(argv[1]).toLongLong() : 0;
    const bool nul = argc > 2 && QByteArray(argv[2]) == "--null";
    if (count <= 0) {
        std::fputs("usage: bench_listing N [--null]\n", stderr);
        return 2;
    }
    NameGenerator names(42);
    QByteArray out;
    for (qint64 i = 0; i < count; ++i) {
        // About 40 files a folder, 50 folders a parent, as trees of real files hold them.
        out += "/srv/archive/set" + QByteArray::number(i / 2000) + "/folder" +
               QByteArray::number(i / 40 % 50) + '/' + names.next().toUtf8() + (nul ? '\0' : '\n');
        if (out.size() > (1 << 20)) {
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}
