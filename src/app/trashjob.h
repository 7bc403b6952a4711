// SPDX-License-Identifier: MIT
#pragma once

#include "actions/deletion.h"
#include "app/workjob.h"

namespace twinsift {

// Sends the files that "&Delete" was confirmed for to the trash, one by one, so that a slow
// or hung file system never holds up the window. Stopped, it ends between two files. Without
// a trasher of its own, it uses one trash session for the whole delete.
class TrashJob : public WorkJob {
    Q_OBJECT
public:
    TrashJob(QList<ListedFile> files, Trasher trasher = {});

    Progress progress() const override;
    // Valid once the job has ended.
    const DeletionOutcome &outcome() const { return m_outcome; }

    void run(std::stop_token stop) override;

private:
    const QList<ListedFile> m_files;
    const Trasher m_trasher;
    std::atomic<quint64> m_done{0};
    DeletionOutcome m_outcome;
};

} // namespace twinsift
