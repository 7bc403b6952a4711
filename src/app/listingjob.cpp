// SPDX-License-Identifier: MIT
#include "listingjob.h"

#include "app/messages.h"

namespace twinsift {

ListingJob::ListingJob(QByteArray folder, quint64 lastNumber) : m_folder(std::move(folder))
{
    m_index.store(lastNumber);
}

void ListingJob::run(std::stop_token stop)
{
    m_outcome = RecurseFiles2(
        m_folder, m_index, [&](ListingRow &&row) { m_rows.add(std::move(row)); }, stop,
        &m_progress);
    m_rows.flush();
}

std::vector<ListingRow> ListingJob::takeRows()
{
    return m_rows.take();
}

WorkJob::Progress ListingJob::progress() const
{
    return {0, 0, Messages::files(filesSeen())};
}

} // namespace twinsift
