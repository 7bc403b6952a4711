// SPDX-License-Identifier: MIT
#pragma once

#include "app/batchqueue.h"
#include "app/workjob.h"
#include "listing/listing.h"

namespace twinsift {

// Walks one folder for "&List Files". Rows are numbered on from the running index the job
// was given and wait in batches for the window to take them.
class ListingJob : public WorkJob {
    Q_OBJECT
public:
    ListingJob(QByteArray folder, quint64 lastNumber);

    // The rows found since the last call, in walk order.
    std::vector<ListingRow> takeRows();
    quint64 filesSeen() const { return m_progress.files.load(std::memory_order_relaxed); }
    Progress progress() const override;
    // Valid once the job has ended.
    const WalkOutcome &outcome() const { return m_outcome; }

    void run(std::stop_token stop) override;

private:
    const QByteArray m_folder;
    RunningIndex m_index;
    WalkProgress m_progress;
    WalkOutcome m_outcome;
    BatchQueue<ListingRow> m_rows;
};

} // namespace twinsift
