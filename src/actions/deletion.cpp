// SPDX-License-Identifier: MIT
#include "deletion.h"

#include "app/messages.h"
#include "listing/rawname.h"

#include <QCoreApplication>
#include <QSet>

namespace twinsift {

namespace {
constexpr qsizetype kNamedFailures = 10;
}

DeletionOutcome deleteFiles(const QList<QByteArray> &paths, const Trasher &DeleteFile,
                            std::stop_token stop, std::atomic<quint64> *done)
{
    DeletionOutcome outcome;
    QSet<QByteArray> sent;
    for (const QByteArray &path : paths) {
        if (stop.stop_requested()) {
            outcome.stopped = true;
            break;
        }
        if (!sent.contains(path)) {
            sent.insert(path);
            const trash::TrashResult result = DeleteFile(path);
            if (result.moved)
                outcome.moved.append(path);
            else
                outcome.failures.append({path, result.error});
        }
        if (done)
            done->fetch_add(1, std::memory_order_relaxed);
    }
    return outcome;
}

QString failureMessage(const QList<TrashFailure> &failures)
{
    if (failures.isEmpty())
        return {};
    QStringList lines;
    for (const TrashFailure &failure : failures)
        lines << QStringLiteral("%1: %2").arg(rawname::display(failure.path), failure.reason);
    const int count = int(failures.size());
    return Messages::namedList(
        QCoreApplication::translate("Deletion",
                                    "These %n file(s) could not be moved to the trash and are "
                                    "still in place:",
                                    nullptr, count),
        lines, kNamedFailures);
}

} // namespace twinsift
