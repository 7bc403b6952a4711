// SPDX-License-Identifier: MIT
#pragma once

// The pair loop as designed: every candidate against every later one, the extension keys
// first, then the letter-pair similarity of the stems. Kept as the reference that the fast
// search must agree with row for row, and as the baseline of the benchmarks.

#include "dups/genmodules.h"

#include <QString>

#include <vector>

namespace twinsift::reference {

struct Candidate {
    QString stem;
    QString ext;
};

struct Pair {
    quint32 first;
    quint32 second;
    int percent;
    bool operator==(const Pair &) const = default;
};

inline QString trimSpaces(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

// The letter-pair score exactly as designed: both pair lists built afresh, each pair of the
// first text taking the first unused equal pair of the second.
inline int designedMatches(const QString &first, const QString &second)
{
    const QStringList firstPairs = genModules::charPairs(first);
    QStringList secondPairs = genModules::charPairs(second);
    int matches = 0;
    for (const QString &pair : firstPairs) {
        for (QString &candidate : secondPairs) {
            if (candidate == pair) {
                ++matches;
                candidate.clear();
                break;
            }
        }
    }
    return matches;
}

// `matches` scores two stems: designedMatches, or a faster routine with the same results.
template <typename Matches = int (*)(const QString &, const QString &)>
std::vector<Pair> plainPairs(const std::vector<Candidate> &candidates, int percent,
                             Matches matches = designedMatches)
{
    // Copied out and trimmed once, so that the loop reads only memory.
    std::vector<QString> stems, exts;
    for (const Candidate &c : candidates) {
        stems.push_back(trimSpaces(c.stem));
        exts.push_back(trimSpaces(c.ext));
    }
    std::vector<Pair> pairs;
    const double threshold = percent / 100.0;
    const size_t n = candidates.size();
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (exts[j] != exts[i])
                continue;
            const int m = matches(stems[i], stems[j]);
            const qint64 a = stems[i].size() - 1, b = stems[j].size() - 1;
            if (a + b <= 0 || 2.0 * m / double(a + b) <= threshold)
                continue;
            // The exact form settles the ties that the double cannot tell apart.
            if (!genModules::qualifies(m, a, b, percent))
                continue;
            pairs.push_back({quint32(i), quint32(j), genModules::similarityPercent(m, a + b)});
        }
    }
    return pairs;
}

} // namespace twinsift::reference
