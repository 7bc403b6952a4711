// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <algorithm>

// The name routines that decide when two file names count as alike. Positions and
// lengths count UTF-16 units, as QString does.
namespace twinsift::genModules {

// Capital letters A to Z of the name, leaving out its last three characters.
QString lettersOnly(QStringView name);

// The last three characters, each upper-cased on its own (so the length never changes).
QString extUpper(QStringView name);

// The overlapping two-character pairs of a text, in order.
QStringList charPairs(QStringView text);

// Size of the common part of the two pair lists, counted with repetition.
int commonPairs(QStringView first, QStringView second);

// 2 * common pairs / all pairs of both texts, from 0 to 1. Texts without any pair score 0.
double pairSimilarity(QStringView first, QStringView second);

// Exact form of "similarity above percent / 100" for `matches` common pairs out of
// `pairsFirst` and `pairsSecond`: 200 m > k (a + b), so equality never qualifies.
constexpr bool qualifies(qint64 matches, qint64 pairsFirst, qint64 pairsSecond, int percent)
{
    return 200 * matches > percent * (pairsFirst + pairsSecond);
}

// The fewest common pairs that qualify `pairsFirst` and `pairsSecond` at `percent`.
constexpr qint64 fewestMatches(qint64 pairsFirst, qint64 pairsSecond, int percent)
{
    return percent * (pairsFirst + pairsSecond) / 200 + 1;
}

// The fewest pairs a stem may have to be alike enough to one of `a` pairs that is no shorter:
// 200 m > k (a + b) with m <= b <= a needs b > k a / (200 - k); none when k reaches 100.
constexpr qint64 smallestPartner(qint64 a, int percent)
{
    return percent < 100 ? std::max<qint64>(percent * a / (200 - percent) + 1, 1) : a + 1;
}

// 100 * 2m / (a + b) rounded to the nearest whole number, halves to the even neighbour.
int similarityPercent(qint64 matches, qint64 pairsTotal);

} // namespace twinsift::genModules
