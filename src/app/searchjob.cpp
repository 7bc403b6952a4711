// SPDX-License-Identifier: MIT
#include "searchjob.h"

#include "app/messages.h"
#include "dups/candidatetable.h"

#include <QLocale>

namespace twinsift {

SearchJob::SearchJob(QByteArray folder, KeywordList keywords, int percent, quint64 lastNumber,
                     quint64 rowsBefore, quint64 maxRows)
    : m_folder(std::move(folder)), m_keywords(std::move(keywords)), m_percent(percent),
      m_rowsBefore(rowsBefore), m_maxRows(maxRows),
      m_searchPaths(std::make_shared<std::vector<QByteArray>>()), m_paths(m_searchPaths),
      m_searchIdentities(std::make_shared<IdentityList>()), m_identities(m_searchIdentities)
{
    m_index.store(lastNumber);
}

void SearchJob::run(std::stop_token stop)
{
    Result result;
    FileRecords records;
    result.walk = storeData(m_folder, m_keywords, records, stop, &m_walkProgress);
    if (!result.walk.rootFailed && !result.walk.stopped) {
        m_searching.store(true, std::memory_order_release);
        // The paths are complete before the first pair comes, and stay unchanged after.
        m_searchPaths->reserve(records.count());
        m_searchIdentities->reserve(records.count());
        for (size_t i = 0; i < records.count(); ++i) {
            m_searchPaths->push_back(records.path(i));
            m_searchIdentities->append(records.identity(i));
        }
        result.stats = findDuplicates(
            records, m_percent,
            [&](quint32 first, quint32 second, int percent) {
                if (m_rowsBefore + result.listed >= m_maxRows)
                    return;
                const quint64 number = m_index.x();
                m_pairs.add({first, second, quint32(number), quint8(percent)});
                m_index.store(number);
                ++result.listed;
            },
            stop, &m_searchProgress);
        m_pairs.flush();
        result.searched = true;
    }
    m_result = std::move(result);
}

std::vector<PairIndices> SearchJob::takePairs()
{
    return m_pairs.take();
}

WorkJob::Progress SearchJob::progress() const
{
    const quint64 total = m_searchProgress.total.load(std::memory_order_relaxed);
    if (!m_searching.load(std::memory_order_acquire) || total == 0)
        return {0, 0, Messages::files(m_walkProgress.files.load(std::memory_order_relaxed))};
    const quint64 done = std::min(m_searchProgress.done.load(std::memory_order_relaxed), total);
    return {done, total, Messages::percent(100.0 * double(done) / double(total))};
}

} // namespace twinsift
