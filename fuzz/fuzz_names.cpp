// SPDX-License-Identifier: MIT
// The name routines on any file name: raw bytes survive the round trip through text, stems
// hold only capitals, keys keep three characters, and the pair score is symmetric, bounded
// and agrees with the plain greedy count.
#include "dups/genmodules.h"
#include "listing/filehash.h"
#include "listing/rawname.h"
#include "plainsearch.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace twinsift;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = rawname::decode(bytes);
    if (rawname::encode(name) != bytes)
        std::abort();

    const QString stem = genModules::lettersOnly(name);
    for (QChar c : stem) {
        if (c < u'A' || c > u'Z')
            std::abort();
    }
    if (name.size() >= 3 && genModules::extUpper(name).size() != 3)
        std::abort();
    if (filehash::hashValue(name) < 0 || filehash::hashValue(name) % 33 != 0)
        std::abort();

    // Split the input in two names and compare them both ways.
    const qsizetype half = name.size() / 2;
    const QString first = genModules::lettersOnly(QString(name.left(half) + u"abc"));
    const QString second = genModules::lettersOnly(QString(name.mid(half) + u"abc"));
    const int matches = genModules::commonPairs(first, second);
    if (matches != genModules::commonPairs(second, first) ||
        matches != reference::designedMatches(first, second))
        std::abort();
    const double score = genModules::pairSimilarity(first, second);
    if (score < 0.0 || score > 1.0 || score != genModules::pairSimilarity(second, first))
        std::abort();
    // The raw name too, with whatever characters it holds.
    if (genModules::commonPairs(name.left(half), name.mid(half)) !=
        reference::designedMatches(name.left(half), name.mid(half)))
        std::abort();
    return 0;
}
