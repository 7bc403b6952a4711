// SPDX-License-Identifier: MIT
#include "deletion.h"

#include "app/resultmodel.h"
#include "listing/rawname.h"

#include <QCoreApplication>
#include <QSet>

namespace twinsift {

namespace {
constexpr qsizetype kNamedFailures = 10; // files named in a message; the rest are counted
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
        if (result.moved) {
            ++outcome.moved;
            if (!result.entry.trashDir.isEmpty())
                outcome.trashed.append(result.entry);
        } else {
            outcome.failures.append({path, result.error});
        }
    }
    return outcome;
}

QList<QByteArray> tickedFiles(const ResultModel &model)
{
    QList<QByteArray> files;
    QSet<QByteArray> seen;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (!model.isChecked(row))
            continue;
        const QByteArray path = model.pathCell(row);
        if (!seen.contains(path)) {
            seen.insert(path);
            files.append(path);
        }
    }
    return files;
}

QString confirmationCount(const QList<QByteArray> &files)
{
    if (files.isEmpty())
        return QCoreApplication::translate("twinsift",
                                           "Nothing is ticked: no file will go to the trash.");
    return QCoreApplication::translate("twinsift", "%n file(s) will go to the trash.", nullptr,
                                       int(files.size()));
}

QString confirmationNames(const QList<QByteArray> &files)
{
    QStringList lines;
    for (qsizetype i = 0; i < files.size() && i < kNamedFailures; ++i)
        lines << rawname::display(files[i]);
    if (files.size() > kNamedFailures)
        lines << QCoreApplication::translate("twinsift", "and %n more.", nullptr,
                                             int(files.size() - kNamedFailures));
    return lines.join(u'\n');
}

QString failureMessage(const QList<TrashFailure> &failures)
{
    if (failures.isEmpty())
        return {};
    QStringList lines;
    // Each reason says what happened; where the file is now is not known.
    lines << QCoreApplication::translate(
        "twinsift", "%n file(s) could not be moved to the trash:", nullptr, int(failures.size()));
    for (qsizetype i = 0; i < failures.size() && i < kNamedFailures; ++i)
        lines << QStringLiteral("%1: %2").arg(rawname::display(failures[i].path),
                                              failures[i].reason);
    if (failures.size() > kNamedFailures)
        lines << QCoreApplication::translate("twinsift", "and %n more.", nullptr,
                                             int(failures.size() - kNamedFailures));
    return lines.join(u'\n');
}

} // namespace twinsift
