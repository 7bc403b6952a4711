// SPDX-License-Identifier: MIT
#include "deletion.h"

#include "app/messages.h"
#include "app/namedlist.h"
#include "listing/rawname.h"

#include <QCoreApplication>
#include <QSet>

namespace twinsift {

namespace {
constexpr qsizetype kNamedFailures = 10; // files named in a message; the rest are counted
}

DeletionOutcome deleteFiles(const QList<ListedFile> &files, const Trasher &DeleteFile,
                            std::stop_token stop, std::atomic<quint64> *done)
{
    DeletionOutcome outcome;
    QSet<QByteArray> sent;
    for (const ListedFile &file : files) {
        if (stop.stop_requested()) {
            outcome.stopped = true;
            break;
        }
        const QByteArray &path = file.path;
        if (!sent.contains(path)) {
            sent.insert(path);
            const trash::TrashResult result = DeleteFile(file);
            if (result.moved) {
                outcome.moved.append(path);
                if (!result.entry.trashDir.isEmpty())
                    outcome.trashed.append(result.entry);
            } else {
                outcome.failures.append({path, result.error});
            }
        }
        if (done)
            done->fetch_add(1, std::memory_order_relaxed);
    }
    return outcome;
}

namespace {
// The paths as the delete sends them: each once.
QList<QByteArray> distinct(const QList<QByteArray> &paths)
{
    QList<QByteArray> once;
    QSet<QByteArray> seen;
    for (const QByteArray &path : paths) {
        if (!seen.contains(path)) {
            seen.insert(path);
            once.append(path);
        }
    }
    return once;
}
} // namespace

QString confirmationCount(const QList<QByteArray> &paths)
{
    if (paths.isEmpty())
        return QCoreApplication::translate("Deletion",
                                           "Nothing is ticked: no file will go to the trash.");
    return QCoreApplication::translate("Deletion", "%Ln file(s) will go to the trash.", nullptr,
                                       int(distinct(paths).size()));
}

QString confirmationNames(const QList<QByteArray> &paths)
{
    const QList<QByteArray> files = distinct(paths);
    QStringList lines;
    for (const QByteArray &file : files)
        lines << rawname::display(file);
    return namedlist::firstOf(lines, kNamedFailures).join(u'\n');
}

QString failureMessage(const QList<TrashFailure> &failures)
{
    if (failures.isEmpty())
        return {};
    QStringList lines;
    for (const TrashFailure &failure : failures)
        lines << QStringLiteral("%1: %2").arg(rawname::display(failure.path), failure.reason);
    // Each reason says what happened; where the file is now is not known.
    return Messages::namedList(
        QCoreApplication::translate("Deletion", "%Ln file(s) could not be moved to the trash:",
                                    nullptr, int(failures.size())),
        lines, kNamedFailures);
}

} // namespace twinsift
