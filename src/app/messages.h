// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QStringList>

namespace twinsift {

struct WalkOutcome;

// The window's longer message texts, made in one place so that each is worded once.
class Messages {
    Q_DECLARE_TR_FUNCTIONS(Messages)
public:
    // `heading`, then the first `shown` of `lines`, then a line saying how many more there
    // are, each on a line of its own.
    static QString namedList(const QString &heading, const QStringList &lines, qsizetype shown);
    // What a walk could not read, told once at its end; empty when it read everything.
    static QString walkErrors(const WalkOutcome &outcome, bool searched);

    static QString files(quint64 count);
    static QString percent(double value);
};

} // namespace twinsift
