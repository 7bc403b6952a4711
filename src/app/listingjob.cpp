// SPDX-License-Identifier: MIT
#include "listingjob.h"

#include <QMetaObject>

namespace twinsift {

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
    WalkOutcome outcome = RecurseFiles2(
        m_folder, m_index, [&](ListingRow &&row) { m_rows.add(std::move(row)); }, stop,
        &m_progress);
    m_rows.flush();
    m_outcome = std::move(outcome);
    QMetaObject::invokeMethod(this, &ListingJob::finished, Qt::QueuedConnection);
}

std::vector<ListingRow> ListingJob::takeRows()
{
    return m_rows.take();
}

} // namespace twinsift
