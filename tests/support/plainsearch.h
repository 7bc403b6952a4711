// SPDX-License-Identifier: MIT
#pragma once

// The pair loop as designed: every candidate against every later one, the extension keys
// first, then the letter-pair similarity of the stems. Kept as the reference that the fast
// search must agree with row for row, and as the baseline of the benchmarks.

#include "dups/genmodules.h"

#include <QRegularExpression>
#include <QString>

#include <vector>

namespace twinsift::reference {

struct Candidate {
    QString stem, ext;
};

struct Pair {
    quint32 first, second;
    int percent;
    bool operator==(const Pair &) const = default;
};

inline QString trimSpaces(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("^ +| +$")));
}

// The letter-pair score exactly as designed: both pair lists built afresh, each pair of the
// first text taking the first unused equal pair of the second.
inline int designedMatches(const QString &first, const QString &second)
{
    QStringList secondPairs = genModules::charPairs(second);
    int matches = 0;
    for (const QString &pair : genModules::charPairs(first)) {
        const qsizetype at = secondPairs.indexOf(pair); // a used pair is empty: never equal
        if (at >= 0) {
            ++matches;
            secondPairs[at].clear();
        }
    }
    return matches;
}

// `matches` scores two stems: designedMatches, or a faster routine with the same results.
template <typename Matches = int (*)(const QString &, const QString &)>
std::vector<Pair> plainPairs(const std::vector<Candidate> &candidates, int percent,
                             Matches matches = designedMatches)
{
    std::vector<Candidate> c; // copied out and trimmed once, so that the loop reads only memory
    for (const Candidate &candidate : candidates)
        c.push_back({trimSpaces(candidate.stem), trimSpaces(candidate.ext)});
    std::vector<Pair> pairs;
    for (size_t i = 0; i < c.size(); ++i) {
        for (size_t j = i + 1; j < c.size(); ++j) {
            if (c[j].ext != c[i].ext)
                continue;
            const int m = matches(c[i].stem, c[j].stem);
            const qint64 a = c[i].stem.size() - 1, b = c[j].stem.size() - 1;
            // The exact form settles the ties that the double cannot tell apart.
            if (a + b > 0 && 2.0 * m / double(a + b) > percent / 100.0 &&
                genModules::qualifies(m, a, b, percent))
                pairs.push_back({quint32(i), quint32(j), genModules::similarityPercent(m, a + b)});
        }
    }
    return pairs;
}

} // namespace twinsift::reference
