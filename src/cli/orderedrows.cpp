// SPDX-License-Identifier: MIT
#include "orderedrows.h"

namespace twinsift::cli {

namespace {

// Rows worth a write of their own: large enough to cost few system calls, small enough to stay
// in the cache while they go out.
constexpr qsizetype kWriteAt = 1 << 18;
// The most that may wait in memory for parts before it to be written.
constexpr qsizetype kHoldAtMost = 1 << 23;

} // namespace

OrderedRows::OrderedRows(RowWriter &writer, std::stop_source failure)
    : m_writer(writer), m_failure(std::move(failure))
{
}

void OrderedRows::add(size_t part, RowBuffer &rows, bool last)
{
    if (!last && rows.size < kWriteAt)
        return;
    std::unique_lock lock(m_mutex);
    if (m_turn != part) {
        if (m_held + rows.size < kHoldAtMost) {
            if (!last)
                return;
            RowBuffer spare;
            if (!m_spare.empty()) {
                spare = std::move(m_spare.back());
                m_spare.pop_back();
            }
            m_held += rows.size;
            m_done.emplace(part, std::move(rows));
            rows = std::move(spare);
            return;
        }
        m_turnTaken.wait(lock, [&] { return m_turn == part; });
    }
    // Only this part's thread writes until the turn moves on.
    lock.unlock();
    writeOut(rows);
    if (!last)
        return;
    lock.lock();
    for (++m_turn; !m_done.empty() && m_done.begin()->first == m_turn; ++m_turn) {
        RowBuffer next = std::move(m_done.begin()->second);
        m_done.erase(m_done.begin());
        m_held -= next.size;
        lock.unlock();
        writeOut(next);
        lock.lock();
        m_spare.push_back(std::move(next));
    }
    lock.unlock();
    m_turnTaken.notify_all();
}

void OrderedRows::writeOut(RowBuffer &rows)
{
    if (!m_failure.stop_requested() && !m_writer.write(rows.view()))
        m_failure.request_stop();
    rows.size = 0;
}

} // namespace twinsift::cli
