// SPDX-License-Identifier: MIT
#include "messages.h"

#include "app/namedlist.h"
#include "listing/folderwalker.h"
#include "listing/rawname.h"

#include <QLocale>

namespace twinsift {

namespace {
constexpr qsizetype kNamedWalkErrors = 5;
}

QString Messages::namedList(const QString &heading, const QStringList &lines, qsizetype shown)
{
    return (QStringList{heading} + namedlist::firstOf(lines, shown)).join(u'\n');
}

QString Messages::walkErrors(const WalkOutcome &outcome, bool searched)
{
    if (outcome.errors.empty())
        return {};
    if (outcome.rootFailed) {
        const WalkError &error = outcome.errors.front();
        return tr("The folder %1 cannot be read: %2")
            .arg(rawname::display(error.path), error.reason);
    }
    QStringList lines;
    for (const WalkError &error : outcome.errors)
        lines << tr("%1: %2").arg(rawname::display(error.path), error.reason);
    const int count = int(lines.size());
    return namedList(
        searched
            ? tr("%Ln folder(s) or file(s) could not be read and were not searched:", nullptr,
                 count)
            : tr("%Ln folder(s) or file(s) could not be read and were not listed:", nullptr, count),
        lines, kNamedWalkErrors);
}

QString Messages::files(quint64 count)
{
    return tr("%Ln file(s)", nullptr, int(std::min<quint64>(count, INT_MAX)));
}

QString Messages::percent(double value)
{
    return QLocale().toString(value, 'f', 0) + u'%';
}

} // namespace twinsift
