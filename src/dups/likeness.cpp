// SPDX-License-Identifier: MIT
#include "likeness.h"

#include "genmodules.h"
#include "listing/rawname.h"

#include <QCoreApplication>

namespace twinsift {

namespace {

QString stemOf(QByteArrayView path)
{
    return genModules::lettersOnly(rawname::decode(path.sliced(path.lastIndexOf('/') + 1)));
}

int pairsOf(const QString &stem)
{
    return int(std::max<qsizetype>(stem.size() - 1, 0));
}

} // namespace

Likeness Likeness::of(QByteArrayView firstPath, QByteArrayView secondPath)
{
    Likeness made;
    made.firstStem = stemOf(firstPath);
    made.secondStem = stemOf(secondPath);
    made.shared = genModules::commonPairs(made.firstStem, made.secondStem);
    made.pairsFirst = pairsOf(made.firstStem);
    made.pairsSecond = pairsOf(made.secondStem);
    made.percent = genModules::similarityPercent(made.shared, made.pairsFirst + made.pairsSecond);
    return made;
}

QString Likeness::text() const
{
    return QCoreApplication::translate("twinsift::Likeness",
                                       "%1 / %2: %Ln shared letter pair(s) of %3 and %4 -> %5 %",
                                       nullptr, shared)
        .arg(firstStem, secondStem)
        .arg(pairsFirst)
        .arg(pairsSecond)
        .arg(percent);
}

} // namespace twinsift
