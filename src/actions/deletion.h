// SPDX-License-Identifier: MIT
#pragma once

#include "actions/trash.h"

#include <QList>

#include <atomic>
#include <functional>
#include <stop_token>

namespace twinsift {

using Trasher = std::function<trash::TrashResult(const ListedFile &file)>;

struct TrashFailure {
    QByteArray path;
    QString reason;
};

struct DeletionOutcome {
    QList<QByteArray> moved;
    QList<TrashFailure> failures;
    bool stopped = false; // asked to stop before every path had its turn
    // Where each moved file went, for a restore.
    QList<trash::TrashedFile> trashed;
};

// Sends each of `files` to the trash, in their order; a path given twice is sent once.
// Between two files it stops when `stop` asks; what was moved stays moved. `done` counts the
// files that had their turn, for a progress display on another thread.
DeletionOutcome deleteFiles(const QList<ListedFile> &files, const Trasher &DeleteFile,
                            std::stop_token stop = {}, std::atomic<quint64> *done = nullptr);

// For the confirmation of a delete of `paths`: how many files will go, and the first few of
// them by name. A path given twice goes once.
QString confirmationCount(const QList<QByteArray> &paths);
QString confirmationNames(const QList<QByteArray> &paths);

// One message naming the files that could not be moved and why; empty when none.
QString failureMessage(const QList<TrashFailure> &failures);

} // namespace twinsift
