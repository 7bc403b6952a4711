// SPDX-License-Identifier: MIT
#include "comparejob.h"

#include "app/messages.h"

namespace twinsift {

CompareJob::CompareJob(std::shared_ptr<ContentComparer> comparer, std::vector<QByteArray> files,
                       std::vector<FileIdentity> identities, std::vector<ContentPair> pairs,
                       std::vector<quint64> numbers)
    : m_comparer(std::move(comparer)), m_files(std::move(files)),
      m_identities(std::move(identities)), m_pairs(std::move(pairs)), m_numbers(std::move(numbers))
{
}

void CompareJob::run(std::stop_token stop)
{
    m_outcome = m_comparer->compare(
        m_pairs,
        [&](quint32 i) {
            return ContentFile{m_files[i], m_identities[i]};
        },
        stop, &m_progress);
}

WorkJob::Progress CompareJob::progress() const
{
    const quint64 total = m_progress.total.load(std::memory_order_relaxed);
    const quint64 done = std::min(m_progress.done.load(std::memory_order_relaxed), total);
    if (total == 0)
        return {0, 0, tr("Comparing contents")};
    return {done, total, Messages::percent(100.0 * double(done) / double(total))};
}

} // namespace twinsift
