// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

namespace twinsift {

// Why two file names count as alike, worked out by the search's own routines, so that the
// numbers always agree with the pair's similarity.
struct Likeness {
    QString firstStem;
    QString secondStem;
    int shared = 0; // letter pairs in common, each pair used once
    int pairsFirst = 0;
    int pairsSecond = 0;
    int percent = 0;

    // "REPORT / REPORTS: 5 shared letter pairs of 5 and 6 -> 91 %"
    QString text() const;

    // From two raw paths: the name is what follows the last "/".
    static Likeness of(QByteArrayView firstPath, QByteArrayView secondPath);
};

} // namespace twinsift
