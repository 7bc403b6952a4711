// SPDX-License-Identifier: MIT
#include "genmodules.h"

#include <array>
#include <unordered_map>

namespace twinsift::genModules {

namespace {

bool isCapital(QChar c)
{
    return c.unicode() >= u'A' && c.unicode() <= u'Z';
}

bool allCapitals(QStringView text)
{
    for (QChar c : text) {
        if (!isCapital(c))
            return false;
    }
    return true;
}

} // namespace

QString lettersOnly(QStringView name)
{
    const qsizetype limit = name.size() - 3;
    QString stem;
    if (limit <= 0)
        return stem;
    stem.reserve(limit);
    for (qsizetype k = 0; k < limit; ++k) {
        const QChar upper = name[k].toUpper();
        if (isCapital(upper))
            stem.append(upper);
    }
    return stem;
}

QString extUpper(QStringView name)
{
    QString key = name.right(3).toString();
    for (QChar &c : key)
        c = c.toUpper();
    return key;
}

QStringList charPairs(QStringView text)
{
    QStringList pairs;
    for (qsizetype k = 0; k + 1 < text.size(); ++k)
        pairs.append(text.mid(k, 2).toString());
    return pairs;
}

int commonPairs(QStringView first, QStringView second)
{
    if (first.size() < 2 || second.size() < 2)
        return 0;
    int matches = 0;
    if (allCapitals(first) && allCapitals(second)) {
        // Stems are always capitals A to Z: 676 possible pairs fit a small counter table.
        std::array<quint32, 26 * 26> available{};
        for (qsizetype k = 0; k + 1 < second.size(); ++k)
            ++available[size_t((second[k].unicode() - u'A') * 26 +
                               (second[k + 1].unicode() - u'A'))];
        for (qsizetype k = 0; k + 1 < first.size(); ++k) {
            auto &left = available[size_t((first[k].unicode() - u'A') * 26 +
                                          (first[k + 1].unicode() - u'A'))];
            if (left > 0) {
                --left;
                ++matches;
            }
        }
        return matches;
    }
    std::unordered_map<quint32, int> available;
    auto key = [](QStringView text, qsizetype k) {
        return (quint32(text[k].unicode()) << 16) | text[k + 1].unicode();
    };
    for (qsizetype k = 0; k + 1 < second.size(); ++k)
        ++available[key(second, k)];
    for (qsizetype k = 0; k + 1 < first.size(); ++k) {
        auto it = available.find(key(first, k));
        if (it != available.end() && it->second > 0) {
            --it->second;
            ++matches;
        }
    }
    return matches;
}

double pairSimilarity(QStringView first, QStringView second)
{
    const qsizetype pairs =
        std::max<qsizetype>(first.size() - 1, 0) + std::max<qsizetype>(second.size() - 1, 0);
    if (pairs <= 0)
        return 0.0;
    return 2.0 * commonPairs(first, second) / double(pairs);
}

int similarityPercent(qint64 matches, qint64 pairsTotal)
{
    if (pairsTotal <= 0)
        return 0;
    const qint64 scaled = 200 * matches;
    qint64 quotient = scaled / pairsTotal;
    const qint64 twiceRest = 2 * (scaled % pairsTotal);
    if (twiceRest > pairsTotal || (twiceRest == pairsTotal && quotient % 2 != 0))
        ++quotient;
    return int(quotient);
}

} // namespace twinsift::genModules
