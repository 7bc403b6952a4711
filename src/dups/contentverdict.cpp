// SPDX-License-Identifier: MIT
#include "contentverdict.h"

#include <QCoreApplication>

#include <cstring>

namespace twinsift {

QString ContentVerdict::word() const
{
    switch (kind) {
    case Kind::NotCompared:
        return {};
    case Kind::Same:
        return QStringLiteral("same");
    case Kind::Different:
        return QStringLiteral("different");
    case Kind::Unreadable:
    case Kind::Changed:
    case Kind::NotRegular:
        break;
    }
    return QStringLiteral("unreadable");
}

QString ContentVerdict::text() const
{
    switch (kind) {
    case Kind::NotCompared:
        return {};
    case Kind::Same:
        return QCoreApplication::translate("twinsift::ContentVerdict", "same");
    case Kind::Different:
        return QCoreApplication::translate("twinsift::ContentVerdict", "different");
    case Kind::Unreadable: {
        // The system's wording, which reads as a reason once its capital is lowered.
        QString reason = QString::fromLocal8Bit(std::strerror(error));
        if (!reason.isEmpty())
            reason[0] = reason[0].toLower();
        return QCoreApplication::translate("twinsift::ContentVerdict", "unreadable: %1")
            .arg(reason);
    }
    case Kind::Changed:
        return QCoreApplication::translate("twinsift::ContentVerdict",
                                           "changed since it was listed");
    case Kind::NotRegular:
        return QCoreApplication::translate("twinsift::ContentVerdict", "not a regular file");
    }
    return {};
}

} // namespace twinsift
