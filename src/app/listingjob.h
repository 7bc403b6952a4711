// SPDX-License-Identifier: MIT
#pragma once

#include "batchqueue.h"
#include "listing/listing.h"

#include <QObject>

#include <thread>

namespace twinsift {

// Walks one folder off the GUI thread for "&List Files". Rows are numbered on from the
// running index the job was given and wait in batches for the window to take them.
class ListingJob : public QObject {
    Q_OBJECT
public:
    ListingJob(QByteArray folder, quint64 lastNumber, QObject *parent = nullptr);
    ~ListingJob() override;

    void start();
    void stop() { m_thread.request_stop(); }

    // The rows found since the last call, in walk order.
    std::vector<ListingRow> takeRows();
    quint64 filesSeen() const { return m_progress.files.load(std::memory_order_relaxed); }
    // Valid once finished() has been sent.
    const WalkOutcome &outcome() const { return m_outcome; }

Q_SIGNALS:
    void finished();

private:
    void run(std::stop_token stop);

    const QByteArray m_folder;
    RunningIndex m_index;
    WalkProgress m_progress;
    WalkOutcome m_outcome;
    BatchQueue<ListingRow> m_rows;
    std::jthread m_thread; // last, so that it is joined before the members it uses go
};

} // namespace twinsift
