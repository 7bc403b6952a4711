// SPDX-License-Identifier: MIT
#include "trashjob.h"

namespace twinsift {

TrashJob::TrashJob(QList<QByteArray> paths, Trasher trasher)
    : m_paths(std::move(paths)), m_trasher(std::move(trasher))
{
}

void TrashJob::run(std::stop_token stop)
{
    m_outcome = deleteFiles(m_paths, m_trasher, std::move(stop), &m_done);
}

WorkJob::Progress TrashJob::progress() const
{
    const auto total = quint64(m_paths.size());
    const quint64 done = m_done.load(std::memory_order_relaxed);
    return {done, total, tr("%L1 of %Ln file(s)", nullptr, int(total)).arg(done)};
}

} // namespace twinsift
