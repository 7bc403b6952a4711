// SPDX-License-Identifier: MIT
#include "deletion.h"

#include "app/resultmodel.h"
#include "listing/rawname.h"

#include <QSet>

namespace twinsift {

namespace {
constexpr qsizetype kNamedFailures = 10;
}

DeletionOutcome deleteTicked(const ResultModel &model, const Trasher &DeleteFile)
{
    DeletionOutcome outcome;
    QSet<QByteArray> sent;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (!model.isChecked(row))
            continue;
        outcome.requested = true;
        const QByteArray path = model.pathCell(row);
        if (sent.contains(path))
            continue;
        sent.insert(path);
        const trash::TrashResult result = DeleteFile(path);
        if (result.moved)
            ++outcome.moved;
        else
            outcome.failures.append({path, result.error});
    }
    return outcome;
}

QString failureMessage(const QList<TrashFailure> &failures)
{
    if (failures.isEmpty())
        return {};
    QStringList lines;
    lines << (failures.size() == 1
                  ? QStringLiteral(
                        "This file could not be moved to the trash and is still in place:")
                  : QStringLiteral("These %1 files could not be moved to the trash and are still "
                                   "in place:")
                        .arg(failures.size()));
    for (qsizetype i = 0; i < failures.size() && i < kNamedFailures; ++i)
        lines << QStringLiteral("%1: %2").arg(rawname::display(failures[i].path),
                                              failures[i].reason);
    if (failures.size() > kNamedFailures)
        lines << QStringLiteral("and %1 more.").arg(failures.size() - kNamedFailures);
    return lines.join(u'\n');
}

} // namespace twinsift
