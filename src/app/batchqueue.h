// SPDX-License-Identifier: MIT
#pragma once

#include <mutex>
#include <utility>
#include <vector>

namespace twinsift {

// Rows found by a worker, handed over in batches and taken by the window's timer. Batching
// keeps the lock out of the worker's inner loop.
template <typename Row> class BatchQueue {
public:
    static constexpr size_t kBatch = 4096;

    // Adds one row found by the worker; every kBatch rows go to the window's side.
    void add(Row row)
    {
        m_batch.push_back(std::move(row));
        if (m_batch.size() >= kBatch)
            flush();
    }

    // Hands over what the worker still holds; called once the worker is done.
    void flush()
    {
        std::lock_guard lock(m_mutex);
        if (m_pending.empty())
            m_pending.swap(m_batch);
        else
            std::move(m_batch.begin(), m_batch.end(), std::back_inserter(m_pending));
        m_batch.clear();
    }

    // The rows handed over since the last call, in the order they were found.
    std::vector<Row> take()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_pending, {});
    }

private:
    std::vector<Row> m_batch; // the worker's own
    std::mutex m_mutex;
    std::vector<Row> m_pending;
};

} // namespace twinsift
