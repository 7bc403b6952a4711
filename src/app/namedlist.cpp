// SPDX-License-Identifier: MIT
#include "namedlist.h"

#include <QCoreApplication>

namespace twinsift::namedlist {

QStringList firstOf(const QStringList &lines, qsizetype shown)
{
    QStringList named = lines.mid(0, shown);
    if (lines.size() > shown)
        named << QCoreApplication::translate("NamedList", "and %Ln more.", nullptr,
                                             int(lines.size() - shown));
    return named;
}

} // namespace twinsift::namedlist
