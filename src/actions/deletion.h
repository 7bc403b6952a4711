// SPDX-License-Identifier: MIT
#pragma once

#include "trash.h"

#include <QList>

#include <functional>

namespace twinsift {

class ResultModel;

using Trasher = std::function<trash::TrashResult(const QByteArray &path)>;

struct TrashFailure {
    QByteArray path;
    QString reason;
};

struct DeletionOutcome {
    bool requested = false; // at least one row was ticked
    int moved = 0;
    QList<TrashFailure> failures;
    // Where each moved file went, for a restore.
    QList<trash::TrashedFile> trashed;
};

// Sends the path-cell file of every ticked row to the trash, in the list's display order.
// A path that stands in several ticked rows is sent once.
DeletionOutcome deleteTicked(const ResultModel &model, const Trasher &DeleteFile);

// The path-cell files of the ticked rows, each once, in the list's display order.
QList<QByteArray> tickedFiles(const ResultModel &model);

// For the confirmation: how many files will go, and the first few of them by name.
QString confirmationCount(const QList<QByteArray> &files);
QString confirmationNames(const QList<QByteArray> &files);

// One message naming the files that could not be moved and why; empty when none.
QString failureMessage(const QList<TrashFailure> &failures);

} // namespace twinsift
