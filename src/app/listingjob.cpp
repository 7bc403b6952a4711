// SPDX-License-Identifier: MIT
#include "listingjob.h"

#include <QMetaObject>

namespace twinsift {

namespace {
constexpr size_t kBatch = 4096;
}

ListingJob::ListingJob(QByteArray folder, quint64 lastNumber, QObject *parent)
    : QObject(parent), m_folder(std::move(folder))
{
    m_index.store(lastNumber);
}

ListingJob::~ListingJob()
{
    m_thread.request_stop();
}

void ListingJob::start()
{
    m_thread = std::jthread([this](std::stop_token stop) { run(std::move(stop)); });
}

void ListingJob::run(std::stop_token stop)
{
    std::vector<ListingRow> batch;
    batch.reserve(kBatch);
    WalkOutcome outcome = RecurseFiles2(
        m_folder, m_index,
        [&](ListingRow &&row) {
            batch.push_back(std::move(row));
            if (batch.size() >= kBatch)
                hand(batch);
        },
        stop, &m_progress);
    hand(batch);
    m_outcome = std::move(outcome);
    QMetaObject::invokeMethod(this, &ListingJob::finished, Qt::QueuedConnection);
}

void ListingJob::hand(std::vector<ListingRow> &batch)
{
    std::lock_guard lock(m_mutex);
    if (m_pending.empty())
        m_pending.swap(batch);
    else
        std::move(batch.begin(), batch.end(), std::back_inserter(m_pending));
    batch.clear();
    batch.reserve(kBatch);
}

std::vector<ListingRow> ListingJob::takeRows()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_pending, {});
}

} // namespace twinsift
